#include "saver/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace brenlow {
namespace {

TEST(Numbers, RoundHalfEvenTo16Bit) {
  const double cases[][2] = {{2.5, 2},  {3.5, 4},         {-2.5, -2},        {-3.5, -4},
                             {0.5, 0},  {1.5, 2},         {2.4999, 2},       {2.5001, 3},
                             {-0.5, 0}, {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& c : cases) EXPECT_EQ(ToInt16(c[0]), c[1]) << c[0];
}

TEST(Numbers, OutOfRangeIsOverflowNotWrap) {
  for (const double bad : {32767.5, 32768.0, -32768.6, -40000.0, 1e300, std::nan("")}) {
    EXPECT_THROW(ToInt16(bad), OverflowError) << bad;
  }
  EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
  EXPECT_THROW(ToInt32(2147483647.5), OverflowError);
  EXPECT_THROW(ToInt32(-2147483648.6), OverflowError);
  EXPECT_THROW(Add16(32767, 1), OverflowError);
  EXPECT_EQ(Add16(-32767, -1), -32768);
}

TEST(Numbers, IntIsFloor) {
  for (const auto& [x, floored] : {std::pair{2.9, 2}, {-2.1, -3}, {3.0, 3}})
    EXPECT_EQ(Int(x), floored);
}

}  // namespace
}  // namespace brenlow
