#include "debrief/qt/DiveChartView.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QToolTip>
#include <QValueAxis>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace pelasim {
namespace {

// Colours chosen to stay apart for most kinds of colour blindness.
const QColor kRealColour(0x1f, 0x5f, 0xbf);      // true loop PO2: strong blue
const QColor kHandsetColour(0xf0, 0x94, 0x1c);   // handset PO2: orange
const QColor kSetpointColour(0x2e, 0x8b, 0x3e);  // setpoint: green
const QColor kDepthColour(0x6b, 0x4f, 0x3a);     // depth: brown
const QColor kLimitColour(0xd0, 0x20, 0x20);     // PO2 limits and warning flags: red
const QColor kFlagColour(0x44, 0x44, 0x55);      // other status messages: slate
const QColor kCompareColour(0xb0, 0x30, 0x90);   // a second dive laid over the first: magenta

// The mouse finds an event this close to it (px).
constexpr int kFlagReach = 4;
// At most this many messages are listed in one tooltip.
constexpr std::size_t kTipLines = 8;
// Messages longer than this are cut in the readout and tooltips (a damaged file may hold a
// whole megabyte in one item).
constexpr int kLongestShownMessage = 120;

bool isWarning(const std::string& text) { return text.rfind("Warning", 0) == 0; }

QString shownMessage(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(
                                                  std::min<std::size_t>(text.size(), 4 * kLongestShownMessage)));
  if (s.size() > kLongestShownMessage) s = s.left(kLongestShownMessage - 1) + QChar(0x2026);
  return s;
}

// Elapsed time as m:ss, or h:mm:ss from one hour on.
QString clockText(int seconds) {
  const int h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (h > 0)
    return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
  return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

// A step of 1, 2 or 5 times a power of ten, at least `raw`.
double niceStep(double raw) {
  if (!(raw > 0)) return 1;
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (double f : {1.0, 2.0, 5.0, 10.0})
    if (f * p >= raw * (1 - 1e-9)) return f * p;
  return 10 * p;
}

QPen pen(const QColor& c, qreal width, Qt::PenStyle style = Qt::SolidLine) {
  QPen p(c, width, style);
  p.setCapStyle(Qt::FlatCap);
  p.setJoinStyle(Qt::RoundJoin);
  return p;
}

}  // namespace

