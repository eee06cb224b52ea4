// ClassTable.txt edited where it is converted: read into the editor, saved
// back as the run reads it (GBK, CR LF, replaced atomically), and Pascal
// files appended to it. Texts an editor saved as UTF-8 are recognised and
// converted, so that no Chinese turns into garbled GBK.
#pragma once

#include <QString>

#include <filesystem>
#include <optional>

namespace ct::gui {

struct EditableText {
  QString text;
  bool was_utf8 = false;  // read as UTF-8 (with or without a byte-order mark)
};

// The file for the editor; nullopt with `problem` set when it cannot be read.
std::optional<EditableText> ReadForEditing(const std::filesystem::path& file, QString& problem);

// The editor's text saved as `file`; false with `problem` set (a line GBK
// cannot hold, or a refused save), leaving the file as it was.
bool SaveFromEditor(const QString& text, const std::filesystem::path& file, QString& problem);

// Appends the Pascal file `source` to `input`, on lines of their own; false
// with `problem` set, leaving `input` as it was.
bool AppendPascalFile(const std::filesystem::path& source, const std::filesystem::path& input, QString& problem);

// Whether the file is UTF-8 without a byte-order mark, which the run would
// read as GBK; false when it cannot be read.
bool IsUtf8WithoutMark(const std::filesystem::path& file);

}  // namespace ct::gui
