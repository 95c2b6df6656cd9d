#include "Handset.h"

#include <QtMath>

#include "Paint.h"

namespace artgen {
namespace {

// The handset pictures lie at (120, 240) twips in the "Electronics" frame, 6180 x 4800
// twips. The screen rectangle, the text label and the transparent button and switch areas
// of the main window lie on top of the picture, so the drawing puts the screen window,
// the buttons and the switch exactly under them. Positions are taken in twips in the frame
// (left handset) and turned into picture pixels: 15 twips are one screen pixel at 96 dpi,
// and the file has twice the screen's pixels.
constexpr double kScale = 2.0 / 15.0;
QRectF fromTwips(double left, double top, double width, double height) {
  return QRectF((left - 120) * kScale, (top - 240) * kScale, width * kScale, height * kScale);
}

// Backlight rectangle `Shape1` (the screen window); `Label14`, the text, lies inside it.
const QRectF kScreen = fromTwips(1320, 1730, 3960, 1095);
// Left button `Label8` (right handset `Label11`, the same place).
const QRectF kLeftArea = fromTwips(1080, 2880, 495, 1335);
// Middle button: the part common to `Label10` (2880 to 3975) and the right handset's
// `Label12` (3000 to 3975), so the button is under the area on both handsets.
const QRectF kMiddleArea = fromTwips(2760, 3000, 1215, 975);
// Right button: common part of `Label9` (1455 high) and the right handset's `Label13`
// (1335 high).
const QRectF kRightArea = fromTwips(4680, 2880, 615, 1335);
// The two-button areas between the buttons: `Label18` (both outer) and `Label19` (both
// right); and the hardware switch `LHOO`.
const QRectF kOuterPairArea = fromTwips(1800, 3120, 855, 855);
const QRectF kRightPairArea = fromTwips(4080, 3240, 495, 855);
const QRectF kSwitchArea = fromTwips(1920, 4080, 1335, 615);

const QRectF kBody(88, 96, 648, 528);
const QColor kAmber(255, 174, 0);

QRectF leftButtonFace() { return kLeftArea.adjusted(6, 6, -6, -6); }
QRectF rightButtonFace() { return kRightArea.adjusted(6, 6, -6, -6); }
QRectF middleButtonFace() {
  const QPointF c = kMiddleArea.center();
  return QRectF(c.x() - 72, c.y() - 57, 144, 114);
}

QPainterPath capsule(const QRectF& r) { return roundedRect(r, std::min(r.width(), r.height()) / 2); }

void paintCable(QPainter& p) {
  const qreal cx = kBody.center().x();
  // Cable up to the rebreather's head, leaving the picture at the top.
  QPainterPath cable;
  cable.moveTo(cx, 70);
  cable.cubicTo(cx, 40, cx + 6, 20, cx + 18, -10);
  paintHose(p, cable, 26, QColor(34, 36, 40), 0);
  // Rubber strain relief boot with rings.
  QPainterPath boot;
  boot.moveTo(cx - 22, 58);
  boot.lineTo(cx + 22, 58);
  boot.lineTo(cx + 36, kBody.top() + 6);
  boot.lineTo(cx - 36, kBody.top() + 6);
  boot.closeSubpath();
  p.save();
  p.setPen(QPen(QColor(12, 13, 15), 1.5));
  p.setBrush(horizontal(boot.boundingRect(), {{0.0, QColor(30, 32, 36)},
                                              {0.35, QColor(78, 83, 90)},
                                              {1.0, QColor(24, 26, 29)}}));
  p.drawPath(boot);
  for (int i = 0; i < 4; ++i) {
    const qreal y = 64 + i * 8.5;
    const qreal half = 22 + (y - 58) * (14.0 / (kBody.top() + 6 - 58));
    p.setPen(QPen(QColor(14, 15, 17), 2.2));
    p.drawLine(QPointF(cx - half + 2, y), QPointF(cx + half - 2, y));
  }
  p.restore();
}

void paintBody(QPainter& p) {
  const QPainterPath outer = roundedRect(kBody, 62);
  paintShadow(p, outer, QPointF(7, 11), 12, 120);
  p.save();
  p.setPen(QPen(QColor(10, 11, 13), 2));
  // Rubber bumper around the electronics housing.
  p.setBrush(vertical(kBody, {{0.0, QColor(76, 82, 90)},
                              {0.08, QColor(58, 63, 70)},
                              {1.0, QColor(26, 28, 32)}}));
  p.drawPath(outer);
  // The housing's face, a little recessed inside the bumper.
  const QRectF face = kBody.adjusted(16, 16, -16, -16);
  p.setPen(QPen(QColor(16, 17, 20), 1.5));
  p.setBrush(vertical(face, {{0.0, QColor(60, 65, 72)}, {1.0, QColor(36, 39, 44)}}));
  p.drawPath(roundedRect(face, 48));
  // A thin light catch along the upper rim.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(140, 148, 158, 120), 2));
  p.drawArc(QRectF(face.left() + 2, face.top() + 2, 96, 96), 90 * 16, 90 * 16);
  p.drawLine(QPointF(face.left() + 50, face.top() + 2), QPointF(face.right() - 50, face.top() + 2));
  p.drawArc(QRectF(face.right() - 98, face.top() + 2, 96, 96), 0, 90 * 16);
  p.restore();

  paintScrew(p, QPointF(kBody.left() + 40, kBody.top() + 40), 9, 20);
  paintScrew(p, QPointF(kBody.right() - 40, kBody.top() + 40), 9, 65);
  paintScrew(p, QPointF(kBody.left() + 40, kBody.bottom() - 40), 9, 40);
  paintScrew(p, QPointF(kBody.right() - 40, kBody.bottom() - 40), 9, 10);

  // Maker's name above the screen.
  centredText(p, QRectF(kBody.left(), kBody.top() + 22, kBody.width(), 44),
              QStringLiteral("PELAGRINOVA"), sansFont(25, true, 5), QColor(214, 219, 225));
  centredText(p, QRectF(kBody.left(), kBody.top() + 58, kBody.width(), 20),
              QStringLiteral("CCR  OXYGEN  CONTROLLER"), sansFont(12, false, 2.5),
              QColor(150, 158, 168));
}

void paintScreen(QPainter& p, const HandsetLook& look) {
  const QRectF bezel = kScreen.adjusted(-18, -17, 18, 17);
  p.save();
  p.setPen(QPen(QColor(6, 6, 8), 1.5));
  p.setBrush(vertical(bezel, {{0.0, QColor(8, 9, 10)}, {1.0, QColor(30, 32, 36)}}));
  p.drawPath(roundedRect(bezel, 14));
  // Inner step of the bezel, then the glass.
  p.setPen(QPen(QColor(70, 76, 84), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(roundedRect(kScreen.adjusted(-3.5, -3.5, 3.5, 3.5), 4));
  const bool lit = look.switchOn;
  p.setPen(Qt::NoPen);
  p.setBrush(lit ? vertical(kScreen, {{0.0, QColor(0, 70, 0)}, {1.0, QColor(0, 58, 0)}})
                 : vertical(kScreen, {{0.0, QColor(34, 40, 36)}, {1.0, QColor(24, 29, 26)}}));
  p.drawRect(kScreen);
  if (!look.screenText.isEmpty()) {
    centredText(p, kScreen, look.screenText, sansFont(kScreen.height() * 0.42, true),
                QColor(150, 255, 150));
  }
  // A faint reflection across the glass.
  QPainterPath glare;
  glare.moveTo(kScreen.left(), kScreen.top());
  glare.lineTo(kScreen.left() + kScreen.width() * 0.42, kScreen.top());
  glare.lineTo(kScreen.left() + kScreen.width() * 0.22, kScreen.bottom());
  glare.lineTo(kScreen.left(), kScreen.bottom());
  glare.closeSubpath();
  p.setBrush(QColor(255, 255, 255, lit ? 14 : 22));
  p.drawPath(glare);
  p.restore();
}

enum class Mark { Power, Ring, Ribs };

void paintButton(QPainter& p, const QPainterPath& face, bool pressed, Mark mark) {
  const QRectF r = face.boundingRect();
  p.save();
  // Dark socket the button sits in.
  QPainterPathStroker grow;
  grow.setWidth(14);
  grow.setJoinStyle(Qt::RoundJoin);
  const QPainterPath socket = grow.createStroke(face).united(face);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(12, 13, 15));
  p.drawPath(socket);
  p.setPen(QPen(QColor(96, 104, 114, 150), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawPath(socket.translated(0, 1.5));

  QPainterPath top = face;
  if (pressed) {
    // Pushed in: smaller, lower, lit from below, with the socket's shadow on its upper edge.
    QTransform t;
    t.translate(r.center().x(), r.center().y() + 3);
    t.scale((r.width() - 6) / r.width(), (r.height() - 6) / r.height());
    t.translate(-r.center().x(), -r.center().y());
    top = t.map(face);
  } else {
    paintShadow(p, face, QPointF(0, 5), 4, 170);
  }
  const QRectF tr = top.boundingRect();
  p.setPen(QPen(QColor(40, 44, 48), 1.5));
  p.setBrush(steel(tr, pressed));
  p.drawPath(top);
  if (pressed) {
    p.save();
    p.setClipPath(top);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(QRectF(tr.left(), tr.top(), tr.width(), 22),
                        {{0.0, QColor(0, 0, 0, 150)}, {1.0, QColor(0, 0, 0, 0)}}));
    p.drawRect(QRectF(tr.left(), tr.top(), tr.width(), 22));
    p.restore();
  } else {
    // Specular highlight near the top.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(QRectF(tr.left() + tr.width() * 0.22, tr.top() + 4, tr.width() * 0.56,
                         std::min(18.0, tr.height() * 0.14)));
  }
  // Engraving.
  const QPointF c = tr.center();
  const QColor ink = pressed ? QColor(48, 52, 58) : QColor(62, 68, 76);
  p.setBrush(Qt::NoBrush);
  switch (mark) {
    case Mark::Power: {
      const qreal rad = std::min(tr.width(), tr.height()) * 0.27;
      p.setPen(QPen(ink, 3.6, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(c.x() - rad, c.y() - rad, 2 * rad, 2 * rad), 60 * 16, -300 * 16);
      p.drawLine(QPointF(c.x(), c.y() - rad * 1.25), QPointF(c.x(), c.y() - rad * 0.15));
      break;
    }
    case Mark::Ring: {
      p.setPen(QPen(ink, 3.0));
      p.drawEllipse(c, 17.0, 17.0);
      break;
    }
    case Mark::Ribs: {
      p.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::RoundCap));
      for (int i = -1; i <= 1; ++i) {
        p.drawLine(QPointF(c.x() - tr.width() * 0.22, c.y() + i * 14),
                   QPointF(c.x() + tr.width() * 0.22, c.y() + i * 14));
      }
      break;
    }
  }
  p.restore();
}

void paintSwitch(QPainter& p, bool on) {
  const QRectF slot(kSwitchArea.left() + 12, kSwitchArea.top() + 18, kSwitchArea.width() - 24, 46);
  p.save();
  p.setPen(QPen(QColor(100, 108, 118, 160), 1.5));
  p.setBrush(QColor(10, 11, 12));
  p.drawPath(capsule(slot.translated(0, 1.5)));
  p.setPen(Qt::NoPen);
  p.setBrush(vertical(slot, {{0.0, QColor(0, 0, 0)}, {1.0, QColor(26, 28, 31)}}));
  p.drawPath(capsule(slot));
  // The knob: ribbed orange rubber, left for off, right for on.
  const qreal kw = 74;
  const QRectF knob(on ? slot.right() - kw - 4 : slot.left() + 4, slot.top() + 4, kw,
                    slot.height() - 8);
  paintShadow(p, capsule(knob), QPointF(0, 3), 3, 160);
  p.setPen(QPen(QColor(90, 30, 6), 1.5));
  p.setBrush(vertical(knob, {{0.0, QColor(255, 150, 80)},
                             {0.45, QColor(232, 96, 30)},
                             {1.0, QColor(150, 52, 14)}}));
  p.drawPath(capsule(knob));
  p.setPen(QPen(QColor(120, 40, 10), 2.4, Qt::SolidLine, Qt::RoundCap));
  for (int i = -2; i <= 2; ++i) {
    const qreal x = knob.center().x() + i * 9;
    p.drawLine(QPointF(x, knob.top() + 8), QPointF(x, knob.bottom() - 8));
  }
  // Printed positions either side of the slot.
  const QColor print(200, 206, 214);
  p.setFont(sansFont(17, true, 1));
  p.setPen(on ? print.darker(150) : print);
  p.drawText(QRectF(slot.left() - 66, slot.top(), 58, slot.height()),
             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("OFF"));
  p.setPen(on ? print : print.darker(150));
  p.drawText(QRectF(slot.right() + 9, slot.top(), 50, slot.height()),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ON"));
  // Power lamp.
  const QPointF lamp(slot.right() + 74, slot.center().y());
  if (on) {
    QRadialGradient glow(lamp, 22);
    glow.setColorAt(0.0, QColor(120, 255, 140, 170));
    glow.setColorAt(1.0, QColor(120, 255, 140, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(lamp, 22.0, 22.0);
  }
  QRadialGradient bulb(lamp.x() - 2, lamp.y() - 2, 8);
  bulb.setColorAt(0.0, on ? QColor(225, 255, 225) : QColor(70, 92, 74));
  bulb.setColorAt(1.0, on ? QColor(40, 210, 70) : QColor(24, 40, 28));
  p.setPen(QPen(QColor(10, 12, 10), 1.2));
  p.setBrush(bulb);
  p.drawEllipse(lamp, 7.5, 7.5);
  p.restore();
}

// The pair a click would press: both buttons ringed and joined through the area the
// pointer is over.
void paintHighlight(QPainter& p, Pair pair) {
  if (pair == Pair::None) return;
  p.save();
  QPainterPath rings, link;
  QPainterPathStroker grow;
  grow.setWidth(30);
  grow.setJoinStyle(Qt::RoundJoin);
  auto ringAround = [&](const QPainterPath& face) {
    return grow.createStroke(face).united(face);
  };
  QPointF badge;
  if (pair == Pair::Outers) {
    rings.addPath(ringAround(capsule(leftButtonFace())));
    rings.addPath(ringAround(capsule(rightButtonFace())));
    const qreal y = kOuterPairArea.center().y();
    const qreal low = middleButtonFace().bottom() + 16;
    badge = kOuterPairArea.center();
    link.moveTo(leftButtonFace().right() + 14, y);
    link.lineTo(badge);
    link.cubicTo(badge.x() + 40, y, middleButtonFace().left() - 20, low,
                 middleButtonFace().center().x() - 40, low);
    link.lineTo(middleButtonFace().center().x() + 40, low);
    link.cubicTo(middleButtonFace().right() + 30, low, rightButtonFace().left() - 40,
                 rightButtonFace().center().y() + 10, rightButtonFace().left() - 14,
                 rightButtonFace().center().y() + 10);
  } else {
    rings.addPath(ringAround(ellipse(middleButtonFace())));
    rings.addPath(ringAround(capsule(rightButtonFace())));
    badge = kRightPairArea.center();
    link.moveTo(middleButtonFace().right() + 12, middleButtonFace().center().y() + 10);
    link.quadTo(badge.x() - 14, badge.y(), badge.x(), badge.y());
    link.quadTo(badge.x() + 14, badge.y(), rightButtonFace().left() - 14, badge.y() - 6);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 24, 0, 200), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(rings);
  p.drawPath(link);
  p.setPen(QPen(kAmber, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(rings);
  p.drawPath(link);
  // "Both" badge at the pointer's area.
  p.setPen(QPen(QColor(40, 24, 0), 2.5));
  p.setBrush(kAmber);
  p.drawEllipse(badge, 17.0, 17.0);
  p.setPen(QPen(QColor(40, 24, 0), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(badge + QPointF(-8, 0), badge + QPointF(8, 0));
  p.drawLine(badge + QPointF(0, -8), badge + QPointF(0, 8));
  p.restore();
}

}  // namespace

QRectF handsetScreen() { return kScreen; }
QRectF handsetLeftButton() { return leftButtonFace(); }
QRectF handsetMiddleButton() { return middleButtonFace(); }
QRectF handsetRightButton() { return rightButtonFace(); }
QRectF handsetSwitch() { return kSwitchArea; }

void paintHandset(QPainter& p, const HandsetLook& look, bool withBackdrop) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  if (withBackdrop) paintBackdrop(p, QRectF(QPointF(0, 0), QSizeF(kHandsetSize)));
  paintCable(p);
  paintBody(p);
  paintScreen(p, look);
  paintButton(p, capsule(leftButtonFace()), look.leftPressed, Mark::Power);
  paintButton(p, ellipse(middleButtonFace()), look.middlePressed, Mark::Ring);
  paintButton(p, capsule(rightButtonFace()), look.rightPressed, Mark::Ribs);
  paintSwitch(p, look.switchOn);
  paintHighlight(p, look.highlight);
  p.restore();
}

}  // namespace artgen