// Lanes under the time axis, one row each for the trainee's actions, the handset warnings,
// the failures and the bail-outs: a tick for a moment, a bar for a span, and a label beside
// each mark wherever it does not run into the one before it.
class EventLanes : public QGraphicsItem {
 public:
  EventLanes(const QValueAxis* axis) : axis_(axis) {
    setZValue(20);
    setAcceptedMouseButtons(Qt::NoButton);
  }
  void setMarks(const std::vector<debrief::LaneMark>* marks) {
    marks_ = marks;
    update();
  }
  // `area` holds the lane rows; `plotLeft` and `plotRight` are the time axis' ends.
  void place(const QRectF& area, qreal plotLeft, qreal plotRight) {
    prepareGeometryChange();
    area_ = area;
    left_ = plotLeft;
    right_ = plotRight;
    update();
  }
  qreal rowHeight() const { return area_.height() / debrief::kLaneCount; }
  QRectF rowRect(debrief::Lane lane) const {
    return QRectF(area_.left(), area_.top() + static_cast<int>(lane) * rowHeight(), area_.width(), rowHeight());
  }
  qreal xOf(double t) const {
    const double t0 = axis_->min(), t1 = axis_->max();
    return left_ + (t - t0) / std::max(t1 - t0, 1e-9) * (right_ - left_);
  }
  QRectF boundingRect() const override { return area_.adjusted(-2, -2, 2, 2); }
  void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
    if (area_.isEmpty()) return;
    p->setRenderHint(QPainter::Antialiasing, true);
    // Sizes in pixels of the scene, so the labels keep their size against the chart when the
    // scene is drawn onto a page.
    QFont f = p->font();
    f.setPixelSize(10);
    p->setFont(f);
    const QFontMetricsF fm(f);
    for (int i = 0; i < debrief::kLaneCount; ++i) {
      const auto lane = static_cast<debrief::Lane>(i);
      const QRectF row = rowRect(lane);
      p->fillRect(QRectF(left_, row.top(), right_ - left_, row.height()),
                  i % 2 ? QColor(0xf4, 0xf4, 0xf7) : QColor(0xfb, 0xfb, 0xfd));
      p->setPen(QColor(0x70, 0x70, 0x80));
      const auto name = debrief::laneName(lane);
      p->drawText(QRectF(area_.left(), row.top(), left_ - area_.left() - 4, row.height()),
                  Qt::AlignRight | Qt::AlignVCenter,
                  QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    if (!marks_) return;
    const double t0 = axis_->min(), t1 = axis_->max();
    p->setClipRect(QRectF(left_ - 1, area_.top(), right_ - left_ + 2, area_.height()));
    qreal labelEnd = -1e9, lastTick = -1e9;
    int lastLane = -1;
    for (const debrief::LaneMark& m : *marks_) {
      if (m.end < t0 || m.start > t1) continue;
      const int lane = static_cast<int>(m.lane);
      if (lane != lastLane) {
        labelEnd = lastTick = -1e9;
        lastLane = lane;
      }
      const QRectF row = rowRect(m.lane);
      const QColor c = laneColour(m.lane);
      const qreal x0 = xOf(m.start), x1 = xOf(m.end);
      if (m.end > m.start) {
        p->fillRect(QRectF(x0, row.top() + 2, std::max<qreal>(x1 - x0, 1.5), row.height() - 4),
                    QColor(c.red(), c.green(), c.blue(), 150));
      } else if (x0 - lastTick >= 1.0) {
        p->setPen(pen(c, 1.6));
        p->drawLine(QPointF(x0, row.top() + 2), QPointF(x0, row.bottom() - 2));
        lastTick = x0;
      }
      const QString label = QString::fromUtf8(m.label.data(), static_cast<qsizetype>(m.label.size()));
      const qreal w = fm.horizontalAdvance(label);
      qreal lx = x0 + 3;
      // Arming comes before its failure takes effect: its label stands left of its mark, so
      // the failure's own label fits right of the next one.
      if (m.label.rfind("Armed", 0) == 0 && x0 - 3 - w > std::max(labelEnd + 4, left_)) lx = x0 - 3 - w;
      if (lx > labelEnd + 4 && lx + w <= right_ + 2) {
        p->setPen(c.darker(130));
        p->drawText(QRectF(lx, row.top(), w + 2, row.height()), Qt::AlignLeft | Qt::AlignVCenter, label);
        labelEnd = std::max(lx + w, x0);
      }
    }
  }
  static QColor laneColour(debrief::Lane lane) {
    switch (lane) {
      case debrief::Lane::Actions: return kFlagColour;
      case debrief::Lane::Warnings: return kLimitColour;
      case debrief::Lane::Failures: return QColor(0x7a, 0x2e, 0x9e);
      case debrief::Lane::BailOut: return QColor(0xc0, 0x6a, 0x00);
    }
    return kFlagColour;
  }

 private:
  const QValueAxis* axis_;
  const std::vector<debrief::LaneMark>* marks_ = nullptr;
  QRectF area_;
  qreal left_ = 0, right_ = 1;
};

DiveChartView::DiveChartView(QWidget* parent) : QChartView(parent) {
  setObjectName(QStringLiteral("MSChart1"));
  setRenderHint(QPainter::Antialiasing, true);
  setRubberBand(QChartView::NoRubberBand);
  setMouseTracking(true);
  viewport()->setMouseTracking(true);
  setFrameShape(QFrame::NoFrame);
  buildChart();

  emptyLabel_ = new QLabel(this);
  emptyLabel_->setObjectName(QStringLiteral("EmptyStateLabel"));
  emptyLabel_->setAlignment(Qt::AlignCenter);
  emptyLabel_->setWordWrap(true);
  emptyLabel_->setTextFormat(Qt::PlainText);
  emptyLabel_->setStyleSheet(QStringLiteral("color: #505060;"));
  QFont f = emptyLabel_->font();
  f.setPointSizeF(f.pointSizeF() * 1.15);
  emptyLabel_->setFont(f);

  band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
  band_->hide();

  showEmpty(tr("No dive record loaded."));
}

DiveChartView::~DiveChartView() = default;

void DiveChartView::buildChart() {
  auto makeChart = [] {
    auto* c = new QChart();
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(0, 0, 0, 0));
    c->layout()->setContentsMargins(0, 0, 0, 0);
    // The panels get the sizes the view gives them, however small the window.
    c->setMinimumSize(10, 10);
    return c;
  };
  chart_ = makeChart();
  QFont titleFont = chart_->titleFont();
  titleFont.setPointSizeF(9);
  titleFont.setBold(false);
  chart_->setTitleFont(titleFont);
  chart_->setTitleBrush(QColor(0x30, 0x30, 0x40));
  depthChart_ = makeChart();
  depthChart_->setBackgroundVisible(false);
  depthChart_->legend()->setVisible(false);

  buildAxes();
  buildSeries();
  buildLegend();
  buildScene(titleFont);
}

