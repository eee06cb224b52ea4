#include "app/gui/keyword_actions.h"

#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>

#include <optional>
#include <string>

#include "app/gui/dialogs.h"
#include "app/gui/gui_texts.h"
#include "app/gui/qt_text.h"
#include "pipeline/keyword_list.h"
#include "pipeline/texts.h"
#include "text/files.h"
#include "text/line_list.h"

namespace ct::gui {

namespace {

void ReportProblem(Dialogs& dialogs, QWidget* parent, const QString& text) {
  dialogs.Message(parent, FromUtf8(texts::kCaptionConfirm), text, BoxIcon::kError);
}

QString FileProblem(std::string_view what, const QString& file, const std::string& reason) {
  return FromUtf8(what) + QDir::toNativeSeparators(file) + QStringLiteral(" (") + FromUtf8(reason) +
         QStringLiteral(")");
}

// The editor's lines, or nullopt after telling the user which line holds a
// character the files' code page cannot hold.
std::optional<LineList> EditorLines(QPlainTextEdit& editor, Dialogs& dialogs, QWidget* parent) {
  size_t bad_line = 0;
  std::optional<LineList> lines = LinesFromEditor(editor.toPlainText(), bad_line);
  if (!lines)
    ReportProblem(dialogs, parent,
                  FromUtf8(gui_texts::kNotGbkHead) + QString::number(bad_line) + FromUtf8(gui_texts::kNotGbkTail));
  return lines;
}

std::optional<LineList> FileLines(Dialogs& dialogs, QWidget* parent, const QString& default_file) {
  std::optional<QString> file = dialogs.OpenFile(parent, default_file);
  if (!file) return std::nullopt;
  LineList lines;
  std::string error;
  if (!LoadLines(lines, PathFromQString(*file), error)) {
    ReportProblem(dialogs, parent, FileProblem(gui_texts::kCannotReadFile, *file, error));
    return std::nullopt;
  }
  return lines;
}

}  // namespace

QString DefaultKeywordFile() { return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ForKeyWord.txt")); }

void ConvertKeywords(QPlainTextEdit& editor, Dialogs& dialogs, QWidget* parent, bool from_file,
                     const QString& default_file) {
  std::optional<LineList> lines =
      from_file ? FileLines(dialogs, parent, default_file) : EditorLines(editor, dialogs, parent);
  if (!lines) return;
  ConvertKeywordList(*lines);
  editor.setPlainText(EditorText(lines->Lines()));
  dialogs.Message(parent, FromUtf8(texts::kCaptionConfirm), FromUtf8(texts::kKeywordsDone), BoxIcon::kInformation);
}

void SaveEditorText(QPlainTextEdit& editor, Dialogs& dialogs, QWidget* parent, const QString& default_file) {
  // A text that cannot be saved is reported before the user picks a file.
  std::optional<LineList> lines = EditorLines(editor, dialogs, parent);
  if (!lines) return;
  std::optional<QString> file = dialogs.SaveFile(parent, default_file);
  if (!file) return;
  std::string error;
  if (!SaveLines(*lines, PathFromQString(*file), error))
    ReportProblem(dialogs, parent, FileProblem(texts::kCannotWriteFile, *file, error));
}

}  // namespace ct::gui
