// Start-up: the start values, the fixed texts, the random draws and the settings.
#include <gtest/gtest.h>

#include "core/Format.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "dialogs/Dialogs.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimHarness;
using testing::SimTest;

TEST(RandomTest, FirstDrawsArePinned) {
  Random r;
  const double expected[] = {0.7055475115776062, 0.5334240198135376, 0.5795186161994934,
                             0.289562463760376,  0.30194801092147827, 0.7747400999069214,
                             0.014017641544342041, 0.7607235908508301, 0.814490020275116};
  for (double e : expected) EXPECT_DOUBLE_EQ(r.next(), e);
}

TEST(RandomTest, StaysInTheUnitInterval) {
  Random r;
  for (int i = 0; i < 100000; ++i) {
    const double v = r.next();
    ASSERT_GE(v, 0.0);
    ASSERT_LT(v, 1.0);
  }
}

TEST_F(SimTest, StartValues) {
  EXPECT_EQ(st.depthMetres, 0);
  EXPECT_EQ(st.depthStep, 1);
  EXPECT_EQ(st.surfacePressureMb, 1013);
  EXPECT_EQ(st.oxygenAnalysisPercent, 100);
  EXPECT_EQ(st.metabolicRate, 1);
  EXPECT_EQ(st.loopPO2, 0.21);
  EXPECT_EQ(st.counterlungPercent, 20);
  EXPECT_EQ(st.loopCapacity, 16);
  EXPECT_EQ(st.breathing, 0);
  EXPECT_EQ(st.mouthpieceState, Mouthpiece::Closed);
  EXPECT_EQ(st.oxygenValveState, Valve::Off);
  EXPECT_EQ(st.diluentValveState, Valve::Off);
  EXPECT_EQ(st.solenoidFault, Solenoid::Normal);
  EXPECT_EQ(st.currentSetpoint, 0.7);
  EXPECT_EQ(st.calibrationPressureMb, 1000);
  EXPECT_EQ(st.calibrationOxygenPercent, 100);
  EXPECT_EQ(st.screenBackColour, (Rgb{30, 100, 30}));
  EXPECT_EQ(st.soundOn, 1);
  EXPECT_EQ(st.recordRow, 0);
  EXPECT_FALSE(st.votedPO2.has_value());
  EXPECT_FALSE(st.cellSpread.has_value());
  EXPECT_FALSE(st.bootFailedCell.has_value());
  // Fault flags that start empty read as 0.
  EXPECT_EQ(st.o2InjectorPhysicalFault, 0);
  EXPECT_EQ(st.diluentInjectorPhysicalFault, 0);
  EXPECT_EQ(st.dumpValvePhysicalFault, 0);

  const HandsetRecord& l = st.handset(Side::Left);
  const HandsetRecord& r = st.handset(Side::Right);
  EXPECT_EQ(l.cellPO2, (std::array<double, 4>{0, 0.21, 0.2, 0.21}));
  EXPECT_EQ(r.cellPO2, (std::array<double, 4>{0, 0.2, 0.21, 0.21}));
  EXPECT_EQ(l.cellCalibration, (std::array<double, 4>{0, 0.02058, 0.01818, 0.02307}));
  EXPECT_EQ(r.cellCalibration, (std::array<double, 4>{0, 0.0196, 0.01909, 0.02307}));
  for (const HandsetRecord* hs : {&l, &r}) {
    EXPECT_EQ(hs->power, 0);
    EXPECT_EQ(hs->role, 0);
    EXPECT_EQ(hs->brightness, 30);
    EXPECT_EQ(hs->highSetpoint, 1.3);
    EXPECT_EQ(hs->lowSetpoint, 0.7);
    EXPECT_EQ(hs->hardwareSwitch, 0);
    EXPECT_EQ(hs->displayState, 0);
    EXPECT_EQ(hs->batteryVolts, 6.2);
  }
  // Only the left handset counts the unit's on-time; the right one stays empty.
  EXPECT_EQ(l.onTimeMinutes, 14);
  EXPECT_FALSE(r.onTimeMinutes.has_value());
  EXPECT_EQ(st.scrubberMinutes, 14);

  EXPECT_FALSE(sim.win[Main::Form].visible);  // until the disclaimer is accepted
  EXPECT_FALSE(sim.win[Main::Label6].visible);
  EXPECT_FALSE(sim.win[Main::Label7].visible);
  EXPECT_FALSE(sim.win[Main::Image9].visible);  // nothing shallower than the surface
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, (Rgb{30, 100, 30}));
  EXPECT_EQ(sim.win[Main::Shape2].fillColour, (Rgb{30, 100, 30}));
  EXPECT_EQ(sim.win[Main::StatusPanel1].caption, "  Version 1.0.2  ");
  EXPECT_EQ(sim.win[Main::StatusPanel2].caption, "  Orvane Pelagrinova Simulator  ");
  EXPECT_EQ(sim.win[Main::StatusPanel1].toolTip, " Beta: Not for Distribution ");
}

