// The instructor's failure options, their delayed application and the failures that act
// continuously.
#include <gtest/gtest.h>

#include "failures/Failures.h"
#include "loop/Loop.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimTest;

class Failures : public SimTest {
 protected:
  void tick(Opt box) { clickOptionBox(sim, box); }
  void arm(int minutes) {
    sim.options.setValue(Opt::Slider1, minutes);
    optionSliderChange(sim, minutes);
    dispatchOptions(sim, Opt::Command1, MouseEvent::Click);
  }
  int optionsChangedEntries() const {
    int n = 0;
    for (const RecordRow& r : st.diveRecord.rows) n += r.message == "Options Changed";
    return n;
  }
};

struct PairCase {
  Opt first, second;
};

class ExclusivePairs : public Failures, public ::testing::WithParamInterface<PairCase> {};

TEST_P(ExclusivePairs, NeverTickedTogether) {
  const auto [a, b] = GetParam();
  tick(a);
  tick(b);
  EXPECT_FALSE(sim.optionTicked(a));
  EXPECT_TRUE(sim.optionTicked(b));
  tick(a);
  EXPECT_TRUE(sim.optionTicked(a));
  EXPECT_FALSE(sim.optionTicked(b));
  tick(a);  // unticking changes nothing else
  EXPECT_FALSE(sim.optionTicked(a));
  EXPECT_FALSE(sim.optionTicked(b));
}

INSTANTIATE_TEST_SUITE_P(Boxes, ExclusivePairs,
                         ::testing::Values(PairCase{option::MasterBatteryLow, option::MasterBatteryExhausted},
                                           PairCase{option::SolenoidStuckClosed, option::SolenoidStuckOpen},
                                           PairCase{option::CellDrift, option::TwoCellDrift}));

TEST_F(Failures, TheDialogHoldsItsCaptionsAndTips) {
  EXPECT_EQ(sim.options[Opt::Form].caption, "Simulator Options");
  EXPECT_EQ(sim.options[Opt::Check6].caption, "Cell Failure ");
  EXPECT_EQ(sim.options[Opt::Check11].toolTip, "Solenoid stuck open and continously injecting oxygen");
  EXPECT_EQ(sim.options[Opt::Check22].toolTip, "");
  EXPECT_EQ(sim.options[Opt::Command1].caption, "Change now");
  int boxes = 0;
  for (int i = 0; i < sim.options.size(); ++i) boxes += sim.options.at(i).kind == ElementKind::CheckBox;
  EXPECT_EQ(boxes, 23);
}

TEST_F(Failures, SliderNamesTheDelay) {
  optionSliderChange(sim, 5);
  EXPECT_EQ(sim.options[Opt::Command1].caption, "Change in 5 minutes");
  optionSliderChange(sim, 0);
  EXPECT_EQ(sim.options[Opt::Command1].caption, "Change Now");
}

TEST_F(Failures, WithoutDelayTheOptionsApplyAtOnce) {
  optionsButtonClick(sim);
  EXPECT_TRUE(sim.options[Opt::Form].visible);
  tick(option::AdvFailed);
  arm(0);
  EXPECT_FALSE(sim.options[Opt::Form].visible);
  host.runFor(9);
  EXPECT_EQ(st.advFailedFault, 0);
  host.runFor(1);
  EXPECT_EQ(st.advFailedFault, 1);
  EXPECT_FALSE(sim.timers.enabled(TimerId::OptionTimer));
  EXPECT_EQ(optionsChangedEntries(), 1);
}

TEST_F(Failures, AOneMinuteDelayChecksEveryTenSeconds) {
  host.runFor(500);
  tick(option::AdvFreeFlow);
  arm(1);
  host.runFor(59999);
  EXPECT_EQ(st.advFreeFlowFault, 0);
  // Checks at 10 ms, then every 10 s: the one at 60.01 s applies.
  host.runFor(11);
  EXPECT_EQ(st.advFreeFlowFault, 1);
  EXPECT_EQ(optionsChangedEntries(), 7);
  // Armed at 0.5 s: the entries fall in seconds 0, 10, 20 ... 60.
  EXPECT_EQ(st.diveRecord.rows[0].message, "Options Changed");
  EXPECT_EQ(st.diveRecord.rows[10].message, "Options Changed");
  EXPECT_EQ(st.diveRecord.rows[60].message, "Options Changed");
}

