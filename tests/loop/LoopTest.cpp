// The loop gas model, the loop tick, breathing and the environment inputs.
#include <gtest/gtest.h>

#include "loop/Loop.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimTest;

TEST_F(SimTest, MixingRuleAddsVolumeAndOxygen) {
  // 3.2 litres at 0.21 bar plus 0.7 litre of oxygen at 1.013 bar.
  addGas(st, 0.7, 1.0, 1.013);
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 20 + 0.7 * 100 / 16);
  EXPECT_NEAR(st.loopPO2, (0.21 * 3.2 + 1.013 * 0.7) / 3.9, 1e-12);
  EXPECT_NEAR(st.loopPO2, 0.354, 0.0005);
}

TEST_F(SimTest, MixingIntoAnEmptyLoopLeavesThePO2) {
  st.counterlungPercent = 0;
  addGas(st, 0, 1.0, 1.0);
  EXPECT_EQ(st.loopPO2, 0.21);
  st.counterlungPercent = -5;  // leaked below empty, refilled to exactly empty
  addGas(st, 0.8, 1.0, 1.0);
  EXPECT_EQ(st.counterlungPercent, 0);
  EXPECT_EQ(st.loopPO2, 0.21);
}

TEST_F(SimTest, MixingNeverGivesANegativePartialPressure) {
  st.counterlungPercent = -1.25;  // -0.2 litre after a leak
  st.loopPO2 = 1.0;
  addGas(st, 0.5, 0.21, 1.0);
  EXPECT_GE(st.loopPO2, 0.0);
}

TEST_F(SimTest, SurfaceReadouts) {
  host.runFor(503);
  EXPECT_EQ(sim.win[Main::Label1].caption, "0");
  EXPECT_EQ(sim.win[Main::Label2].caption, "1013");
  EXPECT_EQ(sim.win[Main::Frame6].caption, "Ambient Pressure (mb)");
  EXPECT_EQ(sim.win[Main::Label3].caption, "100");
  EXPECT_EQ(sim.win[Main::Frame7].caption, "Oxygen Analysis (%)");
  EXPECT_EQ(sim.win[Main::Label16].caption, "0.21");
  EXPECT_FALSE(sim.win[Main::Label16].visible);
}

struct DepthReadout {
  double po2;
  const char* oxygen;
};

class DepthReadouts : public SimTest, public ::testing::WithParamInterface<DepthReadout> {};

TEST_P(DepthReadouts, At10Metres) {
  st.depthMetres = 10;
  st.loopPO2 = GetParam().po2;
  host.runFor(503);
  EXPECT_EQ(sim.win[Main::Label2].caption, "2.013");
  EXPECT_EQ(sim.win[Main::Frame6].caption, "Ambient Pressure (bar)");
  EXPECT_EQ(sim.win[Main::Label3].caption, GetParam().oxygen);
  EXPECT_EQ(sim.win[Main::Frame7].caption, "Nitrox mix (% O2)");
}

INSTANTIATE_TEST_SUITE_P(Po2, DepthReadouts,
                         ::testing::Values(DepthReadout{0.42, "21%"}, DepthReadout{0.1, "05%"},
                                           DepthReadout{2.013, "100%"}, DepthReadout{0, "00%"}));

TEST_F(SimTest, PO2AboveAmbientIsCutOnTheNextTick) {
  st.loopPO2 = 1.5;
  host.runFor(503);
  EXPECT_DOUBLE_EQ(st.loopPO2, 1.013);
}

struct FillCase {
  double fill;
  Rgb colour;
  int border;
};

class CounterlungColour : public SimTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(CounterlungColour, FollowsTheFill) {
  st.counterlungPercent = GetParam().fill;
  st.advFailedFault = 1;  // keep the fill where it is
  host.runFor(503);
  EXPECT_EQ(sim.win[Main::Shape3].fillColour, GetParam().colour);
  EXPECT_EQ(sim.win[Main::Shape3].borderWidth, GetParam().border);
}

