// Reading the data file: the item syntax, the line structure, damaged and foreign files, and
// the round trip through the writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datafile/SampleRows.h"
#include "datafile/DataFile.h"

namespace pelasim::datafile {
namespace {

using K = Item::Kind;

Item date(std::string s) { return {K::Date, 0, std::move(s)}; }
Item time(std::string s) { return {K::Time, 0, std::move(s)}; }

// ---- Items of one line ---------------------------------------------------------------------

struct LineCase {
  const char* name;
  std::string line;
  std::vector<Item> items;
};

class LineItems : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineItems, AreReadAsWritten) {
  const LineCase& c = GetParam();
  EXPECT_EQ(lineItems(c.line), c.items) << "line: " << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, LineItems,
    ::testing::Values(
        LineCase{"EmptyLineIsOneEmptyItem", "", {Item::empty()}},
        LineCase{"QuotedText", "\"Manual O2 Addition\"", {Item::str("Manual O2 Addition")}},
        LineCase{"QuotedTextKeepsItsCommas", "\"a, b,c\",2", {Item::str("a, b,c"), Item::num(2)}},
        LineCase{"EmptyQuotedText", "\"\"", {Item::str("")}},
        LineCase{"NumberWithLeadingZero", "0.7", {Item::num(0.7)}},
        LineCase{"NumberWithoutLeadingZero", ".7", {Item::num(0.7)}},
        LineCase{"NegativeWithoutLeadingZero", "-.25", {Item::num(-0.25)}},
        LineCase{"NegativeDepth", "-20", {Item::num(-20)}},
        LineCase{"WholeNumber", "18000", {Item::num(18000)}},
        LineCase{"Date", "#2026-03-14#", {date("2026-03-14")}},
        LineCase{"TimeOfDay", "#10:21:07#", {time("10:21:07")}},
        LineCase{"TitleLine", "\"Orvane Pelagrinova Simulator\",#2026-03-14#,#10:21:07#",
                 {Item::str("Orvane Pelagrinova Simulator"), date("2026-03-14"), time("10:21:07")}},
        LineCase{"NothingBetweenCommas", "1,,3", {Item::num(1), Item::empty(), Item::num(3)}},
        LineCase{"TrailingCommaEndsWithEmptyItem", "12,1.28,1.3,20,1.3,16,",
                 {Item::num(12), Item::num(1.28), Item::num(1.3), Item::num(20), Item::num(1.3),
                  Item::num(16), Item::empty()}},
        LineCase{"OnlyAComma", ",", {Item::empty(), Item::empty()}},
        LineCase{"BlanksAroundANumber", "  12 \t,3", {Item::num(12), Item::num(3)}},
        LineCase{"UnquotedWordsAreText", "Real PO2", {Item::str("Real PO2")}},
        LineCase{"UnterminatedQuoteRunsToLineEnd", "\"abc,def", {Item::str("abc,def")}},
        LineCase{"JunkAfterClosingQuoteIgnored", "\"x\"junk,2", {Item::str("x"), Item::num(2)}},
        LineCase{"UnterminatedDateStopsAtComma", "#2026-03,5", {date("2026-03"), Item::num(5)}},
        LineCase{"InfinityIsText", "inf,nan", {Item::str("inf"), Item::str("nan")}},
        LineCase{"OutOfRangeIsText", "1e999", {Item::str("1e999")}},
        LineCase{"TwoPointsIsText", "1.2.3", {Item::str("1.2.3")}},
        LineCase{"LoneSignIsText", "-", {Item::str("-")}}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- Line ends -------------------------------------------------------------------------------

TEST(SplitItems, CrLfLfAndCrGiveTheSameItems) {
  const std::vector<Item> want = {Item::num(1), Item::num(2), Item::empty(), Item::str("m"),
                                  Item::empty()};
  EXPECT_EQ(splitItems("1,2,\r\n\"m\"\r\n\r\n"), want);
  EXPECT_EQ(splitItems("1,2,\n\"m\"\n\n"), want);
  EXPECT_EQ(splitItems("1,2,\r\"m\"\r\r"), want);
}

TEST(SplitItems, TextAfterTheLastLineEndIsOneMoreLine) {
  EXPECT_EQ(splitItems("1\r\n2"), (std::vector<Item>{Item::num(1), Item::num(2)}));
  EXPECT_TRUE(splitItems("").empty());
}

// ---- Whole files -----------------------------------------------------------------------------


const std::vector<Row> kThreeSeconds = {row(0.7, 0.7, 0, 0.7, "Breathing Started"),
                                        row(1.28, 1.3, 20, 1.3),
                                        row(1.31, 1.31, 21, 1.3, "Manual O2 Addition")};

std::string threeSecondFile() { return formatFile({2026, 3, 14, 10, 21, 7}, kThreeSeconds); }

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size())
    s.replace(p, from.size(), to);
  return s;
}

TEST(ReadFile, WrittenFileReadsBackRowForRow) {
  const ReadResult r = readFile(threeSecondFile());
  EXPECT_TRUE(r.isDataFile);
  EXPECT_TRUE(r.sawTrailer);
  EXPECT_FALSE(r.truncated);
  EXPECT_EQ(r.irregularLines, 0);
  EXPECT_EQ(r.title, "Orvane Pelagrinova Simulator");
  EXPECT_EQ(r.date, "2026-03-14");
  EXPECT_EQ(r.time, "10:21:07");
  EXPECT_EQ(r.rows, kThreeSeconds);
}

TEST(ReadFile, LfLineEndsReadLikeCrLf) {
  const ReadResult r = readFile(replaceAll(threeSecondFile(), "\r\n", "\n"));
  EXPECT_TRUE(r.isDataFile);
  EXPECT_TRUE(r.sawTrailer);
  EXPECT_EQ(r.rows, kThreeSeconds);
}

TEST(ReadFile, NumbersWithoutLeadingZeroReadAsWithIt) {
  std::string text = threeSecondFile();
  text = replaceAll(text, ",0.7,", ",.7,");
  EXPECT_EQ(readFile(text).rows, kThreeSeconds);
}

TEST(ReadFile, MissingTrailerReadsToTheEnd) {
  std::string text = threeSecondFile();
  text.resize(text.find("\r\n\r\n\"Orvane Pelagrinova Simulator data file") + 2);
  const ReadResult r = readFile(text);
  EXPECT_TRUE(r.isDataFile);
  EXPECT_FALSE(r.sawTrailer);
  EXPECT_EQ(r.rows, kThreeSeconds);
}

TEST(ReadFile, FileCutInTheMiddleOfALineKeepsWhatItHas) {
  std::string text = threeSecondFile();
  text.resize(text.find("3,1.31,") + std::string("3,1.31,1.3").size());
  const ReadResult r = readFile(text);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[2][kRealPO2], Item::num(1.31));
  EXPECT_EQ(r.rows[2][kHandsetPO2], Item::num(1.3));
  EXPECT_EQ(r.rows[2][kDepth], Item::empty());
  EXPECT_EQ(r.rows[2][kMessage], Item::empty());
  EXPECT_EQ(r.irregularLines, 1);
}

