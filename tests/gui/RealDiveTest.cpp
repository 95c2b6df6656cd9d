// A whole dive flown with the mouse in the real window, in real time (about a minute and a
// half): run it by hand with --gtest_also_run_disabled_tests and look at the screenshots.
#include <gtest/gtest.h>

#include "gui/GuiFixture.h"
#include "handset/HandsetParts.h"
#include "viewer/ResultsViewer.h"

namespace pelasim {
namespace {

class RealDive : public RunningGuiTest {
 protected:
  bool waitState(Side s, int state, int ms) {
    return QTest::qWaitFor([&] { return st().handset(s).displayState == state; }, ms);
  }
};

TEST_F(RealDive, DISABLED_FlownWithTheMouse) {
  click(Main::LHOO);
  click(Main::RHOO);
  click(Main::Label8);   // left powers up first: master
  click(Main::Label11);  // right: slave
  ASSERT_TRUE(waitState(Side::Left, ds::ScrubberTime, 10000));
  saveShot(app->mainWindow(), QStringLiteral("dive-1-dive-now.png"));
  click(Main::Label10);
  click(Main::Label10);
  click(Main::Label8);  // calibrate: YES
  click(Main::Label9);  // 1010 mb
  click(Main::Label10);
  click(Main::Label10);
  click(Main::Image18);  // mouthpiece open
  click(Main::Label10);
  click(Main::Image7);  // oxygen valve open
  click(Main::Label10);
  ASSERT_TRUE(waitState(Side::Left, ds::CalibratingHold, 130000));
  saveShot(app->mainWindow(), QStringLiteral("dive-2-calibrating.png"));
  ASSERT_TRUE(waitState(Side::Left, ds::MasterRunning, 12000));
  ASSERT_TRUE(waitState(Side::Right, ds::SlaveRunning, 5000));
  click(Main::Image4);
  click(Main::Image19);
  for (int m = 0; m < 20; ++m) click(Main::Image10);
  hold(Main::Label10, 2200);  // high setpoint
  EXPECT_EQ(st().currentSetpoint, 1.3);
  QTest::qWait(20000);  // the controller brings the loop up at depth
  saveShot(app->mainWindow(), QStringLiteral("dive-3-at-20m.png"));
  EXPECT_GT(st().loopPO2, 1.0);

  // With the oxygen valve closed the diver breathes the loop down to a low-oxygen warning.
  click(Main::Image7);
  for (int i = 0; i < 40; ++i) click(Main::Image16);  // a hard-working diver: 5 l/min
  ASSERT_TRUE(waitState(Side::Left, ds::LowOxygenScreen, 60000));
  saveShot(app->mainWindow(), QStringLiteral("dive-4-low-oxygen.png"));

  // The debrief: the exit writes the record and the viewer charts it.
  click(Main::Command1);
  ASSERT_TRUE(ended);
  ResultsViewer viewer(ResultsViewer::Mode::Simulator);
  ASSERT_TRUE(viewer.loadFile(QString::fromStdString(endedWith)));
  viewer.show();
  QTest::qWait(300);
  saveShot(&viewer, QStringLiteral("dive-5-debrief.png"));
}

}  // namespace
}  // namespace pelasim
