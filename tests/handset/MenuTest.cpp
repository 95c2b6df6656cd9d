// The handset menus: the menu chain from the running master, the setpoint, brightness and
// calibration menus with their steps and limits, and the reset of the on-time.
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim::testing {
namespace {

class MenuTest : public HandsetTest {
 protected:
  void SetUp() override {
    HandsetTest::SetUp();
    for (Side s : {Side::Left, Side::Right}) {
      hs(s).hardwareSwitch = 1;
      hs(s).power = 1;
    }
    hs(Side::Left).role = 1;
    hs(Side::Left).displayState = ds::MasterRunning;
  }
  // Presses and releases both outer buttons, as the trainee opens the menu chain.
  void outerPair(Side s) {
    press(spotsOf(s).outerPair);
    release(spotsOf(s).outerPair);
  }
};

TEST_F(MenuTest, OuterPairOpensTheMenuChainWhileTheLowSetpointIsActive) {
  outerPair(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::HighSetpointMenu);
  EXPECT_EQ(screen(Side::Left), "     HIGH SETPOINT       Down    1.30    UP  ");
  EXPECT_EQ(lastMessage(), "Left handset: both outer buttons");
}

TEST_F(MenuTest, OuterPairDoesNothingOnTheHighSetpoint) {
  st.currentSetpoint = 1.3;
  outerPair(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
}

TEST_F(MenuTest, OuterPairDoesNothingOutsideTheRunningMaster) {
  hs(Side::Right).displayState = ds::SlaveRunning;
  outerPair(Side::Right);
  EXPECT_EQ(hs(Side::Right).displayState, ds::SlaveRunning);
  EXPECT_EQ(lastMessage(), "Right handset: both outer buttons");
}

struct StepCase {
  std::string name;
  int state;
  double start;
  std::vector<Button> presses;
  std::vector<double> values;  // after each press
};

class MenuSteps : public MenuTest, public ::testing::WithParamInterface<StepCase> {
 protected:
  double& value(int state) {
    static double dummy = 0;
    switch (state) {
      case ds::CalPressureMenu: return st.calibrationPressureMb;
      case ds::CalOxygenMenu: return st.calibrationOxygenPercent;
      case ds::HighSetpointMenu: return hs(Side::Left).highSetpoint;
      case ds::LowSetpointMenu: return hs(Side::Left).lowSetpoint;
      default: return dummy;
    }
  }
};

TEST_P(MenuSteps, StepAndStopAtTheLimits) {
  const StepCase& c = GetParam();
  hs(Side::Left).displayState = static_cast<ds::DisplayState>(c.state);
  value(c.state) = c.start;
  for (std::size_t i = 0; i < c.presses.size(); ++i) {
    buttonClick(sim, Side::Left, c.presses[i]);
    EXPECT_DOUBLE_EQ(value(c.state), c.values[i]) << "after press " << i + 1;
    EXPECT_EQ(hs(Side::Left).displayState, c.state);
  }
}

constexpr Button D = Button::Left, U = Button::Right;

INSTANTIATE_TEST_SUITE_P(
    Limits, MenuSteps,
    ::testing::Values(
        StepCase{"HighDownByATenth", 40, 1.3, {D, D, D, D}, {1.2, 1.1, 1.0, 1.0}},
        StepCase{"HighUp", 40, 1.3, {U, U, U}, {1.4, 1.5, 1.5}},
        StepCase{"HighUpThenDownComesBackExactly", 40, 1.3, {U, D, U, U, D, D}, {1.4, 1.3, 1.4, 1.5, 1.4, 1.3}},
        StepCase{"LowDownByATenth", 41, 0.7, {D, D, D}, {0.6, 0.5, 0.5}},
        StepCase{"LowUp", 41, 0.7, {U, U, U, U}, {0.8, 0.9, 1.0, 1.0}},
        StepCase{"LowUpThenDownComesBackExactly", 41, 0.7, {U, U, D, D}, {0.8, 0.9, 0.8, 0.7}},
        StepCase{"PressureUpToTheTop", 18, 1045, {U, U}, {1050, 1050}},
        StepCase{"PressureDownToTheBottom", 18, 710, {D, D}, {700, 700}},
        StepCase{"OxygenDownStaysAt21", 19, 21, {D}, {21}},
        StepCase{"OxygenUpToTheTop", 19, 99, {U, U, D}, {100, 100, 99}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(MenuTest, SetpointMenusShowTheirValues) {
  hs(Side::Left).displayState = ds::HighSetpointMenu;
  clickLeft(Side::Left);
  EXPECT_EQ(screen(Side::Left), "     HIGH SETPOINT       Down    1.20    UP  ");
  clickRight(Side::Left);
  clickRight(Side::Left);
  clickRight(Side::Left);
  EXPECT_EQ(screen(Side::Left), "     HIGH SETPOINT       Down    1.50    UP  ");
  hs(Side::Left).displayState = ds::LowSetpointMenu;
  clickLeft(Side::Left);
  EXPECT_EQ(screen(Side::Left), "     LOW SETPOINT        Down    0.60     UP  ");
  EXPECT_EQ(lastMessage(), "Left handset: left button");
}

TEST_F(MenuTest, LowSetpointSetBackOpensTheMenuChainAgain) {
  outerPair(Side::Left);
  clickMiddle(Side::Left);  // LOW SETPOINT
  clickRight(Side::Left);
  clickRight(Side::Left);
  clickLeft(Side::Left);
  clickLeft(Side::Left);
  EXPECT_EQ(hs(Side::Left).lowSetpoint, st.currentSetpoint);
  hs(Side::Left).displayState = ds::MasterRunning;
  outerPair(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::HighSetpointMenu);
}

TEST_F(MenuTest, BrightnessStaysWithin0And99) {
  HandsetRecord& r = hs(Side::Right);
  r.displayState = ds::BrightnessMenu;
  r.brightness = 1;
  clickLeft(Side::Right);
  clickLeft(Side::Right);
  EXPECT_EQ(r.brightness, 0);
  EXPECT_EQ(screen(Side::Right), "      BRIGHTNESS       Down   0      UP  ");
  r.brightness = 98;
  clickRight(Side::Right);
  clickRight(Side::Right);
  EXPECT_EQ(r.brightness, 99);
  EXPECT_EQ(screen(Side::Right), "      BRIGHTNESS       Down   99      UP  ");
  EXPECT_EQ(lastMessage(), "Right handset: right button");
}

TEST_F(MenuTest, ChainRunsThroughTheMenusToTheOnTimeAndResetsIt) {
  hs(Side::Left).onTimeMinutes = 125;
  outerPair(Side::Left);
  clickMiddle(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::LowSetpointMenu);
  EXPECT_EQ(screen(Side::Left), "     LOW SETPOINT        Down    0.70     UP  ");
  clickMiddle(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::BrightnessMenu);
  EXPECT_EQ(screen(Side::Left), "      BRIGHTNESS       Down   30      UP  ");
  clickMiddle(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::OnTimeShow);
  EXPECT_EQ(screen(Side::Left), "     Elapsed ON Time     2 hrs 5 mins");
  // The screen alternates the time with RESET NOW.
  ASSERT_TRUE(runUntilState(Side::Left, ds::ResetQuery, 3100));
  EXPECT_EQ(screen(Side::Left), "     Elapsed ON Time     2 hrs 5 mins");
  ASSERT_TRUE(runUntilState(Side::Left, ds::OnTimeShow, 3100));
  EXPECT_EQ(screen(Side::Left), "      RESET NOW     Yes                         No  ");
  clickLeft(Side::Left);  // Yes
  EXPECT_EQ(hs(Side::Left).onTimeMinutes, 0);
  EXPECT_EQ(hs(Side::Left).displayState, ds::OnTimeReset);
  EXPECT_EQ(screen(Side::Left), "      RESET NOW     Yes                         No  ");
  displayTick(sim, Side::Left);
  EXPECT_EQ(screen(Side::Left), "     Elapsed ON Time     0 hrs 0 mins");
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
}

TEST_F(MenuTest, RightHandsetResetsTheUnitsOnTimeAndShowsItAtOnce) {
  hs(Side::Left).onTimeMinutes = 300;
  hs(Side::Right).displayState = ds::OnTimeShow;
  clickLeft(Side::Right);
  EXPECT_EQ(hs(Side::Left).onTimeMinutes, 0);
  EXPECT_FALSE(hs(Side::Right).onTimeMinutes.has_value());
  EXPECT_EQ(hs(Side::Right).displayState, ds::OnTimeReset);
  EXPECT_EQ(screen(Side::Right), "     Elapsed ON Time     0 hrs 0 mins");
}

TEST_F(MenuTest, NoOnResetNowReturnsToTheRunningScreen) {
  hs(Side::Left).onTimeMinutes = 125;
  hs(Side::Left).displayState = ds::OnTimeShow;
  clickRight(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
  EXPECT_EQ(hs(Side::Left).onTimeMinutes, 125);
}

}  // namespace
}  // namespace pelasim::testing
