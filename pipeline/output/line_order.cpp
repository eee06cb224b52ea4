#include "pipeline/output/line_order.h"

#include <algorithm>
#include <numeric>

namespace ct {

namespace {

// Lines per block after a rebalance; a block that grows to twice as many
// starts a rebalance.
constexpr size_t kBlockSize = 512;

}  // namespace

LineOrder::LineOrder(size_t count) {
  std::vector<size_t> lines(count);
  std::iota(lines.begin(), lines.end(), size_t{0});
  Rebalance(lines);
}

size_t LineOrder::PositionOf(size_t line) const {
  const size_t block = block_of_[line];
  size_t position = 0;
  for (size_t b = 0; b < block; ++b) position += blocks_[b].size();
  const auto& lines = blocks_[block];
  return position + static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

void LineOrder::MoveTo(size_t line, size_t position) {
  auto& from = blocks_[block_of_[line]];
  from.erase(std::find(from.begin(), from.end(), line));
  // The block that holds `position`; one past the last line is the end of
  // the last block.
  size_t block = 0;
  size_t start = 0;
  while (block + 1 < blocks_.size() && position >= start + blocks_[block].size()) start += blocks_[block++].size();
  auto& to = blocks_[block];
  to.insert(to.begin() + static_cast<std::ptrdiff_t>(std::min(position - start, to.size())),
            static_cast<std::uint32_t>(line));
  block_of_[line] = static_cast<std::uint32_t>(block);
  if (to.size() >= 2 * kBlockSize) Rebalance(Lines());
}

std::vector<size_t> LineOrder::Lines() const {
  std::vector<size_t> lines;
  for (const auto& block : blocks_) lines.insert(lines.end(), block.begin(), block.end());
  return lines;
}

void LineOrder::Rebalance(const std::vector<size_t>& lines) {
  blocks_.clear();
  block_of_.assign(lines.size(), 0);
  for (size_t i = 0; i < lines.size(); i += kBlockSize) {
    const size_t end = std::min(lines.size(), i + kBlockSize);
    blocks_.emplace_back(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(end));
    for (size_t k = i; k < end; ++k) block_of_[lines[k]] = static_cast<std::uint32_t>(blocks_.size() - 1);
  }
  // An empty order still has a block to insert into.
  if (blocks_.empty()) blocks_.emplace_back();
}

}  // namespace ct
