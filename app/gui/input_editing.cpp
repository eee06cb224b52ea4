#include "app/gui/input_editing.h"

#include <QDir>

#include <string>

#include "app/gui/gui_texts.h"
#include "app/gui/qt_text.h"
#include "pipeline/texts.h"
#include "text/files.h"
#include "text/gbk.h"
#include "text/line_list.h"

namespace ct::gui {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

QString FileProblem(std::string_view what, const std::filesystem::path& file, const std::string& reason) {
  return FromUtf8(what) + QDir::toNativeSeparators(QStringFromPath(file)) + QStringLiteral(" (") + FromUtf8(reason) +
         QStringLiteral(")");
}

QString NotGbkProblem(const std::filesystem::path& file, size_t line) {
  return QDir::toNativeSeparators(QStringFromPath(file)) + QStringLiteral(" ") + FromUtf8(gui_texts::kNotGbkHead) +
         QString::number(line) + FromUtf8(gui_texts::kNotGbkTail);
}

// Removes a UTF-8 byte-order mark; true when there was one.
bool TakeUtf8Mark(std::string& bytes) {
  if (!bytes.starts_with(kByteOrderMark)) return false;
  bytes.erase(0, kByteOrderMark.size());
  return true;
}

// A file's text as GBK lines: UTF-8 (marked or recognised) is converted,
// anything else is taken as the GBK it is meant to be. nullopt, with the
// 1-based line in `bad_line`, for a character GBK cannot hold.
std::optional<LineList> GbkLines(std::string bytes, bool& was_utf8, size_t& bad_line) {
  was_utf8 = TakeUtf8Mark(bytes) || IsUtf8BeyondAscii(bytes);
  LineList lines;
  lines.SetText(bytes);
  if (!was_utf8) return lines;
  for (size_t i = 0; i < lines.Count(); ++i) {
    std::optional<std::string> gbk = Utf8ToGbk(lines.Get(i));
    if (!gbk) {
      bad_line = i + 1;
      return std::nullopt;
    }
    lines.Put(i, std::move(*gbk));
  }
  return lines;
}

}  // namespace

std::optional<EditableText> ReadForEditing(const std::filesystem::path& file, QString& problem) {
  std::string bytes, error;
  if (!ReadFileBytes(file, bytes, error)) {
    problem = FileProblem(gui_texts::kCannotReadFile, file, error);
    return std::nullopt;
  }
  EditableText editable;
  editable.was_utf8 = TakeUtf8Mark(bytes) || IsUtf8BeyondAscii(bytes);
  LineList lines;
  lines.SetText(editable.was_utf8 ? bytes : GbkToUtf8(bytes));
  std::string joined;
  for (size_t i = 0; i < lines.Count(); ++i) {
    if (i > 0) joined += '\n';
    joined += lines.Get(i);
  }
  editable.text = FromUtf8(joined);
  return editable;
}

bool SaveFromEditor(const QString& text, const std::filesystem::path& file, QString& problem) {
  size_t bad_line = 0;
  std::optional<LineList> lines = LinesFromEditor(text, bad_line);
  if (!lines) {
    problem = NotGbkProblem(file, bad_line + 1);
    return false;
  }
  std::string error;
  if (!SaveLines(*lines, file, error)) {
    problem = FileProblem(texts::kCannotWriteFile, file, error);
    return false;
  }
  return true;
}

bool AppendPascalFile(const std::filesystem::path& source, const std::filesystem::path& input, QString& problem) {
  std::string appended_bytes, input_bytes, error;
  if (!ReadFileBytes(source, appended_bytes, error)) {
    problem = FileProblem(gui_texts::kCannotReadFile, source, error);
    return false;
  }
  if (!ReadFileBytes(input, input_bytes, error)) {
    problem = FileProblem(gui_texts::kCannotReadFile, input, error);
    return false;
  }
  bool was_utf8 = false;
  size_t bad_line = 0;
  std::optional<LineList> appended = GbkLines(std::move(appended_bytes), was_utf8, bad_line);
  if (!appended) {
    problem = NotGbkProblem(source, bad_line);
    return false;
  }
  // An input saved as UTF-8 with its mark (which the run converts) takes the
  // appended lines in UTF-8 too.
  const bool input_utf8 = input_bytes.starts_with(kByteOrderMark);
  LineList lines;
  lines.SetText(input_bytes);
  for (const std::string& line : appended->Lines()) lines.Add(input_utf8 ? GbkToUtf8(line) : line);
  if (!SaveLines(lines, input, error)) {
    problem = FileProblem(texts::kCannotWriteFile, input, error);
    return false;
  }
  return true;
}

bool IsUtf8WithoutMark(const std::filesystem::path& file) {
  std::string bytes, error;
  if (!ReadFileBytes(file, bytes, error)) return false;
  return !bytes.starts_with(kByteOrderMark) && IsUtf8BeyondAscii(bytes);
}

}  // namespace ct::gui
