#include "app/gui/editor_font.h"

#include <QFontDatabase>

namespace ct::gui {

namespace {

// The Windows face first (under both of its names), then the free ones a
// Linux desktop is likely to have.
const QStringList& PreferredFamilies() {
  static const QStringList families = {
      QStringLiteral("新宋体"),
      QStringLiteral("NSimSun"),
      QStringLiteral("WenQuanYi Zen Hei Mono"),
      QStringLiteral("文泉驿等宽正黑"),
      QStringLiteral("Noto Sans Mono CJK SC"),
      QStringLiteral("WenQuanYi Micro Hei Mono"),
  };
  return families;
}

}  // namespace

QString PickEditorFamily(const QStringList& chinese_families, const std::function<bool(const QString&)>& fixed_pitch) {
  for (const QString& preferred : PreferredFamilies())
    for (const QString& family : chinese_families)
      if (family.compare(preferred, Qt::CaseInsensitive) == 0) return family;
  for (const QString& family : chinese_families)
    if (fixed_pitch(family)) return family;
  return chinese_families.isEmpty() ? QString() : chinese_families.front();
}

QFont EditorFont() {
  QString family = PickEditorFamily(QFontDatabase::families(QFontDatabase::SimplifiedChinese),
                                    [](const QString& f) { return QFontDatabase::isFixedPitch(f); });
  QFont font = family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(family);
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(kEditorFontPixels);
  return font;
}

}  // namespace ct::gui
