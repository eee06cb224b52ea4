// The keyword tool of the window: converting the editor's text or a chosen
// file into a Lua keyword list, and saving the editor's text as a keyword
// file. Both run on the interface thread; a cancelled dialog changes
// nothing, and a file or text that cannot be used is reported and changes
// nothing either.
#pragma once

#include <QString>

class QPlainTextEdit;
class QWidget;

namespace ct::gui {

class Dialogs;

// ForKeyWord.txt beside the executable.
QString DefaultKeywordFile();

void ConvertKeywords(QPlainTextEdit& editor, Dialogs& dialogs, QWidget* parent, bool from_file,
                     const QString& default_file);
void SaveEditorText(QPlainTextEdit& editor, Dialogs& dialogs, QWidget* parent, const QString& default_file);

}  // namespace ct::gui
