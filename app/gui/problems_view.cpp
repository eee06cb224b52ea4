#include "app/gui/problems_view.h"

#include <QHeaderView>

#include "app/gui/gui_texts.h"
#include "app/gui/qt_text.h"

namespace ct::gui {

namespace {

enum Column { kKindColumn, kLineColumn, kTextColumn };

QString KindText(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kUnresolved:
      return FromUtf8(gui_texts::kProblemUnresolved);
    case ProblemKind::kLeftOut:
      return FromUtf8(gui_texts::kProblemLeftOut);
    case ProblemKind::kFailure:
      break;
  }
  return FromUtf8(gui_texts::kProblemFailure);
}

}  // namespace

ProblemsView::ProblemsView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("lstProblems"));
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAlternatingRowColors(true);
  setHeaderLabels({FromUtf8(gui_texts::kProblemKind), FromUtf8(gui_texts::kProblemLine),
                   FromUtf8(gui_texts::kProblemText)});
  header()->setStretchLastSection(true);
  setColumnWidth(kKindColumn, 70);
  setColumnWidth(kLineColumn, 70);
  connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    int line = item->data(kLineColumn, Qt::UserRole).toInt();
    if (line > 0) emit LineChosen(line);
  });
}

void ProblemsView::Add(ProblemKind kind, std::string_view text, LineOrigin line) {
  auto* item = new QTreeWidgetItem(this);
  item->setText(kKindColumn, KindText(kind));
  if (line != kNoOrigin) item->setText(kLineColumn, QString::number(line));
  item->setData(kLineColumn, Qt::UserRole, static_cast<int>(line));
  item->setTextAlignment(kLineColumn, Qt::AlignRight | Qt::AlignVCenter);
  item->setText(kTextColumn, FromGbk(text));
}

}  // namespace ct::gui
