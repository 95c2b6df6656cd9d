// Handset power: hardware switches, the soft switch-off, the hand-over of the master role,
// the backlight, the button pictures and the arming of the setpoint switch.
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim::testing {
namespace {

class PowerTest : public HandsetTest {
 protected:
  // Both handsets switched on and powered: the left one as running master, the right one
  // powered as a slave in `rightState`.
  void masterAndSlave(int rightState) {
    host.runFor(1500);  // past the switch-off timer's first event after start
    for (Side s : {Side::Left, Side::Right}) {
      hs(s).hardwareSwitch = 1;
      hs(s).power = 1;
      sim.win.setPicture(partsOf(s).picture, "HSOn.jpg");
    }
    hs(Side::Left).role = 1;
    hs(Side::Left).displayState = ds::MasterRunning;
    hs(Side::Right).role = 0;
    hs(Side::Right).displayState = static_cast<ds::DisplayState>(rightState);
  }
  // Holds the two right buttons of a handset for `ms`, then lets go.
  void holdRightPair(Side s, std::uint32_t ms) {
    press(spotsOf(s).rightPair);
    host.runFor(ms);
    release(spotsOf(s).rightPair);
  }
};

TEST_F(PowerTest, HardwareSwitchTurnsOnWithoutPoweringTheElectronics) {
  clickSwitch(Side::Right);
  EXPECT_EQ(hs(Side::Right).hardwareSwitch, 1);
  EXPECT_EQ(hs(Side::Right).power, 0);
  EXPECT_EQ(hs(Side::Right).displayState, ds::Blank);
  EXPECT_EQ(picture(Side::Right), "HSOn.jpg");
  EXPECT_EQ(picture(Side::Left), "HSOff.jpg");
  EXPECT_EQ(lastMessage(), "Right handset hardware switch On");
}

// Switching the master off by its hardware switch hands over to any powered handset that is
// not master, whatever it shows.
class HardwareHandOver : public PowerTest, public ::testing::WithParamInterface<int> {};

TEST_P(HardwareHandOver, OtherPoweredHandsetBecomesTheRunningMaster) {
  masterAndSlave(GetParam());
  const std::size_t sound0 = host.sounds.size();
  clickSwitch(Side::Left);
  EXPECT_EQ(hs(Side::Left).hardwareSwitch, 0);
  EXPECT_EQ(hs(Side::Left).power, 0);
  EXPECT_EQ(hs(Side::Left).displayState, ds::Blank);
  EXPECT_EQ(hs(Side::Left).role, 0);
  EXPECT_EQ(screen(Side::Left), "");
  EXPECT_EQ(picture(Side::Left), "HSOff.jpg");
  EXPECT_EQ(lastMessage(), "Left handset hardware switch Off");
  EXPECT_EQ(hs(Side::Right).role, 1);
  EXPECT_EQ(hs(Side::Right).displayState, ds::MasterRunning);
  EXPECT_EQ(h.soundsSince(sound0), (std::vector<std::string>{"0:lowo2.wav"}));
  host.runFor(600);
  EXPECT_EQ(screen(Side::Right).rfind("      MASTER   ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(AnyState, HardwareHandOver,
                         ::testing::Values(ds::SelfTest, ds::SlaveWaiting, ds::SlaveRunning,
                                           ds::BatteryWarning, ds::BootCellFailure));

TEST_F(PowerTest, HardwareHandOverIsSilentWithSoundOff) {
  masterAndSlave(ds::SlaveRunning);
  st.soundOn = 0;
  clickSwitch(Side::Left);
  EXPECT_EQ(hs(Side::Right).role, 1);
  EXPECT_TRUE(host.sounds.empty());
}

TEST_F(PowerTest, SwitchingOffTheSlaveLeavesTheMasterAlone) {
  masterAndSlave(ds::SlaveRunning);
  clickSwitch(Side::Right);
  EXPECT_EQ(hs(Side::Left).role, 1);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
  EXPECT_EQ(hs(Side::Right).power, 0);
  EXPECT_EQ(hs(Side::Right).role, 0);
  EXPECT_TRUE(host.sounds.empty());
  EXPECT_EQ(lastMessage(), "Right handset hardware switch Off");
}

TEST_F(PowerTest, SwitchingOffTheOnlyPoweredHandsetGivesUpItsRole) {
  switchOnAndPowerUp(Side::Left);
  clickSwitch(Side::Right);  // on, not powered
  const std::size_t sound0 = host.sounds.size();
  clickSwitch(Side::Left);
  EXPECT_EQ(hs(Side::Left).role, 0);
  EXPECT_EQ(hs(Side::Right).role, 0);
  EXPECT_TRUE(h.soundsSince(sound0).empty());
  // The right handset powered now is the master; the left one powered after it the slave.
  clickLeft(Side::Right);
  EXPECT_EQ(hs(Side::Right).role, 1);
  switchOnAndPowerUp(Side::Left);
  EXPECT_EQ(hs(Side::Left).role, 0);
  EXPECT_EQ(lastMessage(), "Left handset on as Slave");
}

// The master switched off while the other handset is off, then the other powered and run:
// only the powered one is master, for the vote, the record and the warnings.
TEST_F(PowerTest, AHandsetSwitchedOffIsNeverMasterAgainstARunningOne) {
  switchOnAndPowerUp(Side::Left);
  host.runFor(3000);
  clickSwitch(Side::Left);
  switchOnAndPowerUp(Side::Right);
  EXPECT_EQ(lastMessage(), "Right handset on as Master");
  walkToRunningMaster(Side::Right);
  EXPECT_EQ(hs(Side::Left).role, 0);
  EXPECT_EQ(hs(Side::Right).role, 1);
  hs(Side::Right).cellPO2 = {0, 0.3, 0.3, 0.3};
  st.loopPO2 = 0.3;
  st.oxygenValveState = Valve::Off;  // no burst: the reading stays as set
  host.runFor(6100);
  ASSERT_TRUE(st.votedPO2.has_value());
  EXPECT_LT(*st.votedPO2, 0.4);
  EXPECT_EQ(hs(Side::Right).displayState, ds::LowOxygenScreen);
  EXPECT_EQ(hs(Side::Left).displayState, ds::Blank);
  EXPECT_EQ(screen(Side::Left).find("OXYGEN"), std::string::npos);
  EXPECT_EQ(screen(Side::Right).rfind("      LOW OXYGEN", 0), 0u);
  EXPECT_EQ(st.diveRecord.rows[static_cast<std::size_t>(st.recordRow)].handsetPO2, *st.votedPO2);
}

TEST_F(PowerTest, SoftSwitchOffAfterHoldingTheRightPairForASecondHandsOverToARunningSlave) {
  masterAndSlave(ds::SlaveRunning);
  const std::size_t sound0 = host.sounds.size();
  press(Main::Label19);
  EXPECT_EQ(lastMessage(), "Left handset: both right buttons");
  EXPECT_EQ(sim.win[Main::Label19].tag, "1");
  EXPECT_EQ(picture(Side::Left), "HSBothRight.jpg");
  EXPECT_EQ(st.switchOffSide, Side::Left);
  host.runFor(999);
  EXPECT_EQ(hs(Side::Left).power, 1);
  host.runFor(1);
  EXPECT_EQ(hs(Side::Left).power, 0);
  EXPECT_EQ(hs(Side::Left).hardwareSwitch, 1);
  EXPECT_EQ(hs(Side::Left).displayState, ds::Blank);
  EXPECT_EQ(hs(Side::Left).role, 0);
  EXPECT_EQ(picture(Side::Left), "HSOn.jpg");
  EXPECT_EQ(screen(Side::Left), "");
  EXPECT_EQ(hs(Side::Right).role, 1);
  EXPECT_EQ(hs(Side::Right).displayState, ds::MasterRunning);
  EXPECT_EQ(h.soundsSince(sound0), (std::vector<std::string>{"0:lowo2.wav"}));
  EXPECT_FALSE(sim.timers.enabled(TimerId::SwitchOffTimer));
  release(Main::Label19);
  EXPECT_EQ(sim.win[Main::Label19].tag, "");
  // The switch is still on: the left button powers it up again.
  clickLeft(Side::Left);
  EXPECT_EQ(hs(Side::Left).power, 1);
  EXPECT_EQ(lastMessage(), "Left handset on as Slave");
}

TEST_F(PowerTest, SoftSwitchOffHandsNothingToAHandsetThatIsStillBooting) {
  masterAndSlave(ds::SlaveWaiting);
  press(Main::Label19);
  host.runFor(1000);
  EXPECT_EQ(hs(Side::Left).power, 0);
  EXPECT_EQ(hs(Side::Left).role, 0);
  EXPECT_EQ(hs(Side::Right).role, 0);
  release(Main::Label19);
  // At its next tick the waiting slave finds its master off and takes over by itself.
  ASSERT_TRUE(runUntilState(Side::Right, ds::MasterRunning, 3100));
  EXPECT_EQ(hs(Side::Right).role, 1);
}

TEST_F(PowerTest, LettingGoBeforeASecondSwitchesNothingOff) {
  masterAndSlave(ds::SlaveRunning);
  holdRightPair(Side::Right, 900);
  host.runFor(2000);
  EXPECT_EQ(hs(Side::Right).power, 1);
  EXPECT_EQ(picture(Side::Right), "HSOn.jpg");
}

TEST_F(PowerTest, RightHandsetSoftSwitchOffHandsOverToTheLeft) {
  masterAndSlave(ds::SlaveRunning);
  std::swap(st.handsets[0], st.handsets[1]);  // the right handset is the master now
  holdRightPair(Side::Right, 1000);
  EXPECT_EQ(hs(Side::Right).power, 0);
  EXPECT_EQ(hs(Side::Left).role, 1);
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);
  EXPECT_EQ(st.switchOffSide, Side::Right);
}

TEST_F(PowerTest, HoldingTheRightPairWithTheSwitchOffDoesNothing) {
  press(Main::Label21);
  EXPECT_TRUE(sim.timers.enabled(TimerId::SwitchOffTimer));
  EXPECT_EQ(picture(Side::Right), "HSOff.jpg");
  host.runFor(1000);
  EXPECT_FALSE(sim.timers.enabled(TimerId::SwitchOffTimer));
  EXPECT_EQ(picture(Side::Right), "HSOff.jpg");
  EXPECT_EQ(sim.win[Main::Shape2].fillColour, st.screenBackColour);
  release(Main::Label21);
  EXPECT_EQ(sim.win[Main::Label21].tag, "");
}

TEST_F(PowerTest, SwitchOffTimerFiresOnceAfterStartWithNoRequest) {
  EXPECT_TRUE(sim.timers.enabled(TimerId::SwitchOffTimer));
  host.runFor(1000);
  EXPECT_FALSE(sim.timers.enabled(TimerId::SwitchOffTimer));
  EXPECT_EQ(picture(Side::Left), "HSOff.jpg");
  EXPECT_EQ(picture(Side::Right), "HSOff.jpg");
}

// Backlight.
TEST_F(PowerTest, LastPressDecidesWhenTheBacklightGoesOut) {
  masterAndSlave(ds::SlaveRunning);
  const Rgb lit{0, 192, 0};
  press(Main::Label8);
  release(Main::Label8);
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, lit);
  EXPECT_EQ(sim.timers.interval(TimerId::LHLightTimer), 5000u);
  host.runFor(2000);
  press(Main::Label10);
  release(Main::Label10);
  EXPECT_EQ(sim.timers.interval(TimerId::LHLightTimer), 15000u);
  host.runFor(14999);
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, lit);
  host.runFor(1);
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, st.screenBackColour);
  EXPECT_FALSE(sim.timers.enabled(TimerId::LHLightTimer));
  EXPECT_EQ(sim.win[Main::Shape2].fillColour, st.screenBackColour);
}

