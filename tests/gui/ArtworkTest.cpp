// The pictures the build draws beside the programs: each decodes at twice the pixel size of
// the element that shows it, and the handset pictures put their screen, buttons and switch
// under the screen rectangle and the transparent hot spots of the main window, which are
// read here from the window model itself.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "forms/DialogForms.h"
#include "forms/MainWindow.h"

namespace pelasim {
namespace {

// The tests run in the program folder; PELASIM_PROGRAM_DIR names it otherwise.
QString programDir() {
  const char* dir = std::getenv("PELASIM_PROGRAM_DIR");
  return QString::fromLocal8Bit(dir ? dir : ".");
}

QImage load(const char* file) {
  return QImage(programDir() + QLatin1Char('/') + QString::fromLatin1(file)).convertToFormat(QImage::Format_RGB32);
}

// Pixels of the file for twips of the window: 15 twips per screen pixel, drawn at twice that.
int filePixels(double twips) { return static_cast<int>(twips * 2 / 15 + 0.5); }

struct PictureCase {
  const char* file;
  int widthTwips, heightTwips;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.file; }

const PictureCase kPictures[] = {
    {"HSOn.jpg", 6180, 4800},        {"HSOff.jpg", 6180, 4800},
    {"HSLeft.jpg", 6180, 4800},      {"HSMid.jpg", 6180, 4800},
    {"HSRight.jpg", 6180, 4800},     {"HSBothOuter.jpg", 6180, 4800},
    {"HSBothRight.jpg", 6180, 4800}, {"HSLineOuters.jpg", 6180, 4800},
    {"HSLineRights.jpg", 6180, 4800},
    {"MouthO.jpg", 3390, 2055},      {"MouthC.jpg", 3390, 2055},
    {"Dump.jpg", 1800, 2295},        {"DumpFail.jpg", 1800, 2295},
    {"O2Butt.jpg", 1965, 1965},      {"DiluentButt.jpg", 1905, 1965},
    // Replaces either injector button; drawn for the wider one.
    {"ManualAddMissing.jpg", 1965, 1965},
    {"ArrowUp.jpg", 480, 480},       {"ArrowDown.jpg", 480, 480},
    {"O2Valve.jpg", 2085, 1980},     {"DiluentValve.jpg", 2085, 1980},
    {"ADVButt.jpg", 1500, 1440},     {"Bailout.jpg", 1245, 960},
    // Shown small (600 x 480) and large (1080 x 1800); drawn for the large placement.
    {"Breathing.jpg", 1080, 1800},
    {"Logo.jpg", 1080, 1635},        {"SplashClub.jpg", 1200, 1200},
    {"SplashDevice.jpg", 1200, 1200},
};

class PictureFile : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureFile, DecodesAtTwiceTheElementsPixelSize) {
  const QImage image = load(GetParam().file);
  ASSERT_FALSE(image.isNull()) << GetParam().file << " missing or not a JPEG";
  EXPECT_EQ(image.width(), filePixels(GetParam().widthTwips));
  EXPECT_EQ(image.height(), filePixels(GetParam().heightTwips));
}

std::string pictureName(const ::testing::TestParamInfo<PictureCase>& param) {
  const std::string name = param.param.file;
  return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureFile, ::testing::ValuesIn(kPictures), pictureName);

// Every picture element of the windows names a file that exists and is drawn for it.
TEST(Pictures, EveryPictureTheWindowsShowIsDrawnForItsElement) {
  MainWindowModel main;
  SplashModel splash;
  int checked = 0;
  for (const FormModel* form : {static_cast<const FormModel*>(&main), static_cast<const FormModel*>(&splash)}) {
    for (int i = 0; i < form->size(); ++i) {
      const Element& e = form->at(i);
      if (e.kind != ElementKind::Picture || e.picture.empty()) continue;
      const QImage image = load(e.picture.c_str());
      ASSERT_FALSE(image.isNull()) << e.name << ": " << e.picture;
      ++checked;
      // The breathing picture starts in its small placement; its file serves the large one.
      if (e.picture == "Breathing.jpg") continue;
      EXPECT_EQ(image.width(), filePixels(e.width)) << e.name << ": " << e.picture;
      EXPECT_EQ(image.height(), filePixels(e.height)) << e.name << ": " << e.picture;
    }
  }
  EXPECT_GE(checked, 20);
}

TEST(Pictures, ProgramIconsAreSquarePngsWithTransparentCorners) {
  for (const char* file : {"OrvanePelaSim.png", "OrvanePelaSimViewer.png"}) {
    const QImage icon(programDir() + QLatin1Char('/') + QString::fromLatin1(file));
    ASSERT_FALSE(icon.isNull()) << file;
    EXPECT_EQ(icon.size(), QSize(256, 256)) << file;
    EXPECT_TRUE(icon.hasAlphaChannel()) << file;
    EXPECT_EQ(qAlpha(icon.pixel(1, 1)), 0) << file;
    EXPECT_EQ(qAlpha(icon.pixel(128, 128)), 255) << file;
  }
}

// ---------------------------------------------------------------- pixel helpers

using PixelTest = std::function<bool(QRgb)>;

bool litScreenGreen(QRgb c) {
  return qGreen(c) > 35 && qGreen(c) > qRed(c) + 25 && qGreen(c) > qBlue(c) + 25;
}
bool darkBezel(QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}) < 70; }
bool amber(QRgb c) { return qRed(c) > 200 && qGreen(c) > 120 && qGreen(c) < 215 && qBlue(c) < 90; }
bool orangeKnob(QRgb c) {
  return qRed(c) > 170 && qGreen(c) > 50 && qGreen(c) < 170 && qBlue(c) < 110 &&
         qRed(c) - qGreen(c) > 60;
}
bool oxygenGreen(QRgb c) { return qGreen(c) > qRed(c) + 50 && qGreen(c) > qBlue(c) + 20; }

