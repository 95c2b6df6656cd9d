// Whole courses a trainee clicks through: switch-on, power-up, the pre-dive checklist to the
// running master, the slave joining, and the frozen window during a power-up.
#include "core/Format.h"
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"

namespace pelasim::testing {
namespace {

std::string runningText(const char* banner, double setpoint, const HandsetRecord& h) {
  return std::string(banner) + fmt::fixed(setpoint, 1) + "        " + fmt::fixed(h.cellPO2[1], 2) +
         "       " + fmt::fixed(h.cellPO2[2], 2) + "       " + fmt::fixed(h.cellPO2[3], 2);
}

TEST_F(HandsetTest, LeftHandsetIsClickedFromSwitchOnToTheRunningMasterAndTheRightJoinsAsSlave) {
  const int row0 = st.recordRow;
  HandsetRecord& l = hs(Side::Left);
  HandsetRecord& r = hs(Side::Right);

  clickSwitch(Side::Left);
  EXPECT_EQ(picture(Side::Left), "HSOn.jpg");
  EXPECT_EQ(l.hardwareSwitch, 1);
  EXPECT_EQ(l.power, 0);
  EXPECT_EQ(lastMessage(), "Left handset hardware switch On");
  host.runFor(3000);
  EXPECT_EQ(screen(Side::Left), " ");  // switched on, electronics still off

  std::size_t sound0 = host.sounds.size();
  const std::uint32_t clickTick = sim.tick();
  clickLeft(Side::Left);
  EXPECT_EQ(l.power, 1);
  EXPECT_EQ(l.role, 1);
  EXPECT_EQ(l.displayState, ds::SelfTest);
  EXPECT_EQ(lastMessage(), "Left handset on as Master");
  EXPECT_EQ(h.soundsSince(sound0), (std::vector<std::string>{"0:Turnonr.wav", "0:CLICK.wav"}));
  EXPECT_EQ(host.sounds.back().tick, clickTick + 2000);

  ASSERT_TRUE(runUntilState(Side::Left, ds::ScrubberTime));
  EXPECT_EQ(screen(Side::Left), "  K.T.Marine    Pelagrinova  ");
  ASSERT_TRUE(runUntilState(Side::Left, ds::DiveNowConfirm));
  EXPECT_EQ(screen(Side::Left), "     Elapsed ON Time     0 hrs 14 mins");
  ASSERT_TRUE(runUntilState(Side::Left, ds::ScrubberTime));
  EXPECT_EQ(screen(Side::Left), "       DIVE NOW ?        Confirm    ");

  clickMiddle(Side::Left);  // Confirm
  EXPECT_EQ(l.displayState, ds::CheckDiluent);
  EXPECT_EQ(screen(Side::Left), "     CHECK DILUENT!      Confirm    ");
  EXPECT_EQ(lastMessage(), "Left handset: middle button");

  sound0 = host.sounds.size();
  clickMiddle(Side::Left);  // Confirm with the diluent still closed: the alarm sounds
  EXPECT_EQ(h.soundsSince(sound0), (std::vector<std::string>{"1:alarm.wav"}));
  EXPECT_EQ(l.displayState, ds::CalibrateQuery);
  EXPECT_EQ(screen(Side::Left), "     CALIBRATE ?      YES                     NO ");
  host.runFor(3000);
  EXPECT_EQ(screen(Side::Left), "      CALIBRATE ?      YES                     NO ");
  EXPECT_EQ(l.displayState, ds::CalibrateQuery);

  clickRight(Side::Left);  // NO
  EXPECT_EQ(lastMessage(), "Left handset: right button");
  EXPECT_EQ(l.displayState, ds::OpenValve);
  EXPECT_EQ(screen(Side::Left), "    OPEN O2 VALVE    Confirm");
  host.runFor(3000);
  EXPECT_EQ(screen(Side::Left), "    OPEN O2 VALVE  Confirm");

  sound0 = host.sounds.size();
  clickMiddle(Side::Left);  // Confirm with the oxygen valve closed: the alarm sounds
  EXPECT_EQ(h.soundsSince(sound0), (std::vector<std::string>{"1:alarm.wav"}));
  EXPECT_EQ(l.displayState, ds::MasterRunning);
  host.runFor(600);
  EXPECT_EQ(screen(Side::Left), runningText("      MASTER   ", 0.7, l));

  // The right handset, powered while the left one runs, is the slave.
  clickSwitch(Side::Right);
  EXPECT_EQ(lastMessage(), "Right handset hardware switch On");
  clickLeft(Side::Right);
  EXPECT_EQ(r.role, 0);
  EXPECT_EQ(lastMessage(), "Right handset on as Slave");
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveWaiting));
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveRunning));
  host.runFor(600);
  EXPECT_EQ(screen(Side::Right), runningText("       SLAVE   ", 0.7, r));
  EXPECT_EQ(screen(Side::Left), runningText("      MASTER   ", 0.7, l));

  const std::vector<std::string> expected = {
      "Left handset hardware switch On", "Left handset on as Master",
      "Left handset: middle button",     "Left handset: middle button",
      "Left handset: right button",      "Left handset: middle button",
      "Right handset hardware switch On", "Right handset on as Slave"};
  // Messages of one second replace each other; those that remain come in this order.
  std::vector<std::string> got = messagesSince(row0);
  std::size_t i = 0;
  for (const std::string& m : got) {
    while (i < expected.size() && expected[i] != m) ++i;
    EXPECT_LT(i, expected.size()) << "unexpected or out of order: " << m;
  }
}