constexpr Rgb kRed{255, 128, 128}, kYellow{255, 255, 128}, kGreen{128, 255, 128};
INSTANTIATE_TEST_SUITE_P(Fill, CounterlungColour,
                         ::testing::Values(FillCase{5, kRed, 5}, FillCase{5.01, kRed, 1}, FillCase{14.9, kRed, 1},
                                           FillCase{15, kYellow, 1}, FillCase{24.9, kYellow, 1},
                                           FillCase{25, kGreen, 1}, FillCase{44.9, kGreen, 1},
                                           FillCase{45, kYellow, 1}, FillCase{65, kYellow, 1},
                                           FillCase{65.1, kRed, 1}, FillCase{-3, kRed, 5}));

struct AdvCase {
  double fill;
  bool adds;
};

class AutomaticDiluentValve : public SimTest, public ::testing::WithParamInterface<AdvCase> {};

TEST_P(AutomaticDiluentValve, AddsHalfALitreBelow25Percent) {
  st.diluentValveState = Valve::Open;
  st.counterlungPercent = GetParam().fill;
  host.runFor(503);
  EXPECT_DOUBLE_EQ(st.counterlungPercent, GetParam().fill + (GetParam().adds ? 3.125 : 0));
}

INSTANTIATE_TEST_SUITE_P(Fill, AutomaticDiluentValve,
                         ::testing::Values(AdvCase{25, false}, AdvCase{24.9, true}, AdvCase{10, true}));

TEST_F(SimTest, AutomaticDiluentValveNeedsEveryCondition) {
  auto tickAdds = [&](auto setup) {
    testing::SimHarness run;
    run.st().diluentValveState = Valve::Open;
    setup(run);
    run.host.runFor(503);
    return run.st().counterlungPercent > 20;
  };
  EXPECT_TRUE(tickAdds([](testing::SimHarness&) {}));
  EXPECT_FALSE(tickAdds([](testing::SimHarness& run) { run.st().diluentValveState = Valve::Off; }));
  EXPECT_FALSE(tickAdds([](testing::SimHarness& run) { run.st().advFailedFault = 1; }));
  EXPECT_FALSE(tickAdds([](testing::SimHarness& run) { clickCheckBox(*run.sim, Main::ADVOn); }));
  EXPECT_FALSE(tickAdds([](testing::SimHarness& run) { run.st().diluentInjectorPhysicalFault = 1; }));
  EXPECT_FALSE(tickAdds([](testing::SimHarness& run) { run.st().o2InjectorPhysicalFault = 1; }));
}

TEST_F(SimTest, OverPressureValveVentsAbove95Percent) {
  st.counterlungPercent = 95;
  host.runFor(503);
  EXPECT_EQ(st.counterlungPercent, 95);
  st.counterlungPercent = 95.1;
  const double po2 = st.loopPO2;
  host.runFor(503);
  EXPECT_NEAR(st.counterlungPercent, 75.1, 1e-9);
  EXPECT_EQ(st.loopPO2, po2);
  EXPECT_EQ(h.soundsSince().back(), "3:bubbles.wav");
  st.advFailedFault = 1;
  st.counterlungPercent = 99;
  host.runFor(503);
  EXPECT_EQ(st.counterlungPercent, 99);
}

struct BarCase {
  double fill;
  double height;
};

class CounterlungBar : public SimTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(CounterlungBar, CoversTheEmptyPart) {
  st.counterlungPercent = GetParam().fill;
  refreshCounterlungBar(sim);
  EXPECT_FLOAT_EQ(static_cast<float>(sim.win[Main::ClungVolBar].height), static_cast<float>(GetParam().height));
}

INSTANTIATE_TEST_SUITE_P(Fill, CounterlungBar,
                         ::testing::Values(BarCase{120, 0}, BarCase{100, 0}, BarCase{20, 3840},
                                           BarCase{0, 4800}, BarCase{-10, 4800}, BarCase{50.5, 2376}));