double fraction(const QImage& image, const QRect& r, const PixelTest& test) {
  int hits = 0, all = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if (!image.rect().contains(x, y)) continue;
      ++all;
      if (test(image.pixel(x, y))) ++hits;
    }
  }
  return all ? static_cast<double>(hits) / all : 0.0;
}

bool changed(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
             std::abs(qBlue(a) - qBlue(b)) > 90;
}

// Bounding box and count of the pixels that differ between two pictures of a handset.
struct Difference {
  QRect box;
  int count = 0;
};
Difference difference(const QImage& a, const QImage& b, const QRect& within = {}) {
  Difference d;
  const QRect area = within.isNull() ? a.rect() : within.intersected(a.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (changed(a.pixel(x, y), b.pixel(x, y))) {
        d.box = d.box.united(QRect(x, y, 1, 1));
        ++d.count;
      }
    }
  }
  return d;
}

// Bounding box of the pixels within `r` that pass `test`.
QRect box(const QImage& image, const QRect& r, const PixelTest& test) {
  QRect b;
  const QRect area = r.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (test(image.pixel(x, y))) b = b.united(QRect(x, y, 1, 1));
    }
  }
  return b;
}

// ---------------------------------------------------------------- handset alignment

// Both handsets show the same picture files, so each button must lie under the hot spots
// of both: within the part their areas have in common, and centred on it.
TEST(HandsetButtons, LieCentredInTheHotSpotsOfBothHandsets) {
  const QImage on = load("HSOn.jpg");
  ASSERT_FALSE(on.isNull());
  MainWindowModel w;
  auto onPicture = [&](Main picture, Main element) {
    const Element& pic = w[picture];
    const Element& e = w[element];
    return QRect(filePixels(e.left - pic.left), filePixels(e.top - pic.top), filePixels(e.width),
                 filePixels(e.height));
  };
  // Light brushed steel of the button faces.
  auto steel = [](QRgb c) {
    const int lo = std::min({qRed(c), qGreen(c), qBlue(c)}), hi = std::max({qRed(c), qGreen(c), qBlue(c)});
    return lo > 120 && hi - lo < 40;
  };
  const std::pair<Main, Main> buttons[] = {{Main::Label8, Main::Label11},
                                           {Main::Label10, Main::Label12},
                                           {Main::Label9, Main::Label13}};
  for (const auto& [left, right] : buttons) {
    const QRect common = onPicture(Main::Image2, left).intersected(onPicture(Main::Image3, right));
    ASSERT_FALSE(common.isEmpty()) << w[left].name << " and " << w[right].name << " do not overlap";
    const QRect face = box(on, common.adjusted(-12, -12, 12, 12), steel);
    EXPECT_TRUE(common.adjusted(-2, -2, 2, 2).contains(face)) << w[left].name;
    EXPECT_NEAR(face.center().x(), common.center().x(), 3) << w[left].name;
    EXPECT_NEAR(face.center().y(), common.center().y(), 3) << w[left].name;
    // The button fills most of the area, so a click anywhere on it lands on the hot spot.
    EXPECT_GT(face.width() * face.height(), common.width() * common.height() * 3 / 5) << w[left].name;
  }
}

struct HandsetCase {
  const char* name;
  Main picture, screen, left, middle, right, outerPair, rightPair, hardwareSwitch;
};
void PrintTo(const HandsetCase& c, std::ostream* os) { *os << c.name; }

const HandsetCase kHandsets[] = {
    {"Left", Main::Image2, Main::Shape1, Main::Label8, Main::Label10, Main::Label9,
     Main::Label18, Main::Label19, Main::LHOO},
    {"Right", Main::Image3, Main::Shape2, Main::Label11, Main::Label12, Main::Label13,
     Main::Label20, Main::Label21, Main::RHOO},
};

