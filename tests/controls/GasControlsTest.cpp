// The gas control panel, driven as the mouse drives it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "record/DiveRecord.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimTest;

class GasControls : public SimTest {
 protected:
  // Presses a control, holds it for `ms` on the virtual clock and releases it over it.
  void hold(Main id, std::uint32_t ms) {
    dispatchMain(sim, id, MouseEvent::Down);
    host.runFor(ms);
    dispatchMain(sim, id, MouseEvent::Up);
    dispatchMain(sim, id, MouseEvent::Click);
  }
  const std::string& message() { return st.diveRecord.rows[static_cast<std::size_t>(st.recordRow)].message; }
};

TEST_F(GasControls, ValvesOpenCloseAndShowTheirStateForThreeSeconds) {
  h.click(Main::Image7);
  EXPECT_EQ(st.oxygenValveState, Valve::Open);
  EXPECT_EQ(message(), "O2 Valve Opened");
  EXPECT_TRUE(sim.win[Main::Label6].visible);
  EXPECT_EQ(sim.win[Main::Label6].caption, "OPEN");
  host.runFor(2999);
  EXPECT_TRUE(sim.win[Main::Label6].visible);
  host.runFor(1);
  EXPECT_FALSE(sim.win[Main::Label6].visible);
  EXPECT_FALSE(sim.timers.enabled(TimerId::Timer2));

  h.click(Main::Image4);
  h.click(Main::Image4);
  EXPECT_EQ(st.diluentValveState, Valve::Off);
  EXPECT_EQ(message(), "Diluent Valve Closed");
  EXPECT_EQ(sim.win[Main::Label7].caption, "OFF");
}

// The state caption lies over the cylinder where a person clicks: a click on it is a click on
// the valve, recorded and silencing a flow the cylinder fed.
TEST_F(GasControls, ClosingAFreeFlowingCylinderStopsItsHissFromTheValveOrItsCaption) {
  for (Main target : {Main::Image7, Main::Label6}) {
    h.click(Main::Image7);
    st.o2InjectorStuckOnFault = 1;
    st.solenoidFault = Solenoid::StuckOpen;
    h.host.runFor(1000);
    const std::size_t before = host.sounds.size();
    dispatchMain(sim, Main::Label6, MouseEvent::Move);
    h.click(target);
    EXPECT_EQ(st.oxygenValveState, Valve::Off);
    EXPECT_EQ(h.soundsSince(before), (std::vector<std::string>{"4:stop", "4:stop"}));
    EXPECT_EQ(message(), "O2 Valve Closed");
    h.click(Main::Label7);
    EXPECT_EQ(message(), "Diluent Valve Opened");
    h.click(Main::Label7);
  }
}

TEST_F(GasControls, MovingOverAValveShowsItsState) {
  dispatchMain(sim, Main::Image4, MouseEvent::Move);
  EXPECT_TRUE(sim.win[Main::Label7].visible);
  EXPECT_EQ(sim.win[Main::Label7].caption, "OFF");
  EXPECT_TRUE(sim.timers.enabled(TimerId::Timer3));
}

TEST_F(GasControls, AClosedValveInjectsNothing) {
  hold(Main::Image6, 1000);
  EXPECT_EQ(st.counterlungPercent, 20);
  EXPECT_EQ(st.loopPO2, 0.21);
  EXPECT_TRUE(host.sounds.empty());
  EXPECT_EQ(message(), "");
}

TEST_F(GasControls, OneSecondOfOxygenAddsFiveLitres) {
  h.click(Main::Image7);
  st.advFailedFault = 1;  // keep the automatic valves out of it
  const std::size_t before = host.sounds.size();
  hold(Main::Image6, 1000);
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 20 + 5 * 100.0 / 16);
  EXPECT_NEAR(st.loopPO2, (0.21 * 3.2 + 1.013 * 5) / 8.2, 1e-12);
  EXPECT_EQ(message(), "Manual O2 Addition");
  EXPECT_EQ(h.soundsSince(before), (std::vector<std::string>{"4:shorthiss.wav", "4:stop"}));
}

TEST_F(GasControls, AHeldInjectionIsTimedOnTheClock) {
  h.click(Main::Image4);
  st.advFailedFault = 1;
  hold(Main::Image5, 1500);  // 7.5 litres of diluent
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 20 + 7.5 * 100.0 / 16);
  EXPECT_NEAR(st.loopPO2, (0.21 * 3.2 + 1.013 * 0.21 * 7.5) / 10.7, 1e-12);
  EXPECT_EQ(message(), "Manual Diluent Addition");
}

TEST_F(GasControls, TheManualAdvAddsTwoLitresASecond) {
  h.click(Main::Image4);
  st.advFailedFault = 0;
  st.counterlungPercent = 40;
  hold(Main::Image17, 2000);
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 40 + 4 * 100.0 / 16);
  EXPECT_EQ(message(), "ADV Manually operated");
}

TEST_F(GasControls, AFailedAdvStoresThePressButNothingElse) {
  h.click(Main::Image4);
  st.advFailedFault = 1;
  const std::size_t before = host.sounds.size();
  const std::uint32_t t = host.tickCount();
  hold(Main::Image17, 800);
  EXPECT_EQ(st.diluentPressTick, t);
  EXPECT_NE(st.diluentReleaseTick, t + 800);
  EXPECT_EQ(st.counterlungPercent, 20);
  EXPECT_TRUE(h.soundsSince(before).empty());
}