TEST(ReadFile, DamagedLineDoesNotShiftTheRowsAfterIt) {
  // The second line lost two items and the third gained one: each stays one second.
  std::string text = threeSecondFile();
  text = replaceAll(text, "2,1.28,1.3,20,1.3,16,", "2,1.28,1.3,20,");
  text = replaceAll(text, "\"Manual O2 Addition\"", "\"Manual O2 Addition\",99");
  const ReadResult r = readFile(text);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.irregularLines, 2);
  EXPECT_EQ(r.rows[1][kDepth], Item::num(20));
  EXPECT_EQ(r.rows[1][kSetpoint], Item::empty());
  EXPECT_EQ(r.rows[2], kThreeSeconds[2]);
}

TEST(ReadFile, BlankLinesAmongTheDataAreSkipped) {
  std::string text = threeSecondFile();
  text = replaceAll(text, "\r\n2,", "\r\n\r\n   \r\n2,");
  EXPECT_EQ(readFile(text).rows, kThreeSeconds);
}

TEST(ReadFile, ByteOrderMarkIsIgnored) {
  const ReadResult r = readFile("\xEF\xBB\xBF" + threeSecondFile());
  EXPECT_EQ(r.title, "Orvane Pelagrinova Simulator");
  EXPECT_EQ(r.rows, kThreeSeconds);
}

TEST(ReadFile, SpreadsheetResaveWithoutQuotesStillReads) {
  // What a spreadsheet writes back: no quotes, the empty lines filled with commas.
  const std::string text =
      "Orvane Pelagrinova Simulator,2026-03-14,10:21:07\n,,,,,,\n"
      "Time (secs),Real PO2,Handset PO2,Depth,Setpoint,loop Volume,Status Messages\n,,,,,,\n"
      "1,0.7,0.7,0,0.7,16,Breathing Started\n2,1.28,1.3,20,1.3,16,\n"
      "3,1.31,1.31,21,1.3,16,Manual O2 Addition\n,,,,,,\n"
      "Orvane Pelagrinova Simulator data file. (c) 2002-2026 Orvane Simulator Authors,,,,,,\n";
  const ReadResult r = readFile(text);
  EXPECT_TRUE(r.isDataFile);
  EXPECT_TRUE(r.sawTrailer);
  EXPECT_EQ(r.date, "2026-03-14");
  EXPECT_EQ(r.rows, kThreeSeconds);
}

