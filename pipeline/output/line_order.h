// The order of a list's lines while single lines move towards the front:
// where a line stands now and moving it, each in time proportional to the
// square root of the line count rather than to the count, so that a sort
// that moves many lines does not shift the whole list for every move.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ct {

class LineOrder {
 public:
  // Lines 0 to count - 1, in that order.
  explicit LineOrder(size_t count);

  size_t PositionOf(size_t line) const;
  // Moves `line` to `position`, which is at most where it stands: the lines
  // from `position` up to its old place each move back by one, as a delete
  // followed by an insert would leave them.
  void MoveTo(size_t line, size_t position);
  // The lines in their current order.
  std::vector<size_t> Lines() const;

 private:
  void Rebalance(const std::vector<size_t>& lines);

  std::vector<std::vector<std::uint32_t>> blocks_;
  std::vector<std::uint32_t> block_of_;  // by line
};

}  // namespace ct
