// Accessible names and descriptions of the main window, and the two-button zones.
#include <gtest/gtest.h>

#include "access/Accessible.h"
#include "support/SimFixture.h"

namespace pelasim::testing {
namespace {

TEST_F(SimTest, EveryElementHasANameAndADescription) {
  for (int i = 1; i < sim.win.size(); ++i) {
    const Main id = static_cast<Main>(i);
    if (sim.win[id].kind == ElementKind::StatusPanel || !sim.win[id].visible) continue;
    const ElementAccess a = accessOf(sim.win, id);
    EXPECT_FALSE(a.name.empty()) << sim.win[id].name;
    EXPECT_FALSE(a.description.empty()) << sim.win[id].name;
    EXPECT_EQ(a.name.find('&'), std::string::npos) << sim.win[id].name;
  }
  EXPECT_EQ(accessOf(sim.win, Main::Command1).name, "Exit");
  EXPECT_EQ(accessOf(sim.win, Main::Image10).description,
            "Down 1 m; hold to keep descending 1 m every half second. Key: Down or PgDown");
}

TEST_F(SimTest, HandsetScreensReadTheirTextWithSingleBlanks) {
  sim.win.setCaption(Main::Label14, "     CALIBRATE ?      YES                     NO ");
  EXPECT_EQ(accessOf(sim.win, Main::Label14).description, "CALIBRATE ? YES NO");
  sim.win.setCaption(Main::Label15, " ");
  EXPECT_EQ(accessOf(sim.win, Main::Label15).description, "blank");
  EXPECT_EQ(accessOf(sim.win, Main::Label15).name, "Right handset screen");
  EXPECT_EQ(spokenScreen(""), "");
}

TEST(PairZones, EachZoneStandsForTwoButtonsOfItsOwnHandset) {
  const MainWindowModel win;
  ASSERT_EQ(pairZones().size(), 4u);
  for (const PairZone& z : pairZones()) {
    const Element& zone = win[z.zone];
    EXPECT_EQ(pairZoneOf(z.zone), &z);
    EXPECT_FALSE(z.toolTip.empty());
    // The zone lies between its two buttons, on the same handset picture.
    const Element& a = win[z.first];
    const Element& b = win[z.second];
    EXPECT_LT(a.left, zone.left) << zone.name;
    EXPECT_GT(b.left + b.width, zone.left + zone.width) << zone.name;
    EXPECT_EQ(zone.left < 6240, a.left < 6240) << zone.name;
  }
  EXPECT_EQ(pairZoneOf(Main::Label8), nullptr);
}

}  // namespace
}  // namespace pelasim::testing