TEST(ReadFile, HeaderWithoutDataIsAnEmptyRecord) {
  const ReadResult r = readFile(formatFile({}, {}));
  EXPECT_TRUE(r.isDataFile);
  EXPECT_TRUE(r.sawTrailer);
  EXPECT_TRUE(r.rows.empty());
}

TEST(ReadFile, NothingAfterTheTrailerIsRead) {
  const ReadResult r = readFile(threeSecondFile() + "4,1,1,1,1,16,\r\n");
  EXPECT_EQ(r.rows.size(), 3u);
}

TEST(ReadFile, AtMostEighteenThousandRows) {
  std::string text = formatFile({}, {});
  text.resize(text.find("\r\n\r\n\"Orvane Pelagrinova Simulator data file") + 2);
  for (int s = 1; s <= kMaxRows + 5; ++s) text += std::to_string(s) + ",1,1,10,1.3,16,\r\n";
  const ReadResult r = readFile(text);
  EXPECT_EQ(r.rows.size(), static_cast<std::size_t>(kMaxRows));
  EXPECT_TRUE(r.truncated);
}

struct NotDataCase {
  const char* name;
  std::string bytes;
};

class NotADataFile : public ::testing::TestWithParam<NotDataCase> {};

TEST_P(NotADataFile, IsRecognised) {
  const ReadResult r = readFile(GetParam().bytes);
  EXPECT_FALSE(r.isDataFile);
  EXPECT_TRUE(r.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, NotADataFile,
    ::testing::Values(
        NotDataCase{"Empty", ""},
        NotDataCase{"OnlyLineEnds", "\r\n\r\n\r\n"},
        NotDataCase{"PlainText", "Dear diary,\ntoday I dived.\n"},
        NotDataCase{"Binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0", 18)},
        NotDataCase{"TitleOnly", "\"Orvane Pelagrinova Simulator\",#2026-03-14#,#10:21:07#\r\n"},
        NotDataCase{"HeaderMisspelt",
                    "\"t\"\r\n\r\n\"Time (secs)\",\"Real PO2\",\"Handset PO2\",\"Depth\","
                    "\"Setpoint\",\"Loop Volume\",\"Status Messages\"\r\n\r\n1,1,1,1,1,16,\r\n"},
        NotDataCase{"HeaderShort",
                    "\"t\"\r\n\r\n\"Time (secs)\",\"Real PO2\",\"Handset PO2\"\r\n1,1,1\r\n"},
        NotDataCase{"UnterminatedQuoteInTitle", "\"Orvane Pelagrinova Simulator\r\n\"Time (secs)"}),
    [](const auto& p) { return std::string(p.param.name); });

// Awkward tails after a good header: unterminated quotes and dates, NUL bytes, extreme
// numbers, stray line ends.
TEST(ReadFile, AwkwardInputsSurviveARoundTrip) {
  const std::string header =
      "\"t\"\n\"Time (secs)\",\"Real PO2\",\"Handset PO2\",\"Depth\",\"Setpoint\","
      "\"loop Volume\",\"Status Messages\"\n";
  const std::vector<std::string> inputs = {
      header + "#",
      header + "\"",
      header + ",#,\"",
      header + "1,#a\"b,\"c#d\",#",
      header + std::string(1, '\0') + "," + std::string(3, '\0'),
      header + "1,1e308,-1e308,4.9e-324,2.2250738585072014e-308,16,",
      header + "\r\r\r\n\n\n,",
  };
  for (const std::string& in : inputs) {
    const ReadResult r = readFile(in);
    EXPECT_TRUE(r.isDataFile);
    // Written and read again, the rows come back alike; a second round changes no byte.
    const std::string once = formatFile({}, r.rows);
    const ReadResult again = readFile(once);
    EXPECT_EQ(again.rows.size(), r.rows.size());
    EXPECT_EQ(formatFile({}, again.rows), once) << "input: " << in;
  }
}