TEST_F(PowerTest, BacklightGoesBackToTheScreenColourOfTheMoment) {
  masterAndSlave(ds::SlaveRunning);
  press(Main::Label13);
  release(Main::Label13);
  EXPECT_EQ(sim.timers.interval(TimerId::RHLightTimer), 15000u);
  st.screenBackColour = {10, 20, 30};
  host.runFor(15000);
  EXPECT_EQ(sim.win[Main::Shape2].fillColour, (Rgb{10, 20, 30}));
}

TEST_F(PowerTest, LeftButtonLightsAnUnpoweredScreenTheOthersDoNot) {
  clickSwitch(Side::Left);
  press(Main::Label10);
  release(Main::Label10);
  press(Main::Label9);
  release(Main::Label9);
  press(Main::Label18);
  release(Main::Label18);
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, st.screenBackColour);
  EXPECT_FALSE(sim.timers.enabled(TimerId::LHLightTimer));
  press(Main::Label8);
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, (Rgb{0, 192, 0}));
  EXPECT_TRUE(sim.timers.enabled(TimerId::LHLightTimer));
}

TEST_F(PowerTest, NoBacklightTimerWhileCalibrating) {
  masterAndSlave(ds::SlaveRunning);
  for (int state : {ds::FlushAndCalibrate, ds::CalibratingHold}) {
    hs(Side::Left).displayState = static_cast<ds::DisplayState>(state);
    hs(Side::Right).displayState = static_cast<ds::DisplayState>(state);
    for (Main id : {Main::Label8, Main::Label10, Main::Label9, Main::Label12, Main::Label13}) {
      press(id);
      release(id);
    }
    EXPECT_EQ(sim.win[Main::Shape1].fillColour, st.screenBackColour);
    EXPECT_EQ(sim.win[Main::Shape2].fillColour, st.screenBackColour);
    EXPECT_FALSE(sim.timers.enabled(TimerId::LHLightTimer));
    EXPECT_FALSE(sim.timers.enabled(TimerId::RHLightTimer));
    // The right handset's left button lights its screen anyway, without a timer.
    press(Main::Label11);
    release(Main::Label11);
    EXPECT_EQ(sim.win[Main::Shape2].fillColour, (Rgb{0, 192, 0}));
    EXPECT_FALSE(sim.timers.enabled(TimerId::RHLightTimer));
    sim.win.setFillColour(Main::Shape2, st.screenBackColour);
  }
}

