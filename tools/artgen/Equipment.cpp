#include "Equipment.h"

#include <QtMath>

#include "Handset.h"
#include "Paint.h"

namespace artgen {
namespace {

// Colours divers read gases by: oxygen white with green, diluent black and grey.
const QColor kOxygenGreen(0, 132, 66);
const QColor kDiluentBlack(44, 46, 50);
const QColor kNavy(0, 0, 64);
const QColor kWarningRed(196, 28, 28);

// Paints a design made for `design` pixels into a picture of `size` (stretching it a little
// where the element is not the design's shape), on the shared backdrop.
void begin(QPainter& p, QSize size, QSizeF design) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  paintBackdrop(p, QRectF(0, 0, size.width(), size.height()));
  p.scale(size.width() / design.width(), size.height() / design.height());
}

QPainterPath circle(QPointF c, qreal r) {
  QPainterPath path;
  path.addEllipse(c, r, r);
  return path;
}

// Text with a thin dark outline, readable on any part of a picture.
void outlinedText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                  const QColor& fill, const QColor& outline, qreal outlineWidth) {
  QPainterPath path;
  const QFontMetricsF fm(font);
  const qreal w = fm.horizontalAdvance(text);
  const QPointF origin(r.center().x() - w / 2, r.center().y() + (fm.ascent() - fm.descent()) / 2);
  path.addText(origin, font, text);
  p.save();
  p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(path);
  p.restore();
}

// A hexagonal nut seen side-on: three faces.
void paintNut(QPainter& p, const QRectF& r) {
  p.save();
  p.setPen(QPen(QColor(60, 64, 70), 1.2));
  p.setBrush(chrome(r));
  p.drawRect(r);
  p.setPen(QPen(QColor(90, 96, 104), 1.0));
  p.drawLine(QPointF(r.left(), r.top() + r.height() * 0.28), QPointF(r.right(), r.top() + r.height() * 0.28));
  p.drawLine(QPointF(r.left(), r.top() + r.height() * 0.72), QPointF(r.right(), r.top() + r.height() * 0.72));
  p.restore();
}

}  // namespace

// ---------------------------------------------------------------- environment arrows