TEST_F(GasControls, UntickingAdvEnabledHidesTheButton) {
  clickCheckBox(sim, Main::ADVOn);
  EXPECT_FALSE(sim.win[Main::Image17].visible);
  clickCheckBox(sim, Main::ADVOn);
  EXPECT_TRUE(sim.win[Main::Image17].visible);
}

TEST_F(GasControls, GasAddedThroughAnOpenMouthpieceEscapes) {
  h.click(Main::Image7);
  h.click(Main::Image18);
  st.advFailedFault = 1;
  hold(Main::Image6, 1000);
  EXPECT_EQ(st.counterlungPercent, 20);
  EXPECT_GT(st.loopPO2, 0.21);  // the mix is still computed
}

TEST_F(GasControls, DumpingFromFullForFiveSecondsEmptiesTheLoop) {
  st.counterlungPercent = 100;
  st.advFailedFault = 1;
  dispatchMain(sim, Main::Image8, MouseEvent::Down);
  EXPECT_EQ(message(), "Dump Valve Operated");
  host.runFor(5000);
  dispatchMain(sim, Main::Image8, MouseEvent::Up);
  EXPECT_EQ(st.counterlungPercent, 0);
  EXPECT_EQ(sim.win[Main::ClungVolBar].height, 4800);
  EXPECT_EQ(st.loopPO2, 0.21);
}

TEST_F(GasControls, DumpingForHalfASecondTakesTenPoints) {
  st.counterlungPercent = 60;
  st.advFailedFault = 1;
  dispatchMain(sim, Main::Image8, MouseEvent::Down);
  host.runFor(500);
  dispatchMain(sim, Main::Image8, MouseEvent::Up);
  EXPECT_DOUBLE_EQ(st.counterlungPercent, 50);
}

TEST_F(GasControls, AnInjectionAboveFullClampsTheBar) {
  h.click(Main::Image7);
  st.counterlungPercent = 90;
  st.advFailedFault = 1;
  hold(Main::Image6, 1000);
  EXPECT_GT(st.counterlungPercent, 100);
  // The click leaves the bar to the next loop tick.
  host.runFor(503);
  EXPECT_EQ(sim.win[Main::ClungVolBar].height, 0);
}

TEST_F(GasControls, MouthpieceTogglesPictureAndBreaths) {
  st.breathing = 1;
  h.click(Main::Image18);
  EXPECT_EQ(st.mouthpieceState, Mouthpiece::Open);
  EXPECT_EQ(sim.win[Main::Image18].picture, "MouthO.jpg");
  EXPECT_TRUE(sim.timers.enabled(TimerId::BreathTimer));
  EXPECT_EQ(message(), "Mouthpiece Opened");
  h.click(Main::Image18);
  EXPECT_EQ(sim.win[Main::Image18].picture, "MouthC.jpg");
  EXPECT_FALSE(sim.timers.enabled(TimerId::BreathTimer));
  EXPECT_EQ(st.breathing, 1);
  EXPECT_EQ(message(), "Mouthpiece Closed");
}

// A trainee's sequence: valves and mouthpiece open, breathing, down to 30 m and back,
// an injection and a dump; the record carries the right messages in the right seconds.
TEST_F(GasControls, ADiveSequenceIsRecordedSecondBySecond) {
  host.runFor(1000);
  h.click(Main::Image7);  // second 1
  host.runFor(1000);
  h.click(Main::Image4);  // second 2
  host.runFor(1000);
  h.click(Main::Image18);  // second 3
  h.click(Main::Image19);
  host.runFor(1000);
  for (int m = 0; m < 30; ++m) h.click(Main::Image10);  // second 4
  EXPECT_EQ(st.depthMetres, 30);
  host.runFor(60000);
  // The ADV keeps the fill up while the diver breathes at depth.
  EXPECT_GE(st.counterlungPercent, 14.0);
  EXPECT_GT(st.loopPO2, 0.21);
  hold(Main::Image6, 300);
  const int injected = st.recordRow;
  host.runFor(2000);
  dispatchMain(sim, Main::Image8, MouseEvent::Down);
  host.runFor(200);
  dispatchMain(sim, Main::Image8, MouseEvent::Up);
  const int dumped = st.recordRow;
  for (int m = 0; m < 30; ++m) h.click(Main::Image9);
  EXPECT_EQ(st.depthMetres, 0);
  host.runFor(1000);

  const auto& rows = st.diveRecord.rows;
  EXPECT_EQ(rows[1].message, "O2 Valve Opened");
  EXPECT_EQ(rows[2].message, "Diluent Valve Opened");
  EXPECT_EQ(rows[3].message, "Breathing Started");  // the later of the two in that second
  EXPECT_EQ(rows[static_cast<std::size_t>(injected)].message, "Manual O2 Addition");
  EXPECT_EQ(rows[static_cast<std::size_t>(dumped)].message, "Dump Valve Operated");
  EXPECT_EQ(rows[10].depth, 30);
  EXPECT_TRUE(std::isfinite(st.loopPO2));

  const std::string file = dataFileText(sim);
  const auto line3 = file.find("\r\n3,");
  ASSERT_NE(line3, std::string::npos);
  EXPECT_EQ(file.substr(file.find("\r\n", line3 + 2) - 20, 20), ",\"Breathing Started\"");
  EXPECT_NE(file.find(",\"Manual O2 Addition\"\r\n"), std::string::npos);
}

}  // namespace
}  // namespace pelasim