// Breathing.

TEST_F(SimTest, BreathingNeedsAnOpenMouthpiece) {
  dispatchMain(sim, Main::Image19, MouseEvent::Click);
  EXPECT_EQ(sim.win[Main::Image19].width, 1080);  // shown large
  EXPECT_EQ(st.breathing, 0);
  EXPECT_FALSE(sim.timers.enabled(TimerId::BreathTimer));
  EXPECT_EQ(h.soundsSince().back(), "1:alarm.wav");
  EXPECT_EQ(st.diveRecord.rows[0].message, "");
  // The next click takes the picture back and records a stop.
  dispatchMain(sim, Main::Image19, MouseEvent::Click);
  EXPECT_EQ(sim.win[Main::Image19].width, 600);
  EXPECT_EQ(st.diveRecord.rows[0].message, "Breathing Stopped");
}

TEST_F(SimTest, ClosedMouthpieceAlarmNeedsSoundAndWarnings) {
  clickCheckBox(sim, Main::Check2);  // Warnings off
  dispatchMain(sim, Main::Image19, MouseEvent::Click);
  EXPECT_TRUE(host.sounds.empty());
}

TEST_F(SimTest, OneBreathTakesOxygenFromTheLoop) {
  dispatchMain(sim, Main::Image18, MouseEvent::Click);  // mouthpiece open
  dispatchMain(sim, Main::Image19, MouseEvent::Click);
  ASSERT_EQ(st.breathing, 1);
  st.advFailedFault = 1;
  const std::uint32_t t = host.tickCount();
  host.runUntil(t + 6002);
  EXPECT_EQ(st.loopPO2, 0.21);
  // The first breath lasts 6003 ms and takes 1 l/min x 6003 ms of oxygen.
  host.runUntil(t + 6003);
  EXPECT_NEAR(st.loopPO2, (0.21 * 3.2 - 6003.0 / 60000) / 3.2, 1e-12);
  EXPECT_EQ(sim.timers.interval(TimerId::BreathTimer), 6000u);
  EXPECT_EQ(sim.timers.interval(TimerId::BreathOffTimer), 3000u);
  EXPECT_EQ(sim.win[Main::Shape3].borderWidth, 5);
  host.runUntil(t + 6003 + 3000);
  EXPECT_EQ(sim.win[Main::Shape3].borderWidth, 1);
  EXPECT_FALSE(sim.timers.enabled(TimerId::BreathOffTimer));
  // A breath of 6000 ms at 1 l/min: 0.21 x 3.2 - 0.1 = 0.17875 from 0.21.
  st.loopPO2 = 0.21;
  breathTick(sim);
  EXPECT_NEAR(st.loopPO2, 0.17875, 1e-12);
}

TEST_F(SimTest, BreathIntervalFollowsTheMetabolicRate) {
  st.metabolicRate = 1.3;
  breathTick(sim);
  EXPECT_EQ(sim.timers.interval(TimerId::BreathTimer), 4615u);
  EXPECT_EQ(sim.timers.interval(TimerId::BreathOffTimer), 2308u);
}

TEST_F(SimTest, AZeroMetabolicRateUsesNoOxygenAndKeepsTheInterval) {
  st.metabolicRate = 0;
  breathTick(sim);
  EXPECT_EQ(st.loopPO2, 0.21);
  EXPECT_EQ(sim.timers.interval(TimerId::BreathTimer), 6003u);
  EXPECT_EQ(sim.timers.interval(TimerId::BreathOffTimer), 3002u);
}

TEST_F(SimTest, BreathsStopAtAnEmptyLoopPO2) {
  st.loopPO2 = 0.05;
  st.metabolicRate = 5;
  breathTick(sim);
  EXPECT_EQ(st.loopPO2, 0);
  breathTick(sim);
  EXPECT_EQ(st.loopPO2, 0);
  st.counterlungPercent = 0;  // an empty loop keeps its PO2
  st.loopPO2 = 0.3;
  breathTick(sim);
  EXPECT_EQ(st.loopPO2, 0.3);
}