TEST_F(HandsetTest, SlaveShowsItIsWaitingWhileTheMasterGoesThroughItsChecklist) {
  switchOnAndPowerUp(Side::Left);
  switchOnAndPowerUp(Side::Right);
  EXPECT_EQ(hs(Side::Right).role, 0);
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveWaiting));
  host.runFor(3100);
  EXPECT_EQ(screen(Side::Right), "        SLAVE          Waiting for Data    ");
  EXPECT_EQ(hs(Side::Right).displayState, ds::SlaveWaiting);
  walkToRunningMaster(Side::Left);
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveRunning, 3100));
}

TEST_F(HandsetTest, PowerUpFreezesTheWholeWindowForTwoSeconds) {
  clickSwitch(Side::Left);
  clickSwitch(Side::Right);
  std::vector<std::uint32_t> cellTicks;
  sim.timers.setHandler(TimerId::CellMillivoltTimer, [&] {
    cellTicks.push_back(sim.tick());
    millivoltTick(sim);
  });
  const std::uint32_t t0 = sim.tick() + 100;
  std::uint32_t secondClick = 0;
  host.at(t0, [this] { clickLeft(Side::Left); });
  // A click on the other handset half a second later waits until the window wakes up.
  host.at(t0 + 500, [&] {
    secondClick = sim.tick();
    clickLeft(Side::Right);
  });
  host.runFor(5000);
  for (std::uint32_t t : cellTicks) EXPECT_FALSE(t > t0 && t < t0 + 2000) << "cell tick at " << t - t0;
  EXPECT_GE(secondClick, t0 + 2000);
  EXPECT_EQ(hs(Side::Left).role, 1);
  EXPECT_EQ(hs(Side::Right).role, 0);  // the left one was powered first
  std::vector<std::pair<std::string, std::uint32_t>> sounds;
  for (const auto& s : host.sounds)
    if (s.file == "Turnonr.wav" || s.file == "CLICK.wav") sounds.emplace_back(s.file, s.tick - t0);
  EXPECT_EQ(sounds, (std::vector<std::pair<std::string, std::uint32_t>>{
                        {"Turnonr.wav", 0}, {"CLICK.wav", 2000}, {"Turnonr.wav", 2000}, {"CLICK.wav", 4000}}));
}

TEST_F(HandsetTest, PowerUpIsSilentWithSoundOff) {
  st.soundOn = 0;
  switchOnAndPowerUp(Side::Left);
  EXPECT_EQ(hs(Side::Left).power, 1);
  EXPECT_TRUE(host.sounds.empty());
}

TEST_F(HandsetTest, LeftButtonPowersUpOnlyWithTheSwitchOnAndTheElectronicsOff) {
  clickLeft(Side::Left);  // switch off
  EXPECT_EQ(hs(Side::Left).power, 0);
  EXPECT_EQ(lastMessage(), "Left handset: left button");
  switchOnAndPowerUp(Side::Left);
  ASSERT_EQ(hs(Side::Left).power, 1);
  host.runFor(3000);
  const std::size_t sound0 = host.sounds.size();
  const int state = hs(Side::Left).displayState;
  clickLeft(Side::Left);  // already powered: a YES in a state that has none
  EXPECT_EQ(hs(Side::Left).displayState, state);
  EXPECT_EQ(lastMessage(), "Left handset: left button");
  EXPECT_TRUE(h.soundsSince(sound0).empty());
}