// The time axes of both panels, the PO2 axis and the depth axis.
void DiveChartView::buildAxes() {
  auto makeTimeAxis = [](QChart* c) {
    auto* a = new QValueAxis(c);
    a->setLabelFormat(QStringLiteral("%.0f"));
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(0);
    a->setTickInterval(1);
    a->setRange(0, 1);
    a->setMinorTickCount(0);
    a->setGridLineColor(QColor(0xdd, 0xdd, 0xe3));
    return a;
  };
  // The PO2 panel draws the time grid without labels; the depth panel below carries them.
  timeAxis_ = makeTimeAxis(chart_);
  timeAxis_->setLabelsVisible(false);
  depthTimeAxis_ = makeTimeAxis(depthChart_);
  po2Axis_ = new QValueAxis(chart_);
  po2Axis_->setLabelFormat(QStringLiteral("%.1f"));
  po2Axis_->setTickType(QValueAxis::TicksDynamic);
  po2Axis_->setTickAnchor(0);
  po2Axis_->setTickInterval(0.2);
  po2Axis_->setGridLineColor(QColor(0xdd, 0xdd, 0xe3));
  depthAxis_ = new QCategoryAxis(depthChart_);
  depthAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  depthAxis_->setGridLineColor(QColor(0xdd, 0xdd, 0xe3));
  depthAxis_->setLabelsColor(kDepthColour);
  depthAxis_->setLinePenColor(kDepthColour);
  for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(timeAxis_), static_cast<QAbstractAxis*>(po2Axis_),
                           static_cast<QAbstractAxis*>(depthAxis_), static_cast<QAbstractAxis*>(depthTimeAxis_)}) {
    QFont lf = a->labelsFont();
    lf.setPointSizeF(8);
    a->setLabelsFont(lf);
    QFont tf = a->titleFont();
    tf.setPointSizeF(8.5);
    tf.setBold(false);
    a->setTitleFont(tf);
  }
  chart_->addAxis(timeAxis_, Qt::AlignBottom);
  chart_->addAxis(po2Axis_, Qt::AlignLeft);
  depthChart_->addAxis(depthTimeAxis_, Qt::AlignBottom);
  depthChart_->addAxis(depthAxis_, Qt::AlignLeft);
}

// The curves, drawn from the back to the front.
void DiveChartView::buildSeries() {
  auto line = [&](const QString& name, const QPen& p, bool onDepth) {
    QChart* c = onDepth ? depthChart_ : chart_;
    auto* s = new QLineSeries(c);
    s->setName(name);
    s->setPen(p);
    c->addSeries(s);
    s->attachAxis(onDepth ? depthTimeAxis_ : timeAxis_);
    s->attachAxis(onDepth ? static_cast<QAbstractAxis*>(depthAxis_) : po2Axis_);
    return s;
  };
  // Drawn from the back: the limits first, then the setpoint, the handset and on top the
  // true PO2. The legend lists them the other way round.
  // Depth has its own panel; an empty curve in the PO2 panel names it in the legend.
  line(tr("Depth"), pen(kDepthColour, 1.6), false);
  lowLimit_ = line(tr("PO2 limits 0.4 / 1.6 bar"), pen(kLimitColour, 1.2, Qt::DashLine), false);
  highLimit_ = line(tr("PO2 limits 0.4 / 1.6 bar"), pen(kLimitColour, 1.2, Qt::DashLine), false);
  compareReal_ = line(tr("Compared dive"), pen(kCompareColour, 1.4), false);
  compareDepth_ = line(tr("Compared dive"), pen(kCompareColour, 1.4), true);
  depth_ = line(tr("Depth"), pen(kDepthColour, 1.6), true);
  setpoint_ = line(tr("Setpoint"), pen(kSetpointColour, 1.6, Qt::DashDotLine), false);
  // The handset line is drawn wide under the true PO2, so where both agree it shows as an
  // orange edge along the blue line and where they part both stay visible.
  handset_ = line(tr("Handset PO2"), pen(kHandsetColour, 3.4), false);
  real_ = line(tr("Real PO2"), pen(kRealColour, 1.5), false);
}

// The legend: one row above the PO2 panel, laid out by hand.
void DiveChartView::buildLegend() {
  QLegend* legend = chart_->legend();
  legend->setAlignment(Qt::AlignTop);
  QFont lf = legend->font();
  lf.setPointSizeF(8);
  legend->setFont(lf);
  legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
  // The panels are laid out by hand; so is the legend, in one row above the PO2 panel.
  legend->detachFromChart();
  legend->setReverseMarkers(true);  // Real PO2, Handset PO2, Setpoint, limits, Depth
  legend->setBackgroundVisible(false);
  // One legend entry for both limits; the compared dive only while there is one.
  for (QLegendMarker* m : legend->markers(lowLimit_)) m->setVisible(false);
  for (QLegendMarker* m : legend->markers(compareReal_)) m->setVisible(false);
}

