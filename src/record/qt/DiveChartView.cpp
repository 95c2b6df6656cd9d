#include "record/qt/DiveChartView.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
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

// Flags are this tall above the time axis, and the mouse finds a flag this close to it (px).
constexpr qreal kFlagHeight = 12;
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

// The status messages as small flags standing on the time axis: red for warnings, slate for
// everything else.
class MessageFlags : public QGraphicsItem {
 public:
  MessageFlags(QChart* chart, const QValueAxis* axis) : QGraphicsItem(chart), chart_(chart), axis_(axis) {
    setZValue(20);
    setAcceptedMouseButtons(Qt::NoButton);
  }
  void setTrace(const datafile::DiveTrace* trace) {
    trace_ = trace;
    update();
  }
  void plotChanged() {
    prepareGeometryChange();
    update();
  }
  QRectF boundingRect() const override {
    return chart_->plotArea().adjusted(-2, -kFlagHeight - 2, 8, 2);
  }
  void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override {
    if (!trace_ || trace_->messages.empty()) return;
    const QRectF plot = chart_->plotArea();
    const double t0 = axis_->min(), t1 = axis_->max();
    if (!(t1 > t0)) return;
    const auto [b, e] = trace_->messagesBetween(t0, t1);
    p->setRenderHint(QPainter::Antialiasing, true);
    const qreal base = plot.bottom();
    qreal lastX = -1e9;
    bool lastWarning = false;
    for (std::size_t i = b; i < e; ++i) {
      const auto& m = trace_->messages[i];
      const qreal x = plot.left() + (m.second - t0) / (t1 - t0) * plot.width();
      const bool warning = isWarning(m.text);
      // Flags closer than a pixel would only paint over each other; a warning still wins.
      if (x - lastX < 1.0 && (lastWarning || !warning)) continue;
      lastX = x;
      lastWarning = warning;
      const QColor c = warning ? kLimitColour : kFlagColour;
      p->setPen(pen(c, 1.2));
      p->drawLine(QPointF(x, base), QPointF(x, base - kFlagHeight));
      QPolygonF flag;
      flag << QPointF(x, base - kFlagHeight) << QPointF(x + 6, base - kFlagHeight + 2.5)
           << QPointF(x, base - kFlagHeight + 5);
      p->setPen(Qt::NoPen);
      p->setBrush(c);
      p->drawPolygon(flag);
    }
  }

 private:
  QChart* chart_;
  const QValueAxis* axis_;
  const datafile::DiveTrace* trace_ = nullptr;
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
  chart_ = new QChart();
  chart_->setAnimationOptions(QChart::NoAnimation);
  chart_->setBackgroundRoundness(0);
  chart_->setMargins(QMargins(6, 2, 6, 2));
  chart_->layout()->setContentsMargins(0, 0, 0, 0);
  QFont titleFont = chart_->titleFont();
  titleFont.setPointSizeF(9);
  titleFont.setBold(false);
  chart_->setTitleFont(titleFont);
  chart_->setTitleBrush(QColor(0x30, 0x30, 0x40));