TEST_F(HandsetTest, CalibrationAnswerLeadsThroughTheMenusToTheFlush) {
  switchOnAndPowerUp(Side::Left);
  ASSERT_TRUE(runUntilState(Side::Left, ds::ScrubberTime));
  clickMiddle(Side::Left);
  clickMiddle(Side::Left);
  ASSERT_EQ(hs(Side::Left).displayState, ds::CalibrateQuery);
  clickLeft(Side::Left);  // YES
  EXPECT_EQ(hs(Side::Left).displayState, ds::CalPressureMenu);
  EXPECT_EQ(screen(Side::Left), "    Ambient Pressure      Down   1000mb     Up ");
  clickMiddle(Side::Left);
  EXPECT_EQ(screen(Side::Left), "      OXYGEN %      Down    100%     Up ");
  clickMiddle(Side::Left);
  EXPECT_EQ(hs(Side::Left).displayState, ds::OpenMouthpiece);
  EXPECT_EQ(screen(Side::Left), "   Open Mouthpiece!       Confirm");
  std::size_t sound0 = host.sounds.size();
  clickMiddle(Side::Left);  // mouthpiece still closed
  EXPECT_EQ(h.soundsSince(sound0), (std::vector<std::string>{"1:alarm.wav"}));
  EXPECT_EQ(hs(Side::Left).displayState, ds::OpenValveToFlush);
  EXPECT_EQ(screen(Side::Left), "     OPEN O2 VALVE!        Confirm");
  hs(Side::Left).cellPO2 = {0, 0.21, 0.2, 1.0};
  st.oxygenValveState = Valve::Open;
  sound0 = host.sounds.size();
  clickMiddle(Side::Left);
  EXPECT_TRUE(h.soundsSince(sound0).empty());
  EXPECT_EQ(hs(Side::Left).displayState, ds::FlushAndCalibrate);
  EXPECT_EQ(screen(Side::Left), "   FLUSHING BAG  0.21     0.20     1.00");
}

TEST_F(HandsetTest, MustCalibrateOptionAsksForTheCalibration) {
  clickOptionBox(sim, option::MustCalibrate);
  ASSERT_TRUE(sim.optionTicked(option::MustCalibrate));
  switchOnAndPowerUp(Side::Right);
  ASSERT_TRUE(runUntilState(Side::Right, ds::ScrubberTime));
  clickMiddle(Side::Right);
  clickMiddle(Side::Right);
  EXPECT_EQ(hs(Side::Right).displayState, ds::MustCalibrate);
  EXPECT_EQ(screen(Side::Right), "   MUST CALIBRATE!      YES                     NO ");
  clickRight(Side::Right);  // NO is still accepted
  EXPECT_EQ(hs(Side::Right).displayState, ds::OpenValve);
}

TEST_F(HandsetTest, AlarmsNeedTheWarningsBoxAndTheSound) {
  const auto confirmDiluent = [this] {
    hs(Side::Left).power = 1;
    hs(Side::Left).displayState = ds::CheckDiluent;
    const std::size_t sound0 = host.sounds.size();
    clickMiddle(Side::Left);
    EXPECT_EQ(hs(Side::Left).displayState, ds::CalibrateQuery);
    return h.soundsSince(sound0);
  };
  EXPECT_EQ(confirmDiluent(), (std::vector<std::string>{"1:alarm.wav"}));
  st.diluentValveState = Valve::Open;
  EXPECT_TRUE(confirmDiluent().empty());
  st.diluentValveState = Valve::Off;
  clickCheckBox(sim, Main::Check2);  // Warnings off
  EXPECT_TRUE(confirmDiluent().empty());
  clickCheckBox(sim, Main::Check2);
  st.soundOn = 0;
  EXPECT_TRUE(confirmDiluent().empty());
}

TEST_F(HandsetTest, BatteryWarningYesLeadsTheMasterToTheChecklistAndTheSlaveToWait) {
  HandsetRecord& l = hs(Side::Left);
  l.power = 1;
  l.role = 1;
  l.displayState = ds::BatteryWarning;  // showing DIVE NOW? YES NO
  st.scrubberMinutes = 125;
  clickLeft(Side::Left);
  EXPECT_EQ(l.displayState, ds::ScrubberTime);
  EXPECT_EQ(screen(Side::Left), "     Elapsed ON Time     2 hrs 5 mins");
  HandsetRecord& r = hs(Side::Right);
  r.power = 1;
  r.role = 0;
  r.displayState = ds::BatteryWarning;
  clickLeft(Side::Right);
  EXPECT_EQ(r.displayState, ds::SlaveWaiting);
  // The battery warning has no NO.
  l.displayState = ds::BatteryWarning;
  clickRight(Side::Left);
  EXPECT_EQ(l.displayState, ds::BatteryWarning);
}

TEST_F(HandsetTest, FailureCyclesIgnoreTheButtons) {
  HandsetRecord& l = hs(Side::Left);
  l.power = 1;
  for (int state : {8, 9, 10, 11, 12, 23, 24, 25, 26, 27, 28, 29, 30, 31, 5}) {
    for (Button b : {Button::Left, Button::Middle, Button::Right}) {
      l.displayState = static_cast<ds::DisplayState>(state);
      buttonClick(sim, Side::Left, b);
      EXPECT_EQ(l.displayState, state) << "state " << state;
    }
  }
}

}  // namespace
}  // namespace pelasim::testing
