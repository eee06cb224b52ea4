#include "tests/gui/gui_support.h"

#include "app/gui/run_settings.h"

#include "text/gbk.h"

namespace ct::testing {

void ForgetSettings() { gui::UserSettings().clear(); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString EditorText(QWidget& window, const char* name) {
  return Control<QPlainTextEdit>(window, name)->toPlainText();
}

QString ShownText(const std::vector<std::string>& gbk_lines) {
  QStringList lines;
  for (const auto& line : gbk_lines) lines << Utf8(GbkToUtf8(line));
  return lines.join(QLatin1Char('\n'));
}

}  // namespace ct::testing