TEST_F(SimTest, ScrubberAndOnTimeCountOnlyWithAHandsetOn) {
  host.runFor(60000);
  EXPECT_EQ(st.scrubberMinutes, 14);
  EXPECT_EQ(st.handset(Side::Left).onTimeMinutes, 14);
  st.handset(Side::Right).power = 1;
  host.runFor(60000);
  EXPECT_EQ(st.scrubberMinutes, 14);  // not breathing
  EXPECT_EQ(st.handset(Side::Left).onTimeMinutes, 15);
  EXPECT_FALSE(st.handset(Side::Right).onTimeMinutes.has_value());
  st.breathing = 1;
  host.runFor(60000);
  EXPECT_EQ(st.scrubberMinutes, 15);
}

TEST_F(SimTest, AfterThreeHoursTheDiverNeedsMoreOxygen) {
  st.scrubberMinutes = 180;
  st.breathing = 1;
  st.handset(Side::Left).power = 1;
  scrubberMinuteTick(sim);
  EXPECT_EQ(st.scrubberMinutes, 181);
  EXPECT_NEAR(st.metabolicRate, 1.1, 1e-12);
  st.handset(Side::Left).power = 0;
  scrubberMinuteTick(sim);
  EXPECT_NEAR(st.metabolicRate, 1.2, 1e-12);
  st.scrubberMinutes = 0;  // refilled: the rate stops rising but stays
  scrubberMinuteTick(sim);
  EXPECT_NEAR(st.metabolicRate, 1.2, 1e-12);
}

// Environment inputs.

TEST_F(SimTest, DescendingCompressesTheLoop) {
  h.click(Main::Image10);
  EXPECT_EQ(st.depthMetres, 1);
  EXPECT_EQ(sim.win[Main::Label1].caption, "1");
  EXPECT_NEAR(st.counterlungPercent, 18.1818, 1e-4);
  EXPECT_NEAR(st.loopPO2, 0.231, 1e-12);
  EXPECT_TRUE(sim.win[Main::Image9].visible);
  EXPECT_FALSE(sim.win[Main::Image11].visible);
  EXPECT_FALSE(sim.win[Main::Image14].visible);
  EXPECT_TRUE(sim.win[Main::Image15].visible);
  // Leaving the surface without breathing sounds the alarm.
  EXPECT_EQ(h.soundsSince().back(), "1:alarm.wav");
}

TEST_F(SimTest, AscendingExpandsTheLoopAndVentsTheExcess) {
  st.depthMetres = 10;
  st.counterlungPercent = 95;
  h.click(Main::Image9);
  EXPECT_EQ(st.counterlungPercent, 100);  // exactly, no venting
  EXPECT_TRUE(host.sounds.empty());
  st.depthMetres = 11;
  st.counterlungPercent = 95;
  h.click(Main::Image9);
  EXPECT_NEAR(st.counterlungPercent, 99.75, 1e-12);
  st.depthMetres = 1;
  st.counterlungPercent = 95;
  h.click(Main::Image9);
  EXPECT_EQ(st.counterlungPercent, 100);
  EXPECT_EQ(h.soundsSince().back(), "0:bubbles.wav");
  EXPECT_FALSE(sim.win[Main::Image9].visible);
  EXPECT_TRUE(sim.win[Main::Image12].visible);
}

TEST_F(SimTest, AscendingCapsThePO2AtAmbient) {
  // The expansion assumes 1 bar at the surface; on a 750 mb day the cap catches the rest.
  st.surfacePressureMb = 750;
  st.depthMetres = 10;
  st.loopPO2 = 1.75;
  h.click(Main::Image9);
  EXPECT_NEAR(st.loopPO2, 1.65, 1e-12);
}