// The panels in the view's scene, the caption, the event lanes, the hairline and its readout.
void DiveChartView::buildScene(const QFont& titleFont) {
  // The view starts with a chart of its own, which setChart only lets go of.
  QChart* const defaultChart = chart();
  setChart(chart_);
  delete defaultChart;
  scene()->addItem(depthChart_);

  // The panels are drawn on white; the caption stands above the legend.
  setBackgroundBrush(Qt::white);
  for (QChart* c : {chart_, depthChart_}) {
    c->setBackgroundVisible(false);
    c->setPlotAreaBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundVisible(true);
  }
  caption_ = new QGraphicsSimpleTextItem();
  scene()->addItem(caption_);
  caption_->setFont(titleFont);
  caption_->setBrush(QColor(0x30, 0x30, 0x40));
  lanes_ = new EventLanes(timeAxis_);
  scene()->addItem(lanes_);
  hairline_ = new QGraphicsLineItem();
  scene()->addItem(hairline_);
  hairline_->setPen(pen(QColor(0x30, 0x30, 0x40, 150), 1, Qt::DotLine));
  hairline_->setZValue(30);
  readoutBox_ = new QGraphicsRectItem();
  scene()->addItem(readoutBox_);
  readoutBox_->setBrush(QColor(255, 255, 255, 232));
  readoutBox_->setPen(pen(QColor(0x90, 0x90, 0xa0), 1));
  readoutBox_->setZValue(31);
  readoutText_ = new QGraphicsTextItem(readoutBox_);
  QFont rf = readoutText_->font();
  rf.setPointSizeF(8.5);
  readoutText_->setFont(rf);
  hideReadout();

  connect(timeAxis_, &QValueAxis::rangeChanged, this, [this] {
    lanes_->update();
    updateTimeTicks();
  });
}

void DiveChartView::layoutPanels() {
  const QRectF all(QPointF(0, 0), QSizeF(viewport()->size()));
  if (all.width() < 10 || all.height() < 10) return;
  scene()->setSceneRect(all);
  const qreal laneRow = 17;
  const qreal lanesHeight = laneRow * debrief::kLaneCount;
  const qreal left = 98, right = 16;  // room for the lane names
  const qreal timeLabels = axisTitles_ ? 38 : 22;
  // The caption, then the legend: one row, or two on a narrow chart.
  const qreal legendRows = all.width() - left - right < 600 ? 2 : 1;
  const qreal top = (caption_->text().isEmpty() ? 6 : 24) + 22 * legendRows;
  const qreal panels = std::max<qreal>(all.height() - lanesHeight - timeLabels - top - 12, 60);
  // The depth panel keeps room for its marks and its axis title however short the view.
  const qreal depthHeight = std::max<qreal>(std::round(panels * 0.36), 100);
  const qreal po2Height = std::max<qreal>(panels - depthHeight - 10, 40);
  po2PlotHeight_ = po2Height;
  depthPlotHeight_ = depthHeight;
  const qreal width = std::max<qreal>(all.width() - left - right, 10);

  // Each chart's own area reaches well below its plot: a chart that finds too little room for
  // its axes keeps their old places. Neither paints a background, so the overlap is unseen.
  constexpr qreal kSpare = 120;
  chart_->setGeometry(QRectF(0, 0, all.width(), top + po2Height + kSpare));
  chart_->setPlotArea(QRectF(left, top, width, po2Height));
  chart_->legend()->setGeometry(QRectF(left, top - 2 - 22 * legendRows, width, 22 * legendRows));
  caption_->setPos(left, 6);
  // Lay both charts out now, so a picture taken at once shows the curves on their axes; the
  // number of marks depends on the panels' heights.
  for (QChart* c : {chart_, depthChart_})
    if (c->layout()) c->layout()->activate();
  if (!emptyState_) {
    updatePO2Axis();
    updateDepthAxis();
  }
  chart_->legend()->update();
  const qreal depthTop = top + po2Height + 10;
  depthChart_->setGeometry(QRectF(0, depthTop, all.width(), depthHeight + timeLabels + kSpare));
  depthChart_->setPlotArea(QRectF(left, 0, width, depthHeight));
  lanes_->place(QRectF(2, depthTop + depthHeight + timeLabels + 4, all.width() - 4, lanesHeight), left,
                left + width);
  updateTimeTicks();
  if (readoutVisible()) placeReadout(readoutTime_);
}

void DiveChartView::setAxisTitles(bool on) {
  axisTitles_ = on;
  // The PO2 panel's time axis carries the title too, unshown: the depth panel shows it.
  timeAxis_->setTitleText(on ? tr("time (s)") : QString());
  timeAxis_->setTitleVisible(false);
  depthTimeAxis_->setTitleText(on ? tr("time (s)") : QString());
  po2Axis_->setTitleText(on ? tr("PO 2") : QString());
  depthAxis_->setTitleText(on ? tr("Depth meters") : QString());
  depthTimeAxis_->setTitleVisible(on);
  po2Axis_->setTitleVisible(on);
  depthAxis_->setTitleVisible(on);
  layoutPanels();
}

QLineSeries* DiveChartView::series(Curve c) const {
  switch (c) {
    case Curve::RealPO2: return real_;
    case Curve::HandsetPO2: return handset_;
    case Curve::Setpoint: return setpoint_;
    case Curve::Depth: return depth_;
  }
  return nullptr;
}

QLineSeries* DiveChartView::compareSeries(Curve c) const {
  return c == Curve::Depth ? compareDepth_ : c == Curve::RealPO2 ? compareReal_ : nullptr;
}

