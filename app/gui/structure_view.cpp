#include "app/gui/structure_view.h"

#include <QBrush>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/gui/gui_texts.h"
#include "app/gui/layout_strip.h"
#include "app/gui/qt_text.h"
#include "text/gbk.h"

namespace ct::gui {

namespace {

QString SizeText(const std::optional<std::int64_t>& size) {
  return size ? QString::number(*size) : FromUtf8(gui_texts::kUnknownSize);
}

QTreeWidget* NewTree(const char* name, QWidget* parent, const QStringList& headers) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(QString::fromLatin1(name));
  tree->setRootIsDecorated(false);
  tree->setUniformRowHeights(true);
  tree->setHeaderLabels(headers);
  return tree;
}

}  // namespace

StructureView::StructureView(QWidget* parent)
    : QWidget(parent),
      structures_(NewTree("lstStructures", this,
                          {FromUtf8(gui_texts::kStructureName), FromUtf8(gui_texts::kStructureSize),
                           FromUtf8(gui_texts::kStructureHoles)})),
      summary_(new QLabel(FromUtf8(gui_texts::kNoStructures), this)),
      strip_(new LayoutStrip(this)),
      rows_(NewTree("lstLayout", this,
                    {FromUtf8(gui_texts::kRowOffset), FromUtf8(gui_texts::kRowSize), FromUtf8(gui_texts::kRowMember),
                     FromUtf8(gui_texts::kRowType), FromUtf8(gui_texts::kRowDeclaredIn)})) {
  setObjectName(QStringLiteral("structureView"));
  summary_->setObjectName(QStringLiteral("lblStructure"));
  summary_->setWordWrap(true);
  structures_->setSortingEnabled(true);
  structures_->sortByColumn(-1, Qt::AscendingOrder);
  structures_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  structures_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  structures_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  structures_->header()->setStretchLastSection(false);
  QFont bold = summary_->font();
  bold.setBold(true);
  summary_->setFont(bold);
  rows_->header()->setStretchLastSection(true);
  rows_->setColumnWidth(0, 70);
  rows_->setColumnWidth(1, 60);
  rows_->setColumnWidth(2, 180);
  rows_->setColumnWidth(3, 200);

  auto* detail = new QWidget(this);
  auto* detail_layout = new QVBoxLayout(detail);
  detail_layout->setContentsMargins(4, 0, 0, 0);
  detail_layout->addWidget(summary_);
  detail_layout->addWidget(strip_);
  detail_layout->addWidget(rows_, 1);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(structures_);
  splitter->addWidget(detail);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 800});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);

  connect(structures_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    ShowStructure(item == nullptr ? -1 : item->data(0, Qt::UserRole).toInt());
  });
  connect(rows_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    strip_->SetSelectedRow(item == nullptr ? -1 : rows_->indexOfTopLevelItem(item));
  });
}

void StructureView::Clear() { SetReport({}); }

void StructureView::SetReport(LayoutReport report) {
  // Nothing may point into the report it replaces.
  structures_->clear();
  ShowStructure(-1);
  report_ = std::move(report);
  for (size_t i = 0; i < report_.structures.size(); ++i) {
    const StructureLayout& s = report_.structures[i];
    auto* item = new QTreeWidgetItem(structures_);
    item->setText(0, FromGbk(s.name));
    item->setText(1, SizeText(s.size));
    item->setText(2, s.HoleBytes() == 0 ? QString() : QString::number(s.HoleBytes()));
    item->setData(0, Qt::UserRole, static_cast<int>(i));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
  }
  summary_->setText(FromUtf8(gui_texts::kNoStructures));
}

bool StructureView::Select(const QString& name) {
  const std::string gbk = Utf8ToGbk(name.toStdString()).value_or(std::string());
  for (int i = 0; i < structures_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = structures_->topLevelItem(i);
    if (report_.structures[static_cast<size_t>(item->data(0, Qt::UserRole).toInt())].name == gbk) {
      structures_->setCurrentItem(item);
      structures_->scrollToItem(item);
      return true;
    }
  }
  return false;
}

void StructureView::ShowStructure(int index) {
  rows_->clear();
  if (index < 0 || static_cast<size_t>(index) >= report_.structures.size()) {
    strip_->SetStructure(nullptr);
    return;
  }
  const StructureLayout& s = report_.structures[static_cast<size_t>(index)];
  QString summary = FromUtf8(gui_texts::kStructureSummary)
                        .arg(FromGbk(s.name), SizeText(s.size), SizeText(s.alignment), QString::number(s.HoleBytes()));
  if (!s.parent.empty()) summary += FromUtf8(gui_texts::kDerivedFrom).arg(FromGbk(s.parent));
  summary_->setText(summary);
  strip_->SetStructure(&s);
  const QBrush hole_background(QColor(0xf6, 0xdc, 0xd8));
  for (const LayoutRow& row : s.rows) {
    auto* item = new QTreeWidgetItem(rows_);
    item->setText(0, QString::number(row.offset));
    item->setText(1, SizeText(row.size));
    item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    if (row.kind == LayoutRow::Kind::kMember) {
      item->setText(2, FromGbk(row.name));
      item->setText(3, FromGbk(row.type));
      if (row.declared_in != s.name) item->setText(4, FromGbk(row.declared_in));
      continue;
    }
    item->setText(2, FromUtf8(row.kind == LayoutRow::Kind::kHole ? gui_texts::kHoleRow : gui_texts::kPaddingRow));
    for (int column = 0; column < rows_->columnCount(); ++column) item->setBackground(column, hole_background);
  }
}

}  // namespace ct::gui
