#include "app/gui/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/gui/code_editor.h"
#include "app/gui/gui_texts.h"
#include "app/gui/qt_text.h"

namespace ct::gui {

FindBar::FindBar(CodeEditor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), text_(new QLineEdit(this)), result_(new QLabel(this)) {
  setObjectName(QStringLiteral("findBar"));
  text_->setObjectName(QStringLiteral("findText"));
  text_->setPlaceholderText(FromUtf8(gui_texts::kFindPlaceholder));
  text_->setClearButtonEnabled(true);
  text_->installEventFilter(this);
  auto* previous = new QPushButton(FromUtf8(gui_texts::kFindPrevious), this);
  auto* next = new QPushButton(FromUtf8(gui_texts::kFindNextButton), this);
  auto* close = new QToolButton(this);
  close->setText(QStringLiteral("×"));
  close->setAutoRaise(true);
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(next, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(close, &QToolButton::clicked, this, &FindBar::Close);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(text_, 1);
  layout->addWidget(previous);
  layout->addWidget(next);
  layout->addWidget(result_);
  layout->addWidget(close);
  hide();
}

void FindBar::Open() {
  QString selected = editor_.textCursor().selectedText();
  if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) text_->setText(selected);
  result_->clear();
  show();
  text_->setFocus();
  text_->selectAll();
}

void FindBar::Close() {
  hide();
  editor_.setFocus();
}

bool FindBar::FindNext(bool backward) {
  bool found = editor_.Find(text_->text(), backward);
  result_->setText(found || text_->text().isEmpty() ? QString() : FromUtf8(gui_texts::kNotFound).arg(text_->text()));
  return found;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      FindNext(key->modifiers().testFlag(Qt::ShiftModifier));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ct::gui