void paintArrow(QPainter& p, QSize size, bool up) {
  begin(p, size, QSizeF(64, 64));
  const QRectF key(5, 5, 54, 54);
  paintShadow(p, roundedRect(key, 11), QPointF(1, 2), 2, 120);
  p.setPen(QPen(QColor(52, 60, 72), 1.5));
  p.setBrush(steel(key));
  p.drawPath(roundedRect(key, 11));
  QPainterPath tri;
  if (up) {
    tri.moveTo(32, 13);
    tri.lineTo(52, 45);
    tri.lineTo(12, 45);
  } else {
    tri.moveTo(32, 51);
    tri.lineTo(52, 19);
    tri.lineTo(12, 19);
  }
  tri.closeSubpath();
  p.setPen(QPen(QColor(0, 0, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(vertical(tri.boundingRect(), {{0.0, QColor(40, 60, 150)}, {1.0, kNavy}}));
  p.drawPath(tri);
}

// ---------------------------------------------------------------- bail-out

void paintBailout(QPainter& p, QSize size) {
  begin(p, size, QSizeF(166, 128));
  // Hose coming up from below into the second stage.
  QPainterPath hose;
  hose.moveTo(-6, 100);
  hose.cubicTo(14, 96, 18, 62, 30, 52);
  paintHose(p, hose, 12, QColor(30, 32, 36), 0);
  // Exhaust tee under the case.
  const QRectF tee(40, 66, 46, 18);
  p.setPen(QPen(QColor(10, 10, 12), 1.2));
  p.setBrush(vertical(tee, {{0.0, QColor(70, 74, 80)}, {1.0, QColor(20, 22, 24)}}));
  p.drawPath(roundedRect(tee, 8));
  // Mouthpiece.
  const QRectF mouth(88, 34, 30, 24);
  p.setBrush(vertical(mouth, {{0.0, QColor(200, 214, 226)}, {1.0, QColor(120, 140, 158)}}));
  p.setPen(QPen(QColor(70, 86, 100), 1.2));
  p.drawPath(roundedRect(mouth, 7));
  p.drawPath(roundedRect(QRectF(112, 28, 10, 36), 5));
  // The yellow case of an open-circuit second stage, purge cover with ribs.
  const QPointF c(62, 44);
  paintShadow(p, circle(c, 32), QPointF(2, 3), 3, 120);
  QRadialGradient body(c.x() - 10, c.y() - 12, 44);
  body.setColorAt(0.0, QColor(255, 236, 120));
  body.setColorAt(0.7, QColor(236, 186, 10));
  body.setColorAt(1.0, QColor(170, 120, 0));
  p.setPen(QPen(QColor(90, 64, 0), 1.5));
  p.setBrush(body);
  p.drawPath(circle(c, 32));
  p.setBrush(QColor(40, 42, 46));
  p.setPen(QPen(QColor(10, 10, 12), 1.2));
  p.drawPath(circle(c, 21));
  p.setPen(QPen(QColor(90, 96, 104), 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = -2; i <= 2; ++i) p.drawLine(QPointF(c.x() - 13, c.y() + i * 6.5), QPointF(c.x() + 13, c.y() + i * 6.5));
  // Red band with the action.
  const QRectF band(6, 94, 154, 30);
  p.setPen(QPen(QColor(110, 10, 10), 1.5));
  p.setBrush(vertical(band, {{0.0, QColor(226, 52, 44)}, {1.0, QColor(164, 18, 18)}}));
  p.drawPath(roundedRect(band, 6));
  centredText(p, band, QStringLiteral("BAIL OUT"), sansFont(21, true, 1.5), Qt::white);
}

// ---------------------------------------------------------------- breathing

void paintBreathing(QPainter& p, QSize size) {
  // Shown both narrow and tall (1080 x 1800 twips, breathing) and wide and low
  // (600 x 480, not breathing), stretched: the lungs fill the picture so they read as
  // lungs in both shapes.
  begin(p, size, QSizeF(144, 240));
  const QColor tissue(214, 92, 108), dark(128, 30, 52);
  auto lobe = [&](bool left) {
    const qreal s = left ? 1.0 : -1.0, m = 72;
    auto X = [&](qreal dx) { return m - s * dx; };
    QPainterPath path;
    path.moveTo(X(8), 82);
    path.cubicTo(X(14), 56, X(30), 34, X(42), 36);
    path.cubicTo(X(58), 38, X(66), 92, X(66), 150);
    path.cubicTo(X(66), 196, X(64), 226, X(48), 230);
    path.cubicTo(X(34), 234, X(18), 222, X(8), 214);
    path.cubicTo(X(2), 200, X(left ? 16 : 6), 176, X(left ? 14 : 6), 150);
    path.cubicTo(X(10), 124, X(6), 100, X(8), 82);
    path.closeSubpath();
    return path;
  };
  for (bool left : {true, false}) {
    const QPainterPath l = lobe(left);
    paintShadow(p, l, QPointF(2, 3), 3, 90);
    QRadialGradient g(left ? 44 : 100, 110, 90);
    g.setColorAt(0.0, QColor(246, 160, 170));
    g.setColorAt(0.6, tissue);
    g.setColorAt(1.0, QColor(160, 50, 72));
    p.setPen(QPen(dark, 2));
    p.setBrush(g);
    p.drawPath(l);
  }
  // Windpipe and airways.
  const QRectF pipe(64, 6, 16, 84);
  p.setPen(QPen(QColor(120, 96, 100), 1.5));
  p.setBrush(horizontal(pipe, {{0.0, QColor(210, 196, 198)}, {0.5, QColor(250, 240, 240)}, {1.0, QColor(190, 172, 176)}}));
  p.drawPath(roundedRect(pipe, 6));
  p.setPen(QPen(QColor(170, 146, 150), 2));
  for (qreal y = 16; y < 86; y += 10) p.drawLine(QPointF(65, y), QPointF(79, y));
  p.setBrush(Qt::NoBrush);
  QPainterPath airways;
  for (qreal s : {1.0, -1.0}) {
    airways.moveTo(72, 86);
    airways.cubicTo(72 - s * 6, 98, 72 - s * 18, 104, 72 - s * 30, 118);
    airways.moveTo(72 - s * 30, 118);
    airways.lineTo(72 - s * 46, 96);
    airways.moveTo(72 - s * 30, 118);
    airways.lineTo(72 - s * 40, 160);
    airways.moveTo(72 - s * 34, 138);
    airways.lineTo(72 - s * 52, 150);
    airways.moveTo(72 - s * 38, 152);
    airways.lineTo(72 - s * 26, 190);
  }
  p.setPen(QPen(QColor(120, 30, 50), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(airways);
  p.setPen(QPen(QColor(250, 220, 222), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(airways);
}

// ---------------------------------------------------------------- mouthpiece

void paintMouthpiece(QPainter& p, QSize size, bool open) {
  begin(p, size, QSizeF(452, 274));
  const QColor hoseColour(42, 44, 48);
  // Breathing hoses to the counterlungs, either side.
  QPainterPath left, right;
  left.moveTo(84, 140);
  left.cubicTo(40, 140, 20, 190, -30, 220);
  right.moveTo(368, 140);
  right.cubicTo(412, 140, 432, 190, 482, 220);
  paintHose(p, left, 62, hoseColour, 11);
  paintHose(p, right, 62, hoseColour, 11);
  // The barrel of the dive/surface valve.
  const QRectF barrel(76, 102, 300, 76);
  paintShadow(p, roundedRect(barrel, 16), QPointF(3, 6), 6, 130);
  p.setPen(QPen(QColor(12, 12, 14), 1.8));
  p.setBrush(vertical(barrel, {{0.0, QColor(98, 104, 112)},
                               {0.3, QColor(150, 156, 164)},
                               {0.55, QColor(70, 75, 82)},
                               {1.0, QColor(28, 30, 34)}}));
  p.drawPath(roundedRect(barrel, 16));
  // Hose collars.
  for (qreal x : {76.0, 336.0}) {
    const QRectF collar(x, 96, 40, 88);
    p.setBrush(vertical(collar, {{0.0, QColor(80, 84, 90)}, {0.3, QColor(128, 134, 142)}, {1.0, QColor(24, 26, 30)}}));
    p.drawPath(roundedRect(collar, 8));
    p.setPen(QPen(QColor(20, 22, 25), 2));
    for (int i = 1; i < 5; ++i) p.drawLine(QPointF(x + i * 8, 100), QPointF(x + i * 8, 180));
    p.setPen(QPen(QColor(12, 12, 14), 1.8));
  }
  // The mouthpiece facing the diver: a soft silicone lip shield with the bite opening,
  // in front of the barrel.
  const QRectF shield(140, 164, 172, 80);
  paintShadow(p, roundedRect(shield, 38), QPointF(2, 6), 5, 140);
  p.setPen(QPen(QColor(70, 88, 104), 1.8));
  p.setBrush(vertical(shield, {{0.0, QColor(222, 232, 240)}, {0.5, QColor(178, 194, 208)}, {1.0, QColor(120, 140, 158)}}));
  p.drawPath(roundedRect(shield, 38));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 150), 2));
  p.drawPath(roundedRect(shield.adjusted(8, 6, -8, -6), 32));
  const QRectF opening(182, 194, 88, 22);
  p.setPen(QPen(QColor(90, 108, 124), 1.5));
  p.setBrush(vertical(opening, {{0.0, QColor(8, 10, 14)}, {1.0, QColor(52, 60, 70)}}));
  p.drawPath(roundedRect(opening, 11));
  // Colour window on the barrel showing the valve's state (left of the middle, where the
  // breathing picture, when large, does not cover it).
  const QColor state = open ? QColor(30, 170, 70) : kWarningRed;
  const QRectF window(122, 128, 36, 24);
  p.setBrush(QColor(10, 10, 12));
  p.drawPath(roundedRect(window.adjusted(-3, -3, 3, 3), 6));
  p.setPen(Qt::NoPen);
  p.setBrush(vertical(window, {{0.0, state.lighter(150)}, {1.0, state.darker(130)}}));
  p.drawPath(roundedRect(window, 4));
  // The turning lever: along the hoses when open, across them when closed.
  const QPointF pivot(200, 104);
  p.save();
  p.translate(pivot);
  p.rotate(open ? -90 : 0);
  const QRectF lever(-16, -86, 32, 92);
  paintShadow(p, roundedRect(lever, 14), QPointF(3, 4), 3, 130);
  p.setPen(QPen(QColor(10, 10, 12), 1.8));
  p.setBrush(horizontal(lever, {{0.0, state.darker(170)}, {0.35, state.lighter(125)}, {1.0, state.darker(200)}}));
  p.drawPath(roundedRect(lever, 14));
  p.setPen(QPen(state.darker(250), 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 4; ++i) p.drawLine(QPointF(-8, -74 + i * 9), QPointF(8, -74 + i * 9));
  p.restore();
  QRadialGradient hub(pivot.x() - 6, pivot.y() - 6, 26);
  hub.setColorAt(0.0, QColor(236, 238, 242));
  hub.setColorAt(1.0, QColor(96, 102, 110));
  p.setPen(QPen(QColor(20, 22, 24), 1.5));
  p.setBrush(hub);
  p.drawEllipse(pivot, 20.0, 20.0);
  // The state in words.
  outlinedText(p, QRectF(236, 16, 210, 64), open ? QStringLiteral("OPEN") : QStringLiteral("CLOSED"),
               sansFont(46, true, 1), state, QColor(255, 255, 255, 230), 6);
}

// ---------------------------------------------------------------- dump valve

void paintDump(QPainter& p, QSize size, bool failed) {
  begin(p, size, QSizeF(240, 306));
  // A patch of counterlung cordura the valve is fitted in.
  const QRectF fabric(14, 10, 212, 212);
  p.setPen(QPen(QColor(6, 10, 24), 1.5));
  p.setBrush(vertical(fabric, {{0.0, QColor(40, 48, 76)}, {1.0, QColor(18, 22, 40)}}));
  p.drawPath(roundedRect(fabric, 26));
  p.setPen(QPen(QColor(120, 130, 160), 1.4, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawPath(roundedRect(fabric.adjusted(8, 8, -8, -8), 20));
  const QPointF c(120, 112);
  // Flange, ribbed body, cap.
  paintShadow(p, circle(c, 84), QPointF(3, 6), 6, 150);
  QRadialGradient flange(c.x() - 30, c.y() - 40, 130);
  flange.setColorAt(0.0, QColor(120, 126, 134));
  flange.setColorAt(1.0, QColor(36, 38, 42));
  p.setPen(QPen(QColor(8, 8, 10), 1.8));
  p.setBrush(flange);
  p.drawPath(circle(c, 84));
  p.setBrush(QColor(28, 30, 34));
  p.drawPath(circle(c, 66));
  for (int i = 0; i < 12; ++i) {
    p.save();
    p.translate(c);
    p.rotate(i * 30.0);
    p.setPen(Qt::NoPen);
    p.setBrush(horizontal(QRectF(-7, -64, 14, 24), {{0.0, QColor(60, 64, 70)}, {0.5, QColor(130, 136, 144)}, {1.0, QColor(50, 54, 60)}}));
    p.drawPath(roundedRect(QRectF(-7, -64, 14, 24), 5));
    p.restore();
  }
  QRadialGradient cap(c.x() - 14, c.y() - 16, 60);
  cap.setColorAt(0.0, QColor(110, 116, 124));
  cap.setColorAt(1.0, QColor(30, 32, 36));
  p.setPen(QPen(QColor(8, 8, 10), 1.5));
  p.setBrush(cap);
  p.drawPath(circle(c, 40));
  centredText(p, QRectF(c.x() - 40, c.y() - 16, 80, 30), QStringLiteral("DUMP"),
              sansFont(19, true, 1.5), QColor(230, 234, 238));
  // Pull cord and toggle.
  const QColor cord(240, 122, 20);
  const qreal cordTop = c.y() + 40, toggleTop = 248;
  if (!failed) {
    p.setPen(QPen(cord.darker(160), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x(), cordTop), QPointF(c.x(), toggleTop + 4));
    p.setPen(QPen(cord, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x(), cordTop), QPointF(c.x(), toggleTop + 4));
    p.setPen(QPen(cord.darker(140), 1.5));
    for (qreal y = cordTop + 6; y < toggleTop; y += 7) p.drawLine(QPointF(c.x() - 2.5, y), QPointF(c.x() + 2.5, y + 4));
    const QRectF toggle(c.x() - 22, toggleTop, 44, 48);
    paintShadow(p, roundedRect(toggle, 16), QPointF(2, 4), 3, 140);
    p.setPen(QPen(QColor(90, 8, 8), 1.5));
    p.setBrush(horizontal(toggle, {{0.0, QColor(150, 16, 16)}, {0.35, QColor(236, 70, 60)}, {1.0, QColor(120, 10, 10)}}));
    p.drawPath(roundedRect(toggle, 16));
    p.setPen(QPen(QColor(110, 10, 10), 2));
    for (int i = 1; i < 4; ++i) p.drawLine(QPointF(toggle.left() + 6, toggle.top() + i * 12), QPointF(toggle.right() - 6, toggle.top() + i * 12));
  } else {
    // The cord has torn off a short way below the valve: a frayed stub and nothing to pull.
    const qreal end = cordTop + 34;
    p.setPen(QPen(cord.darker(160), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x(), cordTop), QPointF(c.x(), end));
    p.setPen(QPen(cord, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x(), cordTop), QPointF(c.x(), end));
    p.setPen(QPen(cord, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = -3; i <= 3; ++i) p.drawLine(QPointF(c.x() + i * 0.8, end), QPointF(c.x() + i * 3.2, end + 10 + (i % 2) * 4));
    // The cap is cracked through and one rib broken out.
    QPainterPath crack;
    crack.moveTo(c.x() - 70, c.y() - 30);
    crack.lineTo(c.x() - 38, c.y() - 18);
    crack.lineTo(c.x() - 22, c.y() - 30);
    crack.lineTo(c.x() - 2, c.y() - 6);
    crack.lineTo(c.x() + 18, c.y() - 12);
    crack.lineTo(c.x() + 30, c.y() + 16);
    crack.lineTo(c.x() + 66, c.y() + 34);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 236, 240, 200), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(crack);
    p.setPen(QPen(QColor(0, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(crack);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(6, 6, 8));
    p.save();
    p.translate(c);
    p.rotate(120);
    p.drawPath(roundedRect(QRectF(-9, -66, 18, 28), 3));
    p.restore();
    // Warning tag where the toggle should hang.
    outlinedText(p, QRectF(10, 248, 220, 48), QStringLiteral("FAILED"), sansFont(34, true, 1),
                 kWarningRed, QColor(255, 255, 255, 230), 5);
  }
}

// ---------------------------------------------------------------- manual injectors

namespace {

// The manual addition valve's chrome housing with its gas feed hose, design 262 x 262.
void paintInjectorHousing(QPainter& p, const QPointF& c) {
  QPainterPath feed;
  feed.moveTo(c.x(), c.y() + 80);
  feed.cubicTo(c.x(), c.y() + 120, c.x() + 6, 250, c.x() + 10, 290);
  paintHose(p, feed, 28, QColor(32, 34, 38), 0);
  paintNut(p, QRectF(c.x() - 20, c.y() + 92, 40, 24));
  paintShadow(p, circle(c, 100), QPointF(3, 6), 6, 150);
  QRadialGradient ring(c.x() - 40, c.y() - 50, 170);
  ring.setColorAt(0.0, QColor(250, 251, 252));
  ring.setColorAt(0.45, QColor(170, 176, 184));
  ring.setColorAt(1.0, QColor(70, 76, 84));
  p.setPen(QPen(QColor(40, 44, 50), 1.8));
  p.setBrush(ring);
  p.drawPath(circle(c, 100));
  // Knurled grip around the rim.
  p.setPen(QPen(QColor(90, 96, 104), 1.4));
  for (int i = 0; i < 72; ++i) {
    const qreal a = qDegreesToRadians(i * 5.0);
    p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * 88, c + QPointF(std::cos(a), std::sin(a)) * 98);
  }
  p.setBrush(QColor(22, 24, 28));
  p.setPen(QPen(QColor(10, 10, 12), 1.5));
  p.drawPath(circle(c, 80));
}

}  // namespace

void paintInjectorButton(QPainter& p, QSize size, Gas gas) {
  begin(p, size, QSizeF(262, 262));
  const QPointF c(131, 124);
  paintInjectorHousing(p, c);
  const bool o2 = gas == Gas::Oxygen;
  // The push button, in the gas's colours.
  paintShadow(p, circle(c, 72), QPointF(0, 5), 4, 170);
  QRadialGradient cap(c.x() - 22, c.y() - 26, 100);
  if (o2) {
    cap.setColorAt(0.0, QColor(255, 255, 255));
    cap.setColorAt(0.7, QColor(226, 230, 232));
    cap.setColorAt(1.0, QColor(160, 166, 170));
  } else {
    cap.setColorAt(0.0, QColor(110, 114, 120));
    cap.setColorAt(0.7, kDiluentBlack);
    cap.setColorAt(1.0, QColor(16, 17, 19));
  }
  p.setPen(QPen(QColor(20, 22, 24), 1.8));
  p.setBrush(cap);
  p.drawPath(circle(c, 72));
  // Coloured band inside the cap edge: green for oxygen, grey for diluent.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(o2 ? kOxygenGreen : QColor(150, 154, 160), 10));
  p.drawPath(circle(c, 60));
  centredText(p, QRectF(c.x() - 60, c.y() - 40, 120, 80), o2 ? QStringLiteral("O₂") : QStringLiteral("DIL"),
              sansFont(o2 ? 58 : 44, true), o2 ? kOxygenGreen : QColor(236, 238, 240));
}

void paintInjectorMissing(QPainter& p, QSize size) {
  begin(p, size, QSizeF(262, 262));
  const QPointF c(131, 124);
  paintInjectorHousing(p, c);
  // The button is gone: an empty threaded socket, the bare valve stem and its spring.
  QRadialGradient hole(c, 80);
  hole.setColorAt(0.0, QColor(6, 6, 8));
  hole.setColorAt(0.8, QColor(26, 28, 32));
  hole.setColorAt(1.0, QColor(60, 64, 70));
  p.setPen(Qt::NoPen);
  p.setBrush(hole);
  p.drawPath(circle(c, 78));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 5; ++i) {
    p.setPen(QPen(QColor(150, 156, 164, 200 - i * 30), 2.0));
    p.drawArc(QRectF(c.x() - 74 + i * 4, c.y() - 74 + i * 4, 148 - i * 8, 148 - i * 8), 30 * 16, 240 * 16);
  }
  p.setPen(QPen(QColor(170, 176, 184), 3.0));
  for (qreal r : {30.0, 38.0, 46.0}) p.drawEllipse(c, r, r);
  QRadialGradient stem(c.x() - 4, c.y() - 4, 18);
  stem.setColorAt(0.0, QColor(250, 250, 252));
  stem.setColorAt(1.0, QColor(110, 116, 124));
  p.setPen(QPen(QColor(30, 32, 36), 1.5));
  p.setBrush(stem);
  p.drawEllipse(c, 14.0, 14.0);
  // Scratches where the button was wrenched off.
  p.setPen(QPen(QColor(255, 255, 255, 170), 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(58, -70), c + QPointF(76, -44));
  p.drawLine(c + QPointF(64, -72), c + QPointF(80, -52));
  p.drawLine(c + QPointF(-82, 30), c + QPointF(-70, 56));
  outlinedText(p, QRectF(0, 214, 262, 44), QStringLiteral("MISSING"), sansFont(32, true, 1),
               kWarningRed, QColor(255, 255, 255, 230), 5);
}

// ---------------------------------------------------------------- cylinder valves

void paintCylinderValve(QPainter& p, QSize size, Gas gas) {
  begin(p, size, QSizeF(278, 264));
  const bool o2 = gas == Gas::Oxygen;
  // The cylinder: shoulder and top of the body. The shoulder stays light so the valve's
  // state, written over it when the valve is turned, can be read.
  QPainterPath cyl;
  cyl.moveTo(34, 290);
  cyl.lineTo(34, 176);
  cyl.cubicTo(34, 128, 90, 112, 112, 110);
  cyl.lineTo(166, 110);
  cyl.cubicTo(188, 112, 244, 128, 244, 176);
  cyl.lineTo(244, 290);
  cyl.closeSubpath();
  paintShadow(p, cyl, QPointF(4, 6), 6, 130);
  const QRectF cb = cyl.boundingRect();
  const QColor shoulder = o2 ? QColor(250, 250, 250) : QColor(206, 209, 213);
  p.setPen(QPen(QColor(60, 64, 70), 1.8));
  p.setBrush(horizontal(cb, {{0.0, shoulder.darker(150)}, {0.3, shoulder}, {0.5, shoulder.lighter(104)}, {1.0, shoulder.darker(170)}}));
  p.drawPath(cyl);
  // Body band below the shoulder, with the gas name.
  const QColor bodyColour = o2 ? kOxygenGreen : kDiluentBlack;
  p.save();
  p.setClipPath(cyl);
  const QRectF band(0, 190, 278, 80);
  p.setPen(Qt::NoPen);
  p.setBrush(horizontal(cb, {{0.0, bodyColour.darker(180)}, {0.3, bodyColour.lighter(125)}, {1.0, bodyColour.darker(200)}}));
  p.drawRect(band);
  p.setPen(QPen(QColor(0, 0, 0, 90), 2));
  p.drawLine(QPointF(0, 190), QPointF(278, 190));
  p.restore();
  centredText(p, QRectF(34, 196, 210, 62), o2 ? QStringLiteral("OXYGEN") : QStringLiteral("DILUENT"),
              sansFont(34, true, 2), Qt::white);
  // Valve: body, outlet to the regulator, burst disc, stem and hand wheel.
  const QRectF body(106, 50, 66, 62);
  paintNut(p, QRectF(172, 60, 26, 30));
  p.setPen(QPen(QColor(50, 54, 60), 1.5));
  p.setBrush(chrome(QRectF(196, 64, 36, 22)));
  p.drawPath(roundedRect(QRectF(196, 64, 36, 22), 4));
  paintNut(p, QRectF(88, 64, 18, 22));
  p.setBrush(chrome(body));
  p.drawPath(roundedRect(body, 8));
  p.setBrush(chrome(QRectF(128, 36, 22, 16)));
  p.drawRect(QRectF(128, 36, 22, 16));
  const QRectF wheel(78, 6, 122, 36);
  paintShadow(p, roundedRect(wheel, 12), QPointF(2, 4), 3, 140);
  p.setPen(QPen(QColor(8, 8, 10), 1.6));
  p.setBrush(horizontal(wheel, {{0.0, QColor(20, 21, 24)}, {0.3, QColor(92, 98, 106)}, {0.6, QColor(36, 38, 42)}, {1.0, QColor(14, 15, 17)}}));
  p.drawPath(roundedRect(wheel, 12));
  p.setPen(QPen(QColor(8, 8, 10), 2.4));
  for (int i = 1; i < 12; ++i) {
    const qreal x = wheel.left() + i * wheel.width() / 12;
    p.drawLine(QPointF(x, wheel.top() + 4), QPointF(x, wheel.bottom() - 4));
  }
  // Coloured cap on the wheel: the gas at a glance from above.
  p.setPen(QPen(QColor(20, 22, 24), 1.2));
  p.setBrush(o2 ? QColor(250, 250, 250) : QColor(60, 62, 66));
  p.drawPath(roundedRect(QRectF(118, 14, 42, 20), 6));
  centredText(p, QRectF(118, 14, 42, 20), o2 ? QStringLiteral("O₂") : QStringLiteral("DIL"),
              sansFont(o2 ? 16 : 13, true), o2 ? kOxygenGreen : QColor(230, 232, 236));
}

// ---------------------------------------------------------------- ADV

void paintAdvButton(QPainter& p, QSize size) {
  begin(p, size, QSizeF(200, 192));
  const QPointF c(92, 98);
  // Diluent feed coming in from the side.
  QPainterPath feed;
  feed.moveTo(170, 98);
  feed.cubicTo(196, 98, 200, 60, 216, 40);
  paintHose(p, feed, 20, QColor(32, 34, 38), 0);
  paintNut(p, QRectF(160, 84, 26, 28));
  // Housing and the rubber button.
  paintShadow(p, circle(c, 82), QPointF(3, 5), 5, 150);
  QRadialGradient housing(c.x() - 30, c.y() - 36, 130);
  housing.setColorAt(0.0, QColor(120, 126, 134));
  housing.setColorAt(1.0, QColor(30, 32, 36));
  p.setPen(QPen(QColor(8, 8, 10), 1.8));
  p.setBrush(housing);
  p.drawPath(circle(c, 82));
  p.setBrush(QColor(14, 15, 17));
  p.drawPath(circle(c, 64));
  paintShadow(p, circle(c, 56), QPointF(0, 4), 3, 170);
  QRadialGradient button(c.x() - 16, c.y() - 20, 76);
  button.setColorAt(0.0, QColor(104, 108, 116));
  button.setColorAt(0.7, QColor(40, 42, 46));
  button.setColorAt(1.0, QColor(18, 19, 21));
  p.setBrush(button);
  p.drawPath(circle(c, 56));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(150, 156, 164), 3));
  p.drawPath(circle(c, 46));
  centredText(p, QRectF(c.x() - 46, c.y() - 24, 92, 48), QStringLiteral("ADV"), sansFont(32, true, 1),
              QColor(240, 242, 244));
}

// ---------------------------------------------------------------- club and device

void paintClubLogo(QPainter& p, QSize size, bool withName) {
  const QSizeF design = withName ? QSizeF(144, 218) : QSizeF(160, 160);
  begin(p, size, design);
  const QPointF c = withName ? QPointF(72, 72) : QPointF(80, 80);
  const qreal r = withName ? 64 : 72;
  paintShadow(p, circle(c, r), QPointF(2, 4), 4, 130);
  p.setPen(QPen(QColor(0, 0, 30), 1.5));
  p.setBrush(kNavy);
  p.drawPath(circle(c, r));
  // Sea inside the ring, with the diver-down flag flying above the waves.
  const qreal in = r - 9;
  p.save();
  p.setClipPath(circle(c, in));
  p.fillRect(QRectF(c.x() - in, c.y() - in, 2 * in, 2 * in),
             vertical(QRectF(c.x() - in, c.y() - in, 2 * in, 2 * in),
                      {{0.0, QColor(210, 236, 255)}, {0.55, QColor(120, 190, 240)}, {0.56, QColor(20, 100, 180)}, {1.0, QColor(6, 40, 100)}}));
  const QRectF flag(c.x() - in * 0.42, c.y() - in * 0.72, in * 0.92, in * 0.62);
  p.setPen(QPen(QColor(60, 40, 30), 3));
  p.drawLine(QPointF(flag.left(), flag.top() - 2), QPointF(flag.left(), c.y() + in * 0.12));
  p.setPen(QPen(QColor(90, 10, 10), 1.2));
  p.setBrush(QColor(214, 30, 36));
  p.drawRect(flag);
  p.setClipRect(flag, Qt::IntersectClip);
  p.setPen(QPen(Qt::white, flag.height() * 0.24));
  p.drawLine(flag.topLeft(), flag.bottomRight());
  p.setClipPath(circle(c, in));
  p.setBrush(Qt::NoBrush);
  for (int k = 0; k < 3; ++k) {
    QPainterPath wave;
    const qreal y = c.y() + in * (0.22 + 0.22 * k);
    wave.moveTo(c.x() - in, y);
    for (int i = 0; i < 4; ++i) {
      const qreal x0 = c.x() - in + i * in / 2;
      wave.cubicTo(x0 + in / 8, y - 7, x0 + in * 3 / 8, y + 7, x0 + in / 2, y);
    }
    p.setPen(QPen(QColor(255, 255, 255, 200 - 50 * k), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);
  }
  p.restore();
  if (withName) {
    centredText(p, QRectF(0, 142, 144, 36), QStringLiteral("ORVANE"), sansFont(28, true, 1.5), kNavy);
    centredText(p, QRectF(0, 176, 144, 20), QStringLiteral("DIVING CLUB"), sansFont(14, true, 2.2), kNavy);
    p.setPen(QPen(kWarningRed, 2.5));
    p.drawLine(QPointF(30, 202), QPointF(114, 202));
  }
}

void paintDeviceSplash(QPainter& p, QSize size) {
  begin(p, size, QSizeF(160, 160));
  p.save();
  const qreal s = 150.0 / kHandsetSize.width();
  p.translate(5, 80 - kHandsetSize.height() * s / 2 + 6);
  p.scale(s, s);
  HandsetLook look;
  look.screenText = QStringLiteral("1.30");
  paintHandset(p, look, false);
  p.restore();
}

namespace {

// Rounded tile of the program icons (transparent corners).
void iconTile(QPainter& p, QSize size) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(size.width() / 256.0, size.height() / 256.0);
  const QRectF tile(8, 8, 240, 240);
  paintShadow(p, roundedRect(tile, 46), QPointF(0, 3), 3, 110);
  p.setPen(QPen(QColor(0, 0, 40), 2));
  p.setBrush(vertical(tile, {{0.0, QColor(40, 120, 200)}, {1.0, QColor(4, 26, 72)}}));
  p.drawPath(roundedRect(tile, 46));
}

}  // namespace

void paintProgramIcon(QPainter& p, QSize size) {
  iconTile(p, size);
  const qreal s = 232.0 / kHandsetSize.width();
  p.translate(12, 128 - kHandsetSize.height() * s / 2 + 12);
  p.scale(s, s);
  HandsetLook look;
  look.screenText = QStringLiteral("1.3");
  paintHandset(p, look, false);
}

void paintViewerIcon(QPainter& p, QSize size) {
  iconTile(p, size);
  // A sheet of chart paper with the loop's PO2 trace and the setpoint.
  const QRectF sheet(36, 44, 184, 168);
  paintShadow(p, roundedRect(sheet, 10), QPointF(2, 5), 5, 140);
  p.setPen(QPen(QColor(60, 70, 90), 1.5));
  p.setBrush(QColor(252, 252, 246));
  p.drawPath(roundedRect(sheet, 10));
  p.setPen(QPen(QColor(200, 210, 224), 1.2));
  for (int i = 1; i < 6; ++i) p.drawLine(QPointF(sheet.left() + 16, sheet.top() + i * 26), QPointF(sheet.right() - 12, sheet.top() + i * 26));
  for (int i = 1; i < 7; ++i) p.drawLine(QPointF(sheet.left() + 16 + i * 26, sheet.top() + 12), QPointF(sheet.left() + 16 + i * 26, sheet.bottom() - 16));
  p.setPen(QPen(kNavy, 3, Qt::SolidLine, Qt::SquareCap));
  p.drawLine(QPointF(sheet.left() + 16, sheet.top() + 12), QPointF(sheet.left() + 16, sheet.bottom() - 16));
  p.drawLine(QPointF(sheet.left() + 16, sheet.bottom() - 16), QPointF(sheet.right() - 12, sheet.bottom() - 16));
  p.setPen(QPen(QColor(30, 150, 60), 3, Qt::DashLine));
  p.drawLine(QPointF(sheet.left() + 20, sheet.top() + 60), QPointF(sheet.right() - 14, sheet.top() + 60));
  QPainterPath trace;
  trace.moveTo(sheet.left() + 18, sheet.bottom() - 40);
  trace.cubicTo(sheet.left() + 50, sheet.bottom() - 44, sheet.left() + 60, sheet.top() + 50, sheet.left() + 84, sheet.top() + 66);
  trace.cubicTo(sheet.left() + 104, sheet.top() + 78, sheet.left() + 110, sheet.top() + 46, sheet.left() + 130, sheet.top() + 58);
  trace.cubicTo(sheet.left() + 148, sheet.top() + 70, sheet.left() + 156, sheet.top() + 52, sheet.right() - 14, sheet.top() + 62);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(210, 30, 30), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(trace);
}

}  // namespace artgen
