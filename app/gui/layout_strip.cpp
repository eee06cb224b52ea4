#include "app/gui/layout_strip.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "app/gui/qt_text.h"

namespace ct::gui {

namespace {
constexpr int kBandHeight = 34;
const QColor kMemberColours[] = {QColor(0x9e, 0xc5, 0xe8), QColor(0xb8, 0xd8, 0xa8)};
const QColor kHoleColour(0xd0, 0x50, 0x40);
}  // namespace

LayoutStrip::LayoutStrip(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("layoutStrip"));
  setMinimumHeight(kBandHeight + 4);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize LayoutStrip::sizeHint() const { return {400, kBandHeight + 4}; }

void LayoutStrip::SetStructure(const StructureLayout* structure) {
  structure_ = structure;
  selected_ = -1;
  update();
}

void LayoutStrip::SetSelectedRow(int row) {
  selected_ = row;
  update();
}

std::int64_t LayoutStrip::Extent() const {
  std::int64_t extent = structure_->size.value_or(0);
  for (const LayoutRow& row : structure_->rows) extent = std::max(extent, row.offset + row.size.value_or(0));
  return std::max<std::int64_t>(extent, 1);
}

void LayoutStrip::paintEvent(QPaintEvent*) {
  if (structure_ == nullptr) return;
  QPainter painter(this);
  const QRectF band(1, 2, width() - 2, kBandHeight);
  const double scale = band.width() / static_cast<double>(Extent());
  painter.fillRect(band, palette().color(QPalette::Base));
  int colour = 0;
  for (size_t i = 0; i < structure_->rows.size(); ++i) {
    const LayoutRow& row = structure_->rows[i];
    // A member of unknown size is drawn as a sliver at its offset.
    const double left = band.left() + static_cast<double>(row.offset) * scale;
    const double span = std::max(row.size ? static_cast<double>(*row.size) * scale : 0.0, 2.0);
    QRectF block(left, band.top(), std::min(span, band.right() - left), band.height());
    if (row.kind == LayoutRow::Kind::kMember) {
      painter.fillRect(block, kMemberColours[colour++ % 2]);
    } else {
      painter.fillRect(block, QBrush(kHoleColour, Qt::BDiagPattern));
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(block);
    if (row.kind == LayoutRow::Kind::kMember && block.width() > 24) {
      painter.setPen(palette().color(QPalette::Text));
      painter.drawText(block.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                       painter.fontMetrics().elidedText(FromGbk(row.name), Qt::ElideRight,
                                                        static_cast<int>(block.width()) - 6));
    }
    if (static_cast<int>(i) == selected_) {
      painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
      painter.drawRect(block.adjusted(1, 1, -1, -1));
    }
  }
}

}  // namespace ct::gui
