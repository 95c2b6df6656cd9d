// The oxygen cells and the handsets' readings: lag, slow, drifting and failed cells, the
// reading cap, the hidden millivolt readout and the running screens.
#include <cmath>

#include "core/Format.h"
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim::testing {
namespace {

class CellsTest : public HandsetTest {
 protected:
  void SetUp() override {
    HandsetTest::SetUp();
    for (int c = 1; c <= 3; ++c) {
      st.cells[static_cast<std::size_t>(c)].offsetMillivolts = 0;
      st.cells[static_cast<std::size_t>(c)].airMillivolts = 10.5;
    }
  }
  // Ideal output of a healthy cell of 10.5 mV in air at `po2` bar.
  static double ideal(double po2) { return 10.5 * (100.0 / 21.0) * po2; }
  double mv(int c) { return st.cells[static_cast<std::size_t>(c)].millivolts; }
};

TEST_F(CellsTest, HealthyCellsCoverHalfTheGapEachTick) {
  st.loopPO2 = 0.21;  // ideal 10.5 mV
  millivoltTick(sim);
  EXPECT_DOUBLE_EQ(mv(1), (5 + 10.5) / 2);
  millivoltTick(sim);
  EXPECT_DOUBLE_EQ(mv(1), (7.75 + 10.5) / 2);
}

TEST_F(CellsTest, OffsetAndDriftLowerTheTarget) {
  st.cells[2].offsetMillivolts = 0.5f;
  st.cellDriftRate[2] = 1;
  st.cells[2].millivolts = ideal(1.0);
  st.loopPO2 = 1.0;
  millivoltTick(sim);
  EXPECT_NEAR(mv(2), ideal(1.0) - 0.75, 1e-12);
  EXPECT_DOUBLE_EQ(st.cellDriftRate[2], 1.01);
}

TEST_F(CellsTest, SlowCellLagsWhenRisingAndFollowsFasterWhenFalling) {
  st.slowCellNumber = 2;
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].millivolts = ideal(0.21);
  st.loopPO2 = 1.0;
  millivoltTick(sim);
  const double gap = ideal(1.0) - ideal(0.21);
  EXPECT_NEAR(mv(1), ideal(0.21) + gap / 2, 1e-9);
  EXPECT_NEAR(mv(2), ideal(0.21) + gap / 4, 1e-9);
  // Falling: the slow cell covers three quarters of the gap.
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].millivolts = ideal(1.0);
  st.loopPO2 = 0.21;
  millivoltTick(sim);
  EXPECT_NEAR(mv(1), ideal(1.0) - gap / 2, 1e-9);
  EXPECT_NEAR(mv(2), ideal(1.0) - 3 * gap / 4, 1e-9);
}

TEST_F(CellsTest, FailedCellStaysAtZeroReadsZeroAndItsDriftDoesNotGrow) {
  st.cells[3].millivolts = 0;
  st.cellDriftRate[3] = 0.01;
  st.loopPO2 = 1.0;
  for (int i = 0; i < 10; ++i) millivoltTick(sim);
  EXPECT_EQ(mv(3), 0);
  EXPECT_EQ(st.cellDriftRate[3], 0.01);
  EXPECT_EQ(hs(Side::Left).cellPO2[3], 0);
  EXPECT_EQ(hs(Side::Right).cellPO2[3], 0);
  EXPECT_EQ(sim.win[Main::Label17].caption.substr(sim.win[Main::Label17].caption.size() - 3), ".00");
}

TEST_F(CellsTest, HiddenReadoutShowsTheThreeOutputs) {
  st.cells[1].millivolts = 10.47;
  st.cells[2].millivolts = 0;
  st.cells[3].millivolts = 0.5;
  st.cells[1].airMillivolts = 0;  // targets of 0 mV: the outputs halve
  st.cells[3].airMillivolts = 0;
  millivoltTick(sim);
  EXPECT_EQ(sim.win[Main::Label17].caption, "5.24   .00   .25");
  EXPECT_FALSE(sim.win[Main::Label17].visible);
}

TEST_F(CellsTest, ReadingsUseEachHandsetsFactorsAndAreCappedAt255) {
  st.loopPO2 = 0.21;
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].millivolts = 10.5;
  hs(Side::Left).cellCalibration = {0, 0.02, 0.3, 0.01};
  hs(Side::Right).cellCalibration = {0, 0.01, 0.02, 0.25};
  millivoltTick(sim);
  EXPECT_DOUBLE_EQ(hs(Side::Left).cellPO2[1], 10.5 * 0.02);
  EXPECT_DOUBLE_EQ(hs(Side::Left).cellPO2[2], 2.55);
  EXPECT_DOUBLE_EQ(hs(Side::Left).cellPO2[3], 10.5 * 0.01);
  EXPECT_DOUBLE_EQ(hs(Side::Right).cellPO2[1], 10.5 * 0.01);
  EXPECT_DOUBLE_EQ(hs(Side::Right).cellPO2[3], 2.55);
}

