// The handsets worked with the mouse in the real window: the hardware switch, the power-up
// that freezes the window, the highlight of a button pair under the pointer.
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "gui/GuiFixture.h"
#include "handset/HandsetParts.h"

namespace pelasim {
namespace {

TEST_F(RunningGuiTest, HandsetSwitchedOnPoweredUpAndHighlighted) {
  const HandsetRecord& left = st().handset(Side::Left);
  click(Main::LHOO);
  EXPECT_EQ(left.hardwareSwitch, 1);
  EXPECT_EQ(app->sim().win[Main::Image2].picture, "HSOn.jpg");

  QElapsedTimer frozen;
  frozen.start();
  click(Main::Label8);
  EXPECT_GE(frozen.elapsed(), 2000);  // the power-up holds the whole window
  EXPECT_EQ(left.power, 1);
  EXPECT_EQ(left.role, 1);
  EXPECT_EQ(left.displayState, ds::SelfTest);
  EXPECT_EQ(app->sim().win[Main::Shape1].fillColour, kBacklightColour);

  QTest::mouseMove(app->mainView().widget(static_cast<int>(Main::Label19)));
  EXPECT_EQ(app->sim().win[Main::Image2].picture, "HSLineRights.jpg");
  QTest::qWait(1300);
  EXPECT_EQ(app->sim().win[Main::Image2].picture, "HSOn.jpg");

  // Within one display interval the self-test has run and the screen shows it.
  QTest::qWait(3100);
  EXPECT_NE(left.displayState, ds::SelfTest);
  EXPECT_NE(app->sim().win[Main::Label14].caption, " ");
  saveShot(app->mainWindow(), QStringLiteral("handset-powered.png"));
}

}  // namespace
}  // namespace pelasim
