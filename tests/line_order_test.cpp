#include "pipeline/output/line_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace ct {
namespace {

// The order a vector gets from the same moves: erase, then insert.
void MoveInModel(std::vector<size_t>& model, size_t line, size_t position) {
  model.erase(std::find(model.begin(), model.end(), line));
  model.insert(model.begin() + static_cast<std::ptrdiff_t>(position), line);
}

// Enough lines and moves to fill blocks past their limit and rebalance.
TEST(LineOrderTest, FollowsEveryMoveAsEraseAndInsertWould) {
  for (size_t count : {size_t{1}, size_t{2}, size_t{700}, size_t{2600}}) {
    LineOrder order(count);
    std::vector<size_t> model(count);
    std::iota(model.begin(), model.end(), size_t{0});
    std::uint64_t state = count;
    auto next = [&](size_t n) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      return static_cast<size_t>((state >> 33) % n);
    };
    for (int step = 0; step < 3000; ++step) {
      const size_t line = next(count);
      const size_t from = order.PositionOf(line);
      ASSERT_EQ(model[from], line) << "count " << count << ", step " << step;
      // Half of the moves go to one narrow front region, which grows its
      // block until it has to split.
      const size_t to = step % 2 ? next(from + 1) : std::min(from, next(8));
      order.MoveTo(line, to);
      MoveInModel(model, line, to);
    }
    EXPECT_EQ(order.Lines(), model) << "count " << count;
  }
}

TEST(LineOrderTest, AMoveOntoItsOwnPlaceChangesNothing) {
  LineOrder order(5);
  order.MoveTo(3, 3);
  order.MoveTo(0, 0);
  EXPECT_EQ(order.Lines(), (std::vector<size_t>{0, 1, 2, 3, 4}));
  order.MoveTo(4, 0);
  EXPECT_EQ(order.Lines(), (std::vector<size_t>{4, 0, 1, 2, 3}));
  EXPECT_EQ(order.PositionOf(3), 4u);
}

}  // namespace
}  // namespace ct
