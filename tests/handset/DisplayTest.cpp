// The handset display state machine: the screen of every state, the next state, the
// power-on self-test, the slave that waits or takes over, and ticks that never nest.
#include <functional>

#include "core/Messages.h"
#include "handset/Handset.h"
#include "handset/HandsetFixture.h"
#include "handset/ScreenLayouts.h"

namespace pelasim::testing {
namespace {

constexpr const char* kUntouched = "untouched";

struct StateCase {
  std::string name;
  int state;
  std::string text;  // what the tick shows; kUntouched for a state that writes nothing
  int next;
  std::function<void(State&)> setup = [](State&) {};
};

std::string msg(int i) { return std::string(handsetMessageTable()[static_cast<std::size_t>(i)]); }

std::vector<StateCase> stateCases() {
  const std::string readings = "0.21       0.20       1.23";
  const auto otherBooting = [](State& s) {
    s.handset(Side::Right).power = 1;
    s.handset(Side::Right).displayState = ds::SelfTest;
  };
  return {
      {"Blank", 0, "", 0},
      {"SelfTest", 1, "  K.T.Marine    Pelagrinova  ", 2},
      {"ScrubberTime", 2, "     Elapsed ON Time     2 hrs 5 mins", 3},
      {"DiveNowConfirm", 3, "       DIVE NOW ?        Confirm    ", 2},
      {"SlaveWaiting", 4, "        SLAVE          Waiting for Data    ", 4, otherBooting},
      {"SlaveRunning", 5, kUntouched, 5},
      {"BatteryWarning", 6, " BATTERY WARNING     REPLACE   ", 7},
      {"BatteryDiveNow", 7, "        DIVE NOW?    YES                      NO ", 6},
      {"LowBattery", 8, "       LOW BATTERY       REPLACE    ", 9},
      {"LowBatteryNoDive", 9, "        NO DIVE    ", 8},
      {"BootCellFailure", 10, blanks(32) + "CELL 2 FAILURE", 11},
      {"BootCellReplace", 11, "      CELL 2 FAILURE      REPLACE", 12},
      {"BootCellNoDive", 12, blanks(40) + "NO DIVE    ", 10},
      {"CheckDiluent", 13, "     CHECK DILUENT!      Confirm    ", 13},
      {"CalibrateQuery", 14, "      CALIBRATE ?      YES                     NO ", 14},
      {"MustCalibrate", 15, "   MUST CALIBRATE!      YES                     NO ", 15},
      {"OpenValve", 16, "    OPEN O2 VALVE  Confirm", 16},
      {"MasterRunning", 17, kUntouched, 17},
      {"CalPressureMenu", 18, "    Ambient Pressure      Down   1013mb     Up ", 18},
      {"CalOxygenMenu", 19, "      OXYGEN %      Down    98%     Up ", 19},
      {"OpenMouthpiece", 20, "    Open Mouthpiece!     Confirm", 20},
      {"OpenValveToFlush", 21, "     OPEN O2 VALVE!        Confirm", 21},
      {"NoOxygen", 23, "          NO OXYGEN            Check Valve  ", 24},
      {"NoOxygenNoCalibration", 24, "     NO CALIBRATION   ", 25},
      {"NoOxygenNoDive", 25, "       NO DIVE       ", 23},
      {"CellStuck", 26, "      CELL STUCK       ", 26},
      {"CalCellFailure", 27, "      CELL 3 FAILURE      REPLACE", 28},
      {"CalOutOfRange", 28, "      OUT OF RANGE     ", 29},
      {"CalCellReplace", 29, "      CELL 3 FAILURE      REPLACE", 30},
      {"CalNoDive", 30, "      NO DIVE       ", 31},
      {"CalNoCalibration", 31, "     NO CALIBRATION    ", 27},
      {"CalibratingHold", 32, "   CALIBRATING  ", 17},
      {"HighSetpointMenu", 40, "     HIGH SETPOINT       Down    1.30    UP  ", 40},
      {"LowSetpointMenu", 41, "     LOW SETPOINT        Down    0.70     UP  ", 41},
      {"BrightnessMenu", 42, "      BRIGHTNESS       Down   30      UP  ", 42},
      {"OnTimeShow", 43, "     Elapsed ON Time     1 hrs 0 mins", 44},
      {"ResetQuery", 44, "      RESET NOW     Yes                         No  ", 43},
      {"OnTimeReset", 45, "     Elapsed ON Time     1 hrs 0 mins", 17},
      {"CellWarningScreen", 50, "    CELL WARNING    " + blanks(8) + readings, 50},
      {"LowOxygenScreen", 51, "      LOW OXYGEN    " + blanks(5) + readings, 51},
      {"HighOxygenScreen", 52, "      HIGH OXYGEN    " + blanks(5) + readings, 52},
      {"LowBatteryScreen", 54, "    LOW BATTERY    ", 54},
      {"Unlisted35", 35, "", 35},
      {"Unlisted53", 53, "", 53},
  };
}

class DisplayStateText : public HandsetTest, public ::testing::WithParamInterface<StateCase> {
 protected:
  void SetUp() override {
    HandsetTest::SetUp();
    HandsetRecord& l = hs(Side::Left);
    l.power = 1;
    l.role = 1;
    l.cellPO2 = {0, 0.21, 0.2, 1.234};
    st.scrubberMinutes = 125;
    l.onTimeMinutes = 60;
    st.bootFailedCell = 2;
    st.randomCellIndex = 3;
    st.calibrationPressureMb = 1013;
    st.calibrationOxygenPercent = 98;
  }
};

TEST_P(DisplayStateText, ShowsItsScreenAndStoresTheNextState) {
  const StateCase& c = GetParam();
  c.setup(st);
  hs(Side::Left).displayState = static_cast<ds::DisplayState>(c.state);
  sim.win.setCaption(Main::Label14, kUntouched);
  displayTick(sim, Side::Left);
  EXPECT_EQ(screen(Side::Left), c.text);
  EXPECT_EQ(hs(Side::Left).displayState, c.next);
  EXPECT_TRUE(sim.timers.enabled(TimerId::Timer8));
}

INSTANTIATE_TEST_SUITE_P(EveryState, DisplayStateText, ::testing::ValuesIn(stateCases()),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(HandsetMessages, FixedTextsHaveTheirLengths) {
  // The blanks place the words on the screen lines, so the lengths are part of the texts.
  const std::pair<int, std::size_t> lengths[] = {
      {1, 29}, {3, 36}, {4, 43}, {6, 31}, {7, 49}, {8, 36}, {9, 19}, {12, 51}, {13, 36},
      {14, 50}, {15, 51}, {16, 26}, {20, 32}, {21, 34}, {23, 44}, {24, 22}, {25, 21},
      {26, 23}, {28, 23}, {30, 20}, {31, 23}, {32, 16}, {44, 52}, {54, 19}};
  for (const auto& [i, n] : lengths) EXPECT_EQ(msg(i).size(), n) << "message " << i;
  EXPECT_EQ(msg(0), "");
}

TEST_F(HandsetTest, AHandsetWithoutPowerShowsOneBlankAndBecomesBlank) {
  hs(Side::Right).power = 0;
  hs(Side::Right).displayState = ds::CheckDiluent;
  displayTick(sim, Side::Right);
  EXPECT_EQ(screen(Side::Right), " ");
  EXPECT_EQ(hs(Side::Right).displayState, ds::Blank);
  EXPECT_TRUE(sim.timers.enabled(TimerId::Timer9));
}

TEST_F(HandsetTest, TheRightHandsetWritesItsOwnScreen) {
  hs(Side::Right).power = 1;
  hs(Side::Right).displayState = ds::CheckDiluent;
  sim.win.setCaption(Main::Label14, kUntouched);
  displayTick(sim, Side::Right);
  EXPECT_EQ(screen(Side::Right), msg(13));
  EXPECT_EQ(screen(Side::Left), kUntouched);
}

// Power-on self-test: cell limits in air.
struct CellCase {
  double air1, air2, air3;
  int next;
  int failedCell;  // 0: none
};

class SelfTestCells : public HandsetTest, public ::testing::WithParamInterface<CellCase> {};

TEST_P(SelfTestCells, FirstFailingCellDecides) {
  const CellCase& c = GetParam();
  st.cells[1].airMillivolts = c.air1;
  st.cells[2].airMillivolts = c.air2;
  st.cells[3].airMillivolts = c.air3;
  HandsetRecord& l = hs(Side::Left);
  l.power = 1;
  l.role = 1;
  l.displayState = ds::SelfTest;
  displayTick(sim, Side::Left);
  EXPECT_EQ(screen(Side::Left), "  K.T.Marine    Pelagrinova  ");
  EXPECT_EQ(l.displayState, c.next);
  if (c.failedCell != 0) EXPECT_EQ(st.bootFailedCell, c.failedCell);
  else EXPECT_FALSE(st.bootFailedCell.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Limits, SelfTestCells,
    ::testing::Values(CellCase{11.05, 11.5, 9.5, ds::BootCellFailure, 1},
                      CellCase{11.0, 11.9, 9.5, ds::ScrubberTime, 0},
                      CellCase{7.0, 7.0, 7.0, ds::ScrubberTime, 0},
                      CellCase{6.9, 11.5, 9.5, ds::BootCellFailure, 1},
                      CellCase{10.5, 6.9, 9.5, ds::BootCellFailure, 2},
                      CellCase{10.5, 11.5, 6.9, ds::BootCellFailure, 3},
                      CellCase{10.5, 6.9, 6.9, ds::BootCellFailure, 2},
                      CellCase{10.5, 25.0, 25.0, ds::ScrubberTime, 0}));

struct BatteryCase {
  double volts;
  int role;
  int next;
};

class SelfTestBattery : public HandsetTest, public ::testing::WithParamInterface<BatteryCase> {};

TEST_P(SelfTestBattery, BatteryDecidesAfterTheCells) {
  const BatteryCase& c = GetParam();
  HandsetRecord& r = hs(Side::Right);
  r.power = 1;
  r.role = c.role;
  r.batteryVolts = c.volts;
  r.displayState = ds::SelfTest;
  displayTick(sim, Side::Right);
  EXPECT_EQ(r.displayState, c.next);
}

INSTANTIATE_TEST_SUITE_P(Limits, SelfTestBattery,
                         ::testing::Values(BatteryCase{5.1, 1, ds::BatteryWarning},
                                           BatteryCase{5.7, 0, ds::BatteryWarning},
                                           BatteryCase{5.09, 1, ds::LowBattery},
                                           BatteryCase{5.09, 0, ds::LowBattery},
                                           BatteryCase{5.71, 1, ds::ScrubberTime},
                                           BatteryCase{5.71, 0, ds::SlaveWaiting},
                                           BatteryCase{6.2, 0, ds::SlaveWaiting}));

TEST_F(HandsetTest, CellAndBatteryCyclesRepeatUntilSwitchedOff) {
  HandsetRecord& l = hs(Side::Left);
  l.power = 1;
  const std::vector<std::pair<int, std::vector<int>>> cycles = {
      {6, {7, 6}}, {8, {9, 8}}, {10, {11, 12, 10}}, {23, {24, 25, 23}}, {27, {28, 29, 30, 31, 27}},
      {43, {44, 43}}, {2, {3, 2}}};
  for (const auto& [start, seq] : cycles) {
    l.displayState = static_cast<ds::DisplayState>(start);
    for (int next : seq) {
      displayTick(sim, Side::Left);
      EXPECT_EQ(l.displayState, next) << "cycle from " << start;
    }
  }
}

TEST_F(HandsetTest, ElapsedTimeShowsHoursAndMinutes) {
  EXPECT_EQ(screen::elapsedTime(125), "     Elapsed ON Time     2 hrs 5 mins");
  EXPECT_EQ(screen::elapsedTime(0), "     Elapsed ON Time     0 hrs 0 mins");
  EXPECT_EQ(screen::elapsedTime(59), "     Elapsed ON Time     0 hrs 59 mins");
  EXPECT_EQ(screen::elapsedTime(60), "     Elapsed ON Time     1 hrs 0 mins");
}

// The slave.
TEST_F(HandsetTest, SlaveStartsRunningOnceItsMasterRuns) {
  HandsetRecord& r = hs(Side::Right);
  r.power = 1;
  r.displayState = ds::SlaveWaiting;
  hs(Side::Left).power = 1;
  hs(Side::Left).displayState = ds::MasterRunning;
  sim.win.setCaption(Main::Label15, kUntouched);
  displayTick(sim, Side::Right);
  EXPECT_EQ(r.displayState, ds::SlaveRunning);
  EXPECT_EQ(screen(Side::Right), kUntouched);
}

TEST_F(HandsetTest, SlaveTakesOverWhenItsMasterIsOff) {
  for (int sound : {1, 0}) {
    st.soundOn = sound;
    HandsetRecord& r = hs(Side::Right);
    r.power = 1;
    r.role = 0;
    r.displayState = ds::SlaveWaiting;
    hs(Side::Left).power = 0;
    const std::size_t before = host.sounds.size();
    displayTick(sim, Side::Right);
    EXPECT_EQ(r.displayState, ds::MasterRunning);
    EXPECT_EQ(r.role, 1);
    if (sound == 1) EXPECT_EQ(h.soundsSince(before), (std::vector<std::string>{"0:LowO2.wav"}));
    else EXPECT_TRUE(h.soundsSince(before).empty());
  }
}

// The calibration hold and ticks that never nest.
TEST_F(HandsetTest, CalibrationHoldWaitsSevenSecondsThenBeepsAndRuns) {
  st.soundOn = 0;  // the end beep sounds anyway
  HandsetRecord& l = hs(Side::Left);
  l.power = 1;
  l.role = 1;
  l.displayState = ds::CalibratingHold;
  const std::uint32_t due = sim.timers.dueTick(TimerId::Timer8);
  // One second into the hold: the screen, the state and the display timer, seen from a click.
  std::string shownMeanwhile;
  int stateMeanwhile = -1;
  bool timerMeanwhile = true;
  host.at(due + 1000, [&] {
    shownMeanwhile = screen(Side::Left);
    stateMeanwhile = l.displayState;
    timerMeanwhile = sim.timers.enabled(TimerId::Timer8);
  });
  host.runUntil(due + 100);
  EXPECT_EQ(shownMeanwhile, "   CALIBRATING  ");
  EXPECT_EQ(stateMeanwhile, ds::CalibratingHold);
  EXPECT_FALSE(timerMeanwhile);
  EXPECT_EQ(l.displayState, ds::MasterRunning);
  ASSERT_FALSE(host.sounds.empty());
  EXPECT_EQ(host.sounds.back().file, "DoubleBeep.wav");
  EXPECT_EQ(host.sounds.back().channel, SoundChannel::General);
  EXPECT_GE(host.sounds.back().tick, due + 7000);
  EXPECT_LE(host.sounds.back().tick, due + 7001);
  EXPECT_TRUE(sim.timers.enabled(TimerId::Timer8));
  // The next tick comes a full interval after the hold.
  EXPECT_GE(sim.timers.dueTick(TimerId::Timer8), due + 7000 + 3000);
  EXPECT_LE(sim.timers.dueTick(TimerId::Timer8), due + 7001 + 3000);
  host.runFor(600);
  EXPECT_EQ(screen(Side::Left).rfind("      MASTER   0.7", 0), 0u) << screen(Side::Left);
}

TEST_F(HandsetTest, ButtonsDuringTheHoldNeverStartASecondTickOfTheSameHandset) {
  HandsetRecord& l = hs(Side::Left);
  switchOnAndPowerUp(Side::Left);
  l.displayState = ds::CalibratingHold;
  // Count the display ticks of the left handset that run at once.
  int depth = 0, deepest = 0, ticks = 0;
  sim.timers.setHandler(TimerId::Timer8, [&] {
    ++depth;
    ++ticks;
    deepest = std::max(deepest, depth);
    displayTick(sim, Side::Left);
    --depth;
  });
  const std::uint32_t due = sim.timers.dueTick(TimerId::Timer8);
  const int rowBefore = st.recordRow;
  // Every button enables the display timer: click them all during the hold, and once more
  // after the timer's interval has passed.
  for (std::uint32_t at : {due + 500, due + 3600, due + 6500}) {
    host.at(at, [this] {
      clickLeft(Side::Left);
      clickMiddle(Side::Left);
      clickRight(Side::Left);
    });
  }
  host.runUntil(due + 7100);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(l.displayState, ds::MasterRunning);
  // The clicks during the hold found no state of theirs: recorded, nothing else.
  EXPECT_EQ(messagesSince(rowBefore).back(), "Left handset: right button");
  host.runFor(3000);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(deepest, 1);
}

TEST_F(HandsetTest, SwitchingOffDuringTheHoldLeavesTheHandsetOffAndTheNewMasterAlone) {
  switchOnAndPowerUp(Side::Left);
  switchOnAndPowerUp(Side::Right);
  hs(Side::Left).displayState = ds::CalibratingHold;
  hs(Side::Right).displayState = ds::SlaveWaiting;
  // The left display tick is overdue after the two power-ups: its hold starts now.
  const std::uint32_t start = sim.tick();
  host.at(start + 2000, [this] { clickSwitch(Side::Left); });
  const std::size_t before = host.sounds.size();
  host.runFor(9000);
  EXPECT_EQ(hs(Side::Left).displayState, ds::Blank);
  EXPECT_EQ(hs(Side::Left).power, 0);
  EXPECT_EQ(hs(Side::Right).displayState, ds::MasterRunning);
  EXPECT_EQ(hs(Side::Right).role, 1);
  EXPECT_EQ(screen(Side::Left), "");
  for (const std::string& s : h.soundsSince(before)) EXPECT_NE(s, "0:DoubleBeep.wav");
}

TEST_F(HandsetTest, TheHoldEndsEarlyWhenTheProgramEnds) {
  HandsetRecord& l = hs(Side::Left);
  l.power = 1;
  l.displayState = ds::CalibratingHold;
  const std::uint32_t start = sim.tick();
  host.at(start + 1000, [this] { sim.ended = true; });
  displayTick(sim, Side::Left);
  EXPECT_LT(sim.tick(), start + 1200);
  EXPECT_EQ(l.displayState, ds::CalibratingHold);
  for (const auto& s : host.sounds) EXPECT_NE(s.file, "DoubleBeep.wav");
}

}  // namespace
}  // namespace pelasim::testing
