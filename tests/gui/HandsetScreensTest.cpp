// The handset screens as the trainee sees them: every text of the display states drawn by
// the real screen label on the handset picture, checked line by line with the real font,
// and gathered on one contact sheet (handset-screens.png in PELASIM_SCREENSHOT_DIR).
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

#include "app/Startup.h"
#include "app/Tasks.h"
#include "core/VirtualHost.h"
#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "handset/ScreenLayouts.h"
#include "handset/ScreenWrap.h"
#include "sim/Simulation.h"
#include "ui/qt/FormView.h"

namespace pelasim {
namespace {

const char* stateName(int s) {
  switch (s) {
    case 1: return "SelfTest";
    case 2: return "ScrubberTime";
    case 3: return "DiveNowConfirm";
    case 6: return "BatteryWarning";
    case 7: return "BatteryDiveNow";
    case 8: return "LowBattery";
    case 9: return "LowBatteryNoDive";
    case 10: return "BootCellFailure";
    case 11: return "BootCellReplace";
    case 12: return "BootCellNoDive";
    case 13: return "CheckDiluent";
    case 14: return "CalibrateQuery";
    case 15: return "MustCalibrate";
    case 16: return "OpenValve";
    case 18: return "CalPressureMenu";
    case 19: return "CalOxygenMenu";
    case 20: return "OpenMouthpiece";
    case 23: return "NoOxygen";
    case 24: return "NoOxygenNoCalibration";
    case 25: return "NoOxygenNoDive";
    case 26: return "CellStuck";
    case 27: return "CalCellFailure";
    case 28: return "CalOutOfRange";
    case 29: return "CalCellReplace";
    case 30: return "CalNoDive";
    case 31: return "CalNoCalibration";
    case 32: return "CalibratingHold";
    case 40: return "HighSetpointMenu";
    case 41: return "LowSetpointMenu";
    case 42: return "BrightnessMenu";
    case 43: return "OnTimeShow";
    case 44: return "ResetQuery";
    case 45: return "OnTimeReset";
    case 50: return "CellWarningScreen";
    case 51: return "LowOxygenScreen";
    case 52: return "HighOxygenScreen";
    case 54: return "LowBatteryScreen";
    default: return "";
  }
}

QString programFolder() {
  const QByteArray d = qgetenv("PELASIM_PROGRAM_DIR");
  return d.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(d);
}

// A simulation on virtual time whose main window is mirrored by the real widgets.
class HandsetScreens : public ::testing::Test {
 protected:
  void SetUp() override {
    sim = std::make_unique<Simulation>(host);
    installTasks(*sim);
    host.attach(sim->timers);
    startUp(*sim);
    sim->st.cells[1].airMillivolts = 10.5;
    sim->st.cells[2].airMillivolts = 11.5;
    sim->st.cells[3].airMillivolts = 9.5;
    root = std::make_unique<QWidget>();
    root->resize(px(15240), px(10560));
    view = std::make_unique<FormView>(sim->win, root.get(), programFolder());
    root->show();
  }
  void TearDown() override {
    // The status panels have no parent until a status bar takes them.
    for (Main m : {Main::StatusPanel1, Main::StatusPanel2, Main::StatusPanel3, Main::StatusPanel4,
                   Main::StatusPanel5})
      delete view->widget(static_cast<int>(m));
    view.reset();
    root.reset();
  }
  QWidget* widget(Main id) const { return view->widget(static_cast<int>(id)); }
  HandsetRecord& left() { return sim->st.handset(Side::Left); }

  // The left handset as it looks now: its picture with the screen and backlight on it.
  QImage leftHandset() {
    view->sync();
    const QRect r = widget(Main::Image2)->geometry();
    return widget(Main::Frame3)->grab(r).toImage();
  }
  // The screen of the left handset with a margin.
  QImage leftScreen() {
    view->sync();
    const QRect r = widget(Main::Shape1)->geometry().adjusted(-14, -10, 14, 10);
    return widget(Main::Frame3)->grab(r).toImage();
  }
  // The lines the screen label draws for `text`, measured with its own font and width.
  std::vector<std::string> drawnLines(const std::string& text) {
    QWidget* label = widget(Main::Label14);
    const QFontMetricsF fm(label->font());
    return wrapScreenText(
        text,
        [&fm](std::string_view s) {
          return fm.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
        },
        label->width());
  }

