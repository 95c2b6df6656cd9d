// The chart's content built from data rows: one value per second, gaps where a cell holds
// no number, the messages with their seconds, and the readout's lookup.
#include <gtest/gtest.h>

#include <cmath>

#include "datafile/SampleRows.h"
#include "debrief/DiveTrace.h"

namespace pelasim::datafile {
namespace {


TEST(DiveTrace, EveryRowIsOneSecondIncludingTheLast) {
  const DiveTrace t = traceOf({row(0.7, 0.7, 0, 0.7), row(1.28, 1.3, 20, 1.3), row(1.3, 1.3, 21, 1.3)});
  ASSERT_EQ(t.seconds(), 3);
  EXPECT_EQ(t.realPO2[2], 1.3);
  EXPECT_EQ(t.handsetPO2[1], 1.3);
  EXPECT_EQ(t.setpoint[0], 0.7);
  EXPECT_EQ(t.depth[1], 20);  // as recorded; the chart draws it downwards
  EXPECT_DOUBLE_EQ(t.highestPO2, 1.3);
  EXPECT_DOUBLE_EQ(t.deepest, 21);
}

TEST(DiveTrace, CellsWithoutANumberLeaveGaps) {
  Row r = row(1, 1, 10, 1.3);
  r[kRealPO2] = Item::str("n/a");
  r[kDepth] = Item::empty();
  r[kSetpoint] = Item{Item::Kind::Date, 0, "2026-01-01"};
  const DiveTrace t = traceOf({r});
  EXPECT_FALSE(t.realPO2[0].has_value());
  EXPECT_FALSE(t.depth[0].has_value());
  EXPECT_FALSE(t.setpoint[0].has_value());
  EXPECT_EQ(t.handsetPO2[0], 1);
  EXPECT_DOUBLE_EQ(t.deepest, 0);
}

TEST(DiveTrace, MessagesKeepTheirSecond) {
  std::vector<Row> rows(5, row(1, 1, 10, 1.3));
  rows[0][kMessage] = Item::str("Breathing Started");
  rows[3][kMessage] = Item::str("Warning: High O2");
  rows[4][kMessage] = Item::str("");  // an empty quoted text is no message
  const DiveTrace t = traceOf(rows);
  ASSERT_EQ(t.messages.size(), 2u);
  EXPECT_EQ(t.messages[0].second, 1);
  EXPECT_EQ(t.messages[1].second, 4);
  EXPECT_EQ(t.messages[1].text, "Warning: High O2");
}

TEST(DiveTrace, MessagesBetweenIncludesBothEnds) {
  std::vector<Row> rows(10, row(1, 1, 10, 1.3));
  for (int s : {2, 5, 9}) rows[static_cast<std::size_t>(s - 1)][kMessage] = Item::str("m");
  const DiveTrace t = traceOf(rows);
  EXPECT_EQ(t.messagesBetween(2, 9), (std::pair<std::size_t, std::size_t>{0, 3}));
  EXPECT_EQ(t.messagesBetween(2.5, 8.9), (std::pair<std::size_t, std::size_t>{1, 2}));
  EXPECT_EQ(t.messagesBetween(6, 8), (std::pair<std::size_t, std::size_t>{2, 2}));
  EXPECT_EQ(t.messagesBetween(9, 2), (std::pair<std::size_t, std::size_t>{0, 0}));
  EXPECT_EQ(t.messagesBetween(std::nan(""), 9), (std::pair<std::size_t, std::size_t>{0, 0}));
}

struct SampleCase {
  double t;
  int second;
};

class SampleAt : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleAt, TakesTheNearestRecordedSecond) {
  std::vector<Row> rows;
  for (int s = 1; s <= 4; ++s) rows.push_back(row(s / 10.0, 0, s, 1.3, s == 3 ? "Bailed Out" : ""));
  const auto sample = sampleAt(traceOf(rows), GetParam().t);
  ASSERT_TRUE(sample.has_value());
  EXPECT_EQ(sample->second, GetParam().second);
  EXPECT_EQ(sample->depth, GetParam().second);
  EXPECT_EQ(sample->message, GetParam().second == 3 ? "Bailed Out" : "");
}

INSTANTIATE_TEST_SUITE_P(Readout, SampleAt,
                         ::testing::Values(SampleCase{-50, 1}, SampleCase{0, 1}, SampleCase{1.49, 1},
                                           SampleCase{1.5, 2}, SampleCase{3, 3}, SampleCase{3.4, 3},
                                           SampleCase{4, 4}, SampleCase{1e12, 4}));

TEST(SampleAtEdges, NothingForAnEmptyTraceOrNoTime) {
  EXPECT_FALSE(sampleAt(DiveTrace{}, 1).has_value());
  EXPECT_FALSE(sampleAt(traceOf({row(1, 1, 1, 1)}), std::nan("")).has_value());
}

}  // namespace
}  // namespace pelasim::datafile
