// The editor's search (Ctrl+F): a line under the editor with the text to
// find; Enter finds the next place, Shift+Enter the one before.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace ct::gui {

class CodeEditor;

class FindBar : public QWidget {
  Q_OBJECT

 public:
  FindBar(CodeEditor& editor, QWidget* parent);

  // Shows the bar with the editor's selection, if any, as the text to find.
  void Open();
  void Close();
  bool FindNext(bool backward = false);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CodeEditor& editor_;
  QLineEdit* text_;
  QLabel* result_;
};

}  // namespace ct::gui
