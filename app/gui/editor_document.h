// Lists and texts as editor documents. Filling an editor with a large text costs far
// more than any stage, so a document is built on a thread that can wait (the
// worker, or a helper of the list display) and only put in place on the
// interface thread, which then takes a fraction of the time.
#pragma once

#include <QFont>

#include <memory>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTextDocument;
class QThread;

namespace ct::gui {

// Deletes a document on the thread it belongs to, from whichever thread lets
// go of it last.
struct LaterDeleter {
  void operator()(QTextDocument* document) const;
};
using EditorDocument = std::unique_ptr<QTextDocument, LaterDeleter>;

// On any thread: the GBK lines as a document for an editor showing `font`,
// handed to `owner` (the interface thread) for InstallDocument. Without undo:
// nobody undoes a stage.
EditorDocument BuildListDocument(const std::vector<std::string>& lines, const QFont& font, QThread* owner);

// On the interface thread: an editable document of `text`, with undo.
EditorDocument BuildTextDocument(const QString& text, const QFont& font);

// On the interface thread: shows `document` in `editor`, which owns it from
// then on and lets the previous one go. The caret stays on its line (or the
// last one) and the view on its first line, so that a person watching a
// stage keeps their place.
void InstallDocument(QPlainTextEdit& editor, EditorDocument document);

// Lists larger than this are built off the interface thread.
inline constexpr size_t kLargeListBytes = 256 * 1024;
size_t ListBytes(const std::vector<std::string>& lines);

}  // namespace ct::gui
