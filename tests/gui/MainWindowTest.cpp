// The main window and the start-up disclaimer as a trainee sees them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "gui/GuiFixture.h"

namespace pelasim {
namespace {

TEST_F(GuiTest, AcceptingTheDisclaimerShowsTheMainWindowLaidOut) {
  bool hiddenMeanwhile = false;
  QTimer::singleShot(0, [&] { hiddenMeanwhile = app->splashDialog()->isVisible() && !app->mainWindow()->isVisible(); });
  answerDisclaimer(true);
  ASSERT_TRUE(app->start());
  EXPECT_TRUE(hiddenMeanwhile);  // the main window waits for the answer
  QWidget* main = app->mainWindow();
  ASSERT_TRUE(main->isVisible());
  EXPECT_EQ(main->windowTitle(), QStringLiteral("Orvane Pelagrinova Simulator"));
  EXPECT_EQ(app->mainContent()->size(), QSize(1016, 680));  // the form at its designed size

  // Every element sits at its place (15 twips a pixel, relative to its frame).
  const MainWindowModel& m = app->sim().win;
  for (int id = 1; id < m.size(); ++id) {
    const Element& e = m.at(id);
    if (e.kind == ElementKind::StatusPanel) continue;
    QWidget* w = app->mainView().widget(id);
    ASSERT_NE(w, nullptr) << e.name;
    EXPECT_EQ(w->geometry(), QRect(px(e.left), px(e.top), px(e.width), px(e.height))) << e.name;
    EXPECT_EQ(w->isVisibleTo(main), e.visible) << e.name;
    EXPECT_EQ(w->toolTip().toStdString(), e.toolTip) << e.name;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      EXPECT_EQ(b->text().replace(QLatin1Char('\n'), QLatin1Char(' ')).toStdString(), e.caption) << e.name;
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
      EXPECT_EQ(g->title().toStdString(), e.caption) << e.name;
    }
  }
  EXPECT_FALSE(app->mainView().widget(static_cast<int>(Main::Label16))->isVisibleTo(main));
  EXPECT_FALSE(app->mainView().widget(static_cast<int>(Main::Label17))->isVisibleTo(main));
  EXPECT_FALSE(app->mainView().widget(static_cast<int>(Main::Label6))->isVisibleTo(main));
  for (Main box : {Main::Check1, Main::Check2, Main::ADVOn})
    EXPECT_TRUE(qobject_cast<QCheckBox*>(app->mainView().widget(static_cast<int>(box)))->isChecked());
  saveShot(main, QStringLiteral("main.png"));
}

TEST_F(GuiTest, RefusingTheDisclaimerEndsWithoutSavingAnything) {
  answerDisclaimer(false);
  EXPECT_FALSE(app->start());
  EXPECT_TRUE(ended);
  EXPECT_EQ(endedWith, "");
  EXPECT_FALSE(QFile::exists(QStringLiteral("OrvanePelaSimData.csv")));
  QSettings s(QStringLiteral("PelaSim"), QStringLiteral("PelaSim"));
  EXPECT_FALSE(s.contains(QStringLiteral("Settings/CO2")));
}

TEST_F(GuiTest, ClosingTheMainWindowRunsTheExitRoutine) {
  answerDisclaimer(true);
  ASSERT_TRUE(app->start());
  QTest::qWait(1100);  // a second of dive
  app->mainWindow()->close();
  EXPECT_TRUE(ended);
  EXPECT_EQ(endedWith, "OrvanePelaSimData.csv");
  EXPECT_TRUE(QFile::exists(QStringLiteral("OrvanePelaSimData.csv")));
  QSettings s(QStringLiteral("PelaSim"), QStringLiteral("PelaSim"));
  EXPECT_EQ(s.value(QStringLiteral("Settings/CO2")).toString(), QStringLiteral("14"));
  EXPECT_EQ(s.value(QStringLiteral("Settings/LeftBattery")).toString(), QStringLiteral("6.2"));
}

TEST_F(GuiTest, TheSoundBoxSwitchesSoundsOff) {
  answerDisclaimer(true);
  ASSERT_TRUE(app->start());
  auto* box = qobject_cast<QCheckBox*>(app->mainView().widget(static_cast<int>(Main::Check1)));
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(app->sim().st.soundOn, 0);
  EXPECT_FALSE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(app->sim().st.soundOn, 1);
  EXPECT_TRUE(box->isChecked());
}

}  // namespace
}  // namespace pelasim
