// How the handset screen label breaks its texts into lines, on a fixed width table of the
// screen font (Liberation Sans advance widths, 2048 units an em, drawn 24 px high), so the
// layout is checked without a windowing system.
#include <gtest/gtest.h>

#include <array>

#include "handset/ScreenLayouts.h"
#include "handset/ScreenWrap.h"

namespace pelasim::testing {
namespace {

constexpr double kScreenWidthPx = 249;  // 3735 twips
constexpr double kPixelsPerUnit = 24.0 / 2048.0;

// Advance widths of the printable ASCII characters, from ' ' to '~'.
constexpr std::array<int, 95> kAdvance = {
    569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
    682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
    1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196};

double screenFontWidth(std::string_view s) {
  double units = 0;
  for (char c : s) {
    const int i = static_cast<unsigned char>(c) - 32;
    units += (i >= 0 && i < static_cast<int>(kAdvance.size())) ? kAdvance[static_cast<std::size_t>(i)] : 1139;
  }
  return units * kPixelsPerUnit;
}

std::vector<std::string> withoutTrailingBlanks(std::vector<std::string> lines) {
  for (std::string& l : lines) l.erase(l.find_last_not_of(' ') + 1);
  return lines;
}

std::vector<std::string> wrap(std::string_view text) {
  return wrapScreenText(text, screenFontWidth, kScreenWidthPx);
}

TEST(ScreenFontTable, MatchesTheMeasuredWidthsOfTheScreenFont) {
  // Measured with Qt on Liberation Sans 18 pt at 96 dpi (Qt keeps advances to 1/64 px).
  EXPECT_NEAR(screenFontWidth("      MASTER   0.7        0.21"), 293.16, 0.5);
  EXPECT_NEAR(screenFontWidth("0.21       0.21       0.21"), 233.25, 0.5);
}

class ScreenLines : public ::testing::TestWithParam<ScreenLayout> {};

TEST_P(ScreenLines, ReadAsLaidOut) {
  const ScreenLayout& l = GetParam();
  const std::vector<std::string> lines = wrap(l.text);
  EXPECT_EQ(withoutTrailingBlanks(lines), l.lines) << '"' << l.text << '"';
  for (const std::string& line : lines) EXPECT_LE(screenFontWidth(line), kScreenWidthPx) << '"' << line << '"';
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, ScreenLines, ::testing::ValuesIn(screenLayouts()),
                         [](const auto& testCase) { return testCase.param.name; });

// Rules of the wrapping on a simple grid: every character one unit wide.
std::vector<std::string> wrapOnGrid(std::string_view text, double width) {
  return wrapScreenText(text, [](std::string_view s) { return static_cast<double>(s.size()); }, width);
}

TEST(ScreenWrap, KeepsWordsWholeAndBreaksWhereTheNextWordWouldNotFit) {
  EXPECT_EQ(wrapOnGrid("AB CD   EF", 10), (std::vector<std::string>{"AB CD   EF"}));
  EXPECT_EQ(wrapOnGrid("AB CD   EF", 9), (std::vector<std::string>{"AB CD   ", "EF"}));
  EXPECT_EQ(wrapOnGrid("AB CD   EF", 4), (std::vector<std::string>{"AB ", "CD  ", "EF"}));
}

TEST(ScreenWrap, BlanksAtABreakStayOnTheLineAsFarAsItHasRoom) {
  EXPECT_EQ(wrapOnGrid("ABC      DEF", 6), (std::vector<std::string>{"ABC   ", "DEF"}));
  EXPECT_EQ(wrapOnGrid("ABCDEF  XY", 6), (std::vector<std::string>{"ABCDEF", "XY"}));
}

TEST(ScreenWrap, BlanksThatEndTheTextStayAsFarAsTheLineHasRoom) {
  EXPECT_EQ(wrapOnGrid("  AB  ", 10), (std::vector<std::string>{"  AB  "}));
  EXPECT_EQ(wrapOnGrid("AB     ", 4), (std::vector<std::string>{"AB  "}));
  EXPECT_EQ(wrapOnGrid("ABC DEF  ", 4), (std::vector<std::string>{"ABC ", "DEF "}));
}

TEST(ScreenWrap, KeepsTheLeadingBlanksOfTheFirstLine) {
  EXPECT_EQ(wrapOnGrid("   AB      CD", 6), (std::vector<std::string>{"   AB ", "CD"}));
}

TEST(ScreenWrap, LeadingBlanksThatLeaveNoRoomLeaveTheFirstLineEmpty) {
  EXPECT_EQ(wrapOnGrid("        AB", 6), (std::vector<std::string>{"", "AB"}));
  EXPECT_EQ(wrapOnGrid("    ABC", 6), (std::vector<std::string>{"", "ABC"}));
}

TEST(ScreenWrap, AWordWiderThanTheScreenStandsAlone) {
  EXPECT_EQ(wrapOnGrid("ABCDEFGH IJ", 4), (std::vector<std::string>{"ABCDEFGH", "IJ"}));
  EXPECT_EQ(wrapOnGrid("AB ABCDEFGH", 4), (std::vector<std::string>{"AB ", "ABCDEFGH"}));
}

TEST(ScreenWrap, BlankAndEmptyTextsGiveOneEmptyLine) {
  EXPECT_EQ(wrapOnGrid("", 10), (std::vector<std::string>{""}));
  EXPECT_EQ(wrapOnGrid(" ", 10), (std::vector<std::string>{""}));
  EXPECT_EQ(wrapOnGrid(std::string(50, ' '), 10), (std::vector<std::string>{""}));
}

TEST(ScreenWrap, PaddedTextsSitInTheMiddleOfTheirLine) {
  // The blanks that pad the words on both sides count, as the screen centres its lines.
  const std::vector<std::string> lines = wrap("       NO DIVE       ");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "       NO DIVE       ");
  const std::vector<std::string> master = wrap("      MASTER   0.7        0.21       0.20       1.23");
  EXPECT_EQ(master[0], "      MASTER   0.7        ");
}

}  // namespace
}  // namespace pelasim::testing
