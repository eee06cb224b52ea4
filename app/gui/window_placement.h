// Where the window opens, and what it remembers between starts.
#pragma once

#include <QMargins>
#include <QRect>
#include <QStringList>

namespace ct::gui {

// The window's frame rectangle for a screen whose free area is `available`:
// `wanted` where it fits, otherwise as much of it as fits; moved so that it
// lies wholly inside. An empty `wanted` position means "centred".
QRect FitIntoScreen(const QRect& wanted, bool positioned, const QRect& available);

// The recent folders with `folder` first, each once, at most kRecentFolders.
inline constexpr int kRecentFolders = 8;
QStringList WithRecentFolder(QStringList folders, const QString& folder);

// The keys under which the window keeps its settings (QSettings).
namespace setting_keys {
inline constexpr const char* kGeometry = "window/geometry";
inline constexpr const char* kAutomatic = "run/automatic";
inline constexpr const char* kKeywordsFromFile = "keywords/fromFile";
inline constexpr const char* kRecentFolders = "folders/recent";
}  // namespace setting_keys

}  // namespace ct::gui