class HandsetPicture : public ::testing::TestWithParam<HandsetCase> {
 protected:
  void SetUp() override {
    on_ = load("HSOn.jpg");
    ASSERT_FALSE(on_.isNull());
  }
  // Place of an element of the "Electronics" frame on the handset picture, in file pixels.
  QRect onPicture(Main element) const {
    const Element& pic = window_[GetParam().picture];
    const Element& e = window_[element];
    return QRect(filePixels(e.left - pic.left), filePixels(e.top - pic.top), filePixels(e.width),
                 filePixels(e.height));
  }
  MainWindowModel window_;
  QImage on_;
};

TEST_P(HandsetPicture, ScreenWindowLiesUnderTheBacklightRectangle) {
  const QRect screen = onPicture(GetParam().screen);
  // The lit glass fills the rectangle ...
  EXPECT_GT(fraction(on_, screen.adjusted(3, 3, -3, -3), litScreenGreen), 0.98);
  // ... and ends at its edges: walking out from the middle, the green stops within one
  // screen pixel (two file pixels) of each edge.
  const QPoint c = screen.center();
  auto walk = [&](QPoint step) {
    QPoint p = c;
    while (on_.rect().contains(p + step) && litScreenGreen(on_.pixel(p + step))) p += step;
    return p;
  };
  EXPECT_NEAR(walk({0, -1}).y(), screen.top(), 2);
  EXPECT_NEAR(walk({0, 1}).y(), screen.bottom(), 2);
  EXPECT_NEAR(walk({-1, 0}).x(), screen.left(), 2);
  EXPECT_NEAR(walk({1, 0}).x(), screen.right(), 2);
  // Round it, the black bezel.
  for (const QRect& edge : {QRect(screen.left(), screen.top() - 11, screen.width(), 4),
                            QRect(screen.left(), screen.bottom() + 8, screen.width(), 4),
                            QRect(screen.left() - 11, screen.top(), 4, screen.height()),
                            QRect(screen.right() + 8, screen.top(), 4, screen.height())}) {
    EXPECT_GT(fraction(on_, edge, darkBezel), 0.9) << "bezel at " << edge.x() << "," << edge.y();
  }
  // The screen text label lies within the window.
  EXPECT_TRUE(screen.contains(
      onPicture(GetParam().picture == Main::Image2 ? Main::Label14 : Main::Label15)));
}

TEST_P(HandsetPicture, EachPressedButtonChangesOnlyUnderItsHotSpot) {
  struct Press {
    const char* file;
    Main area;
  };
  for (const Press& press : {Press{"HSLeft.jpg", GetParam().left}, Press{"HSMid.jpg", GetParam().middle},
                             Press{"HSRight.jpg", GetParam().right}}) {
    const QImage pressed = load(press.file);
    ASSERT_FALSE(pressed.isNull()) << press.file;
    const QRect area = onPicture(press.area);
    const Difference d = difference(on_, pressed);
    EXPECT_TRUE(area.adjusted(-3, -3, 3, 3).contains(d.box))
        << press.file << ": changes reach " << d.box.left() << "," << d.box.top() << " to "
        << d.box.right() << "," << d.box.bottom() << ", hot spot " << area.left() << ","
        << area.top() << " to " << area.right() << "," << area.bottom();
    // The press is plain to see: a good part of the hot spot changes.
    EXPECT_GT(d.count, area.width() * area.height() / 3) << press.file;
  }
}

TEST_P(HandsetPicture, PairPicturesPressBothButtonsOfThePair) {
  struct Pair {
    const char* file;
    Main a, b;
  };
  for (const Pair& pair : {Pair{"HSBothOuter.jpg", GetParam().left, GetParam().right},
                           Pair{"HSBothRight.jpg", GetParam().middle, GetParam().right}}) {
    const QImage pressed = load(pair.file);
    ASSERT_FALSE(pressed.isNull()) << pair.file;
    const QRect a = onPicture(pair.a).adjusted(-6, -6, 6, 6), b = onPicture(pair.b).adjusted(-6, -6, 6, 6);
    EXPECT_GT(difference(on_, pressed, a).count, a.width() * a.height() / 3) << pair.file;
    EXPECT_GT(difference(on_, pressed, b).count, b.width() * b.height() / 3) << pair.file;
    EXPECT_EQ(difference(on_, pressed).count,
              difference(on_, pressed, a).count + difference(on_, pressed, b).count)
        << pair.file << " changes something outside the two buttons";
  }
}