TEST_F(Failures, ArmingAgainRestartsTheDelay) {
  tick(option::AdvFailed);
  arm(1);
  host.runFor(30000);
  arm(1);
  host.runFor(45000);
  EXPECT_EQ(st.advFailedFault, 0);
  host.runFor(20000);
  EXPECT_EQ(st.advFailedFault, 1);
}

TEST_F(Failures, EveryFlagOptionSetsItsFault) {
  for (Opt o : {option::DarkAtDepth, option::AdvFailed, option::AdvFreeFlow, option::O2InjectorFailed,
                option::O2InjectorStuckOn, option::DiluentInjectorStuckOn, option::DiluentInjectorFailed,
                option::DumpValvePhysical, option::O2InjectorPhysical, option::DiluentInjectorPhysical,
                option::SolenoidStuckOpen, option::HandsetFlood, option::MasterBatteryLow})
    tick(o);
  st.handset(Side::Right).role = 1;
  applyFailureOptions(sim);
  EXPECT_EQ(st.darkAtDepthFault, 1);
  EXPECT_EQ(st.advFailedFault, 1);
  EXPECT_EQ(st.advFreeFlowFault, 1);
  EXPECT_EQ(st.o2InjectorFailedFault, 1);
  EXPECT_EQ(st.o2InjectorStuckOnFault, 1);
  EXPECT_EQ(st.diluentInjectorStuckOnFault, 1);
  EXPECT_EQ(st.diluentInjectorFailedFault, 1);
  EXPECT_EQ(st.dumpValvePhysicalFault, 1);
  EXPECT_EQ(st.o2InjectorPhysicalFault, 1);
  EXPECT_EQ(st.diluentInjectorPhysicalFault, 1);
  EXPECT_EQ(st.solenoidFault, Solenoid::StuckOpen);
  EXPECT_TRUE(sim.timers.enabled(TimerId::FloodTimer));
  EXPECT_EQ(st.handset(Side::Right).batteryVolts, 5.3);
  EXPECT_EQ(st.handset(Side::Left).batteryVolts, 6.2);
  EXPECT_EQ(sim.win[Main::Image8].picture, "DumpFail.jpg");
  EXPECT_EQ(sim.win[Main::Image6].picture, "ManualAddMissing.jpg");
  EXPECT_EQ(sim.win[Main::Image5].picture, "ManualAddMissing.jpg");
}

TEST_F(Failures, ArmingWithNothingTickedClearsEverything) {
  for (Opt o : {option::DarkAtDepth, option::CellDrift, option::CellFailure, option::AdvFailed,
                option::SolenoidStuckClosed, option::HandsetFlood, option::DumpValvePhysical,
                option::O2InjectorPhysical, option::DiluentInjectorPhysical, option::MasterBatteryExhausted})
    tick(o);
  st.handset(Side::Left).role = 1;
  st.handset(Side::Left).power = 1;
  applyFailureOptions(sim);
  ASSERT_EQ(st.handset(Side::Left).batteryVolts, 4.9);
  const int failed = st.randomCellIndex;
  for (int i = 0; i < sim.options.size(); ++i)
    if (sim.options.at(i).kind == ElementKind::CheckBox) sim.options.FormModel::setChecked(i, false);
  applyFailureOptions(sim);
  EXPECT_EQ(st.darkAtDepthFault, 0);
  EXPECT_EQ(st.advFailedFault, 0);
  EXPECT_EQ(st.solenoidFault, Solenoid::Normal);
  EXPECT_FALSE(sim.timers.enabled(TimerId::FloodTimer));
  EXPECT_EQ(st.cellDriftRate, (std::array<double, 4>{st.cellDriftRate[0], 0, 0, 0}));
  if (failed > 0) {
    EXPECT_EQ(st.cells[static_cast<std::size_t>(failed)].millivolts, 10);
  }
  EXPECT_EQ(st.dumpValvePhysicalFault, 0);
  EXPECT_EQ(sim.win[Main::Image8].picture, "Dump.jpg");
  EXPECT_EQ(sim.win[Main::Image6].picture, "O2Butt.jpg");
  EXPECT_EQ(sim.win[Main::Image5].picture, "DiluentButt.jpg");
  EXPECT_EQ(st.handset(Side::Left).batteryVolts, 4.9);  // batteries stay as they are
}

