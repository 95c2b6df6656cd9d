#pragma once
// The chart of a recorded dive on two panels that share the time axis: true loop PO2, handset
// PO2 and setpoint with the PO2 limits 0.4 and 1.6 bar above, the depth (drawn downwards)
// below, and under the time axis the dive's events on four lanes: trainee actions, handset
// warnings (a warning that lasts is one span), failures, bail-outs. A second dive can be laid
// over the first in its own colour. Seconds without a handset reading are a gap in its line.
// The mouse moves a readout over the chart, drags a stretch of time to zoom into it, and
// zooms back out with a right click or a double click; hovering over a lane names its events.

#include <QChartView>
#include <QPointer>
#include <QString>

#include <vector>

#include "core/DiveLog.h"
#include "debrief/Debrief.h"
#include "debrief/DiveTrace.h"

class QChart;
class QCategoryAxis;
class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QGraphicsTextItem;
class QLabel;
class QLineSeries;
class QRubberBand;
class QValueAxis;

namespace pelasim {

class EventLanes;

class DiveChartView : public QChartView {
  Q_OBJECT

 public:
  // The curves, in the order of the legend.
  enum class Curve { RealPO2, HandsetPO2, Setpoint, Depth };

  // Low and high PO2 limits drawn across the chart, bar.
  static constexpr double kLowPO2Limit = 0.4;
  static constexpr double kHighPO2Limit = 1.6;
  // The narrowest stretch of time the mouse zooms into, seconds.
  static constexpr double kNarrowestZoom = 10;

  explicit DiveChartView(QWidget* parent = nullptr);
  ~DiveChartView() override;

  // Names the axes ("time (s)", "PO 2", "Depth meters") or leaves them unnamed.
  void setAxisTitles(bool on);
  // Charts a dive: one point per recorded second on every curve that has a value there, its
  // events on the lanes. `caption` is the line above the chart (source, date and length).
  void setDive(const DiveData& dive, const QString& caption);
  // Lays a second dive over the first (true PO2 and depth in their own colour) on the same
  // time axis; `name` says which dive it is (kept as the curve's "dive" property; the
  // legend says "Compared dive"). clearCompare() takes it away again.
  void setCompareDive(const DiveData& dive, const QString& name);
  void clearCompare();
  bool hasCompare() const { return compareShown_; }
  // Clears the chart and shows `text` in its middle instead.
  void showEmpty(const QString& text);

  bool isEmptyState() const { return emptyState_; }
  QString emptyText() const;
  const datafile::DiveTrace& trace() const { return trace_; }
  QLineSeries* series(Curve c) const;
  // The second dive's true PO2 and depth (empty while nothing is compared).
  QLineSeries* compareSeries(Curve c) const;
  QChart* depthChart() const { return depthChart_; }
  // The line above the chart: the dive's source, date and length.
  QString caption() const;
  const std::vector<debrief::LaneMark>& laneMarks() const { return marks_; }
  QValueAxis* timeAxis() const { return timeAxis_; }
  QValueAxis* po2Axis() const { return po2Axis_; }
  QCategoryAxis* depthAxis() const { return depthAxis_; }

  // Shows the seconds from `first` to `last` (kept within the record, at least
  // kNarrowestZoom wide when the record is that long).
  void zoomTo(double first, double last);
  // Shows the whole record again.
  void resetZoom();
  bool isZoomed() const { return zoomed_; }

  // Moves the readout and its hairline to time `t` (seconds), as the mouse does; hides it
  // for a time that is not a number. The readout's text, for tests.
  void showReadoutAt(double t);
  void hideReadout();
  bool readoutVisible() const;
  QString readoutText() const;

  // The events of the lane under view position `pos` within a few pixels of its time, as the
  // tooltip over the lanes shows them; empty when none.
  QString laneTipAt(const QPoint& pos) const;
  // View y of the middle of a lane.
  int viewYOfLane(debrief::Lane lane) const;

  // Time (seconds) and view x position converted into each other through the time axis.
  double timeAtViewX(int x) const;
  int viewXOfTime(double t) const;
  // The plot area in view coordinates: from the top of the PO2 panel to the bottom of the
  // depth panel.
  QRect plotRectInView() const;

  // The chart as it is exported: without the readout, `scale` times as many pixels across
  // and down as on the screen.
  QImage renderImage(qreal scale = 2.0);
  // Draws the chart as it is exported into `target` of `painter` (a PDF page, a printer).
  void renderTo(QPainter& painter, const QRectF& target);

 Q_SIGNALS:
  void zoomChanged(bool zoomed);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildChart();
  void buildAxes();
  void buildSeries();
  void buildLegend();
  void buildScene(const QFont& titleFont);
  void layoutPanels();
  void fillCurves();
  void setFullTimeRange();
  double timeStepFor(double span) const;
  void setTimeRange(double first, double last);
  void updateTimeTicks();
  void updatePO2Axis();
  void updateDepthAxis();
  void placeReadout(double t);
  void placeEmptyLabel();
  double timeAtChartX(qreal x) const;

  QChart* chart_ = nullptr;
  QValueAxis* timeAxis_ = nullptr;
  QValueAxis* po2Axis_ = nullptr;
  QCategoryAxis* depthAxis_ = nullptr;
  QLineSeries* real_ = nullptr;
  QLineSeries* handset_ = nullptr;
  QLineSeries* setpoint_ = nullptr;
  QLineSeries* depth_ = nullptr;
  QLineSeries* lowLimit_ = nullptr;
  QLineSeries* highLimit_ = nullptr;
  QChart* depthChart_ = nullptr;
  QValueAxis* depthTimeAxis_ = nullptr;
  QLineSeries* compareReal_ = nullptr;
  QLineSeries* compareDepth_ = nullptr;
  QList<QLineSeries*> gapPieces_;  // further pieces of a curve interrupted by a gap
  EventLanes* lanes_ = nullptr;
  QGraphicsSimpleTextItem* caption_ = nullptr;
  QGraphicsLineItem* hairline_ = nullptr;
  QGraphicsRectItem* readoutBox_ = nullptr;
  QGraphicsTextItem* readoutText_ = nullptr;
  QLabel* emptyLabel_ = nullptr;
  QRubberBand* band_ = nullptr;

  datafile::DiveTrace trace_;
  datafile::DiveTrace compareTrace_;
  std::vector<debrief::LaneMark> marks_;
  bool compareShown_ = false;
  double po2PlotHeight_ = 0;    // pixels, as last laid out
  double depthPlotHeight_ = 0;  // pixels, as last laid out
  bool axisTitles_ = false;
  bool emptyState_ = true;
  bool zoomed_ = false;
  bool dragging_ = false;
  int dragStartX_ = 0;
  double readoutTime_ = 0;
};

}  // namespace pelasim
