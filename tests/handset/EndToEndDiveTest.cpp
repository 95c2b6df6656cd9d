// One whole dive through the handlers a mouse reaches, on virtual time: both handsets on,
// the checklist with calibration, a descent to 20 m on the high setpoint, twenty minutes at
// depth, the ascent and the exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "handset/HandsetParts.h"
#include "record/DiveRecord.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimTest;

class EndToEndDive : public SimTest {
 protected:
  int state(Side s) { return st.handset(s).displayState; }
  // Runs until the handset shows `wanted`, at most `ms` of virtual time.
  bool runUntilState(Side s, int wanted, std::uint32_t ms) {
    const std::uint32_t end = host.tickCount() + ms;
    while (state(s) != wanted && tickAtOrBefore(host.tickCount() + 100, end)) host.runFor(100);
    return state(s) == wanted;
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (int r = 0; r <= std::min(st.recordRow, 18000); ++r)
      if (!st.diveRecord.rows[static_cast<std::size_t>(r)].message.empty())
        out.push_back(st.diveRecord.rows[static_cast<std::size_t>(r)].message);
    return out;
  }
};

TEST_F(EndToEndDive, TheControllerHoldsTheSetpointThroughASoundDive) {
  // One control a second, so each status message keeps its own row.
  auto step = [&](Main id) {
    h.click(id);
    host.runFor(1000);
  };
  // Switches on, power-up: the left handset first becomes master.
  step(Main::LHOO);
  step(Main::RHOO);
  step(Main::Label8);
  step(Main::Label11);
  ASSERT_EQ(st.handset(Side::Left).role, 1);
  ASSERT_EQ(st.handset(Side::Right).role, 0);

  // Self-test, then "DIVE NOW ?" on the master (the state that comes next is the elapsed
  // time) and the slave waiting.
  ASSERT_TRUE(runUntilState(Side::Left, ds::ScrubberTime, 10000));
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveWaiting, 10000));
  h.click(Main::Label10);  // Confirm
  ASSERT_EQ(state(Side::Left), ds::CheckDiluent);
  host.runFor(1000);
  step(Main::Label10);  // diluent checked
  ASSERT_EQ(state(Side::Left), ds::CalibrateQuery);
  step(Main::Label8);  // YES
  ASSERT_EQ(state(Side::Left), ds::CalPressureMenu);
  step(Main::Label9);  // 1010 mb, the nearest step to today's 1013
  EXPECT_EQ(st.calibrationPressureMb, 1010);
  step(Main::Label10);
  ASSERT_EQ(state(Side::Left), ds::CalOxygenMenu);
  EXPECT_EQ(st.calibrationOxygenPercent, 100);
  step(Main::Label10);
  ASSERT_EQ(state(Side::Left), ds::OpenMouthpiece);
  step(Main::Image18);  // mouthpiece open
  step(Main::Label10);
  ASSERT_EQ(state(Side::Left), ds::OpenValveToFlush);
  step(Main::Image7);  // oxygen valve open
  h.click(Main::Label10);
  ASSERT_EQ(state(Side::Left), ds::FlushAndCalibrate);

  // The flush, the calibration hold, and both handsets running.
  ASSERT_TRUE(runUntilState(Side::Left, ds::MasterRunning, 200000));
  ASSERT_TRUE(runUntilState(Side::Right, ds::SlaveRunning, 10000));
  EXPECT_NEAR(st.loopPO2, 1.013, 0.05);

  // Diluent on, breathing, down to 20 m.
  step(Main::Image4);
  step(Main::Image19);
  ASSERT_EQ(st.breathing, 1);
  for (int m = 0; m < 20; ++m) {
    h.click(Main::Image10);
    host.runFor(3000);  // about 7 m a minute
  }
  ASSERT_EQ(st.depthMetres, 20);

  // Hold the master's middle button for two seconds: the high setpoint.
  dispatchMain(sim, Main::Label10, MouseEvent::Down);
  host.runFor(2100);
  dispatchMain(sim, Main::Label10, MouseEvent::Up);
  dispatchMain(sim, Main::Label10, MouseEvent::Click);
  ASSERT_EQ(st.currentSetpoint, 1.3);

  // Twenty minutes at depth; the controller's band after it has settled.
  host.runFor(3 * 60000);
  double lo = 10, hi = 0;
  for (int s = 0; s < 17 * 60; ++s) {
    host.runFor(1000);
    lo = std::min(lo, st.loopPO2);
    hi = std::max(hi, st.loopPO2);
  }
  std::printf("[ band     ] true PO2 at 20 m on a 1.3 setpoint: %.3f to %.3f bar\n", lo, hi);
  EXPECT_GT(lo, 1.0);
  EXPECT_LT(hi, 1.6);
  EXPECT_EQ(st.handset(Side::Left).displayState == ds::MasterRunning ||
                st.handset(Side::Left).displayState == ds::LowBatteryScreen,
            true);

  // Ascent and exit.
  for (int m = 0; m < 20; ++m) {
    h.click(Main::Image9);
    host.runFor(6000);
  }
  const auto msgs = messages();
  for (const std::string& m : msgs) {
    EXPECT_NE(m, "Warning: Low O2");
    EXPECT_NE(m, "Warning: High O2");
  }
  // The checklist's messages in order.
  const std::vector<std::string> expected = {
      "Left handset hardware switch On", "Right handset hardware switch On",
      "Left handset on as Master",       "Right handset on as Slave",
      "Left handset: middle button",     "Left handset: middle button",
      "Left handset: left button",       "Left handset: right button",
      "Left handset: middle button",     "Left handset: middle button",
      "Mouthpiece Opened",               "Left handset: middle button",
      "O2 Valve Opened",                 "Calibration Started",
      "Calibration ended",               "Diluent Valve Opened",
      "Breathing Started"};
  auto it = msgs.begin();
  for (const std::string& e : expected) {
    it = std::find(it, msgs.end(), e);
    ASSERT_NE(it, msgs.end()) << "missing in order: " << e;
    ++it;
  }
}

}  // namespace
}  // namespace pelasim
