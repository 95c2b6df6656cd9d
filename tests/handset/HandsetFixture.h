#pragma once
// A started simulation with healthy cells, and the handset controls as a trainee's mouse
// reaches them: the hot spots of each handset and its hardware switch.

#include <gtest/gtest.h>

#include <string>

#include "handset/HandsetParts.h"
#include "support/SimFixture.h"

namespace pelasim::testing {

struct HandsetSpots {
  Main left, middle, right, outerPair, rightPair, hardwareSwitch;
};

inline const HandsetSpots& spotsOf(Side side) {
  static constexpr HandsetSpots kLeft{Main::Label8,  Main::Label10, Main::Label9,
                                      Main::Label18, Main::Label19, Main::LHOO};
  static constexpr HandsetSpots kRight{Main::Label11, Main::Label12, Main::Label13,
                                       Main::Label20, Main::Label21, Main::RHOO};
  return side == Side::Left ? kLeft : kRight;
}

class HandsetTest : public SimTest {
 protected:
  void SetUp() override {
    // Cells that pass the power-on test whatever the random start values were.
    st.cells[1].airMillivolts = 10.5;
    st.cells[2].airMillivolts = 11.5;
    st.cells[3].airMillivolts = 9.5;
    // A loop a little above the low setpoint: the running master raises no oxygen warning
    // and its controller does not fire unless a test asks for it.
    st.loopPO2 = 0.75;
  }

  HandsetRecord& hs(Side side) { return st.handset(side); }
  // Puts a handset straight on the master's running screen, powered up.
  HandsetRecord& runAsMaster(Side side) {
    HandsetRecord& m = hs(side);
    m.power = 1;
    m.role = 1;
    m.displayState = ds::MasterRunning;
    return m;
  }
  std::string screen(Side side) { return sim.win[partsOf(side).screen].caption; }
  std::string picture(Side side) { return sim.win[partsOf(side).picture].picture; }
  std::string lastMessage() {
    return st.diveRecord.rows[static_cast<std::size_t>(st.recordRow)].message;
  }
  // The status messages of the rows `from` to the current one, skipping empty rows.
  std::vector<std::string> messagesSince(int from) {
    std::vector<std::string> out;
    for (int r = from; r <= st.recordRow; ++r) {
      const std::string& m = st.diveRecord.rows[static_cast<std::size_t>(r)].message;
      if (!m.empty()) out.push_back(m);
    }
    return out;
  }

  // Mouse actions on the hot spots.
  void click(Main id) { h.click(id); }
  void press(Main id) { dispatchMain(sim, id, MouseEvent::Down); }
  void release(Main id) { dispatchMain(sim, id, MouseEvent::Up); }
  void move(Main id) { dispatchMain(sim, id, MouseEvent::Move); }
  void clickLeft(Side s) { click(spotsOf(s).left); }
  void clickMiddle(Side s) { click(spotsOf(s).middle); }
  void clickRight(Side s) { click(spotsOf(s).right); }
  void clickSwitch(Side s) { click(spotsOf(s).hardwareSwitch); }

  // Switch on and power up with the left button.
  void switchOnAndPowerUp(Side s) {
    clickSwitch(s);
    clickLeft(s);
  }

  // Runs virtual time in small steps until the handset reaches `state`; false after `maxMs`.
  bool runUntilState(Side s, int state, std::uint32_t maxMs = 20000) {
    for (std::uint32_t t = 0; t <= maxMs; t += 50) {
      if (hs(s).displayState == state) return true;
      host.runFor(50);
    }
    return hs(s).displayState == state;
  }

  // Walks a powered-up master through the checklist with NO to the calibration.
  void walkToRunningMaster(Side s) {
    // State 2 stands for the DIVE NOW ? screen, which alternates with the elapsed time.
    ASSERT_TRUE(runUntilState(s, ds::ScrubberTime));
    clickMiddle(s);  // DIVE NOW ?: Confirm
    clickMiddle(s);  // CHECK DILUENT!: Confirm
    clickRight(s);   // CALIBRATE ?: NO
    clickMiddle(s);  // OPEN O2 VALVE: Confirm
    ASSERT_EQ(hs(s).displayState, ds::MasterRunning);
  }
};

}  // namespace pelasim::testing