  timeAxis_ = new QValueAxis(chart_);
  timeAxis_->setLabelFormat(QStringLiteral("%.0f"));
  timeAxis_->setTickType(QValueAxis::TicksDynamic);
  timeAxis_->setTickAnchor(0);
  timeAxis_->setTickInterval(1);
  timeAxis_->setRange(0, 1);
  timeAxis_->setMinorTickCount(0);
  po2Axis_ = new QValueAxis(chart_);
  po2Axis_->setLabelFormat(QStringLiteral("%.1f"));
  po2Axis_->setTickType(QValueAxis::TicksDynamic);
  po2Axis_->setTickAnchor(0);
  po2Axis_->setTickInterval(0.2);
  depthAxis_ = new QCategoryAxis(chart_);
  depthAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  depthAxis_->setGridLineVisible(false);
  depthAxis_->setLabelsColor(kDepthColour);
  depthAxis_->setLinePenColor(kDepthColour);
  for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(timeAxis_), static_cast<QAbstractAxis*>(po2Axis_),
                           static_cast<QAbstractAxis*>(depthAxis_)}) {
    QFont lf = a->labelsFont();
    lf.setPointSizeF(8);
    a->setLabelsFont(lf);
    QFont tf = a->titleFont();
    tf.setPointSizeF(8.5);
    tf.setBold(false);
    a->setTitleFont(tf);
  }
  timeAxis_->setGridLineColor(QColor(0xdd, 0xdd, 0xe3));
  po2Axis_->setGridLineColor(QColor(0xdd, 0xdd, 0xe3));
  chart_->addAxis(timeAxis_, Qt::AlignBottom);
  chart_->addAxis(po2Axis_, Qt::AlignLeft);
  chart_->addAxis(depthAxis_, Qt::AlignRight);

  auto line = [&](const QString& name, const QPen& p, bool onDepth) {
    auto* s = new QLineSeries(chart_);
    s->setName(name);
    s->setPen(p);
    chart_->addSeries(s);
    s->attachAxis(timeAxis_);
    s->attachAxis(onDepth ? static_cast<QAbstractAxis*>(depthAxis_) : po2Axis_);
    return s;
  };
  // Drawn from the back: the limits first, then depth, the setpoint, the handset and on top
  // the true PO2. The legend lists them the other way round.
  lowLimit_ = line(tr("PO2 limits 0.4 / 1.6 bar"), pen(kLimitColour, 1.2, Qt::DashLine), false);
  highLimit_ = line(tr("PO2 limits 0.4 / 1.6 bar"), pen(kLimitColour, 1.2, Qt::DashLine), false);
  depth_ = line(tr("Depth"), pen(kDepthColour, 1.6), true);
  setpoint_ = line(tr("Setpoint"), pen(kSetpointColour, 1.6, Qt::DashDotLine), false);
  // The handset line is drawn wide under the true PO2, so where both agree it shows as an
  // orange edge along the blue line and where they part both stay visible.
  handset_ = line(tr("Handset PO2"), pen(kHandsetColour, 3.4), false);
  real_ = line(tr("Real PO2"), pen(kRealColour, 1.5), false);

  QLegend* legend = chart_->legend();
  legend->setAlignment(Qt::AlignBottom);
  QFont lf = legend->font();
  lf.setPointSizeF(8);
  legend->setFont(lf);
  legend->setMarkerShape(QLegend::MarkerShapeFromSeries);
  legend->setReverseMarkers(true);  // Real PO2, Handset PO2, Setpoint, Depth, limits
  // One legend entry for both limits.
  for (QLegendMarker* m : legend->markers(lowLimit_)) m->setVisible(false);

  // The view starts with a chart of its own, which setChart only lets go of.
  QChart* const defaultChart = chart();
  setChart(chart_);
  delete defaultChart;

  flags_ = new MessageFlags(chart_, timeAxis_);
  hairline_ = new QGraphicsLineItem(chart_);
  hairline_->setPen(pen(QColor(0x30, 0x30, 0x40, 150), 1, Qt::DotLine));
  hairline_->setZValue(30);
  readoutBox_ = new QGraphicsRectItem(chart_);
  readoutBox_->setBrush(QColor(255, 255, 255, 232));
  readoutBox_->setPen(pen(QColor(0x90, 0x90, 0xa0), 1));
  readoutBox_->setZValue(31);
  readoutText_ = new QGraphicsTextItem(readoutBox_);
  QFont rf = readoutText_->font();
  rf.setPointSizeF(8.5);
  readoutText_->setFont(rf);
  hideReadout();

  connect(chart_, &QChart::plotAreaChanged, this, [this] {
    flags_->plotChanged();
    updateTimeTicks();
    if (readoutVisible()) placeReadout(readoutTime_);
  });
  connect(timeAxis_, &QValueAxis::rangeChanged, this, [this] {
    flags_->update();
    updateTimeTicks();
  });
}

