// The oxygen controller: the vote, the firing decision, the pulse and its burst, the battery
// cost, the injector noise and the setpoint switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/Format.h"
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim {
namespace {

using testing::HandsetTest;

class Controller : public HandsetTest {
 protected:
  void SetUp() override {
    HandsetTest::SetUp();
    runAsMaster(Side::Left);
    st.oxygenValveState = Valve::Open;
    // These tests run the controller tick themselves; its timer would nest a second one.
    sim.disable(TimerId::ComputerTimer);
  }
  void readings(double a, double b, double c) { hs(Side::Left).cellPO2 = {0, a, b, c}; }
  // Runs one controller tick and returns the number of 0.2-litre steps it added (the closed
  // loop swells by 1.25 points a step).
  int fire() {
    const double before = st.counterlungPercent;
    controllerTick(sim);
    return static_cast<int>(std::lround((st.counterlungPercent - before) / 1.25));
  }
};

struct VoteCase {
  double a, b, c;
  const char* voted;
  double spread;
};

class Votes : public Controller, public ::testing::WithParamInterface<VoteCase> {};

TEST_P(Votes, LeaveOutTheReadingFurthestFromTheMiddle) {
  const VoteCase& v = GetParam();
  st.solenoidFault = Solenoid::StuckClosed;
  readings(v.a, v.b, v.c);
  controllerTick(sim);
  ASSERT_TRUE(st.votedPO2.has_value());
  EXPECT_EQ(fmt::fixed(*st.votedPO2, 2), v.voted);
  ASSERT_TRUE(st.cellSpread.has_value());
  EXPECT_NEAR(*st.cellSpread, v.spread, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Readings, Votes,
                         ::testing::Values(VoteCase{0.50, 1.20, 1.22, "1.21", 0.70},
                                           VoteCase{1.22, 0.50, 1.20, "1.21", 0.70},
                                           VoteCase{1.00, 1.50, 2.00, "1.25", 0.50},
                                           VoteCase{0.70, 0.71, 1.90, "0.71", 1.19},
                                           VoteCase{0, 0.69, 0.70, "0.70", 0.69}));

struct PulseCase {
  double voted;
  int steps;
};

class Pulses : public Controller, public ::testing::WithParamInterface<PulseCase> {};

TEST_P(Pulses, GiveOneStepPerWholeOrStartedSecond) {
  st.currentSetpoint = 1.3;
  const double v = GetParam().voted;
  readings(v, v, v);
  EXPECT_EQ(fire(), GetParam().steps);
}

// Shortfall 0.01: -0.37 s becomes the 0.1 s minimum; 0.1: 0.8 s; 0.3: 3.4 s; 1.2: 15 s.
INSTANTIATE_TEST_SUITE_P(Shortfall, Pulses,
                         ::testing::Values(PulseCase{1.29, 1}, PulseCase{1.2, 1}, PulseCase{1.0, 4},
                                           PulseCase{0.6, 9}, PulseCase{0.1, 15}, PulseCase{0, 15}));

TEST_F(Controller, NoFiringAtTheSetpointWithTheValveClosedOrAFaultySolenoid) {
  readings(0.7, 0.7, 0.7);
  EXPECT_EQ(fire(), 0);
  readings(0.5, 0.5, 0.5);
  st.oxygenValveState = Valve::Off;
  EXPECT_EQ(fire(), 0);
  st.oxygenValveState = Valve::Open;
  for (Solenoid fault : {Solenoid::StuckClosed, Solenoid::StuckOpen}) {
    st.solenoidFault = fault;
    EXPECT_EQ(fire(), 0) << static_cast<int>(fault);
  }
  EXPECT_EQ(hs(Side::Left).batteryVolts, 6.2);
}

TEST_F(Controller, AFiringCostsBatteryAndSoundsForOnePulse) {
  st.currentSetpoint = 1.3;
  readings(1.0, 1.0, 1.0);  // 3.4 s
  const std::size_t before = host.sounds.size();
  const std::uint32_t t = sim.tick();
  EXPECT_EQ(fire(), 4);
  EXPECT_EQ(sim.tick() - t, 4000u);
  EXPECT_DOUBLE_EQ(hs(Side::Left).batteryVolts, 6.2 - 0.00006);
  EXPECT_DOUBLE_EQ(hs(Side::Right).batteryVolts, 6.2 - 0.00003);
  EXPECT_EQ(sim.timers.interval(TimerId::MakeNoiseSolenoidTimer), 3400u);
  const auto sounds = h.soundsSince(before);
  ASSERT_GE(sounds.size(), 3u);
  EXPECT_EQ(sounds.front(), "6:injectorshort.wav");
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), "6:stop"), sounds.end());  // after 3.4 s
  EXPECT_EQ(sounds.back(), "4:stop");  // the burst ends silencing the gas-control channel
  EXPECT_FALSE(sim.timers.enabled(TimerId::MakeNoiseSolenoidTimer));
}

