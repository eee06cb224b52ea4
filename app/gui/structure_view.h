// The structure view: every structure of the last successful run's
// ClassType.lua with its size, and the memory layout of the selected one as
// a band and as rows of offset, size, member, type and declaring structure,
// holes and padding included.
#pragma once

#include <QWidget>

#include "pipeline/layout_report/layout_report.h"

class QLabel;
class QTreeWidget;

namespace ct::gui {

class LayoutStrip;

class StructureView : public QWidget {
  Q_OBJECT

 public:
  explicit StructureView(QWidget* parent);

  void SetReport(LayoutReport report);
  void Clear();
  // Selects a structure by name; false when the report has none of that name.
  bool Select(const QString& name);

 private:
  void ShowStructure(int index);

  LayoutReport report_;
  QTreeWidget* structures_;
  QLabel* summary_;
  LayoutStrip* strip_;
  QTreeWidget* rows_;
};

}  // namespace ct::gui