namespace {

// The points of a curve, one list per stretch without a gap. Past kMostPieces stretches the
// rest is joined into the last one, so a damaged record cannot make thousands of curves.
constexpr int kMostPieces = 64;
QList<QList<QPointF>> pieces(const std::vector<std::optional<double>>& v, double sign) {
  QList<QList<QPointF>> out;
  bool inGap = true;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (!v[i]) {
      inGap = true;
      continue;
    }
    if (inGap && out.size() < kMostPieces) out.append(QList<QPointF>());
    inGap = false;
    out.last().append(QPointF(static_cast<double>(i + 1), sign * *v[i]));
  }
  return out;
}

}  // namespace

void DiveChartView::fillCurves() {
  for (QLineSeries* s : gapPieces_) {
    s->chart()->removeSeries(s);
    delete s;
  }
  gapPieces_.clear();
  auto fill = [this](QLineSeries* main, const std::vector<std::optional<double>>& v, double sign) {
    QList<QList<QPointF>> parts = pieces(v, sign);
    main->replace(parts.isEmpty() ? QList<QPointF>() : parts.takeFirst());
    for (const QList<QPointF>& part : parts) {
      QChart* c = main->chart();
      auto* s = new QLineSeries(c);
      s->setPen(main->pen());
      c->addSeries(s);
      for (QAbstractAxis* a : main->attachedAxes()) s->attachAxis(a);
      for (QLegendMarker* m : c->legend()->markers(s)) m->setVisible(false);
      s->replace(part);
      gapPieces_.append(s);
    }
  };
  const int n = std::max({trace_.seconds(), compareShown_ ? compareTrace_.seconds() : 0, 1});
  lowLimit_->replace({QPointF(0, kLowPO2Limit), QPointF(n, kLowPO2Limit)});
  highLimit_->replace({QPointF(0, kHighPO2Limit), QPointF(n, kHighPO2Limit)});
  // Depth is drawn downwards: 20 m is the point -20 on its axis.
  fill(depth_, trace_.depth, -1);
  fill(setpoint_, trace_.setpoint, 1);
  fill(handset_, trace_.handsetPO2, 1);
  fill(real_, trace_.realPO2, 1);
  if (compareShown_) {
    fill(compareDepth_, compareTrace_.depth, -1);
    fill(compareReal_, compareTrace_.realPO2, 1);
  }
}

void DiveChartView::setDive(const DiveData& dive, const QString& caption) {
  // Every change of the axes or the plot area re-strokes every curve, which is what costs
  // time with a long record: the curves are emptied first and filled last, once each.
  for (QLineSeries* s : {real_, handset_, setpoint_, depth_, lowLimit_, highLimit_, compareReal_, compareDepth_})
    s->clear();
  trace_ = debrief::traceOf(dive);
  marks_ = debrief::laneMarks(dive);
  compareShown_ = false;
  compareTrace_ = {};
  for (QLegendMarker* m : chart_->legend()->markers(compareReal_)) m->setVisible(false);
  emptyState_ = false;
  emptyLabel_->hide();
  for (QChart* c : {chart_, depthChart_})
    for (QAbstractAxis* a : c->axes()) a->setVisible(true);
  timeAxis_->setLabelsVisible(false);
  chart_->legend()->setVisible(true);
  caption_->setText(caption);
  lanes_->setMarks(&marks_);
  lanes_->show();
  hideReadout();
  layoutPanels();
  updatePO2Axis();
  updateDepthAxis();
  setFullTimeRange();
  fillCurves();
}

void DiveChartView::setCompareDive(const DiveData& dive, const QString& name) {
  if (emptyState_) return;
  for (QLineSeries* s : {real_, handset_, setpoint_, depth_, compareReal_, compareDepth_}) s->clear();
  compareTrace_ = debrief::traceOf(dive);
  compareShown_ = true;
  compareReal_->setName(tr("Compared dive"));
  compareReal_->setProperty("dive", name);
  for (QLegendMarker* m : chart_->legend()->markers(compareReal_)) m->setVisible(true);
  updatePO2Axis();
  updateDepthAxis();
  setFullTimeRange();
  fillCurves();
}

void DiveChartView::clearCompare() {
  if (!compareShown_) return;
  compareShown_ = false;
  compareTrace_ = {};
  for (QLegendMarker* m : chart_->legend()->markers(compareReal_)) m->setVisible(false);
  compareReal_->clear();
  compareDepth_->clear();
  updatePO2Axis();
  updateDepthAxis();
  setFullTimeRange();
}

