// The main editor (Memo1): a plain text editor with a gutter that numbers
// its lines from 1, as ClassTable.txt's lines are named everywhere else.
#pragma once

#include <QPlainTextEdit>

namespace ct::gui {

class CodeEditor : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit CodeEditor(const QString& text, QWidget* parent = nullptr);

  int GutterWidth() const;
  // Puts the caret at the start of `line` (from 1, clamped) and shows it.
  void GoToLine(int line);
  // Searches forward or backward from the caret, around the end; true when found.
  bool Find(const QString& text, bool backward);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class Gutter;
  void PaintGutter(QPaintEvent* event);
  void UpdateGutterWidth();
  void UpdateGutter(const QRect& rect, int dy);

  QWidget* gutter_;
};

}  // namespace ct::gui
