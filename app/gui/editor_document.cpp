#include "app/gui/editor_document.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>

#include <algorithm>

#include "app/gui/qt_text.h"

namespace ct::gui {

void LaterDeleter::operator()(QTextDocument* document) const {
  if (document != nullptr) document->deleteLater();
}

EditorDocument BuildListDocument(const std::vector<std::string>& lines, const QFont& font, QThread* owner) {
  EditorDocument document(new QTextDocument);
  document->setDefaultFont(font);
  document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
  document->setUndoRedoEnabled(false);
  document->setPlainText(EditorText(lines));
  document->moveToThread(owner);
  return document;
}

EditorDocument BuildTextDocument(const QString& text, const QFont& font) {
  EditorDocument document(new QTextDocument);
  document->setDefaultFont(font);
  document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
  document->setPlainText(text);
  document->setModified(false);
  return document;
}

void InstallDocument(QPlainTextEdit& editor, EditorDocument document) {
  const int caret_line = editor.textCursor().blockNumber();
  const int first_shown = editor.verticalScrollBar()->value();
  // The editor deletes its first document itself; later ones are its
  // children, which it leaves alone, so they go here.
  QTextDocument* old = editor.document();
  const bool old_is_ours = old != nullptr && old->parent() == &editor;
  QTextDocument* shown = document.release();
  shown->setParent(&editor);
  editor.setDocument(shown);
  if (old_is_ours) old->deleteLater();
  QTextCursor cursor(shown->findBlockByNumber(std::min(caret_line, shown->blockCount() - 1)));
  editor.setTextCursor(cursor);
  editor.verticalScrollBar()->setValue(first_shown);
}

size_t ListBytes(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const std::string& line : lines) total += line.size() + 1;
  return total;
}

}  // namespace ct::gui