// Pictures.
struct PressCase {
  Main spot;
  Side side;
  const char* pressed;
};

class PressPicture : public PowerTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(PressPicture, ShowsThePressedButtonsWhileHeld) {
  const PressCase& c = GetParam();
  masterAndSlave(ds::SlaveRunning);
  sim.enable(partsOf(c.side).restore);
  press(c.spot);
  EXPECT_EQ(picture(c.side), c.pressed);
  EXPECT_FALSE(sim.timers.enabled(partsOf(c.side).restore));
  release(c.spot);
  EXPECT_EQ(picture(c.side), "HSOn.jpg");
  EXPECT_EQ(picture(other(c.side)), "HSOn.jpg");
}

INSTANTIATE_TEST_SUITE_P(
    EveryArea, PressPicture,
    ::testing::Values(PressCase{Main::Label8, Side::Left, "HSLeft.jpg"},
                      PressCase{Main::Label10, Side::Left, "HSMid.jpg"},
                      PressCase{Main::Label9, Side::Left, "HSRight.jpg"},
                      PressCase{Main::Label18, Side::Left, "HSBothOuter.jpg"},
                      PressCase{Main::Label19, Side::Left, "HSBothRight.jpg"},
                      PressCase{Main::Label11, Side::Right, "HSLeft.jpg"},
                      PressCase{Main::Label12, Side::Right, "HSMid.jpg"},
                      PressCase{Main::Label13, Side::Right, "HSRight.jpg"},
                      PressCase{Main::Label20, Side::Right, "HSBothOuter.jpg"},
                      PressCase{Main::Label21, Side::Right, "HSBothRight.jpg"}));

