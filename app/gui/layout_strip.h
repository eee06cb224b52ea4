// A structure's bytes drawn as one band: each member a block as wide as its
// share of the structure, holes and padding hatched, the selected member
// outlined.
#pragma once

#include <QWidget>

#include "pipeline/layout_report/layout_report.h"

namespace ct::gui {

class LayoutStrip : public QWidget {
  Q_OBJECT

 public:
  explicit LayoutStrip(QWidget* parent);

  void SetStructure(const StructureLayout* structure);
  void SetSelectedRow(int row);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The byte range the band shows: the structure's size, or as far as the
  // last row reaches when the size is unknown or smaller.
  std::int64_t Extent() const;

  const StructureLayout* structure_ = nullptr;
  int selected_ = -1;
};

}  // namespace ct::gui
