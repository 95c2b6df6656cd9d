// The bag flush with cell calibration and its outcomes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "handset/Calibration.h"
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim {
namespace {

using testing::HandsetTest;

class Flush : public HandsetTest {
 protected:
  void SetUp() override {
    HandsetTest::SetUp();
    st.loopPO2 = 0.21;
    HandsetRecord& l = hs(Side::Left);
    l.power = 1;
    l.role = 1;
    l.displayState = ds::FlushAndCalibrate;
    st.oxygenValveState = Valve::Open;
    st.mouthpieceState = Mouthpiece::Open;
  }
  bool recorded(const std::string& m) {
    for (const RecordRow& r : st.diveRecord.rows)
      if (r.message == m) return true;
    return false;
  }
};

TEST_F(Flush, FlushesTheLoopToTheCylinderGasAndCalibrates) {
  st.calibrationPressureMb = 1010;
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CalibratingHold);
  EXPECT_NEAR(st.loopPO2, 1.013, 1e-9);
  EXPECT_TRUE(recorded("Calibration Started"));
  EXPECT_TRUE(recorded("Calibration ended"));
  // Each factor is the calibration gas over the cell's settled output.
  for (std::size_t c = 1; c <= 3; ++c)
    EXPECT_DOUBLE_EQ(hs(Side::Left).cellCalibration[c], 1.01 / st.cells[c].millivolts) << c;
  EXPECT_EQ(h.soundsSince().front(), "6:injector.wav");
  EXPECT_NE(std::find(h.soundsSince().begin(), h.soundsSince().end(), "6:stop"), h.soundsSince().end());
  EXPECT_TRUE(sim.timers.enabled(TimerId::Timer8));
}

TEST_F(Flush, AFactorIsTheCalibrationGasOverTheSettledOutput) {
  st.calibrationPressureMb = 1013;
  st.calibrationOxygenPercent = 100;
  displayTick(sim, Side::Left);
  st.cells[1].millivolts = 50;
  // The same rule on a 50 mV cell: 1.013 / 50.
  EXPECT_NEAR(1.013 / 50, 0.02026, 1e-12);
}

TEST_F(Flush, ClosedValveEndsInNoOxygen) {
  st.oxygenValveState = Valve::Off;
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::NoOxygen);
  EXPECT_TRUE(recorded("Calibration Started"));
  EXPECT_FALSE(recorded("Calibration ended"));
  EXPECT_EQ(st.loopPO2, 0.21);
}

TEST_F(Flush, ClosingTheValveDuringTheFlushEndsItAtTheNextStep) {
  host.at(sim.tick() + 5000, [this] { h.click(Main::Image7); });
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::NoOxygen);
  EXPECT_GT(st.loopPO2, 0.21);
}

TEST_F(Flush, ALoopAlreadyRichIsAStuckCell) {
  st.surfacePressureMb = 1013;
  st.oxygenAnalysisPercent = 21;  // flush gas 0.21 bar
  st.loopPO2 = 0.32;
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CellStuck);
  EXPECT_EQ(st.loopPO2, 0.32);
}

TEST_F(Flush, ASlowCellIsAStuckCell) {
  st.slowCellNumber = 2;
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CellStuck);
}

TEST_F(Flush, AFailedCellFailsTheCalibration) {
  st.cells[3].millivolts = 0;
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CalCellFailure);
  EXPECT_FALSE(recorded("Calibration ended"));
}

TEST_F(Flush, AClosedMouthpieceKeepsTheFlushGasInTheLoop) {
  st.mouthpieceState = Mouthpiece::Closed;
  st.advFailedFault = 1;  // no venting by the over-pressure valve
  displayTick(sim, Side::Left);
  EXPECT_EQ(st.counterlungPercent, 100);
}

TEST_F(Flush, AnOpenMouthpieceLetsItOut) {
  displayTick(sim, Side::Left);
  EXPECT_EQ(st.counterlungPercent, 20);
}

TEST_F(Flush, TheRightHandsetsFirstScreenHasOneBlankLess) {
  HandsetRecord& r = hs(Side::Right);
  r.power = 1;
  r.displayState = ds::FlushAndCalibrate;
  r.cellPO2 = {0, 0.2, 0.21, 0.21};
  st.oxygenValveState = Valve::Off;  // ends after the first screen
  displayTick(sim, Side::Right);
  EXPECT_EQ(sim.win[Main::Label15].caption, "   FLUSHING BAG  0.20      0.21     0.21");
  hs(Side::Left).cellPO2 = {0, 0.21, 0.2, 0.21};
  displayTick(sim, Side::Left);
  EXPECT_EQ(sim.win[Main::Label14].caption, "   FLUSHING BAG  0.21      0.20      0.21");
}