void DiveChartView::showEmpty(const QString& text) {
  trace_ = {};
  compareTrace_ = {};
  compareShown_ = false;
  marks_.clear();
  for (QLineSeries* s : {real_, handset_, setpoint_, depth_, lowLimit_, highLimit_, compareReal_, compareDepth_})
    s->clear();
  for (QLineSeries* s : gapPieces_) {
    s->chart()->removeSeries(s);
    delete s;
  }
  gapPieces_.clear();
  lanes_->setMarks(nullptr);
  lanes_->hide();
  for (QChart* c : {chart_, depthChart_})
    for (QAbstractAxis* a : c->axes()) a->setVisible(false);
  chart_->legend()->setVisible(false);
  caption_->setText(QString());
  hideReadout();
  band_->hide();
  dragging_ = false;
  emptyState_ = true;
  emptyLabel_->setText(text);
  emptyLabel_->show();
  placeEmptyLabel();
  const bool wasZoomed = zoomed_;
  zoomed_ = false;
  if (wasZoomed) Q_EMIT zoomChanged(false);
}

QString DiveChartView::caption() const { return caption_->text(); }

QString DiveChartView::emptyText() const { return emptyState_ ? emptyLabel_->text() : QString(); }

void DiveChartView::setFullTimeRange() {
  setTimeRange(0, std::max({trace_.seconds(), compareShown_ ? compareTrace_.seconds() : 0, 1}));
  const bool wasZoomed = zoomed_;
  zoomed_ = false;
  if (wasZoomed) Q_EMIT zoomChanged(false);
}

void DiveChartView::zoomTo(double first, double last) {
  if (emptyState_ || std::isnan(first) || std::isnan(last)) return;
  if (first > last) std::swap(first, last);
  const double end = std::max(trace_.seconds(), 1);
  first = std::clamp(first, 0.0, end);
  last = std::clamp(last, 0.0, end);
  const double narrowest = std::min(kNarrowestZoom, end);
  if (last - first < narrowest) {
    const double mid = (first + last) / 2;
    first = std::clamp(mid - narrowest / 2, 0.0, end - narrowest);
    last = first + narrowest;
  }
  if (first <= 0 && last >= end) {
    resetZoom();
    return;
  }
  setTimeRange(first, last);
  if (!zoomed_) {
    zoomed_ = true;
    Q_EMIT zoomChanged(true);
  }
  if (readoutVisible()) placeReadout(readoutTime_);
}

void DiveChartView::resetZoom() {
  if (emptyState_) return;
  setFullTimeRange();
  if (readoutVisible()) placeReadout(readoutTime_);
}

double DiveChartView::timeStepFor(double span) const {
  const qreal width = std::max<qreal>(chart_->plotArea().width(), 100);
  // About one label per 70 pixels, never closer than one second.
  return std::max(1.0, niceStep(span / std::max(1.0, std::floor(width / 70))));
}

void DiveChartView::setTimeRange(double first, double last) {
  // The axis lays out one label per tick at once: a wide range must never meet the narrow
  // tick interval of a zoomed view, or a long record would briefly get thousands of labels.
  const double step = timeStepFor(last - first);
  for (QValueAxis* a : {timeAxis_, depthTimeAxis_}) {
    if (step > a->tickInterval()) a->setTickInterval(step);
    a->setRange(first, last);
  }
  updateTimeTicks();
}

void DiveChartView::updateTimeTicks() {
  const double step = timeStepFor(timeAxis_->max() - timeAxis_->min());
  for (QValueAxis* a : {timeAxis_, depthTimeAxis_})
    if (a->tickInterval() != step) a->setTickInterval(step);
}

void DiveChartView::updatePO2Axis() {
  // Up to 2.0 bar at least, so the 1.6 bar limit always shows with room above it.
  const double highest = std::max(trace_.highestPO2, compareShown_ ? compareTrace_.highestPO2 : 0.0);
  const double top = std::max(2.0, std::ceil((highest + 0.1) * 5) / 5);
  const double shownTop = std::min(top, 10.0);
  double step = shownTop > 4 ? 1.0 : shownTop > 2.4 ? 0.4 : 0.2;
  // A short panel has room for fewer labels: at least 18 pixels from one to the next, or the
  // axis would not fit its labels at all.
  const double height = po2PlotHeight_;
  while (height > 0 && shownTop / step * 18 > height && step < 5) step *= 2;
  if (step > po2Axis_->tickInterval()) po2Axis_->setTickInterval(step);
  po2Axis_->setRange(0, std::ceil(shownTop / step - 1e-9) * step);
  po2Axis_->setTickInterval(step);
}

void DiveChartView::updateDepthAxis() {
  // The depth panel ends at a round depth with room below the deepest point, in four steps,
  // or two on a short panel.
  const int intervals = depthPlotHeight_ >= 110 || depthPlotHeight_ <= 0 ? 4 : 2;
  const double deepest =
      std::clamp(std::max(trace_.deepest, compareShown_ ? compareTrace_.deepest : 0.0), 0.0, 1e6);
  // At least 10 m, so a record at the surface does not blow up a metre into the whole height.
  const double step = niceStep(std::max(10.0, deepest * 1.05) / intervals);
  const double bottom = step * intervals;
  for (const QString& l : depthAxis_->categoriesLabels()) depthAxis_->remove(l);
  depthAxis_->setStartValue(-bottom);
  for (int i = intervals; i >= 0; --i) {
    const double d = step * i;
    depthAxis_->append(i == 0 ? QStringLiteral("0 m") : QString::number(d, 'g', 6), -d);
  }
  depthAxis_->setRange(-bottom, 0);
}

