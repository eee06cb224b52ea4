#include "app/gui/code_editor.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include <algorithm>

namespace ct::gui {

namespace {
constexpr int kGutterMargin = 6;
}

class Gutter : public QWidget {
 public:
  explicit Gutter(CodeEditor* editor) : QWidget(editor), editor_(editor) { setObjectName(QStringLiteral("gutter")); }
  QSize sizeHint() const override { return {editor_->GutterWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { editor_->PaintGutter(event); }

 private:
  CodeEditor* editor_;
};

CodeEditor::CodeEditor(const QString& text, QWidget* parent) : QPlainTextEdit(text, parent), gutter_(new Gutter(this)) {
  connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEditor::UpdateGutterWidth);
  connect(this, &QPlainTextEdit::updateRequest, this, &CodeEditor::UpdateGutter);
  UpdateGutterWidth();
}

int CodeEditor::GutterWidth() const {
  int digits = 1;
  for (int count = std::max(1, blockCount()); count >= 10; count /= 10) ++digits;
  return kGutterMargin * 2 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(digits, 3);
}

void CodeEditor::UpdateGutterWidth() { setViewportMargins(GutterWidth(), 0, 0, 0); }

void CodeEditor::UpdateGutter(const QRect& rect, int dy) {
  if (dy != 0)
    gutter_->scroll(0, dy);
  else
    gutter_->update(0, rect.y(), gutter_->width(), rect.height());
  if (rect.contains(viewport()->rect())) UpdateGutterWidth();
}

void CodeEditor::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  QRect inside = contentsRect();
  gutter_->setGeometry(QRect(inside.left(), inside.top(), GutterWidth(), inside.height()));
}

void CodeEditor::PaintGutter(QPaintEvent* event) {
  QPainter painter(gutter_);
  painter.fillRect(event->rect(), palette().color(QPalette::AlternateBase));
  painter.setPen(palette().color(QPalette::PlaceholderText));
  painter.setFont(font());
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  // Ends: every round moves to the next block, and the walk stops below the
  // painted area or after the last block.
  while (block.isValid() && top <= event->rect().bottom()) {
    int bottom = top + qRound(blockBoundingRect(block).height());
    if (block.isVisible() && bottom >= event->rect().top())
      painter.drawText(0, top, gutter_->width() - kGutterMargin, fontMetrics().height(), Qt::AlignRight,
                       QString::number(block.blockNumber() + 1));
    block = block.next();
    top = bottom;
  }
}

void CodeEditor::GoToLine(int line) {
  QTextBlock block = document()->findBlockByNumber(std::clamp(line, 1, std::max(1, blockCount())) - 1);
  QTextCursor cursor(block);
  setTextCursor(cursor);
  centerCursor();
}

bool CodeEditor::Find(const QString& text, bool backward) {
  if (text.isEmpty()) return false;
  QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (find(text, flags)) return true;
  // Around the end: from the other end of the text once more.
  QTextCursor restart = textCursor();
  restart.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
  QTextCursor found = document()->find(text, restart, flags);
  if (found.isNull()) return false;
  setTextCursor(found);
  return true;
}

}  // namespace ct::gui
