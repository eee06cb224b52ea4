// The problems of the last run, each with the line of ClassTable.txt to look
// at; a double click on one with a line asks to show that line.
#pragma once

#include <QTreeWidget>

#include <string_view>

#include "pipeline/front_end.h"

namespace ct::gui {

class ProblemsView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ProblemsView(QWidget* parent);

  // `text` is GBK.
  void Add(ProblemKind kind, std::string_view text, LineOrigin line);

 signals:
  void LineChosen(int line);
};

}  // namespace ct::gui