void DiveChartView::showReadoutAt(double t) {
  if (emptyState_ || std::isnan(t)) {
    hideReadout();
    return;
  }
  placeReadout(t);
}

void DiveChartView::hideReadout() {
  hairline_->hide();
  readoutBox_->hide();
}

bool DiveChartView::readoutVisible() const { return readoutBox_->isVisible(); }

QString DiveChartView::readoutText() const {
  return readoutVisible() ? readoutText_->toPlainText() : QString();
}

void DiveChartView::placeReadout(double t) {
  const auto sample = datafile::sampleAt(trace_, t);
  if (!sample) {
    hideReadout();
    return;
  }
  readoutTime_ = t;
  const QRectF plot = chart_->plotArea();
  const double t0 = timeAxis_->min(), t1 = timeAxis_->max();
  const double second = sample->second;
  if (second < t0 || second > t1 || !(t1 > t0)) {
    hideReadout();
    return;
  }
  const qreal x = plot.left() + (second - t0) / (t1 - t0) * plot.width();
  const QRectF depthPlot = depthChart_->mapRectToScene(depthChart_->plotArea());
  hairline_->setLine(QLineF(x, plot.top(), x, depthPlot.bottom()));

  auto value = [](const std::optional<double>& v, int decimals, const QString& unit) {
    return v ? QString::number(*v, 'f', decimals) + unit : QStringLiteral("–");
  };
  auto row = [](const QColor& c, const QString& name, const QString& v) {
    return QStringLiteral("<tr><td><span style='color:%1'>&#9632;</span>&nbsp;%2</td>"
                          "<td align='right'>&nbsp;&nbsp;%3</td></tr>")
        .arg(c.name(), name, v);
  };
  const bool wholeDepth = sample->depth && *sample->depth == std::floor(*sample->depth);
  QString html = QStringLiteral("<b>%1 s</b>&nbsp;&nbsp;<span style='color:#606070'>(%2)</span>"
                                "<table cellspacing='0' cellpadding='0'>")
                     .arg(sample->second)
                     .arg(clockText(sample->second));
  html += row(kRealColour, tr("True PO2"), value(sample->realPO2, 2, tr(" bar")));
  html += row(kHandsetColour, tr("Handset PO2"), value(sample->handsetPO2, 2, tr(" bar")));
  html += row(kSetpointColour, tr("Setpoint"), value(sample->setpoint, 2, tr(" bar")));
  html += row(kDepthColour, tr("Depth"), value(sample->depth, wholeDepth ? 0 : 1, tr(" m")));
  html += QStringLiteral("</table>");
  // The messages within a few pixels of the mouse, so a flag need not be hit exactly.
  const double reach = kFlagReach * (t1 - t0) / std::max<qreal>(plot.width(), 1);
  const auto [b, e] = trace_.messagesBetween(second - reach, second + reach);
  for (std::size_t i = b; i < e && i < b + 3; ++i) {
    const auto& m = trace_.messages[i];
    html += QStringLiteral("<div style='color:%1'>%2 s: %3</div>")
                .arg((isWarning(m.text) ? kLimitColour : kFlagColour).name())
                .arg(m.second)
                .arg(shownMessage(m.text).toHtmlEscaped());
  }
  if (e - b > 3) html += tr("<div style='color:#606070'>and %1 more</div>").arg(e - b - 3);
  readoutText_->setHtml(html);

  const QRectF text = readoutText_->boundingRect();
  QRectF box(0, 0, text.width(), text.height());
  qreal left = x + 12;
  if (left + box.width() > plot.right()) left = x - 12 - box.width();
  left = std::max(left, plot.left());
  box.moveTo(left, plot.top() + 6);
  readoutBox_->setRect(QRectF(0, 0, box.width(), box.height()));
  readoutBox_->setPos(box.topLeft());
  readoutText_->setPos(0, 0);
  hairline_->show();
  readoutBox_->show();
}

QString DiveChartView::laneTipAt(const QPoint& pos) const {
  if (emptyState_ || marks_.empty()) return {};
  const QPointF at = mapToScene(pos);
  int lane = -1;
  for (int i = 0; i < debrief::kLaneCount; ++i)
    if (lanes_->rowRect(static_cast<debrief::Lane>(i)).contains(at)) lane = i;
  const QRect plot = plotRectInView();
  if (lane < 0 || pos.x() < plot.left() - kFlagReach || pos.x() > plot.right() + kFlagReach) return {};
  const double a = timeAtViewX(pos.x() - kFlagReach), b = timeAtViewX(pos.x() + kFlagReach);
  QStringList lines;
  std::size_t found = 0;
  for (const debrief::LaneMark& m : marks_) {
    if (static_cast<int>(m.lane) != lane || m.end < a || m.start > b) continue;
    if (++found <= kTipLines) lines << shownMessage(m.text);
  }
  if (found > kTipLines) lines << tr("and %1 more").arg(found - kTipLines);
  return lines.join(QLatin1Char('\n'));
}