TEST_F(Failures, AFailedCellIsRevivedWhenALaterDrawPointsElsewhere) {
  tick(option::CellFailure);
  applyFailureOptions(sim);
  int failed = 0;
  for (int c = 1; c <= 3; ++c)
    if (st.cells[static_cast<std::size_t>(c)].millivolts == 0) failed = c;
  // Keep applying until a failure hits a real cell.
  while (failed == 0) {
    applyFailureOptions(sim);
    for (int c = 1; c <= 3; ++c)
      if (st.cells[static_cast<std::size_t>(c)].millivolts == 0) failed = c;
  }
  tick(option::CellFailure);  // unticked
  tick(option::CellSlow);     // draws a new cell number first
  applyFailureOptions(sim);
  for (int c = 1; c <= 3; ++c) EXPECT_NE(st.cells[static_cast<std::size_t>(c)].millivolts, 0) << c;
}

TEST_F(Failures, CellDrawsFollowRoundingHalvesToEven) {
  // round(3.5 r): 0 for r < 1/7, 1 up to 3/7, 2 up to 5/7, 3 above; over many draws the
  // shares are 1/7, 2/7, 2/7, 2/7.
  std::array<int, 4> counts{};
  tick(option::CellSlow);
  for (int i = 0; i < 7000; ++i) {
    applyFailureOptions(sim);
    ++counts[static_cast<std::size_t>(st.slowCellNumber)];
    EXPECT_EQ(st.randomCellIndex, st.slowCellNumber);
  }
  EXPECT_NEAR(counts[0], 1000, 150);
  for (int c = 1; c <= 3; ++c) EXPECT_NEAR(counts[static_cast<std::size_t>(c)], 2000, 200);
}

TEST_F(Failures, TwoCellDriftWrapsFromCellThreeToCellOne) {
  tick(option::TwoCellDrift);
  for (int i = 0; i < 50; ++i) {
    st.cellDriftRate = {0, 0, 0, 0};
    applyFailureOptions(sim);
    const int c = st.randomCellIndex;
    const int next = c >= 3 ? 1 : c + 1;
    EXPECT_EQ(st.cellDriftRate[static_cast<std::size_t>(next)], 0.01);
    if (c >= 1) {
      EXPECT_EQ(st.cellDriftRate[static_cast<std::size_t>(c)], 0.01);
    }
  }
}

TEST_F(Failures, OneShotHandsetOptionsUntickThemselves) {
  auto& l = st.handset(Side::Left);
  auto& r = st.handset(Side::Right);
  l.power = r.power = 1;
  l.role = 1;
  l.displayState = ds::MasterRunning;
  r.displayState = ds::SlaveRunning;
  tick(option::MasterTurnedOff);
  applyFailureOptions(sim);
  EXPECT_EQ(l.power, 0);
  EXPECT_EQ(l.displayState, 0);
  EXPECT_EQ(l.role, 0);  // without power it is no master
  EXPECT_EQ(r.role, 1);
  EXPECT_EQ(r.displayState, 17);
  EXPECT_EQ(h.soundsSince().back(), "0:lowo2.wav");
  EXPECT_FALSE(sim.optionTicked(option::MasterTurnedOff));

  tick(option::SlaveTurnedOff);
  l.role = 0;
  l.power = 1;
  applyFailureOptions(sim);
  EXPECT_EQ(l.power, 0);
  EXPECT_EQ(r.power, 1);
  EXPECT_FALSE(sim.optionTicked(option::SlaveTurnedOff));
}

TEST_F(Failures, MasterOffWithoutARunningSlaveHandsNothingOver) {
  auto& l = st.handset(Side::Left);
  auto& r = st.handset(Side::Right);
  l.power = r.power = 1;
  l.role = 1;
  l.displayState = ds::MasterRunning;
  r.displayState = ds::SlaveWaiting;
  tick(option::MasterTurnedOff);
  applyFailureOptions(sim);
  EXPECT_EQ(l.power, 0);
  EXPECT_EQ(r.role, 0);
  EXPECT_EQ(r.displayState, 4);
  EXPECT_TRUE(host.sounds.empty());
}

TEST_F(Failures, ServiceButtonsActAtOnce) {
  st.scrubberMinutes = 200;
  st.handset(Side::Left).batteryVolts = 4.9;
  dispatchOptions(sim, Opt::Command2, MouseEvent::Click);
  dispatchOptions(sim, Opt::Command3, MouseEvent::Click);
  EXPECT_EQ(st.scrubberMinutes, 0);
  EXPECT_EQ(st.handset(Side::Left).batteryVolts, 6.3);
  EXPECT_EQ(st.handset(Side::Right).batteryVolts, 6.3);
  EXPECT_EQ(st.diveRecord.rows[0].message, "");
}

