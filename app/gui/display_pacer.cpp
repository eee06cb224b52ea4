#include "app/gui/display_pacer.h"

#include <algorithm>

namespace ct::gui {

bool DisplayPacer::MayShowAt(Millis now) const { return !shown_ || now >= DueAt(); }

DisplayPacer::Millis DisplayPacer::DueAt() const { return shown_ ? last_end_ + Gap() : 0; }

void DisplayPacer::Shown(Millis at, Millis cost) {
  shown_ = true;
  last_cost_ = std::max<Millis>(cost, 0);
  last_end_ = at + last_cost_;
}

DisplayPacer::Millis DisplayPacer::Gap() const { return std::max(minimum_gap_, kCostFactor * last_cost_); }

}  // namespace ct::gui