TEST_F(SimTest, CellsComeFromTheFirstNineDraws) {
  // Air outputs from draws 1 to 3, offsets from 4 to 6, their signs from 7 to 9.
  EXPECT_DOUBLE_EQ(st.cells[1].airMillivolts, 0.7055475115776062 + 10.2);
  EXPECT_DOUBLE_EQ(st.cells[2].airMillivolts, 0.5334240198135376 + 11.0);
  EXPECT_DOUBLE_EQ(st.cells[3].airMillivolts, 0.5795186161994934 + 9.1);
  EXPECT_EQ(st.cells[1].offsetMillivolts, static_cast<float>(0.289562463760376));
  EXPECT_EQ(st.cells[2].offsetMillivolts, -static_cast<float>(0.30194801092147827));
  EXPECT_EQ(st.cells[3].offsetMillivolts, -static_cast<float>(0.7747400999069214));
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(st.cells[static_cast<std::size_t>(c)].millivolts, 5);
    EXPECT_EQ(st.cellDriftRate[static_cast<std::size_t>(c)], 0);
  }
  // Cell 1 in air lies inside the power-on test's limits of 7 to 11 mV.
  EXPECT_GE(st.cells[1].airMillivolts, 7);
  EXPECT_LE(st.cells[1].airMillivolts, 11);
}

TEST(StartupDeterminism, TwoRunsDrawTheSameCells) {
  SimHarness a, b;
  for (int c = 1; c <= 3; ++c) {
    EXPECT_EQ(a.st().cells[static_cast<std::size_t>(c)].airMillivolts,
              b.st().cells[static_cast<std::size_t>(c)].airMillivolts);
    EXPECT_EQ(a.st().cells[static_cast<std::size_t>(c)].offsetMillivolts,
              b.st().cells[static_cast<std::size_t>(c)].offsetMillivolts);
  }
}

struct MessageCase {
  int index;
  std::size_t length;
};

class HandsetMessageLength : public ::testing::TestWithParam<MessageCase> {};

