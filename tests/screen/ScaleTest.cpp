// The main window on a 1366 × 768 laptop screen at 125 %: it opens whole, scales keeping its
// proportions, every click target works at every size, and it remembers its size.
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QWindow>
#include <ostream>

#include "gui/GuiFixture.h"

namespace pelasim {
namespace {

struct Seen {
  int id;
  MouseEvent ev;
  MouseArgs args;
};

class ScaledWindow : public RunningGuiTest {
 protected:
  // Records what the window's mouse hands to the dispatch instead of dispatching it.
  void recordEvents() {
    app->mainView().setEventHandler([this](int id, MouseEvent ev, const MouseArgs& a) {
      if (ev != MouseEvent::Move) seen.push_back({id, ev, a});
    });
  }
  QPoint centreInWindow(Main id) {
    QWidget* w = app->mainView().widget(static_cast<int>(id));
    return w->mapTo(app->mainWindow(), w->rect().center());
  }
  void resizeTo(QSize size) {
    app->mainWindow()->resize(size);
    QCoreApplication::processEvents();
  }
  std::vector<Seen> seen;
};

// The elements a trainee clicks, with the events their handlers take.
const Main kTargets[] = {Main::Image10, Main::Image11, Main::Image12, Main::Image13, Main::Image14,
                         Main::Image15, Main::Image16, Main::Label1,  Main::Label2,  Main::Label3,
                         Main::Label4,  Main::Label8,  Main::Label10, Main::Label9,  Main::Label18,
                         Main::Label19, Main::LHOO,    Main::Label11, Main::Label12, Main::Label13,
                         Main::Label20, Main::Label21, Main::RHOO,    Main::Image20, Main::Image4,
                         Main::Image5,  Main::Image18, Main::Image19, Main::Image6,  Main::Image7,
                         Main::Image8,  Main::Image17, Main::Image1};

struct SizeCase {
  const char* name;
  QSize size;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.name << ' ' << c.size.width() << 'x' << c.size.height();
}

std::string sizeName(const ::testing::TestParamInfo<SizeCase>& info) { return info.param.name; }

class AtSize : public ScaledWindow, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(AtSize, EveryClickTargetTakesItsClickWhereItIsDrawn) {
  resizeTo(GetParam().size);
  recordEvents();
  QWindow* window = app->mainWindow()->windowHandle();
  const double scale = app->mainView().scale();
  for (Main id : kTargets) {
    seen.clear();
    QTest::mouseClick(window, Qt::LeftButton, {}, centreInWindow(id));
    const Element& e = app->sim().win[id];
    ASSERT_EQ(seen.size(), 3u) << e.name;
    EXPECT_EQ(seen[0].id, static_cast<int>(id)) << e.name;
    EXPECT_EQ(seen[2].ev, MouseEvent::Click) << e.name;
    // The position comes back in designed twips: the middle of the element, give or take
    // the rounding of a pixel or two.
    EXPECT_NEAR(seen[2].args.x, e.width / 2, 30 / scale) << e.name;
    EXPECT_NEAR(seen[2].args.y, e.height / 2, 30 / scale) << e.name;
  }
}

TEST_P(AtSize, TheFormScalesAsAWholeKeepingItsProportions) {
  resizeTo(GetParam().size);
  const QWidget* content = app->mainContent();
  const double scale = app->mainView().scale();
  EXPECT_NEAR(content->width(), 1016 * scale, 1);
  EXPECT_NEAR(content->height(), 680 * scale, 1);
  EXPECT_TRUE(QRect(QPoint(0, 0), app->mainWindow()->size()).contains(content->geometry()));
  // The handset screen and its font grow and shrink with the window.
  QWidget* screen = app->mainView().widget(static_cast<int>(Main::Label14));
  EXPECT_NEAR(screen->width(), 249 * scale, 1);
  EXPECT_NEAR(screen->font().pointSizeF(), 18 * scale, 0.01);
  // The status bar stays below the form.
  auto* status = app->mainWindow()->findChild<QStatusBar*>();
  EXPECT_GE(status->geometry().top(), content->geometry().bottom());
}

TEST_P(AtSize, TheHardwareSwitchWorksThroughTheWholeWindow) {
  resizeTo(GetParam().size);
  QTest::mouseClick(app->mainWindow()->windowHandle(), Qt::LeftButton, {}, centreInWindow(Main::LHOO));
  EXPECT_EQ(st().handset(Side::Left).hardwareSwitch, 1);
  QTest::mouseClick(app->mainWindow()->windowHandle(), Qt::LeftButton, {}, centreInWindow(Main::RHOO));
  EXPECT_EQ(st().handset(Side::Right).hardwareSwitch, 1);
  saveShot(app->mainWindow(), QStringLiteral("main-") + QString::fromLatin1(GetParam().name) + QStringLiteral(".png"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, AtSize,
                         ::testing::Values(SizeCase{"Designed", QSize(1016, 704 + 24)},
                                           SizeCase{"Laptop125", QSize(1085, 576)},
                                           SizeCase{"Small", QSize(640, 480)},
                                           SizeCase{"FullHd", QSize(1920, 1050)},
                                           SizeCase{"TallAndNarrow", QSize(800, 1000)}),
                         sizeName);

TEST_F(ScaledWindow, OpensWholeOnTheLaptopScreen) {
  QScreen* screen = app->mainWindow()->screen();
  const QRect available = screen->availableGeometry();
  EXPECT_LT(available.height(), 620);  // the test's screen: 768 pixels at 125 %
  const QRect frame = app->mainWindow()->frameGeometry();
  EXPECT_TRUE(available.contains(frame)) << frame.x() << ',' << frame.y() << ' ' << frame.width()
                                         << 'x' << frame.height();
  EXPECT_LT(app->mainView().scale(), 0.9);
  EXPECT_GE(app->mainView().scale(), kSmallestScale);
  saveShot(app->mainWindow(), QStringLiteral("main-opened-1366x768-125.png"));
}

TEST(OpeningSize, FitsWhatTheScreenOffers) {
  const QSize frame(8, 38);
  // The designed size where there is room, the remembered size where it fits.
  EXPECT_EQ(openingSize({}, QSize(1920, 1040), frame, 22), QSize(1016, 680 + 46));
  EXPECT_EQ(openingSize(QSize(1200, 840), QSize(1920, 1040), frame, 22), QSize(1200, 840));
  // A laptop at 125 % (taskbar 40 pixels): the whole window and its frame fit.
  const QSize laptop = openingSize({}, QSize(1093, 574), frame, 22);
  EXPECT_LE(laptop.width() + frame.width(), 1093);
  EXPECT_LE(laptop.height() + frame.height(), 574);
  EXPECT_NEAR(static_cast<double>(laptop.width()) / (laptop.height() - 46), 1016.0 / 680, 0.01);
  // A remembered size from a larger screen shrinks to this one.
  const QSize shrunk = openingSize(QSize(1900, 1300), QSize(1093, 574), frame, 22);
  EXPECT_LE(shrunk.height() + frame.height(), 574);
}

TEST_F(GuiTest, RemembersItsSize) {
  answerDisclaimer(true);
  ASSERT_TRUE(app->start());
  app->mainWindow()->resize(800, 540);
  QCoreApplication::processEvents();
  app->mainWindow()->close();
  ASSERT_TRUE(ended);
  EXPECT_EQ(QSettings(QStringLiteral("PelaSim"), QStringLiteral("PelaSim")).value(QStringLiteral("Window/Size")).toSize(),
            QSize(800, 540));
  app = std::make_unique<App>(programDir());
  EXPECT_EQ(app->mainWindow()->size(), QSize(800, 540));
  // The four settings of the simulation are left as they are.
  QSettings s(QStringLiteral("PelaSim"), QStringLiteral("PelaSim"));
  EXPECT_EQ(s.value(QStringLiteral("Settings/CO2")).toString(), QStringLiteral("14"));
}

}  // namespace
}  // namespace pelasim
