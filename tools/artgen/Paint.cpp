#include "Paint.h"

#include <QtMath>
#include <algorithm>
#include <vector>

namespace artgen {

void paintBackdrop(QPainter& p, const QRectF& r) {
  p.save();
  p.setPen(Qt::NoPen);
  p.fillRect(r, vertical(r, {{0.0, QColor(232, 238, 243)}, {1.0, QColor(184, 199, 212)}}));
  // A broad soft light from the upper left.
  QRadialGradient light(r.left() + r.width() * 0.3, r.top() + r.height() * 0.2,
                        std::max(r.width(), r.height()) * 0.8);
  light.setColorAt(0.0, QColor(255, 255, 255, 70));
  light.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.fillRect(r, light);
  p.restore();
}

namespace {

// Three passes of a box blur approximate a Gaussian blur; only the alpha channel matters
// for a black shadow.
void blurAlpha(std::vector<float>& a, int w, int h, int radius) {
  if (radius <= 0) return;
  std::vector<float> tmp(a.size());
  const float inv = 1.0f / static_cast<float>(2 * radius + 1);
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < h; ++y) {
      float sum = 0;
      for (int x = -radius; x <= radius; ++x) sum += a[y * w + std::clamp(x, 0, w - 1)];
      for (int x = 0; x < w; ++x) {
        tmp[y * w + x] = sum * inv;
        sum += a[y * w + std::min(x + radius + 1, w - 1)] - a[y * w + std::max(x - radius, 0)];
      }
    }
    for (int x = 0; x < w; ++x) {
      float sum = 0;
      for (int y = -radius; y <= radius; ++y) sum += tmp[std::clamp(y, 0, h - 1) * w + x];
      for (int y = 0; y < h; ++y) {
        a[y * w + x] = sum * inv;
        sum += tmp[std::min(y + radius + 1, h - 1) * w + x] - tmp[std::max(y - radius, 0) * w + x];
      }
    }
  }
}

}  // namespace

void paintShadow(QPainter& p, const QPainterPath& path, QPointF offset, int radius, int alpha) {
  const QRectF bounds = p.transform().map(path).boundingRect();
  const int margin = 3 * radius + 2;
  const QRect area = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin);
  QImage mask(area.size(), QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    QPainter m(&mask);
    m.setRenderHint(QPainter::Antialiasing);
    m.translate(-area.topLeft());
    m.setTransform(p.transform(), true);
    m.fillPath(path, QColor(0, 0, 0, 255));
  }
  const int w = mask.width(), h = mask.height();
  std::vector<float> a(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
    for (int x = 0; x < w; ++x) a[y * w + x] = static_cast<float>(qAlpha(line[x]));
  }
  blurAlpha(a, w, h, radius);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int v = std::clamp(static_cast<int>(a[y * w + x] * static_cast<float>(alpha) / 255.0f + 0.5f), 0, 255);
      line[x] = qRgba(0, 0, 0, v);
    }
  }
  const QPointF shift = p.transform().map(offset) - p.transform().map(QPointF());
  p.save();
  p.resetTransform();
  p.drawImage(QPointF(area.topLeft()) + shift, mask);
  p.restore();
}

QLinearGradient vertical(const QRectF& r, std::initializer_list<std::pair<qreal, QColor>> stops) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  for (const auto& [pos, c] : stops) g.setColorAt(pos, c);
  return g;
}

QLinearGradient horizontal(const QRectF& r,
                           std::initializer_list<std::pair<qreal, QColor>> stops) {
  QLinearGradient g(r.topLeft(), r.topRight());
  for (const auto& [pos, c] : stops) g.setColorAt(pos, c);
  return g;
}

QLinearGradient steel(const QRectF& r, bool pressed) {
  if (pressed) {
    return vertical(r, {{0.0, QColor(72, 78, 86)},
                        {0.5, QColor(112, 118, 126)},
                        {1.0, QColor(164, 170, 178)}});
  }
  return vertical(r, {{0.0, QColor(246, 248, 250)},
                      {0.35, QColor(214, 219, 224)},
                      {0.55, QColor(186, 192, 199)},
                      {1.0, QColor(140, 147, 155)}});
}

QLinearGradient chrome(const QRectF& r) {
  return horizontal(r, {{0.0, QColor(120, 126, 134)},
                        {0.22, QColor(245, 247, 250)},
                        {0.45, QColor(160, 166, 174)},
                        {0.7, QColor(222, 226, 231)},
                        {1.0, QColor(102, 108, 116)}});
}

QFont sansFont(qreal pixelSize, bool bold, qreal letterSpacing) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(std::max(1, qRound(pixelSize)));
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setStyleStrategy(QFont::PreferAntialias);
  if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
  return f;
}

void centredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
                 const QColor& colour) {
  p.save();
  p.setFont(font);
  p.setPen(colour);
  p.drawText(r, Qt::AlignCenter, text);
  p.restore();
}

QPainterPath roundedRect(const QRectF& r, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

QPainterPath ellipse(const QRectF& r) {
  QPainterPath path;
  path.addEllipse(r);
  return path;
}

void paintScrew(QPainter& p, QPointF c, qreal radius, qreal angleDegrees) {
  p.save();
  const QRectF r(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
  p.setPen(QPen(QColor(20, 22, 25), 1.2));
  QRadialGradient g(c.x() - radius * 0.35, c.y() - radius * 0.4, radius * 1.6);
  g.setColorAt(0.0, QColor(238, 240, 243));
  g.setColorAt(0.6, QColor(150, 156, 163));
  g.setColorAt(1.0, QColor(88, 94, 101));
  p.setBrush(g);
  p.drawEllipse(r);
  p.translate(c);
  p.rotate(angleDegrees);
  p.setPen(QPen(QColor(40, 43, 47), std::max(1.2, radius * 0.28), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(-radius * 0.6, 0), QPointF(radius * 0.6, 0));
  p.drawLine(QPointF(0, -radius * 0.6), QPointF(0, radius * 0.6));
  p.restore();
}

void paintHose(QPainter& p, const QPainterPath& path, qreal width, const QColor& colour,
               qreal ribPitch) {
  p.save();
  p.setBrush(Qt::NoBrush);
  // Outline, body, then a highlight along the upper side for roundness.
  p.setPen(QPen(colour.darker(250), width + 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(colour.lighter(165), width * 0.22, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  p.drawPath(path.translated(0, -width * 0.22));
  if (ribPitch > 0) {
    const qreal length = path.length();
    for (qreal s = ribPitch * 0.5; s < length; s += ribPitch) {
      const qreal t = path.percentAtLength(s);
      const QPointF pt = path.pointAtPercent(t);
      const qreal angle = qDegreesToRadians(path.angleAtPercent(t));
      // Normal of the centre line (angleAtPercent runs anticlockwise, y grows downwards).
      const QPointF n(std::sin(angle), std::cos(angle));
      const QPointF a = pt + n * (width * 0.5), b = pt - n * (width * 0.5);
      p.setPen(QPen(colour.darker(220), std::max(1.0, ribPitch * 0.28), Qt::SolidLine,
                    Qt::FlatCap));
      p.drawLine(a, b);
      p.setPen(QPen(colour.lighter(140), std::max(0.8, ribPitch * 0.14), Qt::SolidLine,
                    Qt::FlatCap));
      const QPointF shift(std::cos(angle) * ribPitch * 0.25, -std::sin(angle) * ribPitch * 0.25);
      p.drawLine(a + shift, b + shift);
    }
  }
  p.restore();
}

}  // namespace artgen
