#include "app/gui/qt_text.h"

#include <QFile>

#include <algorithm>
#include <string>

#include "text/gbk.h"

namespace ct::gui {

QString FromGbk(std::string_view gbk) {
  QString text = FromUtf8(GbkToUtf8(gbk));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

QString FromUtf8(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

QString EditorText(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& line : lines) total += line.size() + 1;
  std::string joined;
  joined.reserve(total);
  for (const auto& line : lines) {
    if (&line != &lines.front()) joined += '\n';
    joined += line;
  }
  // A lone lead byte at a line's end cannot swallow the break: 0x0A is no
  // GBK trail byte, so the decoder marks the lead byte and keeps the break.
  return FromUtf8(GbkToUtf8(joined));
}

std::optional<LineList> LinesFromEditor(const QString& text, size_t& bad_line) {
  QByteArray utf8 = text.toUtf8();
  std::string_view view(utf8.constData(), static_cast<size_t>(utf8.size()));
  size_t bad_offset = 0;
  std::optional<std::string> gbk = Utf8ToGbk(view, &bad_offset);
  if (!gbk) {
    bad_offset = std::min(bad_offset, view.size());
    bad_line = static_cast<size_t>(std::count(view.begin(), view.begin() + static_cast<std::ptrdiff_t>(bad_offset), '\n'));
    return std::nullopt;
  }
  LineList lines;
  lines.SetText(*gbk);
  return lines;
}

// Windows paths are UTF-16, as QString is; elsewhere a path is the bytes
// the file system takes, which Qt's file name codec gives and reads.
std::filesystem::path PathFromQString(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(path.toStdWString());
#else
  QByteArray native = QFile::encodeName(path);
  return std::filesystem::path(std::string(native.constData(), static_cast<size_t>(native.size())));
#endif
}

QString QStringFromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.native());
#else
  const std::string& native = path.native();
  return QFile::decodeName(QByteArray(native.data(), static_cast<qsizetype>(native.size())));
#endif
}

}  // namespace ct::gui
