// The main window flown from the keyboard alone: the checklist of both handsets and a dive,
// Shift with a handset button, and a key for every control.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "access/Keyboard.h"
#include "handset/HandsetFixture.h"

namespace pelasim::testing {
namespace {

class KeyboardTest : public HandsetTest {
 protected:
  // A key pressed and let go at once; distinct codes per key, as a keyboard gives them.
  void tap(const std::string& key) { holdKey(key, 0); }
  void holdKey(const std::string& key, std::uint32_t ms) {
    const int code = codes.try_emplace(key, static_cast<int>(codes.size()) + 1).first->second;
    ASSERT_TRUE(keys.press(sim, key, code)) << key;
    if (ms) host.runFor(ms);
    ASSERT_TRUE(keys.release(sim, code)) << key;
  }
  KeyboardControl keys;
  std::map<std::string, int> codes;
};

TEST_F(KeyboardTest, ChecklistAndDiveFlownWithKeysOnly) {
  tap("Z");  // left hardware switch
  EXPECT_EQ(hs(Side::Left).hardwareSwitch, 1);
  tap("Q");  // power up: master
  EXPECT_EQ(hs(Side::Left).role, 1);
  ASSERT_TRUE(runUntilState(Side::Left, ds::ScrubberTime));
  tap("W");  // DIVE NOW ?: Confirm
  EXPECT_EQ(screen(Side::Left), "     CHECK DILUENT!      Confirm    ");
  tap("W");  // CHECK DILUENT!: Confirm
  EXPECT_EQ(hs(Side::Left).displayState, ds::CalibrateQuery);
  tap("E");  // CALIBRATE ?: NO
  EXPECT_EQ(hs(Side::Left).displayState, ds::OpenValve);
  tap("H");  // oxygen cylinder valve open before confirming
  EXPECT_EQ(st.oxygenValveState, Valve::Open);
  tap("W");  // OPEN O2 VALVE: Confirm
  EXPECT_EQ(hs(Side::Left).displayState, ds::MasterRunning);

  tap("M");  // right hardware switch
  tap("U");  // power up: slave
  EXPECT_EQ(hs(Side::Right).role, 0);
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveRunning));

  tap("D");  // diluent valve
  EXPECT_EQ(st.diluentValveState, Valve::Open);
  tap("C");  // mouthpiece
  EXPECT_EQ(st.mouthpieceState, Mouthpiece::Open);
  const int breathing = st.breathing;
  tap("R");
  EXPECT_NE(st.breathing, breathing);
  if (st.breathing == 0) tap("R");
  holdKey("PgDown", 10200);  // 20 m
  EXPECT_EQ(st.depthMetres, 20);
  holdKey("F", 1000);  // diluent injector held for a second
  EXPECT_EQ(lastMessage(), "Manual Diluent Addition");
  holdKey("G", 500);  // oxygen injector
  EXPECT_EQ(lastMessage(), "Manual O2 Addition");
  host.runFor(60000);
  holdKey("Up", 10200);  // back to 0 m
  EXPECT_EQ(st.depthMetres, 0);
  EXPECT_EQ(hs(Side::Left).power, 1);
  EXPECT_FALSE(sim.ended);
}

TEST_F(KeyboardTest, ShiftWithAnOuterButtonOpensTheMenusAsBothOuterButtonsDo) {
  clickSwitch(Side::Left);
  runAsMaster(Side::Left);
  st.currentSetpoint = hs(Side::Left).lowSetpoint;
  const int row = st.recordRow;
  tap("Shift+E");
  EXPECT_EQ(hs(Side::Left).displayState, ds::HighSetpointMenu);
  EXPECT_EQ(messagesSince(row), (std::vector<std::string>{"Left handset: both outer buttons"}));
  EXPECT_EQ(sim.win[Main::Label9].tag, "");  // the click after the release is taken too
}

TEST_F(KeyboardTest, ShiftClickOnTheMiddleButtonHeldSwitchesTheHandsetOff) {
  clickSwitch(Side::Right);
  runAsMaster(Side::Right);
  MouseArgs shifted;
  shifted.shift = true;
  dispatchMain(sim, Main::Label12, MouseEvent::Down, shifted);
  host.runFor(1100);
  EXPECT_EQ(hs(Side::Right).power, 0);
  // Shift let go before the button: the release still ends the pair, and clicks nothing.
  const std::string before = lastMessage();
  dispatchMain(sim, Main::Label12, MouseEvent::Up);
  dispatchMain(sim, Main::Label12, MouseEvent::Click);
  EXPECT_FALSE(sim.timers.enabled(TimerId::SwitchOffTimer));
  EXPECT_EQ(sim.win[Main::Label21].tag, "");
  EXPECT_EQ(lastMessage(), before);
  // A plain press afterwards is the middle button again.
  click(Main::Label12);
  EXPECT_EQ(lastMessage(), "Right handset: middle button");
}

TEST_F(KeyboardTest, LosingTheKeyboardLetsHeldButtonsUpWithoutClicking) {
  const int code = 7;
  ASSERT_TRUE(keys.press(sim, "V", code));  // dump held
  ASSERT_TRUE(keys.press(sim, "PgDown", code + 1));
  keys.releaseAll(sim);
  EXPECT_FALSE(keys.anyHeld());
  EXPECT_FALSE(sim.timers.enabled(TimerId::DepthRepeatTimer));
  EXPECT_EQ(st.depthMetres, 0);
  EXPECT_FALSE(keys.release(sim, code));
}

TEST(KeyMap, EveryControlOfTheWindowHasAKeyAndNoKeyIsTwice) {
  std::set<std::string_view> seen;
  std::set<Main> bound;
  for (const KeyBinding& b : keyBindings()) {
    EXPECT_TRUE(seen.insert(b.key).second) << b.key;
    EXPECT_FALSE(b.what.empty()) << b.key;
    bound.insert(b.control);
  }
  // Every element a trainee works in the environment, electronics, gas and volume frames.
  // (The Controls frame's buttons and boxes are Qt's own: mnemonics and Tab.)
  for (Main m : {Main::Image9, Main::Image10, Main::Image11, Main::Image12, Main::Image13,
                 Main::Image14, Main::Image15, Main::Image16, Main::Label2, Main::Label3,
                 Main::Label4, Main::Label8, Main::Label9, Main::Label10, Main::Label11,
                 Main::Label12, Main::Label13, Main::Label18, Main::Label19, Main::Label20,
                 Main::Label21, Main::LHOO, Main::RHOO, Main::Image4, Main::Image5, Main::Image6,
                 Main::Image7, Main::Image8, Main::Image17, Main::Image18, Main::Image19,
                 Main::Image20, Main::ADVOn})
    EXPECT_TRUE(bound.count(m)) << MainWindowModel()[m].name;
  EXPECT_EQ(bindingOf("Ctrl+Q"), nullptr);
}

TEST(KeyMap, HelpNamesEveryKey) {
  std::string all;
  for (const auto& [key, what] : keyboardHelp()) all += key + ", ";
  for (const KeyBinding& b : keyBindings())
    EXPECT_NE(all.find(std::string(b.key) + ","), std::string::npos) << b.key;
}

}  // namespace
}  // namespace pelasim::testing