TEST_F(Controller, TheBurstMixesCylinderGasIntoTheLoop) {
  st.currentSetpoint = 1.3;
  st.mouthpieceState = Mouthpiece::Open;
  st.loopPO2 = 0.5;
  readings(1.2, 1.2, 1.2);  // one step
  const double fill = st.counterlungPercent;
  controllerTick(sim);
  EXPECT_EQ(st.counterlungPercent, fill);  // the open mouthpiece lets the gas out
  // Other tasks run during the step; the step itself mixed 0.2 litre of oxygen into 3.2.
  EXPECT_GT(st.loopPO2, 0.5);
}

TEST_F(Controller, TheRightHandsetsReadingsAreVotedWhenTheLeftIsNotMaster) {
  hs(Side::Left).role = 0;
  hs(Side::Left).displayState = ds::SlaveRunning;
  hs(Side::Right).power = 1;
  hs(Side::Right).role = 1;
  hs(Side::Right).displayState = ds::MasterRunning;
  hs(Side::Right).cellPO2 = {0, 0.9, 0.9, 0.9};
  st.solenoidFault = Solenoid::StuckClosed;
  controllerTick(sim);
  EXPECT_EQ(st.votedPO2, 0.9);
}

TEST_F(Controller, NothingIsVotedWithoutARunningMaster) {
  hs(Side::Left).displayState = ds::OpenValve;
  readings(0.1, 0.1, 0.1);
  controllerTick(sim);
  EXPECT_FALSE(st.votedPO2.has_value());
  EXPECT_FALSE(st.cellSpread.has_value());
}

TEST_F(Controller, AWarningScreenReturnsToTheRunningScreen) {
  hs(Side::Left).displayState = ds::LowOxygenScreen;
  st.solenoidFault = Solenoid::StuckClosed;
  controllerTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
}

TEST_F(Controller, ATickDueDuringABurstIsSkipped) {
  sim.enable(TimerId::ComputerTimer);
  st.currentSetpoint = 1.3;
  st.loopPO2 = 0.05;
  for (auto& c : st.cells) c.millivolts = 0.5;  // readings near 0.05: a 15-second pulse
  // Each firing takes 0.00006 V from the master's battery.
  auto firings = [&] { return std::lround((6.2 - hs(Side::Left).batteryVolts) / 0.00006); };
  const std::uint32_t t = sim.tick();
  host.runUntil(t + 6000);
  EXPECT_EQ(firings(), 0);
  // The tick at 6 s bursts until 21 s; the ticks due at 12 s and 18 s are skipped.
  host.runUntil(t + 24003);
  EXPECT_EQ(firings(), 1);
  host.runUntil(t + 24005);
  EXPECT_EQ(firings(), 2);
}

TEST_F(Controller, TheSetpointSwitchNeedsTheRunningMastersMiddleButton) {
  st.solenoidFault = Solenoid::StuckClosed;
  press(Main::Label10);
  host.runFor(1999);
  EXPECT_EQ(st.currentSetpoint, 0.7);
  host.runFor(1);
  EXPECT_EQ(st.currentSetpoint, 1.3);
  EXPECT_FALSE(sim.timers.enabled(TimerId::SetPointTimer));
  host.runFor(3000);  // one switch per press
  EXPECT_EQ(st.currentSetpoint, 1.3);
  release(Main::Label10);
  press(Main::Label10);
  host.runFor(2000);
  release(Main::Label10);
  EXPECT_EQ(st.currentSetpoint, 0.7);

  // The slave's middle button switches nothing.
  hs(Side::Right).power = 1;
  hs(Side::Right).displayState = ds::SlaveRunning;
  press(Main::Label12);
  host.runFor(2000);
  release(Main::Label12);
  EXPECT_EQ(st.currentSetpoint, 0.7);

  // A setpoint that is neither the high nor the low one stays.
  hs(Side::Left).highSetpoint = 1.4;
  st.currentSetpoint = 1.3;
  press(Main::Label10);
  host.runFor(2000);
  release(Main::Label10);
  EXPECT_EQ(st.currentSetpoint, 1.3);
}

}  // namespace
}  // namespace pelasim
