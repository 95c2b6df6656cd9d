// Draws every picture of the simulator into the program folder. Each picture is drawn at
// twice the pixel size of the window element that shows it (15 twips are one pixel at
// 96 dpi), so it stays sharp when the window is scaled up. The program icons are PNG
// files for desktop entries.
//
// Usage: pelasim_artgen <output folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <vector>

#include "Equipment.h"
#include "Handset.h"

using namespace artgen;

namespace {

// Pixel size of the file for an element of `widthTwips` x `heightTwips`.
QSize forTwips(int widthTwips, int heightTwips) {
  return QSize(widthTwips * 2 / 15, heightTwips * 2 / 15);
}

struct Picture {
  const char* file;
  QSize size;
  std::function<void(QPainter&, QSize)> paint;
};

HandsetLook handset(bool left, bool middle, bool right, Pair highlight = Pair::None) {
  HandsetLook look;
  look.leftPressed = left;
  look.middlePressed = middle;
  look.rightPressed = right;
  look.highlight = highlight;
  return look;
}

std::vector<Picture> pictures() {
  auto hs = [](HandsetLook look) {
    return [look](QPainter& p, QSize) { paintHandset(p, look); };
  };
  HandsetLook off;
  off.switchOn = false;
  // The handsets: 6180 x 4800 twips.
  const QSize h = kHandsetSize;
  return {
      {"HSOn.jpg", h, hs(handset(false, false, false))},
      {"HSOff.jpg", h, hs(off)},
      {"HSLeft.jpg", h, hs(handset(true, false, false))},
      {"HSMid.jpg", h, hs(handset(false, true, false))},
      {"HSRight.jpg", h, hs(handset(false, false, true))},
      {"HSBothOuter.jpg", h, hs(handset(true, false, true))},
      {"HSBothRight.jpg", h, hs(handset(false, true, true))},
      {"HSLineOuters.jpg", h, hs(handset(false, false, false, Pair::Outers))},
      {"HSLineRights.jpg", h, hs(handset(false, false, false, Pair::Rights))},
      // Gas control frame.
      {"MouthO.jpg", forTwips(3390, 2055), [](QPainter& p, QSize s) { paintMouthpiece(p, s, true); }},
      {"MouthC.jpg", forTwips(3390, 2055), [](QPainter& p, QSize s) { paintMouthpiece(p, s, false); }},
      {"O2Butt.jpg", forTwips(1965, 1965), [](QPainter& p, QSize s) { paintInjectorButton(p, s, Gas::Oxygen); }},
      {"DiluentButt.jpg", forTwips(1905, 1965), [](QPainter& p, QSize s) { paintInjectorButton(p, s, Gas::Diluent); }},
      // Replaces either injector button (1965 and 1905 twips wide): drawn for the wider.
      {"ManualAddMissing.jpg", forTwips(1965, 1965), paintInjectorMissing},
      {"O2Valve.jpg", forTwips(2085, 1980), [](QPainter& p, QSize s) { paintCylinderValve(p, s, Gas::Oxygen); }},
      {"DiluentValve.jpg", forTwips(2085, 1980), [](QPainter& p, QSize s) { paintCylinderValve(p, s, Gas::Diluent); }},
      {"Bailout.jpg", forTwips(1245, 960), paintBailout},
      // Shown at 1080 x 1800 twips while breathing and at 600 x 480 otherwise.
      {"Breathing.jpg", forTwips(1080, 1800), paintBreathing},
      // Volume frame.
      {"Dump.jpg", forTwips(1800, 2295), [](QPainter& p, QSize s) { paintDump(p, s, false); }},
      {"DumpFail.jpg", forTwips(1800, 2295), [](QPainter& p, QSize s) { paintDump(p, s, true); }},
      {"ADVButt.jpg", forTwips(1500, 1440), paintAdvButton},
      // Environment arrows.
      {"ArrowUp.jpg", forTwips(480, 480), [](QPainter& p, QSize s) { paintArrow(p, s, true); }},
      {"ArrowDown.jpg", forTwips(480, 480), [](QPainter& p, QSize s) { paintArrow(p, s, false); }},
      // Club logo in the main window, and the two pictures of the start-up dialog.
      {"Logo.jpg", forTwips(1080, 1635), [](QPainter& p, QSize s) { paintClubLogo(p, s, true); }},
      {"SplashClub.jpg", forTwips(1200, 1200), [](QPainter& p, QSize s) { paintClubLogo(p, s, false); }},
      {"SplashDevice.jpg", forTwips(1200, 1200), paintDeviceSplash},
      // Program icons.
      {"OrvanePelaSim.png", QSize(256, 256), paintProgramIcon},
      {"OrvanePelaSimViewer.png", QSize(256, 256), paintViewerIcon},
  };
}

bool save(const QImage& image, const QString& path) {
  QImageWriter writer(path);
  if (path.endsWith(QStringLiteral(".jpg"))) {
    writer.setFormat("jpeg");
    writer.setQuality(92);
    writer.setOptimizedWrite(true);
  } else {
    writer.setFormat("png");
  }
  if (!writer.write(image)) {
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a GUI application, but no display is used.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  int failures = 0;
  for (const Picture& pic : pictures()) {
    const QString name = QString::fromLatin1(pic.file);
    const bool png = name.endsWith(QStringLiteral(".png"));
    QImage image(pic.size, png ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(png ? QColor(Qt::transparent) : QColor(Qt::white));
    {
      QPainter p(&image);
      pic.paint(p, pic.size);
    }
    if (!save(png ? image : image.convertToFormat(QImage::Format_RGB888), dir.filePath(name))) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
