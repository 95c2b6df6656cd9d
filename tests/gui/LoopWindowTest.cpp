// A trainee works the gas controls and the depth with the mouse in the real window.
#include <gtest/gtest.h>

#include "gui/GuiFixture.h"

namespace pelasim {
namespace {

TEST_F(RunningGuiTest, ValvesMouthpieceBreathingDepthInjectionAndDump) {
  click(Main::Image7);
  click(Main::Image4);
  EXPECT_EQ(st().oxygenValveState, Valve::Open);
  EXPECT_EQ(st().diluentValveState, Valve::Open);
  EXPECT_TRUE(app->mainView().widget(static_cast<int>(Main::Label6))->isVisible());
  click(Main::Image18);
  click(Main::Image19);
  EXPECT_EQ(st().breathing, 1);
  EXPECT_EQ(app->mainView().widget(static_cast<int>(Main::Image19))->geometry(), QRect(408, 80, 72, 120));
  saveShot(app->mainWindow(), QStringLiteral("loop-surface.png"));

  for (int m = 0; m < 30; ++m) click(Main::Image10);
  EXPECT_EQ(st().depthMetres, 30);
  QTest::qWait(600);  // one loop tick refreshes the readouts
  auto caption = [&](Main id) { return app->sim().win[id].caption; };
  EXPECT_EQ(caption(Main::Label1), "30");
  EXPECT_EQ(caption(Main::Label2), "4.013");
  EXPECT_EQ(caption(Main::Frame7), "Nitrox mix (% O2)");
  EXPECT_FALSE(app->mainView().widget(static_cast<int>(Main::Image12))->isVisible());

  const double fill = st().counterlungPercent;
  hold(Main::Image6, 300);
  EXPECT_GT(st().counterlungPercent, fill);
  QTest::qWait(600);
  saveShot(app->mainWindow(), QStringLiteral("loop-30m.png"));
  const double beforeDump = st().counterlungPercent;
  hold(Main::Image8, 400);
  EXPECT_LT(st().counterlungPercent, beforeDump);

  for (int m = 0; m < 30; ++m) click(Main::Image9);
  EXPECT_EQ(st().depthMetres, 0);
  QTest::qWait(600);
  EXPECT_EQ(caption(Main::Frame6), "Ambient Pressure (mb)");
  EXPECT_TRUE(app->mainView().widget(static_cast<int>(Main::Image12))->isVisible());
  // The bar shows the fill.
  const QWidget* bar = app->mainView().widget(static_cast<int>(Main::ClungVolBar));
  EXPECT_EQ(bar->height(), px(app->sim().win[Main::ClungVolBar].height));
}

}  // namespace
}  // namespace pelasim
