// The data file reader keeps only the items a row needs: the rest of an overlong line is
// skipped, so a file of one enormous line opens like any other.
#include <gtest/gtest.h>

#include <string>

#include "datafile/DataFile.h"

namespace pelasim::datafile {
namespace {

std::string head() {
  return "\"Orvane Pelagrinova Simulator\",#2026-12-07#,#09:30:00#\r\n\r\n"
         "\"Time (secs)\",\"Real PO2\",\"Handset PO2\",\"Depth\",\"Setpoint\",\"loop Volume\","
         "\"Status Messages\"\r\n\r\n";
}

TEST(OverlongLineTest, ARowKeepsItsSevenItemsAndSkipsTheRest) {
  const std::string file = head() + "1,0.21,0.2,3,0.7,16,\"Breathing Started\"" +
                           std::string(2'000'000, ',') + "9\r\n2,0.3,0.3,4,0.7,16,\r\n";
  const ReadResult r = readFile(file);
  ASSERT_TRUE(r.isDataFile);
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0][kMessage], Item::str("Breathing Started"));
  EXPECT_EQ(r.rows[0][kDepth], Item::num(3));
  EXPECT_EQ(r.irregularLines, 1);
  EXPECT_EQ(r.rows[1][kDepth], Item::num(4));
}

TEST(OverlongLineTest, ALineOfCommasAloneIsBlank) {
  const std::string file = head() + std::string(3'000'000, ',') + "\r\n1,0.21,0.2,3,0.7,16,\r\n";
  const ReadResult r = readFile(file);
  ASSERT_TRUE(r.isDataFile);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.irregularLines, 0);
}

TEST(OverlongLineTest, AHeaderWithMoreItemsIsNotADataFile) {
  std::string file = head();
  file.insert(file.find("\"Status Messages\"") + 17, std::string(1'000'000, ','));
  EXPECT_FALSE(readFile(file).isDataFile);
}

}  // namespace
}  // namespace pelasim::datafile
