// How often the editor may be refilled by stage reports that nobody waits
// on. Refilling the editor with a large list costs far more than the stage
// itself, so an automatic run would otherwise spend its time painting texts
// no one can read; the pacer keeps the refills a person could see.
#pragma once

#include <cstdint>

namespace ct::gui {

class DisplayPacer {
 public:
  using Millis = std::int64_t;

  // A person cannot follow more than a few refills a second.
  static constexpr Millis kMinimumGap = 250;
  // A refill may take at most a fifth of the time, however slow it is.
  static constexpr Millis kCostFactor = 4;

  explicit DisplayPacer(Millis minimum_gap = kMinimumGap) : minimum_gap_(minimum_gap) {}

  // Whether a list offered at `now` may be shown at once.
  bool MayShowAt(Millis now) const;
  // When a list held back is due.
  Millis DueAt() const;
  // Records a refill that began at `at` and took `cost`.
  void Shown(Millis at, Millis cost);

 private:
  Millis Gap() const;

  Millis minimum_gap_;
  bool shown_ = false;
  Millis last_end_ = 0;
  Millis last_cost_ = 0;
};

}  // namespace ct::gui