int DiveChartView::viewYOfLane(debrief::Lane lane) const {
  return mapFromScene(lanes_->rowRect(lane).center()).y();
}

double DiveChartView::timeAtChartX(qreal x) const {
  const QRectF plot = chart_->plotArea();
  if (plot.width() <= 0) return std::nan("");
  return timeAxis_->min() + (x - plot.left()) / plot.width() * (timeAxis_->max() - timeAxis_->min());
}

double DiveChartView::timeAtViewX(int x) const {
  const QPointF inChart = chart_->mapFromScene(mapToScene(QPoint(x, 0)));
  return timeAtChartX(inChart.x());
}

int DiveChartView::viewXOfTime(double t) const {
  const QRectF plot = chart_->plotArea();
  const double t0 = timeAxis_->min(), t1 = timeAxis_->max();
  const qreal x = plot.left() + (t - t0) / (t1 - t0) * plot.width();
  return mapFromScene(chart_->mapToScene(QPointF(x, plot.center().y()))).x();
}

QRect DiveChartView::plotRectInView() const {
  const QRectF both = chart_->mapRectToScene(chart_->plotArea())
                          .united(depthChart_->mapRectToScene(depthChart_->plotArea()));
  return mapFromScene(both).boundingRect();
}

QImage DiveChartView::renderImage(qreal scale) {
  const bool readout = readoutVisible();
  hideReadout();
  band_->hide();
  // The scene is drawn straight into the larger picture, so lines and text are drawn at its
  // resolution rather than enlarged from the screen's pixels.
  const QRect shown = viewport()->rect();
  QImage img(shown.size() * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    scene()->render(&p, QRectF(img.rect()), mapToScene(shown).boundingRect(), Qt::IgnoreAspectRatio);
  }
  if (readout) placeReadout(readoutTime_);
  return img;
}

void DiveChartView::renderTo(QPainter& painter, const QRectF& target) {
  const bool readout = readoutVisible();
  hideReadout();
  band_->hide();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  scene()->render(&painter, target, mapToScene(viewport()->rect()).boundingRect(), Qt::KeepAspectRatio);
  if (readout) placeReadout(readoutTime_);
}

void DiveChartView::mousePressEvent(QMouseEvent* event) {
  if (emptyState_) return QChartView::mousePressEvent(event);
  const QRect plot = plotRectInView();
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && plot.contains(pos)) {
    dragging_ = true;
    dragStartX_ = pos.x();
    band_->setGeometry(QRect(QPoint(pos.x(), plot.top()), QPoint(pos.x(), plot.bottom())));
    band_->show();
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void DiveChartView::mouseMoveEvent(QMouseEvent* event) {
  if (emptyState_) return QChartView::mouseMoveEvent(event);
  const QPoint pos = event->position().toPoint();
  const QRect plot = plotRectInView();
  if (dragging_) {
    const int x = std::clamp(pos.x(), plot.left(), plot.right());
    band_->setGeometry(QRect(QPoint(std::min(x, dragStartX_), plot.top()),
                             QPoint(std::max(x, dragStartX_), plot.bottom())));
  }
  if (plot.adjusted(-1, -1, 1, 1).contains(pos))
    showReadoutAt(timeAtViewX(pos.x()));
  else
    hideReadout();
  const QString tip = laneTipAt(pos);
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(event->globalPosition().toPoint(), tip, this);
  event->accept();
}

void DiveChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (emptyState_) return QChartView::mouseReleaseEvent(event);
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && dragging_) {
    dragging_ = false;
    band_->hide();
    const QRect plot = plotRectInView();
    const int x = std::clamp(pos.x(), plot.left(), plot.right());
    // A drag of a few pixels is a click, not a zoom.
    if (std::abs(x - dragStartX_) >= 5) zoomTo(timeAtViewX(dragStartX_), timeAtViewX(x));
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton) {
    resetZoom();
    event->accept();
    return;
  }
  QChartView::mouseReleaseEvent(event);
}

void DiveChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!emptyState_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    band_->hide();
    resetZoom();
    event->accept();
    return;
  }
  QChartView::mouseDoubleClickEvent(event);
}

void DiveChartView::leaveEvent(QEvent* event) {
  hideReadout();
  QChartView::leaveEvent(event);
}

void DiveChartView::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  layoutPanels();
  placeEmptyLabel();
  // A chart that shrank lays its axes out once its own pending layout has run: once more then.
  QMetaObject::invokeMethod(this, [this] { layoutPanels(); }, Qt::QueuedConnection);
}

void DiveChartView::placeEmptyLabel() {
  if (!emptyLabel_) return;
  const int margin = std::min(width() / 10, 40);
  emptyLabel_->setGeometry(rect().adjusted(margin, margin, -margin, -margin));
}

}  // namespace pelasim