TEST_F(PowerTest, PressesWithTheSwitchOffChangeNoPicture) {
  for (Main id : {Main::Label8, Main::Label10, Main::Label9, Main::Label18, Main::Label19}) {
    press(id);
    release(id);
    move(id);
    EXPECT_EQ(picture(Side::Left), "HSOff.jpg");
  }
  EXPECT_EQ(sim.win[Main::Shape1].fillColour, st.screenBackColour);
}

TEST_F(PowerTest, PointerOverAPairHighlightsItForASecond) {
  clickSwitch(Side::Right);
  move(Main::Label20);
  EXPECT_EQ(picture(Side::Right), "HSLineOuters.jpg");
  EXPECT_TRUE(sim.timers.enabled(TimerId::Timer7));
  host.runFor(1000);
  EXPECT_EQ(picture(Side::Right), "HSOn.jpg");
  EXPECT_FALSE(sim.timers.enabled(TimerId::Timer7));
  move(Main::Label21);
  EXPECT_EQ(picture(Side::Right), "HSLineRights.jpg");
  host.runFor(1000);
  EXPECT_EQ(picture(Side::Right), "HSOn.jpg");
}

TEST_F(PowerTest, NoHighlightWhileAPairIsHeld) {
  clickSwitch(Side::Left);
  press(Main::Label18);
  EXPECT_EQ(sim.win[Main::Label18].tag, "1");
  move(Main::Label18);
  EXPECT_EQ(picture(Side::Left), "HSBothOuter.jpg");
  release(Main::Label18);
  EXPECT_EQ(sim.win[Main::Label18].tag, "");
  move(Main::Label18);
  EXPECT_EQ(picture(Side::Left), "HSLineOuters.jpg");
}