TEST_F(Flush, AWaitingSlaveTakesTheNewFactors) {
  HandsetRecord& r = hs(Side::Right);
  r.power = 1;
  r.displayState = ds::SlaveWaiting;
  displayTick(sim, Side::Left);
  EXPECT_EQ(r.cellCalibration, hs(Side::Left).cellCalibration);
}

TEST_F(Flush, TheHoldBeepsWhateverTheSoundBoxSaysAndStartsTheMaster) {
  displayTick(sim, Side::Left);
  st.soundOn = 0;
  const std::size_t before = host.sounds.size();
  const std::uint32_t t = sim.tick();
  displayTick(sim, Side::Left);
  EXPECT_GE(sim.tick() - t, 7000u);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
  const auto sounds = h.soundsSince(before);
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), "0:DoubleBeep.wav"), sounds.end());
}

TEST_F(Flush, TheFlushEndsWhenTheProgramEnds) {
  host.at(sim.tick() + 2000, [this] { sim.ended = true; });
  const std::uint32_t t = sim.tick();
  displayTick(sim, Side::Left);
  EXPECT_LT(sim.tick() - t, 2100u);
}

}  // namespace
}  // namespace pelasim

namespace pelasim {
namespace {

// The flush is paced by the clock: every outcome, and the time it takes, is the same whether
// letting events run costs a microsecond or half a millisecond.
enum class Arrange { Calibrated, ValveClosedAfterThreeSeconds, SlowCell, FailedCell, RichLoop };

struct PacedCase {
  const char* name;
  Arrange arrange;
  int outcome;
  std::uint32_t minMs, maxMs;  // how long the flush takes
};

class PacedFlush : public Flush, public ::testing::WithParamInterface<std::tuple<PacedCase, int>> {};

TEST_P(PacedFlush, EndsAlikeAtAnyEventCost) {
  const auto& [c, costMicros] = GetParam();
  host.processEventsCostMicros = static_cast<std::uint64_t>(costMicros);
  switch (c.arrange) {
    case Arrange::Calibrated: st.calibrationPressureMb = 1010; break;
    case Arrange::ValveClosedAfterThreeSeconds:
      host.at(sim.tick() + 3000, [this] { h.click(Main::Image7); });
      break;
    case Arrange::SlowCell: st.slowCellNumber = 2; break;
    case Arrange::FailedCell: st.cells[3].millivolts = 0; break;
    // A loop already 0.1 bar above the flush gas ends the flush at once, before the loop can
    // breathe down and pass the stuck test.
    case Arrange::RichLoop:
      st.depthMetres = 10;
      st.loopPO2 = 1.5;
      break;
  }
  const double po2Before = st.loopPO2;
  const std::uint32_t t = sim.tick();
  displayTick(sim, Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, c.outcome);
  EXPECT_GE(sim.tick() - t, c.minMs);
  EXPECT_LE(sim.tick() - t, c.maxMs);
  if (c.outcome == ds::CalibratingHold) {
    // The cells have followed the flushed loop: 1.013 bar read as about 1.01.
    host.runFor(1000);
    for (std::size_t cell = 1; cell <= 3; ++cell)
      EXPECT_NEAR(st.cells[cell].millivolts * hs(Side::Left).cellCalibration[cell], 1.01, 0.02);
  }
  if (c.arrange == Arrange::RichLoop) {
    EXPECT_EQ(st.loopPO2, po2Before);
  }
}

const PacedCase kPacedCases[] = {
    {"Calibrated", Arrange::Calibrated, ds::CalibratingHold, 4000, 9000},
    {"ValveClosedAfterThreeSeconds", Arrange::ValveClosedAfterThreeSeconds, ds::NoOxygen, 3000, 3100},
    {"SlowCell", Arrange::SlowCell, ds::CellStuck, 4000, 9000},
    {"FailedCell", Arrange::FailedCell, ds::CalCellFailure, 4000, 9000},
    {"RichLoop", Arrange::RichLoop, ds::CellStuck, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, PacedFlush,
                         ::testing::Combine(::testing::ValuesIn(kPacedCases), ::testing::Values(1, 20, 500)),
                         [](const auto& p) {
                           return std::string(std::get<0>(p.param).name) + "_" +
                                  std::to_string(std::get<1>(p.param)) + "us";
                         });

}  // namespace
}  // namespace pelasim