TEST_F(SimTest, DepthStaysWithin0And40) {
  st.depthMetres = 40;
  const double fill = st.counterlungPercent;
  h.click(Main::Image10);
  EXPECT_EQ(st.depthMetres, 40);
  EXPECT_EQ(st.counterlungPercent, fill);
  st.depthMetres = 0;
  h.click(Main::Image9);
  EXPECT_EQ(st.depthMetres, 0);
}

TEST_F(SimTest, DarkAtDepthDarkensTheScreens) {
  st.darkAtDepthFault = 1;
  st.depthMetres = 5;
  h.click(Main::Image10);
  EXPECT_EQ(st.screenBackColour, (Rgb{15, 50, 15}));
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, (Rgb{15, 50, 15}));
  st.depthMetres = 35;
  h.click(Main::Image10);
  EXPECT_EQ(sim.win[Main::Shape2].fillColour, (Rgb{1, 5, 1}));
  st.depthMetres = 26;
  h.click(Main::Image9);
  EXPECT_EQ(st.screenBackColour, (Rgb{10, 30, 10}));
  st.darkAtDepthFault = 0;
  h.click(Main::Image9);
  EXPECT_EQ(st.screenBackColour, (Rgb{30, 100, 30}));
}

TEST_F(SimTest, BatteryBounceSwitchesBothHandsetsOffAtTheFirstPress) {
  st.handset(Side::Left).power = 1;
  st.handset(Side::Right).power = 1;
  dispatchMain(sim, Main::Image10, MouseEvent::Down);
  EXPECT_EQ(st.handset(Side::Left).power, 1);
  clickOptionBox(sim, option::BatteryBounce);
  dispatchMain(sim, Main::Image10, MouseEvent::Down);
  EXPECT_EQ(st.handset(Side::Left).power, 0);
  EXPECT_EQ(st.handset(Side::Right).power, 0);
  EXPECT_EQ(st.diveRecord.rows[0].message, "Battery Bounce");
}

TEST_F(SimTest, PressureAndAnalysisArrowsWorkOnlyAtTheSurface) {
  h.click(Main::Image11);
  EXPECT_EQ(st.surfacePressureMb, 1012);
  EXPECT_EQ(sim.win[Main::Label2].caption, "1012");
  st.surfacePressureMb = 751;
  h.click(Main::Image11);
  EXPECT_EQ(st.surfacePressureMb, 750);
  h.click(Main::Image11);
  EXPECT_EQ(st.surfacePressureMb, 750);
  st.surfacePressureMb = 1049;
  h.click(Main::Image12);
  EXPECT_EQ(st.surfacePressureMb, 1050);
  h.click(Main::Image12);
  EXPECT_EQ(st.surfacePressureMb, 1050);

  st.surfacePressureMb = 1013;
  h.click(Main::Image14);
  EXPECT_EQ(st.oxygenAnalysisPercent, 101);
  h.click(Main::Image14);
  EXPECT_EQ(st.oxygenAnalysisPercent, 101);
  st.oxygenAnalysisPercent = 2;
  h.click(Main::Image13);
  EXPECT_EQ(st.oxygenAnalysisPercent, 1);
  h.click(Main::Image13);
  EXPECT_EQ(st.oxygenAnalysisPercent, 1);
  EXPECT_EQ(sim.win[Main::Label3].caption, "1");

  st.depthMetres = 3;
  h.click(Main::Image12);
  h.click(Main::Image14);
  EXPECT_EQ(st.surfacePressureMb, 1013);
  EXPECT_EQ(st.oxygenAnalysisPercent, 1);
}

TEST_F(SimTest, MetabolicRateArrows) {
  h.click(Main::Image16);
  EXPECT_EQ(sim.win[Main::Label4].caption, "1.1");
  st.metabolicRate = 0.2;
  h.click(Main::Image15);
  EXPECT_EQ(st.metabolicRate, 0.1);
  h.click(Main::Image15);
  EXPECT_EQ(st.metabolicRate, 0.1);
  EXPECT_EQ(sim.win[Main::Label4].caption, "0.1");
}