TEST_P(HandsetPicture, HighlightPicturesMarkThePairUnderThePointer) {
  struct Highlight {
    const char* file;
    Main spot, a, b, other;
  };
  const HandsetCase& h = GetParam();
  for (const Highlight& hl : {Highlight{"HSLineOuters.jpg", h.outerPair, h.left, h.right, h.middle},
                              Highlight{"HSLineRights.jpg", h.rightPair, h.middle, h.right, h.left}}) {
    const QImage image = load(hl.file);
    ASSERT_FALSE(image.isNull()) << hl.file;
    const QRect spot = onPicture(hl.spot);
    EXPECT_GT(fraction(image, spot, amber), 0.05) << hl.file << ": nothing marks the area";
    EXPECT_EQ(fraction(on_, spot, amber), 0.0);
    // Rings round the two buttons of the pair, none round the third.
    auto ringed = [&](Main button) {
      const QRect r = onPicture(button).adjusted(-16, -16, 16, 16);
      return fraction(image, r, amber);
    };
    EXPECT_GT(ringed(hl.a), 0.03) << hl.file;
    EXPECT_GT(ringed(hl.b), 0.03) << hl.file;
    EXPECT_LT(fraction(image, onPicture(hl.other), amber), 0.005) << hl.file;
  }
}

TEST_P(HandsetPicture, SwitchKnobSitsUnderTheSwitchAreaOnOrOff) {
  const QImage off = load("HSOff.jpg");
  ASSERT_FALSE(off.isNull());
  const QRect area = onPicture(GetParam().hardwareSwitch);
  for (const auto& [image, on] : {std::pair{on_, true}, std::pair{off, false}}) {
    // All of the orange knob lies in the area ...
    const QRect all = image.rect();
    const double total = fraction(image, all, orangeKnob) * all.width() * all.height();
    const double inside = fraction(image, area, orangeKnob) * area.width() * area.height();
    ASSERT_GT(inside, 500) << (on ? "on" : "off");
    EXPECT_GT(inside / total, 0.98) << (on ? "on" : "off");
    // ... centred on its height, at the right end when on, at the left end when off.
    const QRect knob = box(image, area.adjusted(-20, -20, 20, 20), orangeKnob);
    EXPECT_NEAR(knob.center().y(), area.center().y(), 3) << (on ? "on" : "off");
    if (on) {
      EXPECT_GE(knob.right(), area.right() - 20);
      EXPECT_GT(knob.center().x(), area.center().x() + 20);
    } else {
      EXPECT_LE(knob.left(), area.left() + 20);
      EXPECT_LT(knob.center().x(), area.center().x() - 20);
    }
  }
}

TEST_P(HandsetPicture, SwitchedOffHandsetHasADeadScreen) {
  const QImage off = load("HSOff.jpg");
  ASSERT_FALSE(off.isNull());
  EXPECT_LT(fraction(off, onPicture(GetParam().screen).adjusted(4, 4, -4, -4), litScreenGreen), 0.05);
}

std::string handsetName(const ::testing::TestParamInfo<HandsetCase>& param) {
  return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Handsets, HandsetPicture, ::testing::ValuesIn(kHandsets), handsetName);

// ---------------------------------------------------------------- gas colours, states

double meanDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 255;
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q))) / 3.0;
    }
  }
  return sum / (a.width() * a.height());
}

// Divers tell oxygen by its green and white, diluent by black and grey.
TEST(GasPictures, OxygenCarriesGreenAndDiluentDoesNot) {
  for (const auto& [oxygen, diluent] : {std::pair{"O2Valve.jpg", "DiluentValve.jpg"},
                                        std::pair{"O2Butt.jpg", "DiluentButt.jpg"}}) {
    const QImage o = load(oxygen), d = load(diluent);
    ASSERT_FALSE(o.isNull() || d.isNull());
    EXPECT_GT(fraction(o, o.rect(), oxygenGreen), 0.04) << oxygen;
    EXPECT_LT(fraction(d, d.rect(), oxygenGreen), 0.002) << diluent;
  }
}

TEST(StatePictures, EachStateLooksClearlyDifferent) {
  for (const auto& [a, b] : {std::pair{"MouthO.jpg", "MouthC.jpg"}, std::pair{"Dump.jpg", "DumpFail.jpg"},
                             std::pair{"O2Butt.jpg", "ManualAddMissing.jpg"},
                             std::pair{"ArrowUp.jpg", "ArrowDown.jpg"}}) {
    const QImage x = load(a), y = load(b);
    ASSERT_FALSE(x.isNull() || y.isNull()) << a << " " << b;
    EXPECT_GT(meanDifference(x, y), 6.0) << a << " against " << b;
  }
  // The missing injector button replaces the narrower diluent button too.
  const QImage dil = load("DiluentButt.jpg"), missing = load("ManualAddMissing.jpg");
  EXPECT_GT(meanDifference(dil.scaled(missing.size()), missing), 6.0);
}

}  // namespace
}  // namespace pelasim