TEST_F(Failures, ClosingTheDialogKeepsTheSelection) {
  optionsButtonClick(sim);
  tick(option::AdvFailed);
  arm(1);
  optionsButtonClick(sim);
  optionsCloseBox(sim);
  EXPECT_FALSE(sim.options[Opt::Form].visible);
  EXPECT_TRUE(sim.optionTicked(option::AdvFailed));
  host.runFor(61000);
  EXPECT_EQ(st.advFailedFault, 1);
}

// Continuous failures.

TEST_F(Failures, AStuckOpenSolenoidFillsTheLoopWithOxygen) {
  st.oxygenValveState = Valve::Open;
  st.solenoidFault = Solenoid::StuckOpen;
  freeFlowTick(sim);
  EXPECT_NEAR(st.loopPO2, (0.21 * 3.2 + 1.013 * 0.7) / 3.9, 1e-12);
  EXPECT_EQ(h.soundsSince().back(), "4:injector.wav");
}

TEST_F(Failures, FreeFlowsNeedTheirValveAndTheAdvBox) {
  st.advFreeFlowFault = 1;
  st.diluentInjectorStuckOnFault = 1;
  freeFlowTick(sim);
  EXPECT_EQ(st.counterlungPercent, 20);
  EXPECT_TRUE(host.sounds.empty());
  st.diluentValveState = Valve::Open;
  clickCheckBox(sim, Main::ADVOn);  // unticked: no ADV free flow
  freeFlowTick(sim);
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 20 + 4.375);
  EXPECT_EQ(h.soundsSince().back(), "5:longthiss.wav");
  clickCheckBox(sim, Main::ADVOn);
  freeFlowTick(sim);  // two flows: 1.4 litres
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 20 + 3 * 4.375);
}

TEST_F(Failures, TheFreeFlowHissEndsWithTheFlow) {
  st.oxygenValveState = Valve::Open;
  st.o2InjectorStuckOnFault = 1;
  freeFlowTick(sim);
  EXPECT_EQ(h.soundsSince().back(), "5:longhiss.wav");
  st.oxygenValveState = Valve::Off;
  freeFlowTick(sim);
  EXPECT_EQ(h.soundsSince().back(), "5:stop");
  const std::size_t n = host.sounds.size();
  freeFlowTick(sim);
  EXPECT_EQ(host.sounds.size(), n);
}

TEST_F(Failures, AnAdvFreeFlowFillsAndVentsTheLoop) {
  st.diluentValveState = Valve::Open;
  st.advFreeFlowFault = 1;
  double highest = 0;
  bool vented = false;
  double last = st.counterlungPercent;
  for (int i = 0; i < 60; ++i) {
    host.runFor(500);
    highest = std::max(highest, st.counterlungPercent);
    vented = vented || st.counterlungPercent < last - 10;
    last = st.counterlungPercent;
  }
  EXPECT_TRUE(vented);
  EXPECT_LE(highest, 100.0 + 2 * 4.375);
  bool bubbles = false;
  for (const auto& s : host.sounds) bubbles = bubbles || s.file == "bubbles.wav";
  EXPECT_TRUE(bubbles);
}

TEST_F(Failures, ALeakEmptiesTheLoopAtDepthOnly) {
  st.dumpValvePhysicalFault = 1;
  freeFlowTick(sim);
  EXPECT_EQ(st.counterlungPercent, 20);
  st.depthMetres = 10;
  for (int i = 0; i < 5; ++i) freeFlowTick(sim);
  EXPECT_EQ(st.counterlungPercent, -5);  // not limited here
  EXPECT_EQ(st.loopPO2, 0.21);
  EXPECT_EQ(h.soundsSince().back(), "3:Bubbles.wav");
  EXPECT_EQ(sim.win[Main::ClungVolBar].height, 4800);
}

TEST_F(Failures, AFloodDriftsOnlyTheMastersFactors) {
  const auto left = st.handset(Side::Left).cellCalibration;
  const auto right = st.handset(Side::Right).cellCalibration;
  for (int i = 0; i < 20; ++i) floodTick(sim);  // left not master: the right one drifts
  EXPECT_EQ(st.handset(Side::Left).cellCalibration, left);
  double drop = 0;
  for (int c = 1; c <= 3; ++c) {
    const double d = right[static_cast<std::size_t>(c)] - st.handset(Side::Right).cellCalibration[static_cast<std::size_t>(c)];
    EXPECT_GE(d, 0);
    drop += d;
  }
  EXPECT_GT(drop, 0);
  EXPECT_LT(drop, 20 * 0.001);
}

}  // namespace
}  // namespace pelasim