TEST_F(CellsTest, DriftTickDoublesEveryDrift) {
  st.cellDriftRate = {0, 0.01, 0, 0.5};
  driftTick(sim);
  EXPECT_DOUBLE_EQ(st.cellDriftRate[1], 0.02);
  EXPECT_EQ(st.cellDriftRate[2], 0);
  EXPECT_DOUBLE_EQ(st.cellDriftRate[3], 1.0);
}

TEST_F(CellsTest, DriftingCellGoesNegativeAndStaysFiniteForEver) {
  st.loopPO2 = 1.0;
  st.cellDriftRate[1] = 0.01;
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].millivolts = ideal(1.0);
  // One minute of cell ticks: 119.5 millivolt ticks of 502 ms and one drift tick.
  const auto minutes = [this](int n) {
    for (int m = 0; m < n; ++m) {
      for (int i = 0; i < 120; ++i) millivoltTick(sim);
      driftTick(sim);
    }
  };
  // After three minutes the drift takes a few millivolts off; the cell still reads positive.
  minutes(3);
  EXPECT_GT(st.cellDriftRate[1], 1);
  EXPECT_LT(st.cellDriftRate[1], 10);
  EXPECT_GT(hs(Side::Left).cellPO2[1], 0);
  // Five minutes later it reads below zero.
  minutes(5);
  EXPECT_LT(hs(Side::Left).cellPO2[1], 0);
  // Twelve hours on, well past the range of a doubling number, it still reads negative.
  minutes(12 * 60);
  EXPECT_TRUE(std::isfinite(st.cellDriftRate[1]));
  EXPECT_TRUE(std::isfinite(mv(1)));
  EXPECT_LT(mv(1), 0);
  EXPECT_LT(hs(Side::Left).cellPO2[1], 0);
  EXPECT_LT(hs(Side::Right).cellPO2[1], 0);
  EXPECT_GT(hs(Side::Left).cellPO2[2], 0);
}

TEST_F(CellsTest, DriftingCellReadsNegativeEvenAtTheHighestLoopPO2) {
  // 40 m under 1050 mb, a cell of almost 12 mV in air, the largest offset below zero.
  st.loopPO2 = 5.05;
  st.cells[1].airMillivolts = 11.999;
  st.cells[1].offsetMillivolts = -0.999f;
  st.cellDriftRate[1] = 1e300;
  for (int i = 0; i < 100; ++i) millivoltTick(sim);
  EXPECT_LT(mv(1), 0);
  EXPECT_TRUE(std::isfinite(mv(1)));
}

TEST_F(CellsTest, RunningScreensOfMasterAndSlave) {
  st.currentSetpoint = 1.3;
  HandsetRecord& l = hs(Side::Left);
  HandsetRecord& r = hs(Side::Right);
  l.displayState = ds::MasterRunning;
  r.displayState = ds::SlaveRunning;
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].millivolts = 0;  // frozen
  millivoltTick(sim);
  EXPECT_EQ(screen(Side::Left), "      MASTER   1.3        0.00       0.00       0.00");
  EXPECT_EQ(screen(Side::Right), "       SLAVE   1.3        0.00       0.00       0.00");
  st.cells[2].millivolts = 50;
  st.cells[2].airMillivolts = 0;
  l.cellCalibration[2] = 0.02;
  r.cellCalibration[2] = 0.03;
  st.loopPO2 = 0;
  millivoltTick(sim);  // 25 mV
  EXPECT_EQ(screen(Side::Left), "      MASTER   1.3        0.00       0.50       0.00");
  EXPECT_EQ(screen(Side::Right), "       SLAVE   1.3        0.00       0.75       0.00");
  EXPECT_EQ(l.displayState, ds::MasterRunning);
}

TEST_F(CellsTest, OtherStatesKeepTheirScreen) {
  for (int state : {0, 1, 4, 13, 40, 50, 54}) {
    hs(Side::Left).displayState = static_cast<ds::DisplayState>(state);
    sim.win.setCaption(Main::Label14, "kept");
    millivoltTick(sim);
    EXPECT_EQ(screen(Side::Left), "kept") << "state " << state;
  }
}

}  // namespace
}  // namespace pelasim::testing