// Found by fuzzing: an unquoted message that holds a double quote (a hand-edited or damaged
// line). It reads as it stands, and saving writes the quote as an apostrophe, since the
// syntax cannot write a quote inside a text; read again, the row keeps that apostrophe.
TEST(ReadFile, UnquotedTextHoldingAQuoteSavesWithAnApostrophe) {
  std::string text = threeSecondFile();
  text = replaceAll(text, "3,1.31,1.31,21,1.3,16,\"Manual O2 Addition\"",
                    "3,1.31,1.31,21,1.3,16,Manual \"O2\" Addition");
  const ReadResult r = readFile(text);
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[2][kMessage], Item::str("Manual \"O2\" Addition"));
  const std::string saved = formatFile({}, r.rows);
  EXPECT_NE(saved.find(",16,\"Manual 'O2' Addition\"\r\n"), std::string::npos);
  EXPECT_EQ(readFile(saved).rows[2][kMessage], Item::str("Manual 'O2' Addition"));
}

TEST(FormatFile, ThreeSecondFileIsExactlyAsWritten) {
  EXPECT_EQ(threeSecondFile(),
            "\"Orvane Pelagrinova Simulator\",#2026-03-14#,#10:21:07#\r\n"
            "\r\n"
            "\"Time (secs)\",\"Real PO2\",\"Handset PO2\",\"Depth\",\"Setpoint\","
            "\"loop Volume\",\"Status Messages\"\r\n"
            "\r\n"
            "1,0.7,0.7,0,0.7,16,\"Breathing Started\"\r\n"
            "2,1.28,1.3,20,1.3,16,\r\n"
            "3,1.31,1.31,21,1.3,16,\"Manual O2 Addition\"\r\n"
            "\r\n"
            "\"Orvane Pelagrinova Simulator data file. (c) 2002-2026 Orvane Simulator Authors\"\r\n");
}

struct NumberCase {
  double value;
  const char* text;
};

class FormatNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumber, PlainDecimalWithAPeriodAndReadBackAlike) {
  EXPECT_EQ(formatNumber(GetParam().value), GetParam().text);
  EXPECT_EQ(lineItems(GetParam().text), std::vector<Item>{Item::num(GetParam().value)});
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatNumber,
    ::testing::Values(NumberCase{0.7, "0.7"}, NumberCase{1.28, "1.28"}, NumberCase{-20, "-20"},
                      NumberCase{-0.0, "0"}, NumberCase{16, "16"}, NumberCase{1e-6, "0.000001"},
                      NumberCase{-2.5e-7, "-0.00000025"},
                      NumberCase{1e20, "100000000000000000000"},
                      NumberCase{123456789012345678.0, "123456789012345680"}));

TEST(ReadFile, ReadsEveryWrittenMessageBack) {
  std::vector<Row> rows = kThreeSeconds;
  rows[1][kMessage] = Item::str("Left handset: both right buttons");
  rows[2][kMessage] = Item::str("commas, inside, a message");
  EXPECT_EQ(readFile(formatFile({}, rows)).rows, rows);
}

// ---- Reading from disk -----------------------------------------------------------------------

class WholeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("pelasim-read-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(WholeFile, MissingFileGivesTheReason) {
  std::string bytes = "old", error;
  EXPECT_FALSE(readWholeFile((dir_ / "nope.csv").string(), bytes, error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(bytes.empty());
}

TEST_F(WholeFile, FolderIsNotReadAsAFile) {
  std::string bytes, error;
  EXPECT_FALSE(readWholeFile(dir_.string(), bytes, error));
  EXPECT_FALSE(error.empty());
}

TEST_F(WholeFile, ReadsEveryByte) {
  const std::string text = threeSecondFile();
  std::ofstream(dir_ / "d.csv", std::ios::binary) << text;
  std::string bytes, error;
  ASSERT_TRUE(readWholeFile((dir_ / "d.csv").string(), bytes, error)) << error;
  EXPECT_EQ(bytes, text);
}

TEST_F(WholeFile, StopsAtTheSizeLimit) {
  std::ofstream(dir_ / "big.csv", std::ios::binary) << std::string(1001, 'x');
  std::string bytes, error;
  EXPECT_TRUE(readWholeFile((dir_ / "big.csv").string(), bytes, error, 1001));
  EXPECT_FALSE(readWholeFile((dir_ / "big.csv").string(), bytes, error, 1000));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_TRUE(bytes.empty());
}

TEST(WholeFileDevice, EndlessStreamEndsAtTheLimit) {
  if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP();
  std::string bytes, error;
  EXPECT_FALSE(readWholeFile("/dev/zero", bytes, error, 1 << 20));
}

}  // namespace
}  // namespace pelasim::datafile
