// Proof sheet of the drawn pictures, for looking at them while working on the artwork:
// the main window laid out from its model at screen size with every picture in place (hot
// spots outlined in red, screen rectangles filled), the left handset at file size with its
// screen rectangle and hot spots drawn over it, and every picture at its screen size.
// Built on request only (target pelasim_artsheet).
//
// Usage: pelasim_artsheet <program folder> <output.png>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>

#include "forms/MainWindow.h"

using namespace pelasim;

namespace {

constexpr double kTwipsPerPixel = 15.0;

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QRectF absolute(const FormModel& form, int id, double scale) {
  double left = 0, top = 0;
  for (int i = id; i > 0 && i < form.size(); i = form.at(i).parent) {
    left += form.at(i).left;
    top += form.at(i).top;
  }
  const Element& e = form.at(id);
  return QRectF(left / scale, top / scale, e.width / scale, e.height / scale);
}

// The main window at screen size: frames, pictures, shapes, captions, hot spots.
QImage windowMock(const QDir& dir) {
  MainWindowModel w;
  const Element& form = w[Main::Form];
  QImage image(qRound(form.width / kTwipsPerPixel), qRound(form.height / kTwipsPerPixel),
               QImage::Format_RGB32);
  image.fill(QColor(255, 255, 0));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  for (int i = 1; i < w.size(); ++i) {
    const Element& e = w.at(i);
    const QRectF r = absolute(w, i, kTwipsPerPixel);
    switch (e.kind) {
      case ElementKind::Frame:
        p.setPen(QPen(QColor(0, 0, 64), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 6, 0, 0));
        p.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        p.drawText(r.topLeft() + QPointF(8, 10), QString::fromStdString(e.caption));
        break;
      case ElementKind::Picture: {
        // The breathing picture is drawn in its large placement.
        const QRectF place = e.name == "Image19" ? QRectF(r.left() - 16, r.top() - 64, 72, 120) : r;
        p.drawImage(place, QImage(dir.filePath(QString::fromStdString(e.picture))));
        break;
      }
      case ElementKind::Shape:
        p.setPen(QPen(toQColor(e.borderColour), 1));
        p.setBrush(toQColor(e.fillColour));
        p.drawRect(r);
        break;
      case ElementKind::Label:
        if (e.name == "Label16" || e.name == "Label17") break;
        p.setPen(toQColor(e.foreColour));
        p.setFont(QFont(QString::fromStdString(e.font.family.empty() ? "Liberation Sans" : e.font.family),
                        qRound(e.font.pointSize > 0 ? e.font.pointSize : 8)));
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                   e.name == "Label14" || e.name == "Label15" ? QStringLiteral("MASTER 1.30\n1.29 1.31 1.30")
                                                              : QString::fromStdString(e.caption));
        break;
      case ElementKind::HotSpot:
        p.setPen(QPen(QColor(255, 0, 0), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        break;
      case ElementKind::CheckBox:
      case ElementKind::Button:
        p.setPen(QPen(QColor(0, 0, 64), 1));
        p.setBrush(QColor(236, 236, 236));
        p.drawRect(r);
        p.setFont(QFont(QStringLiteral("Liberation Sans"), 8));
        p.drawText(r, Qt::AlignCenter, QString::fromStdString(e.caption).remove(QLatin1Char('&')));
        break;
      default:
        break;
    }
  }
  return image;
}

// The left handset at file size with the window's screen rectangle and hot spots on it.
QImage handsetCheck(const QDir& dir, const char* file) {
  MainWindowModel w;
  QImage image(dir.filePath(QString::fromLatin1(file)));
  image = image.convertToFormat(QImage::Format_RGB32);
  QPainter p(&image);
  const Element& pic = w[Main::Image2];
  auto place = [&](Main m) {
    const Element& e = w[m];
    const double k = 2 / kTwipsPerPixel;
    return QRectF((e.left - pic.left) * k, (e.top - pic.top) * k, e.width * k, e.height * k);
  };
  p.fillRect(place(Main::Shape1), QColor(0, 64, 0));
  p.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
  p.drawRect(place(Main::Label14));
  for (Main m : {Main::Label8, Main::Label10, Main::Label9, Main::LHOO}) {
    p.setPen(QPen(QColor(255, 0, 0), 2));
    p.drawRect(place(m));
  }
  for (Main m : {Main::Label18, Main::Label19}) {
    p.setPen(QPen(QColor(0, 200, 255), 2));
    p.drawRect(place(m));
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <program folder> <output.png>\n", argv[0]);
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  const QImage window = windowMock(dir);
  const QImage left = handsetCheck(dir, "HSOn.jpg");
  const QImage outers = handsetCheck(dir, "HSLineOuters.jpg");

  // All pictures at their screen size (half the file).
  const QStringList files = dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.png")}, QDir::Files, QDir::Name);
  const int width = std::max(window.width(), left.width() + outers.width() + 10);
  QImage grid(width, 900, QImage::Format_RGB32);
  grid.fill(QColor(255, 255, 0));
  int gridHeight = 0;
  {
    QPainter p(&grid);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 7));
    int x = 4, y = 4, row = 0;
    for (const QString& f : files) {
      QImage im(dir.filePath(f));
      if (im.isNull()) continue;
      im = im.scaled(im.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      if (x + im.width() > width) {
        x = 4;
        y += row + 16;
        row = 0;
      }
      p.drawImage(x, y, im);
      p.setPen(QColor(0, 0, 64));
      p.drawText(x, y + im.height() + 11, f);
      x += std::max(im.width(), 90) + 8;
      row = std::max(row, im.height());
    }
    gridHeight = y + row + 16;
  }

  QImage sheet(width, window.height() + left.height() + gridHeight + 20, QImage::Format_RGB32);
  sheet.fill(QColor(90, 90, 90));
  QPainter p(&sheet);
  p.drawImage(0, 0, window);
  p.drawImage(0, window.height() + 10, left);
  p.drawImage(left.width() + 10, window.height() + 10, outers);
  p.drawImage(0, window.height() + left.height() + 20, grid, 0, 0, width, gridHeight);
  p.end();
  if (!sheet.save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
