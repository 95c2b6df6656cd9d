#pragma once
// Drawing helpers shared by the pictures: the common backdrop, soft shadows, metal and
// rubber finishes, text. Everything is drawn with QPainter from fixed numbers, so the
// pictures come out the same on every build.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace artgen {

// The backdrop behind every piece of equipment: a cool, pale grey-blue, like a studio
// photograph. It stands clear of the window's yellow without fighting it.
void paintBackdrop(QPainter& p, const QRectF& r);

// A soft drop shadow of `path`, blurred by `radius` pixels and moved by `offset`.
void paintShadow(QPainter& p, const QPainterPath& path, QPointF offset, int radius, int alpha);

// Vertical gradient over `r` through the given stops (position, colour).
QLinearGradient vertical(const QRectF& r, std::initializer_list<std::pair<qreal, QColor>> stops);
QLinearGradient horizontal(const QRectF& r, std::initializer_list<std::pair<qreal, QColor>> stops);

// Brushed stainless steel, lit from above; `pressed` lights it from below (pushed in).
QLinearGradient steel(const QRectF& r, bool pressed = false);
// Chrome (a harder, more contrasted metal).
QLinearGradient chrome(const QRectF& r);

QFont sansFont(qreal pixelSize, bool bold = true, qreal letterSpacing = 0);

// Text centred in `r`.
void centredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                 const QColor& colour);

QPainterPath roundedRect(const QRectF& r, qreal radius);
QPainterPath ellipse(const QRectF& r);

// A screw head with a cross slot.
void paintScrew(QPainter& p, QPointF centre, qreal radius, qreal angleDegrees);

// A corrugated hose along the centre line `path`, `width` thick, one rib every `ribPitch`
// pixels (0: a smooth hose).
void paintHose(QPainter& p, const QPainterPath& path, qreal width, const QColor& colour,
               qreal ribPitch);

}  // namespace artgen
