// The real window from the keyboard, the two-button zones under the pointer, accessible names
// and the titles of every window.
#include <QAccessible>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

#include "access/Accessible.h"
#include "gui/GuiFixture.h"
#include "handset/HandsetParts.h"

namespace pelasim {
namespace {

class WindowKeys : public RunningGuiTest {
 protected:
  void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(app->mainWindow(), k, mods); }
  bool waitForState(Side side, int state, int ms = 20000) {
    return QTest::qWaitFor([&] { return st().handset(side).displayState == state; }, ms);
  }
  QPoint centreInWindow(Main id) {
    QWidget* w = app->mainView().widget(static_cast<int>(id));
    return w->mapTo(app->mainWindow(), w->rect().center());
  }
};

TEST_F(WindowKeys, TheChecklistIsFlownWithKeysAlone) {
  // Focus on a button of the window: its keys still go to the simulator.
  app->mainView().widget(static_cast<int>(Main::Command2))->setFocus();
  key(Qt::Key_Z);
  EXPECT_EQ(st().handset(Side::Left).hardwareSwitch, 1);
  key(Qt::Key_Q);  // power-up: two seconds frozen, then the self-test
  ASSERT_TRUE(waitForState(Side::Left, ds::ScrubberTime));
  key(Qt::Key_W);  // DIVE NOW ?: Confirm
  key(Qt::Key_W);  // CHECK DILUENT!: Confirm
  key(Qt::Key_E);  // CALIBRATE ?: NO
  key(Qt::Key_H);  // oxygen valve open
  key(Qt::Key_W);  // OPEN O2 VALVE: Confirm
  EXPECT_EQ(st().handset(Side::Left).displayState, ds::MasterRunning);
  EXPECT_EQ(st().oxygenValveState, Valve::Open);
  // A held key is a held button: Page Down held for a second and a bit is two metres.
  QTest::keyPress(app->mainWindow(), Qt::Key_PageDown);
  QTest::qWait(1150);
  QTest::keyRelease(app->mainWindow(), Qt::Key_PageDown);
  EXPECT_EQ(st().depthMetres, 2);
  EXPECT_EQ(app->sim().win[Main::Label1].caption, "2");
  // Shift with the right button: both outer buttons, the high setpoint menu opens (from the
  // running screen: the air in the loop at the surface may have raised a low-oxygen warning).
  st().handset(Side::Left).displayState = ds::MasterRunning;
  st().currentSetpoint = st().handset(Side::Left).lowSetpoint;
  key(Qt::Key_E, Qt::ShiftModifier);
  EXPECT_EQ(st().handset(Side::Left).displayState, ds::HighSetpointMenu);
  saveShot(app->mainWindow(), QStringLiteral("keyboard-flown.png"));
}

TEST_F(WindowKeys, KeysOfTheWindowLeaveTheFocusedButtonAlone) {
  auto* sound = app->mainView().widget(static_cast<int>(Main::Check1));
  sound->setFocus();
  QTest::keyClick(sound, Qt::Key_Space);  // Space ticks the focused box, as Qt's own key
  EXPECT_EQ(st().soundOn, 0);
  QTest::keyClick(sound, Qt::Key_Down);  // an arrow is the depth, not the next box
  EXPECT_EQ(st().depthMetres, 1);
}

TEST_F(WindowKeys, HelpKeyboardListsEveryKey) {
  QMenu* help = nullptr;
  for (QAction* a : app->menuBar()->actions())
    if (a->text() == QStringLiteral("&Help")) help = a->menu();
  ASSERT_NE(help, nullptr);
  ASSERT_EQ(help->actions().size(), 1);
  EXPECT_EQ(help->actions()[0]->shortcut(), QKeySequence(Qt::Key_F1));
  help->actions()[0]->trigger();
  auto* window = app->mainWindow()->findChild<KeyboardWindow*>();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Keyboard"));
  auto* table = window->findChild<QTableWidget*>();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), static_cast<int>(keyboardHelp().size()));
  EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Q"));
  saveShot(window, QStringLiteral("keyboard.png"));
  window->close();
}

TEST_F(WindowKeys, APairZoneUnderThePointerOutlinesItsTwoButtons) {
  QWindow* window = app->mainWindow()->windowHandle();
  for (const PairZone& z : pairZones()) {
    QTest::mouseMove(window, centreInWindow(z.zone));
    QCoreApplication::processEvents();
    EXPECT_EQ(app->aids().highlight()->zone(), z.zone) << app->sim().win[z.zone].name;
    EXPECT_EQ(app->mainView().widget(static_cast<int>(z.zone))->toolTip().toStdString(), z.toolTip);
    if (z.zone == Main::Label19)
      saveShot(app->mainView().widget(static_cast<int>(Main::Frame3)), QStringLiteral("pair-zone.png"));
  }
  QTest::mouseMove(window, centreInWindow(Main::Label1));
  QCoreApplication::processEvents();
  EXPECT_EQ(app->aids().highlight()->zone(), Main::Count);
}

TEST_F(WindowKeys, ShiftClickOnAButtonPressesItWithItsPartner) {
  HandsetRecord& l = st().handset(Side::Left);
  l.hardwareSwitch = 1;
  l.power = 1;
  l.role = 1;
  l.displayState = ds::MasterRunning;
  st().currentSetpoint = l.lowSetpoint;
  QTest::mouseClick(app->mainWindow()->windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                    centreInWindow(Main::Label8));
  EXPECT_EQ(l.displayState, ds::HighSetpointMenu);
}

TEST_F(WindowKeys, EveryElementHasAnAccessibleNameAndTheScreensTheirText) {
  const MainWindowModel& win = app->sim().win;
  for (int i = 1; i < win.size(); ++i) {
    if (win.at(i).kind == ElementKind::StatusPanel) continue;
    QWidget* w = app->mainView().widget(i);
    EXPECT_FALSE(w->accessibleName().isEmpty()) << win.at(i).name;
  }
  app->sim().win.setCaption(Main::Label14, "     CHECK DILUENT!      Confirm    ");
  app->syncAll();
  QAccessibleInterface* screen =
      QAccessible::queryAccessibleInterface(app->mainView().widget(static_cast<int>(Main::Label14)));
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->text(QAccessible::Name), QStringLiteral("Left handset screen"));
  EXPECT_EQ(screen->text(QAccessible::Description), QStringLiteral("CHECK DILUENT! Confirm"));
}

TEST_F(WindowKeys, EveryWindowHasATitle) {
  EXPECT_EQ(app->mainWindow()->windowTitle(), QStringLiteral("Orvane Pelagrinova Simulator"));
  EXPECT_EQ(app->splashDialog()->windowTitle(), QStringLiteral("Orvane Pelagrinova Simulator: Disclaimer"));
  EXPECT_EQ(app->bailedDialog()->windowTitle(), QStringLiteral("Bailed out"));
  EXPECT_EQ(app->bugReportDialog()->windowTitle(), QStringLiteral("Bug Reporting Form"));
  EXPECT_FALSE(app->optionsDialog()->windowTitle().trimmed().isEmpty());
  // The dialogs' labels are named by their text for screen readers.
  bool bailedNamed = false;
  for (QWidget* w : app->bailedDialog()->findChildren<QWidget*>())
    bailedNamed = bailedNamed || w->accessibleName() == QStringLiteral("Bailed !");
  EXPECT_TRUE(bailedNamed);
}

}  // namespace
}  // namespace pelasim
