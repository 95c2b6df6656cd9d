// Held depth arrows and their keys: one metre per click, one more every half second held.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "access/Keyboard.h"
#include "support/SimFixture.h"

namespace pelasim::testing {
namespace {

struct HoldCase {
  std::string name;
  Main arrow;
  std::string key;       // the same arrow from the keyboard
  int startDepth;
  std::uint32_t heldMs;
  int endDepth;
};

void PrintTo(const HoldCase& c, std::ostream* os) { *os << c.name; }

std::string caseName(const ::testing::TestParamInfo<HoldCase>& info) { return info.param.name; }

class DepthHold : public SimTest, public ::testing::WithParamInterface<HoldCase> {
 protected:
  void goTo(int depth) {
    while (st.depthMetres < depth) h.click(Main::Image10);
  }
};

TEST_P(DepthHold, ByMouse) {
  const HoldCase& c = GetParam();
  goTo(c.startDepth);
  dispatchMain(sim, c.arrow, MouseEvent::Down);
  host.runFor(c.heldMs);
  dispatchMain(sim, c.arrow, MouseEvent::Up);
  dispatchMain(sim, c.arrow, MouseEvent::Click);
  EXPECT_EQ(st.depthMetres, c.endDepth);
  EXPECT_EQ(sim.win[Main::Label1].caption, std::to_string(c.endDepth));
  host.runFor(3000);  // nothing more once let go
  EXPECT_EQ(st.depthMetres, c.endDepth);
  EXPECT_FALSE(sim.timers.enabled(TimerId::DepthRepeatTimer));
}

TEST_P(DepthHold, ByKey) {
  const HoldCase& c = GetParam();
  goTo(c.startDepth);
  KeyboardControl keys;
  ASSERT_TRUE(keys.press(sim, c.key, 1));
  host.runFor(c.heldMs);
  EXPECT_TRUE(keys.press(sim, c.key, 1));  // the keyboard's own repeat changes nothing
  ASSERT_TRUE(keys.release(sim, 1));
  EXPECT_EQ(st.depthMetres, c.endDepth);
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, DepthHold,
    ::testing::Values(HoldCase{"DeeperClicked", Main::Image10, "Down", 0, 100, 1},
                      HoldCase{"DeeperJustUnderHalfSecond", Main::Image10, "PgDown", 0, 499, 1},
                      HoldCase{"DeeperHalfSecond", Main::Image10, "Down", 0, 600, 1},
                      HoldCase{"DeeperTenSeconds", Main::Image10, "PgDown", 0, 10200, 20},
                      HoldCase{"DeeperStopsAt40", Main::Image10, "Down", 38, 5000, 40},
                      HoldCase{"ShallowerClicked", Main::Image9, "Up", 5, 100, 4},
                      HoldCase{"ShallowerTwoSeconds", Main::Image9, "PgUp", 10, 2200, 6},
                      HoldCase{"ShallowerStopsAtTheSurface", Main::Image9, "Up", 3, 5000, 0}),
    caseName);

TEST_F(SimTest, DepthHoldSwitchesToTheOtherArrow) {
  dispatchMain(sim, Main::Image10, MouseEvent::Down);
  host.runFor(2000);  // 4 m
  dispatchMain(sim, Main::Image9, MouseEvent::Down);  // the other arrow takes over
  host.runFor(1000);  // 2 m up
  dispatchMain(sim, Main::Image9, MouseEvent::Up);
  dispatchMain(sim, Main::Image9, MouseEvent::Click);
  EXPECT_EQ(st.depthMetres, 2);
  host.runFor(2000);
  EXPECT_EQ(st.depthMetres, 2);
}

TEST_F(SimTest, DepthHoldReleasedOutsideTheArrowStopsAndTheNextClickSteps) {
  dispatchMain(sim, Main::Image10, MouseEvent::Down);
  host.runFor(1000);
  dispatchMain(sim, Main::Image10, MouseEvent::Up);  // let go beside the arrow: no click
  EXPECT_EQ(st.depthMetres, 2);
  h.click(Main::Image10);
  EXPECT_EQ(st.depthMetres, 3);
}

}  // namespace
}  // namespace pelasim::testing