void DiveChartView::setAxisTitles(bool on) {
  axisTitles_ = on;
  timeAxis_->setTitleText(on ? tr("time (s)") : QString());
  po2Axis_->setTitleText(on ? tr("PO 2") : QString());
  depthAxis_->setTitleText(on ? tr("Depth meters") : QString());
  timeAxis_->setTitleVisible(on);
  po2Axis_->setTitleVisible(on);
  depthAxis_->setTitleVisible(on);
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

void DiveChartView::showTrace(datafile::DiveTrace trace, const QString& caption) {
  // Every change of the axes or the plot area re-strokes every curve, which is what costs
  // time with a long record: the curves are emptied first and filled last, once each.
  for (QLineSeries* s : {real_, handset_, setpoint_, depth_, lowLimit_, highLimit_}) s->clear();
  trace_ = std::move(trace);
  emptyState_ = false;
  emptyLabel_->hide();
  for (QAbstractAxis* a : chart_->axes()) a->setVisible(true);
  chart_->legend()->setVisible(true);
  chart_->setTitle(caption);
  updatePO2Axis();
  updateDepthAxis();
  flags_->setTrace(&trace_);
  hideReadout();
  setFullTimeRange();

  const int n = trace_.seconds();
  auto points = [n](const std::vector<std::optional<double>>& v, double sign) {
    QList<QPointF> pts;
    pts.reserve(n);
    for (int i = 0; i < n; ++i)
      if (const auto& y = v[static_cast<std::size_t>(i)]) pts.append(QPointF(i + 1, sign * *y));
    return pts;
  };
  const double end = std::max(n, 1);
  lowLimit_->replace({QPointF(0, kLowPO2Limit), QPointF(end, kLowPO2Limit)});
  highLimit_->replace({QPointF(0, kHighPO2Limit), QPointF(end, kHighPO2Limit)});
  // Depth is drawn downwards: 20 m is the point -20 on its axis.
  depth_->replace(points(trace_.depth, -1));
  setpoint_->replace(points(trace_.setpoint, 1));
  handset_->replace(points(trace_.handsetPO2, 1));
  real_->replace(points(trace_.realPO2, 1));
}

void DiveChartView::showEmpty(const QString& text) {
  trace_ = {};
  for (QLineSeries* s : {real_, handset_, setpoint_, depth_, lowLimit_, highLimit_}) s->clear();
  flags_->setTrace(nullptr);
  for (QAbstractAxis* a : chart_->axes()) a->setVisible(false);
  chart_->legend()->setVisible(false);
  chart_->setTitle(QString());
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

QString DiveChartView::emptyText() const { return emptyState_ ? emptyLabel_->text() : QString(); }

void DiveChartView::setFullTimeRange() {
  setTimeRange(0, std::max(trace_.seconds(), 1));
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
  if (step > timeAxis_->tickInterval()) timeAxis_->setTickInterval(step);
  timeAxis_->setRange(first, last);
  updateTimeTicks();
}

void DiveChartView::updateTimeTicks() {
  const double step = timeStepFor(timeAxis_->max() - timeAxis_->min());
  if (timeAxis_->tickInterval() != step) timeAxis_->setTickInterval(step);
}

void DiveChartView::updatePO2Axis() {
  // Up to 2.0 bar at least, so the 1.6 bar limit always shows with room above it.
  const double top = std::max(2.0, std::ceil((trace_.highestPO2 + 0.1) * 5) / 5);
  const double shownTop = std::min(top, 10.0);
  const double step = shownTop > 4 ? 1.0 : shownTop > 2.4 ? 0.4 : 0.2;
  if (step > po2Axis_->tickInterval()) po2Axis_->setTickInterval(step);
  po2Axis_->setRange(0, std::ceil(shownTop / step - 1e-9) * step);
  po2Axis_->setTickInterval(step);
}

void DiveChartView::updateDepthAxis() {
  // The depth axis ends at a round depth with room below the deepest point, and its marks
  // fall on the PO2 grid lines so both scales read off the same lines.
  const double po2Top = po2Axis_->max();
  const double po2Step = po2Axis_->tickInterval();
  const int intervals = std::max(1, static_cast<int>(std::lround(po2Top / po2Step)));
  const double deepest = std::clamp(trace_.deepest, 0.0, 1e6);
  // At least 10 m, so a record at the surface does not blow up a metre into the whole height.
  const double step = niceStep(std::max(10.0, deepest * 1.05) / intervals);
  const double bottom = step * intervals;
  for (const QString& l : depthAxis_->categoriesLabels()) depthAxis_->remove(l);
  depthAxis_->setStartValue(-bottom);
  const int stride = intervals > 6 ? 2 : 1;  // every other mark when they would crowd
  for (int i = intervals - stride; i >= 0; i -= stride) {
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
  hairline_->setLine(QLineF(x, plot.top(), x, plot.bottom()));

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

QString DiveChartView::flagTipAt(const QPoint& pos) const {
  if (emptyState_ || trace_.messages.empty()) return {};
  const QRect plot = plotRectInView();
  // The flags stand on the time axis; the tip answers over them and just below the axis.
  if (pos.x() < plot.left() - kFlagReach || pos.x() > plot.right() + kFlagReach ||
      pos.y() < plot.bottom() - static_cast<int>(kFlagHeight) - 4 || pos.y() > plot.bottom() + 6)
    return {};
  const double a = timeAtViewX(pos.x() - kFlagReach), b = timeAtViewX(pos.x() + kFlagReach);
  const auto [first, last] = trace_.messagesBetween(a, b);
  if (first == last) return {};
  QStringList lines;
  for (std::size_t i = first; i < last && i < first + kTipLines; ++i) {
    const auto& m = trace_.messages[i];
    lines << tr("%1 s (%2): %3").arg(m.second).arg(clockText(m.second)).arg(shownMessage(m.text));
  }
  if (last - first > kTipLines) lines << tr("and %1 more").arg(last - first - kTipLines);
  return lines.join(QLatin1Char('\n'));
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
  return mapFromScene(chart_->mapToScene(chart_->plotArea())).boundingRect();
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
  if (plot.adjusted(-1, -1, 1, kFlagReach + 2).contains(pos))
    showReadoutAt(timeAtViewX(pos.x()));
  else
    hideReadout();
  const QString tip = flagTipAt(pos);
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
  placeEmptyLabel();
  if (readoutVisible()) placeReadout(readoutTime_);
}

void DiveChartView::placeEmptyLabel() {
  if (!emptyLabel_) return;
  const int margin = std::min(width() / 10, 40);
  emptyLabel_->setGeometry(rect().adjusted(margin, margin, -margin, -margin));
}

}  // namespace pelasim
