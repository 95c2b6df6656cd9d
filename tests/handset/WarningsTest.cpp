// Warnings of the running master, checked once a second.
#include <gtest/gtest.h>

#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim {
namespace {

using testing::HandsetTest;

class Warnings : public HandsetTest {
 protected:
  void SetUp() override {
    HandsetTest::SetUp();
    runAsMaster(Side::Left).cellPO2 = {0, 1.21, 1.2, 1.19};
    st.currentSetpoint = 1.3;
  }
  std::size_t tones(std::size_t from) {
    std::size_t n = 0;
    for (const std::string& s : h.soundsSince(from)) n += s == "2:LowO2.wav";
    return n;
  }
};

struct LimitCase {
  double po2;
  int state;
  const char* message;
};

class OxygenLimits : public Warnings, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(OxygenLimits, LookAtTheTrueLoopGas) {
  st.loopPO2 = GetParam().po2;
  const std::size_t before = host.sounds.size();
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, GetParam().state);
  EXPECT_EQ(lastMessage(), GetParam().message);
  EXPECT_EQ(tones(before), GetParam().state == ds::MasterRunning ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Po2, OxygenLimits,
                         ::testing::Values(LimitCase{0.4, ds::LowOxygenScreen, "Warning: Low O2"},
                                           LimitCase{0.41, ds::MasterRunning, ""},
                                           LimitCase{1.59, ds::MasterRunning, ""},
                                           LimitCase{1.6, ds::HighOxygenScreen, "Warning: High O2"},
                                           LimitCase{0, ds::LowOxygenScreen, "Warning: Low O2"}));

TEST_F(Warnings, ScreensShowTheTitleAndTheMastersOwnReadings) {
  st.loopPO2 = 0.3;
  warningTick(sim);
  EXPECT_EQ(screen(Side::Left), "      LOW OXYGEN         1.21       1.20       1.19");
  st.loopPO2 = 1.7;
  warningTick(sim);
  EXPECT_EQ(screen(Side::Left), "      HIGH OXYGEN         1.21       1.20       1.19");
  st.loopPO2 = 1.2;
  st.cellSpread = 0.2;
  warningTick(sim);
  EXPECT_EQ(screen(Side::Left), "    CELL WARNING            1.21       1.20       1.19");
  st.cellSpread = 0.0;
  warningTick(sim);
  EXPECT_EQ(screen(Side::Left), "      MASTER   1.3        1.21       1.20       1.19");
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
}

TEST_F(Warnings, ASpreadOfExactly015RaisesNothingAndAnUnsetSpreadNeither) {
  st.loopPO2 = 1.2;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
  st.cellSpread = 0.15;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
  st.cellSpread = 0.151;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CellWarningScreen);
  EXPECT_EQ(lastMessage(), "Warning: Cell Warning");
}

TEST_F(Warnings, LowOxygenAndACellWarningInTheSameSecond) {
  st.loopPO2 = 0.3;
  st.cellSpread = 0.5;
  const std::size_t before = host.sounds.size();
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CellWarningScreen);
  EXPECT_EQ(lastMessage(), "Warning: Cell Warning");
  EXPECT_EQ(tones(before), 2u);
}

TEST_F(Warnings, HighOxygenHidesACellWarningAndALowBattery) {
  st.loopPO2 = 1.8;
  st.cellSpread = 0.5;
  hs(Side::Left).batteryVolts = 5.0;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::HighOxygenScreen);
  EXPECT_EQ(lastMessage(), "Warning: High O2");
}

TEST_F(Warnings, OnlyTheLeftLowBatteryIsReachedWhileItStaysLow) {
  st.loopPO2 = 1.2;
  hs(Side::Left).batteryVolts = 5.3;
  hs(Side::Right).batteryVolts = 5.2;
  for (int i = 0; i < 3; ++i) {
    warningTick(sim);
    EXPECT_EQ(hs(Side::Left).displayState, ds::LowBatteryScreen);
    EXPECT_EQ(hs(Side::Right).displayState, ds::Blank);
    EXPECT_EQ(lastMessage(), "Warning: Low Battery");
  }
  hs(Side::Left).batteryVolts = 5.31;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Right).displayState, ds::LowBatteryScreen);
}

TEST_F(Warnings, NoRunningMasterNoWarning) {
  hs(Side::Left).displayState = ds::CalPressureMenu;
  st.loopPO2 = 0.05;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).displayState, ds::CalPressureMenu);
  EXPECT_EQ(lastMessage(), "");
  EXPECT_TRUE(host.sounds.empty());
}

TEST_F(Warnings, TheToneFollowsTheSoundBoxNotTheWarningsBox) {
  st.loopPO2 = 0.3;
  clickCheckBox(sim, Main::Check2);  // Warnings unticked: the handset still warns
  std::size_t before = host.sounds.size();
  warningTick(sim);
  EXPECT_EQ(tones(before), 1u);
  clickCheckBox(sim, Main::Check1);  // Sound unticked
  before = host.sounds.size();
  warningTick(sim);
  EXPECT_EQ(tones(before), 0u);
  EXPECT_EQ(lastMessage(), "Warning: Low O2");
}

TEST_F(Warnings, AnExhaustedMasterBatteryKillsTheMasterAndTheSlaveTakesOver) {
  st.loopPO2 = 1.2;
  HandsetRecord& r = hs(Side::Right);
  r.power = 1;
  r.displayState = ds::SlaveRunning;
  hs(Side::Left).batteryVolts = 4.9;
  warningTick(sim);
  EXPECT_EQ(hs(Side::Left).power, 0);
  EXPECT_EQ(hs(Side::Left).displayState, ds::Blank);
  EXPECT_EQ(r.role, 1);
  EXPECT_EQ(r.displayState, ds::MasterRunning);
  EXPECT_EQ(lastMessage(), "Warning: No Battery");
  // From the next second the new master warns of the low battery of the dead handset.
  warningTick(sim);
  EXPECT_EQ(lastMessage(), "Warning: Low Battery");
  EXPECT_EQ(r.displayState, ds::MasterRunning);
}

TEST_F(Warnings, AnExhaustedBatteryDoesNotStopABootingHandsetsOwnScreens) {
  HandsetRecord& l = hs(Side::Left);
  l.displayState = ds::LowBattery;
  l.batteryVolts = 4.9;
  warningTick(sim);
  EXPECT_EQ(l.power, 1);
  EXPECT_EQ(l.displayState, ds::LowBattery);
}

}  // namespace
}  // namespace pelasim