  VirtualHost host;
  std::unique_ptr<Simulation> sim;
  std::unique_ptr<QWidget> root;
  std::unique_ptr<FormView> view;
};

TEST_F(HandsetScreens, ScreenLabelHasTheScreenFontAndSize) {
  QWidget* label = widget(Main::Label14);
  EXPECT_EQ(label->width(), 249);
  EXPECT_EQ(label->height(), 65);
  EXPECT_EQ(label->font().family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(label->font().pointSizeF(), 18.0);
  const QFontMetricsF fm(label->font());
  EXPECT_LE(2 * fm.lineSpacing(), label->height()) << "two lines must fit on the screen";
}

TEST_F(HandsetScreens, EveryTextReadsOnItsLinesWithTheRealFont) {
  QWidget* label = widget(Main::Label14);
  const QFontMetricsF fm(label->font());
  for (const auto& layout : testing::screenLayouts()) {
    const std::vector<std::string> lines = drawnLines(layout.text);
    std::vector<std::string> words = lines;  // the lines without the blanks that end them
    for (std::string& w : words) w.erase(w.find_last_not_of(' ') + 1);
    EXPECT_EQ(words, layout.lines) << layout.name << ": \"" << layout.text << '"';
    EXPECT_LE(static_cast<double>(lines.size()) * fm.lineSpacing(), label->height()) << layout.name;
    for (const std::string& l : lines)
      EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(l)), label->width()) << layout.name;
  }
}

// Every screen of the left handset on one sheet, drawn by the real widgets.
TEST_F(HandsetScreens, ContactSheetOfEveryScreen) {
  struct Shot {
    QString caption;
    QImage image;
  };
  std::vector<Shot> shots;
  State& st = sim->st;
  HandsetRecord& l = left();
  const auto take = [&](const QString& caption) {
    // Every screen must draw something (the switched-off one excepted).
    shots.push_back({caption, leftScreen()});
  };

  // Switched on, electronics off.
  hardwareSwitchClick(*sim, Side::Left);
  displayTick(*sim, Side::Left);
  take(QStringLiteral("off"));
  const QImage wholeHandsetOff = leftHandset();

  l.power = 1;
  l.role = 1;
  l.cellPO2 = {0, 0.21, 0.2, 0.98};
  st.scrubberMinutes = 125;
  l.onTimeMinutes = 75;
  st.bootFailedCell = 1;
  st.randomCellIndex = 2;
  st.calibrationPressureMb = 1013;
  const int states[] = {1,  2,  3,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 18, 19, 20,
                        21, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 40, 41, 42, 43, 44, 45,
                        50, 51, 52, 54};
  for (int s : states) {
    l.displayState = static_cast<ds::DisplayState>(s);
    st.handset(Side::Right).power = 0;
    if (s == ds::OpenValveToFlush) {
      // The flush screen is written by the Confirm that starts it.
      displayTick(*sim, Side::Left);
      take(QStringLiteral("21 OpenValveToFlush"));
      buttonClick(*sim, Side::Left, Button::Middle);
      take(QStringLiteral("22 FlushAndCalibrate"));
      continue;
    }
    displayTick(*sim, Side::Left);
    take(QString::number(s) + QLatin1Char(' ') + QString::fromLatin1(stateName(s)));
  }
  // The slave waiting for its master.
  l.role = 0;
  l.displayState = ds::SlaveWaiting;
  st.handset(Side::Right).power = 1;
  st.handset(Side::Right).displayState = ds::SelfTest;
  displayTick(*sim, Side::Left);
  take(QStringLiteral("4 SlaveWaiting"));
  // The texts the buttons write at once.
  l.role = 1;
  l.displayState = ds::CheckDiluent;
  buttonClick(*sim, Side::Left, Button::Middle);
  take(QStringLiteral("13 Confirm"));
  buttonClick(*sim, Side::Left, Button::Right);
  take(QStringLiteral("14 NO"));
  l.displayState = ds::CalOxygenMenu;
  buttonClick(*sim, Side::Left, Button::Middle);
  take(QStringLiteral("19 Confirm"));
  // The running screens, lit as after a button press.
  l.displayState = ds::MasterRunning;
  st.currentSetpoint = 1.3;
  millivoltTick(*sim);
  take(QStringLiteral("17 MasterRunning"));
  buttonPress(*sim, Side::Left, Button::Left);
  take(QStringLiteral("17 lit"));
  const QImage wholeHandsetLit = leftHandset();
  buttonRelease(*sim, Side::Left, Button::Left);
  backlightOffTick(*sim, Side::Left);
  l.displayState = ds::SlaveRunning;
  st.currentSetpoint = 0.7;
  millivoltTick(*sim);
  take(QStringLiteral("5 SlaveRunning"));

  // The sheet: the whole handset twice at the top, then the screens in a grid.
  const int columns = 4, captionHeight = 18, gap = 6;
  const QSize tile = shots.front().image.size();
  const int rows = (static_cast<int>(shots.size()) + columns - 1) / columns;
  const int top = wholeHandsetOff.height() + gap;
  QImage sheet(columns * (tile.width() + gap) + gap,
               top + rows * (tile.height() + captionHeight + gap) + gap, QImage::Format_RGB32);
  sheet.fill(QColor(250, 250, 235));
  QPainter p(&sheet);
  p.drawImage(gap, 0, wholeHandsetOff);
  p.drawImage(gap * 2 + wholeHandsetOff.width(), 0, wholeHandsetLit);
  QFont captionFont(QStringLiteral("Liberation Sans"));
  captionFont.setPixelSize(13);
  p.setFont(captionFont);
  for (std::size_t i = 0; i < shots.size(); ++i) {
    const int c = static_cast<int>(i) % columns, r = static_cast<int>(i) / columns;
    const int x = gap + c * (tile.width() + gap);
    const int y = top + r * (tile.height() + captionHeight + gap);
    p.setPen(Qt::black);
    p.drawText(x, y + 13, shots[i].caption);
    p.drawImage(x, y + captionHeight, shots[i].image);
  }
  p.end();
  EXPECT_EQ(shots.size(), 47u);

  const QByteArray dir = qgetenv("PELASIM_SCREENSHOT_DIR");
  if (!dir.isEmpty()) {
    QDir().mkpath(QString::fromLocal8Bit(dir));
    EXPECT_TRUE(sheet.save(QString::fromLocal8Bit(dir) + QStringLiteral("/handset-screens.png")));
  }
}

}  // namespace
}  // namespace pelasim
