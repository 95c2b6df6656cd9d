// The number formats of the screens and readouts.
#include <gtest/gtest.h>

#include "core/Format.h"

namespace pelasim {
namespace {

struct FormatCase {
  double value;
  const char* fixed2;
  const char* fixed1;
  const char* hash00;
  const char* two;
  const char* shortest;
};

class Formats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Formats, MatchTheScreens) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(fmt::fixed(c.value, 2), c.fixed2);
  EXPECT_EQ(fmt::fixed(c.value, 1), c.fixed1);
  EXPECT_EQ(fmt::hashDot00(c.value), c.hash00);
  EXPECT_EQ(fmt::twoDigits(c.value), c.two);
  EXPECT_EQ(fmt::shortest(c.value), c.shortest);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Formats,
    ::testing::Values(FormatCase{0, "0.00", "0.0", ".00", "00", "0"},
                      FormatCase{0.2, "0.20", "0.2", ".20", "00", "0.2"},
                      FormatCase{1.3, "1.30", "1.3", "1.30", "01", "1.3"},
                      FormatCase{0.125, "0.13", "0.1", ".13", "00", "0.125"},
                      FormatCase{2.013, "2.01", "2.0", "2.01", "02", "2.013"},
                      FormatCase{10.47, "10.47", "10.5", "10.47", "10", "10.47"},
                      FormatCase{20.86, "20.86", "20.9", "20.86", "21", "20.86"},
                      FormatCase{4.5, "4.50", "4.5", "4.50", "05", "4.5"},
                      FormatCase{99.995, "100.00", "100.0", "100.00", "100", "99.995"},
                      FormatCase{-0.004, "0.00", "0.0", ".00", "00", "-0.004"},
                      FormatCase{-1.25, "-1.25", "-1.3", "-1.25", "-01", "-1.25"},
                      FormatCase{1013, "1013.00", "1013.0", "1013.00", "1013", "1013"},
                      FormatCase{1.1, "1.10", "1.1", "1.10", "01", "1.1"},
                      FormatCase{0.000001, "0.00", "0.0", ".00", "00", "0.000001"}));

TEST(Formats, ShortestDropsBinaryNoise) {
  EXPECT_EQ(fmt::shortest(1.0 + 0.1), "1.1");
  EXPECT_EQ(fmt::shortest(1.013 + 1.0), "2.013");
  EXPECT_EQ(fmt::shortest(0.1 * 3), "0.3");
}

TEST(Formats, RoundHalfEven) {
  EXPECT_EQ(fmt::roundHalfEven(0.5), 0);
  EXPECT_EQ(fmt::roundHalfEven(1.5), 2);
  EXPECT_EQ(fmt::roundHalfEven(2.5), 2);
  EXPECT_EQ(fmt::roundHalfEven(3.5), 4);
  EXPECT_EQ(fmt::roundHalfEven(4615.38), 4615);
  EXPECT_EQ(fmt::roundHalfEven(2307.5), 2308);
}

}  // namespace
}  // namespace pelasim
