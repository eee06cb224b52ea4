// The editor's font: a monospace face that can show Chinese, the Windows
// one where it is installed.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>

namespace ct::gui {

inline constexpr int kEditorFontPixels = 15;

// Among the families that can show Simplified Chinese: the first preferred
// one present, else the first fixed-pitch one, else the first of all; empty
// when there is none.
QString PickEditorFamily(const QStringList& chinese_families, const std::function<bool(const QString&)>& fixed_pitch);

QFont EditorFont();

}  // namespace ct::gui