TEST_F(PowerTest, OuterPairReleasedWithTheSwitchOffStaysHeld) {
  press(Main::Label18);
  release(Main::Label18);
  EXPECT_EQ(sim.win[Main::Label18].tag, "1");
  clickSwitch(Side::Left);
  move(Main::Label18);
  EXPECT_EQ(picture(Side::Left), "HSOn.jpg");  // no highlight until pressed again
  press(Main::Label18);
  release(Main::Label18);
  EXPECT_EQ(sim.win[Main::Label18].tag, "");
}

TEST_F(PowerTest, HighlightDoesNotTurnASwitchedOffHandsetBackOn) {
  clickSwitch(Side::Left);
  move(Main::Label18);
  host.runFor(400);
  clickSwitch(Side::Left);  // off, within the second of the highlight
  EXPECT_EQ(picture(Side::Left), "HSOff.jpg");
  host.runFor(1000);
  EXPECT_EQ(picture(Side::Left), "HSOff.jpg");
  EXPECT_FALSE(sim.timers.enabled(TimerId::Timer6));
}

// The held middle button arms the setpoint switch.
TEST_F(PowerTest, MiddleButtonArmsTheSetpointSwitchWhileHeld) {
  press(Main::Label12);  // switch off: it arms all the same
  EXPECT_EQ(st.setpointSwitchSide, Side::Right);
  EXPECT_TRUE(sim.timers.enabled(TimerId::SetPointTimer));
  release(Main::Label12);
  EXPECT_FALSE(sim.timers.enabled(TimerId::SetPointTimer));
  press(Main::Label10);
  EXPECT_EQ(st.setpointSwitchSide, Side::Left);
  EXPECT_TRUE(sim.timers.enabled(TimerId::SetPointTimer));
  release(Main::Label10);
  EXPECT_FALSE(sim.timers.enabled(TimerId::SetPointTimer));
}

TEST_F(PowerTest, EveryButtonRecordsWhichHandsetAndWhichButton) {
  const std::pair<Main, const char*> cases[] = {
      {Main::Label8, "Left handset: left button"},    {Main::Label10, "Left handset: middle button"},
      {Main::Label9, "Left handset: right button"},   {Main::Label18, "Left handset: both outer buttons"},
      {Main::Label19, "Left handset: both right buttons"}, {Main::Label11, "Right handset: left button"},
      {Main::Label12, "Right handset: middle button"}, {Main::Label13, "Right handset: right button"},
      {Main::Label20, "Right handset: both outer buttons"},
      {Main::Label21, "Right handset: both right buttons"}};
  for (const auto& [spot, text] : cases) {
    click(spot);
    EXPECT_EQ(lastMessage(), text);
  }
}

}  // namespace
}  // namespace pelasim::testing