struct PromptCase {
  Main label;
  const char* typed;
  double expected;
  const char* caption;
};

class TypedEntries : public SimTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(TypedEntries, AreLimitedAndRounded) {
  const PromptCase& c = GetParam();
  host.promptAnswers = {c.typed};
  if (c.label == Main::Label3) dispatchMain(sim, c.label, MouseEvent::DoubleClick);
  else h.click(c.label);
  ASSERT_EQ(host.prompts.size(), 1u);
  double got = c.label == Main::Label2 ? st.surfacePressureMb
               : c.label == Main::Label3 ? st.oxygenAnalysisPercent
                                         : st.metabolicRate;
  EXPECT_EQ(got, c.expected);
  EXPECT_EQ(sim.win[c.label].caption, c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TypedEntries,
    ::testing::Values(PromptCase{Main::Label2, "2000", 1050, "1050"}, PromptCase{Main::Label2, "999.9", 999, "999"},
                      PromptCase{Main::Label2, "12", 750, "750"}, PromptCase{Main::Label2, " 1000 ", 1000, "1000"},
                      PromptCase{Main::Label3, "150", 101, "101"}, PromptCase{Main::Label3, "0", 0, "0"},
                      PromptCase{Main::Label3, "-5", 0, "0"}, PromptCase{Main::Label3, "32.9", 32, "32"},
                      PromptCase{Main::Label4, "0", 0, "0.00"}, PromptCase{Main::Label4, "1.5", 1.5, "1.50"},
                      PromptCase{Main::Label4, "25", 20, "20.00"}, PromptCase{Main::Label4, "1.236", 1.24, "1.24"},
                      // The decimal comma of many desktops' languages.
                      PromptCase{Main::Label4, "1,5", 1.5, "1.50"}, PromptCase{Main::Label2, "999,9", 999, "999"}));

class BadTypedEntries : public SimTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadTypedEntries, ChangeNothing) {
  for (Main label : {Main::Label2, Main::Label3, Main::Label4}) {
    host.promptAnswers = {GetParam()};
    if (label == Main::Label3) dispatchMain(sim, label, MouseEvent::DoubleClick);
    else h.click(label);
  }
  EXPECT_EQ(host.prompts.size(), 3u);
  EXPECT_EQ(st.surfacePressureMb, 1013);
  EXPECT_EQ(st.oxygenAnalysisPercent, 100);
  EXPECT_EQ(st.metabolicRate, 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, BadTypedEntries,
                         ::testing::Values("", "nan", "NaN", "inf", "-inf", "infinity", "1e999", "abc", "12abc",
                                           "0x10", "1,5,0", "1.000,5", ",", "1 5"));

TEST_F(SimTest, PromptsProposeTheCurrentValueWithTheirTitles) {
  h.click(Main::Label2);
  dispatchMain(sim, Main::Label3, MouseEvent::DoubleClick);
  h.click(Main::Label4);
  ASSERT_EQ(host.prompts.size(), 3u);
  EXPECT_EQ(host.prompts[0], "Ambient Pressure in Millibars|Ambient Pressure ?|1013");
  EXPECT_EQ(host.prompts[1], "Oxygen Analysis as a percentage|Oxygen Percentage ?|100");
  EXPECT_EQ(host.prompts[2], "MetabolicRate in litres per minute|Metabolic Rate ?|1");
}

TEST_F(SimTest, PressureAndAnalysisCannotBeTypedAtDepth) {
  st.depthMetres = 5;
  h.click(Main::Label2);
  dispatchMain(sim, Main::Label3, MouseEvent::DoubleClick);
  EXPECT_TRUE(host.prompts.empty());
  h.click(Main::Label4);  // the metabolic rate can
  EXPECT_EQ(host.prompts.size(), 1u);
}

}  // namespace
}  // namespace pelasim