TEST_P(HandsetMessageLength, IsExact) {
  EXPECT_EQ(handsetMessageTable()[static_cast<std::size_t>(GetParam().index)].size(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Texts, HandsetMessageLength,
                         ::testing::Values(MessageCase{1, 29}, MessageCase{3, 36}, MessageCase{4, 43},
                                           MessageCase{6, 31}, MessageCase{7, 49}, MessageCase{8, 36},
                                           MessageCase{9, 19}, MessageCase{12, 51}, MessageCase{13, 36},
                                           MessageCase{14, 50}, MessageCase{15, 51}, MessageCase{16, 26},
                                           MessageCase{20, 32}, MessageCase{21, 34}, MessageCase{23, 44},
                                           MessageCase{24, 22}, MessageCase{25, 21}, MessageCase{26, 23},
                                           MessageCase{28, 23}, MessageCase{30, 20}, MessageCase{31, 23},
                                           MessageCase{32, 16}, MessageCase{44, 52}, MessageCase{54, 19}));

TEST(HandsetMessages, TextsThatDifferByOneBlank) {
  const auto& t = handsetMessageTable();
  EXPECT_EQ(t[12], std::string(40, ' ') + "NO DIVE    ");
  EXPECT_EQ(t[16].substr(t[16].size() - 7), "Confirm");  // no trailing blanks
  EXPECT_EQ(t[24], "     NO CALIBRATION   ");
  EXPECT_EQ(t[31], "     NO CALIBRATION    ");
  EXPECT_EQ(t[25], "       NO DIVE       ");
  EXPECT_EQ(t[30], "      NO DIVE       ");
  for (int i : {0, 2, 5, 10, 11, 17, 18, 19, 22, 27, 29, 35, 36, 37, 38, 39, 40, 41, 42, 43, 45,
                46, 47, 48, 49, 50, 51, 52, 55})
    EXPECT_EQ(t[static_cast<std::size_t>(i)], "") << i;
  EXPECT_EQ(t[32], t[33]);
  EXPECT_EQ(t[33], t[34]);
}

TEST(Settings, FirstRunTakesTheDefaults) {
  SimHarness h;
  EXPECT_EQ(h.st().scrubberMinutes, 14);
  EXPECT_EQ(h.st().handset(Side::Left).onTimeMinutes, 14);
  EXPECT_EQ(h.st().handset(Side::Left).batteryVolts, 6.2);
  EXPECT_EQ(h.st().handset(Side::Right).batteryVolts, 6.2);
}

TEST(Settings, RoundTripThroughTheStore) {
  SimHarness a;
  a.st().scrubberMinutes = 181;
  a.st().handset(Side::Left).onTimeMinutes = 75;
  a.st().handset(Side::Left).batteryVolts = 5.29994;
  a.st().handset(Side::Right).batteryVolts = 4.9;
  ASSERT_TRUE(saveSettings(*a.sim));
  EXPECT_EQ(a.host.settings.at("CO2"), "181");
  EXPECT_EQ(a.host.settings.at("LeftBattery"), "5.29994");
  EXPECT_EQ(a.host.settings.count("RightTimer"), 0u);

  SimHarness b(false);
  b.host.settings = a.host.settings;
  startUp(*b.sim);
  EXPECT_EQ(b.st().scrubberMinutes, 181);
  EXPECT_EQ(b.st().handset(Side::Left).onTimeMinutes, 75);
  EXPECT_EQ(b.st().handset(Side::Left).batteryVolts, 5.29994);
  EXPECT_EQ(b.st().handset(Side::Right).batteryVolts, 4.9);
  EXPECT_FALSE(b.st().handset(Side::Right).onTimeMinutes.has_value());
}

struct GarbageCase {
  const char* key;
  const char* stored;
};

class SettingGarbage : public ::testing::TestWithParam<GarbageCase> {};

TEST_P(SettingGarbage, TakesTheDefault) {
  SimHarness h(false);
  h.host.settings[GetParam().key] = GetParam().stored;
  startUp(*h.sim);
  EXPECT_EQ(h.st().scrubberMinutes, 14);
  EXPECT_EQ(h.st().handset(Side::Left).onTimeMinutes, 14);
  EXPECT_EQ(h.st().handset(Side::Left).batteryVolts, 6.2);
  EXPECT_EQ(h.st().handset(Side::Right).batteryVolts, 6.2);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, SettingGarbage,
    ::testing::Values(GarbageCase{"CO2", "abc"}, GarbageCase{"CO2", "nan"}, GarbageCase{"CO2", "-1"},
                      GarbageCase{"CO2", "inf"}, GarbageCase{"CO2", ""}, GarbageCase{"CO2", "12abc"},
                      GarbageCase{"LeftTimer", "-0.5"}, GarbageCase{"LeftTimer", "1e999"},
                      GarbageCase{"LeftBattery", "-6.2"}, GarbageCase{"LeftBattery", "NaN"},
                      GarbageCase{"RightBattery", "1e3"}, GarbageCase{"RightBattery", "six"}));

TEST(Settings, NumbersWithBlanksAreAccepted) {
  SimHarness h(false);
  h.host.settings["LeftBattery"] = " 5.5 ";
  startUp(*h.sim);
  EXPECT_EQ(h.st().handset(Side::Left).batteryVolts, 5.5);
}

TEST_F(SimTest, SoundBoxFollowsItsTick) {
  clickCheckBox(sim, Main::Check1);
  EXPECT_EQ(st.soundOn, 0);
  clickCheckBox(sim, Main::Check1);
  EXPECT_EQ(st.soundOn, 1);
}

TEST_F(SimTest, DisclaimerLoadBeepsWhateverTheSoundSettings) {
  st.soundOn = 0;
  disclaimerLoad(sim);
  EXPECT_EQ(sim.splash[SplashId::Label5].caption, "Version 1.0.2");
  EXPECT_EQ(st.disclaimerAnswer, 0);
  ASSERT_FALSE(host.sounds.empty());
  EXPECT_EQ(host.sounds.back().file, "DoubleBeep.wav");
  EXPECT_EQ(host.sounds.back().channel, SoundChannel::General);
}

TEST_F(SimTest, AcceptedDisclaimerShowsTheMainWindow) {
  disclaimerLoad(sim);
  dispatchSplash(sim, SplashId::Command1, MouseEvent::Click);
  EXPECT_EQ(st.disclaimerAnswer, 1);
  EXPECT_TRUE(afterDisclaimer(sim));
  EXPECT_TRUE(sim.win[Main::Form].visible);
  EXPECT_FALSE(host.ended);
}

TEST_F(SimTest, RefusedDisclaimerEndsWithoutSavingAnything) {
  disclaimerLoad(sim);
  dispatchSplash(sim, SplashId::Command2, MouseEvent::Click);
  EXPECT_FALSE(afterDisclaimer(sim));
  EXPECT_TRUE(host.ended);
  EXPECT_EQ(host.resultsShown, "");
  EXPECT_TRUE(host.settings.empty());
  // No handler runs after the end.
  const int row = st.recordRow;
  host.runFor(5000);
  EXPECT_EQ(st.recordRow, row);
}

}  // namespace
}  // namespace pelasim
