// The results viewer window on the offscreen platform: what it charts from a data file, how
// it treats bad files, Save, the layout, and the mouse (readout, flags, zoom), plus PNG export.
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "datafile/DataFile.h"
#include "debrief/qt/DebriefPanel.h"
#include "debrief/qt/DiveChartView.h"
#include "viewer/ResultsViewer.h"

namespace pelasim {
namespace {

using datafile::Item;
using datafile::Row;
using Curve = DiveChartView::Curve;
using Mode = ResultsViewer::Mode;

Row row(double real, double handset, double depth, double setpoint, std::string message = {}) {
  Row r{};
  r[datafile::kRealPO2] = Item::num(real);
  r[datafile::kHandsetPO2] = Item::num(handset);
  r[datafile::kDepth] = Item::num(depth);
  r[datafile::kSetpoint] = Item::num(setpoint);
  r[datafile::kLoopVolume] = Item::num(16);
  if (!message.empty()) r[datafile::kMessage] = Item::str(std::move(message));
  return r;
}

const std::vector<Row> kThreeSeconds = {row(0.7, 0.7, 0, 0.7, "Breathing Started"),
                                        row(1.28, 1.3, 20, 1.3, "Warning: High O2"),
                                        row(1.31, 1.31, 21, 1.3)};

std::vector<Row> steadyDive(int seconds) {
  std::vector<Row> rows;
  for (int s = 1; s <= seconds; ++s)
    rows.push_back(row(1.2 + (s % 7) / 100.0, 1.2, s < 60 ? s / 3 : 20, 1.3,
                       s % 100 == 0 ? "Manual O2 Addition" : ""));
  return rows;
}

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    oldCwd = QDir::currentPath();
  }
  void TearDown() override {
    viewer.reset();
    QDir::setCurrent(oldCwd);
  }
  // A viewer whose message boxes and file dialogs are recorded instead of shown.
  ResultsViewer& make(Mode mode) {
    viewer = std::make_unique<ResultsViewer>(mode);
    ResultsViewer::Prompts p;
    p.warn = [this](const QString& text) { warnings << text; };
    p.choosePath = [this](const QString& title, const QString& filter, const QString&, bool save) {
      asked << QStringList{title, filter, save ? QStringLiteral("save") : QStringLiteral("open")};
      return answer;
    };
    viewer->setPrompts(std::move(p));
    return *viewer;
  }
  QString write(const QString& name, const std::string& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return path;
  }
  QString writeRows(const QString& name, const std::vector<Row>& rows) {
    return write(name, datafile::formatFile({2026, 3, 14, 10, 21, 7}, rows));
  }
  static QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QLineSeries* curve(Curve c) const { return viewer->chartView()->series(c); }
  template <class W>
  W* child(const char* name) const {
    return viewer->findChild<W*>(QLatin1String(name));
  }
  void showAndSettle() {
    viewer->show();
    QApplication::processEvents();
  }
  void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QWidget* vp = viewer->chartView()->viewport();
    QMouseEvent e(type, QPointF(pos), QPointF(vp->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  }

  QTemporaryDir dir;
  QString oldCwd;
  std::unique_ptr<ResultsViewer> viewer;
  QStringList warnings;
  QList<QStringList> asked;
  QString answer;
};

// ---- The window -----------------------------------------------------------------------------

TEST_F(ViewerTest, CaptionSizeAndControlsOfTheSimulatorViewer) {
  ResultsViewer& v = make(Mode::Simulator);
  EXPECT_EQ(v.windowTitle(), QStringLiteral("Orvane Pelagrinova Simulator  Results Viewer"));
  EXPECT_EQ(v.size(), QSize(723, 509));  // 10845 x 7635 twips
  ASSERT_NE(child<QGroupBox>("Frame1"), nullptr);
  EXPECT_EQ(child<QGroupBox>("Frame1")->title(), QStringLiteral("Data"));
  ASSERT_NE(child<DiveChartView>("MSChart1"), nullptr);
  EXPECT_EQ(child<QPushButton>("Command1")->text(), QStringLiteral("E&xit"));
  ASSERT_NE(child<QPushButton>("Command2"), nullptr);
  EXPECT_EQ(child<QPushButton>("Command2")->text(), QStringLiteral("&Save Data as"));
  ASSERT_NE(child<QPushButton>("Command3"), nullptr);
  EXPECT_EQ(child<QPushButton>("Command3")->text(), QStringLiteral("&Load data from"));
  EXPECT_EQ(v.property("programVersion").toString(), QStringLiteral("1.00.0002"));
}

TEST_F(ViewerTest, StandaloneViewerOpensFilesAndTheLibraryButSavesNothing) {
  ResultsViewer& v = make(Mode::Standalone);
  EXPECT_EQ(v.windowTitle(), QStringLiteral("Orvane Pelagrinova Simulator  Results Viewer"));
  EXPECT_EQ(v.size(), QSize(723, 509));
  EXPECT_EQ(child<QPushButton>("Command2"), nullptr);
  EXPECT_EQ(child<QPushButton>("Command3"), nullptr);
  EXPECT_EQ(child<QPushButton>("OpenButton")->text(), QStringLiteral("&Open..."));
  EXPECT_EQ(child<QPushButton>("LibraryButton")->text(), QStringLiteral("Dive &library"));
  EXPECT_EQ(child<QPushButton>("Command1")->text(), QStringLiteral("E&xit"));
  EXPECT_NE(child<QPushButton>("ExportPngButton"), nullptr);
  EXPECT_NE(child<QPushButton>("ResetZoomButton"), nullptr);
  EXPECT_EQ(v.property("programVersion").toString(), QStringLiteral("0.00.0001"));
}

TEST_F(ViewerTest, AxisTitlesOnlyInTheSimulator) {
  make(Mode::Simulator);
  DiveChartView* c = viewer->chartView();
  EXPECT_EQ(c->timeAxis()->titleText(), QStringLiteral("time (s)"));
  EXPECT_EQ(c->po2Axis()->titleText(), QStringLiteral("PO 2"));
  EXPECT_EQ(c->depthAxis()->titleText(), QStringLiteral("Depth meters"));
  make(Mode::Standalone);
  c = viewer->chartView();
  EXPECT_TRUE(c->timeAxis()->titleText().isEmpty());
  EXPECT_TRUE(c->po2Axis()->titleText().isEmpty());
  EXPECT_TRUE(c->depthAxis()->titleText().isEmpty());
}

TEST_F(ViewerTest, ExitClosesTheViewer) {
  make(Mode::Simulator);
  showAndSettle();
  QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_FALSE(viewer->isVisible());
  EXPECT_EQ(viewer->result(), QDialog::Accepted);
}

struct LayoutCase {
  Mode mode;
  int width, height;
};

class ViewerLayout : public ViewerTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(ViewerLayout, FollowsTheWindowSize) {
  const LayoutCase c = GetParam();
  make(c.mode);
  viewer->resize(c.width, c.height);
  showAndSettle();
  // In pixels: m = 4, buttons 120 x 30; the border and caption of the outer size are 8 px
  // across and 36 px down.
  const int W = c.width * 15 + 120, H = c.height * 15 + 540;
  auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
  EXPECT_EQ(child<QGroupBox>("Frame1")->geometry(),
            QRect(px(60), px(60), px(W - 240), px(H - 120 - 450 - 60 - 540)));
  EXPECT_EQ(child<QPushButton>("Command1")->geometry(),
            QRect(px(W - 1800 - 180), px(H - 450 - 60 - 540), px(1800), px(450)));
  if (c.mode == Mode::Simulator) {
    EXPECT_EQ(child<QPushButton>("Command2")->geometry().topLeft(), QPoint(px(60), px(H - 1050)));
    EXPECT_EQ(child<QPushButton>("Command3")->geometry().topLeft(), QPoint(px(1800 + 120), px(H - 1050)));
    EXPECT_EQ(child<QPushButton>("Command3")->size(), child<QPushButton>("Command1")->size());
  }
  // The chart sits inside the frame, 8 px in from its sides and bottom.
  const QRect frame = child<QGroupBox>("Frame1")->rect();
  const QRect chart = viewer->chartView()->geometry();
  const QRect panel = viewer->debriefPanel()->geometry();
  EXPECT_EQ(chart.left(), 8);
  EXPECT_EQ(frame.right() - panel.right(), 8);  // the summary panel stands at its right
  EXPECT_LT(chart.right(), panel.left());
  EXPECT_EQ(frame.bottom() - chart.bottom(), 8);
  EXPECT_GE(chart.top(), 8);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ViewerLayout,
                         ::testing::Values(LayoutCase{Mode::Simulator, 723, 509},
                                           LayoutCase{Mode::Simulator, 1200, 800},
                                           LayoutCase{Mode::Standalone, 800, 450}));

// ---- Loading --------------------------------------------------------------------------------

TEST_F(ViewerTest, ThreeRowsGiveThreePointsOnEveryCurve) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), kThreeSeconds)));
  EXPECT_TRUE(warnings.isEmpty());
  for (Curve c : {Curve::RealPO2, Curve::HandsetPO2, Curve::Setpoint, Curve::Depth})
    EXPECT_EQ(curve(c)->count(), 3) << curve(c)->name().toStdString();
  EXPECT_EQ(curve(Curve::RealPO2)->points(),
            (QList<QPointF>{{1, 0.7}, {2, 1.28}, {3, 1.31}}));
  EXPECT_EQ(curve(Curve::HandsetPO2)->at(1), QPointF(2, 1.3));
  EXPECT_EQ(curve(Curve::Setpoint)->at(2), QPointF(3, 1.3));
  EXPECT_EQ(viewer->rows().size(), 3u);
  EXPECT_EQ(viewer->dataFileName(), dir.filePath(QStringLiteral("d.csv")));
}

TEST_F(ViewerTest, DepthIsChartedNegated) {
  make(Mode::Standalone);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), kThreeSeconds)));
  EXPECT_EQ(curve(Curve::Depth)->points(), (QList<QPointF>{{1, 0}, {2, -20}, {3, -21}}));
  // Its own axis, from below the deepest point up to the surface.
  EXPECT_TRUE(curve(Curve::Depth)->attachedAxes().contains(viewer->chartView()->depthAxis()));
  EXPECT_FALSE(curve(Curve::RealPO2)->attachedAxes().contains(viewer->chartView()->depthAxis()));
  EXPECT_LE(viewer->chartView()->depthAxis()->min(), -21);
  EXPECT_EQ(viewer->chartView()->depthAxis()->max(), 0);
}

TEST_F(ViewerTest, SeriesNamesLimitsAndLegend) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), kThreeSeconds)));
  EXPECT_EQ(curve(Curve::RealPO2)->name(), QStringLiteral("Real PO2"));
  EXPECT_EQ(curve(Curve::HandsetPO2)->name(), QStringLiteral("Handset PO2"));
  EXPECT_EQ(curve(Curve::Setpoint)->name(), QStringLiteral("Setpoint"));
  EXPECT_EQ(curve(Curve::Depth)->name(), QStringLiteral("Depth"));
  QList<double> limits;
  for (QAbstractSeries* s : viewer->chartView()->chart()->series()) {
    auto* line = qobject_cast<QLineSeries*>(s);
    if (line && line->name().startsWith(QStringLiteral("PO2 limits"))) {
      ASSERT_EQ(line->count(), 2);
      EXPECT_EQ(line->at(0).y(), line->at(1).y());
      EXPECT_LE(line->at(0).x(), 1);
      EXPECT_GE(line->at(1).x(), 3);
      limits << line->at(0).y();
    }
  }
  std::sort(limits.begin(), limits.end());
  EXPECT_EQ(limits, (QList<double>{0.4, 1.6}));
  EXPECT_TRUE(viewer->chartView()->chart()->legend()->isVisible());
  EXPECT_GE(viewer->chartView()->po2Axis()->max(), 1.8);
}

TEST_F(ViewerTest, ShorterFileAfterALongerOneChartsOnlyItsOwnRows) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("long.csv"), steadyDive(500))));
  EXPECT_EQ(curve(Curve::RealPO2)->count(), 500);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("short.csv"), kThreeSeconds)));
  EXPECT_EQ(viewer->rows().size(), 3u);
  for (Curve c : {Curve::RealPO2, Curve::HandsetPO2, Curve::Setpoint, Curve::Depth})
    EXPECT_EQ(curve(c)->count(), 3);
  EXPECT_EQ(viewer->chartView()->timeAxis()->max(), 3);
  EXPECT_EQ(viewer->chartView()->trace().messages.size(), 2u);
}

TEST_F(ViewerTest, FileWithoutTrailerChartsEveryRow) {
  make(Mode::Simulator);
  std::string text = datafile::formatFile({}, kThreeSeconds);
  text.resize(text.rfind("\r\n\r\n") + 2);
  ASSERT_TRUE(viewer->loadFile(write(QStringLiteral("cut.csv"), text)));
  EXPECT_EQ(curve(Curve::RealPO2)->count(), 3);
}

struct BadFileCase {
  const char* name;
  std::string bytes;  // empty name: no file at all
  const char* reason;
};

class ViewerBadFile : public ViewerTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(ViewerBadFile, KeepsTheChartAndSaysWhy) {
  make(Mode::Simulator);
  const QString good = writeRows(QStringLiteral("good.csv"), kThreeSeconds);
  ASSERT_TRUE(viewer->loadFile(good));
  QString bad = dir.filePath(QStringLiteral("bad.csv"));
  if (std::string(GetParam().name) == "Folder") {
    bad = dir.path();
  } else if (std::string(GetParam().name) == "Pipe") {
    // Nobody writes into it: opening it for reading would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
  } else if (std::string(GetParam().name) != "Missing") {
    bad = write(QStringLiteral("bad.csv"), GetParam().bytes);
  }
  EXPECT_FALSE(viewer->loadFile(bad));
  // The chart and the loaded rows are those of the good file.
  EXPECT_EQ(curve(Curve::RealPO2)->count(), 3);
  EXPECT_EQ(viewer->rows().size(), 3u);
  EXPECT_EQ(viewer->dataFileName(), good);
  EXPECT_FALSE(viewer->chartView()->isEmptyState());
  ASSERT_EQ(warnings.size(), 1);
  EXPECT_TRUE(warnings[0].contains(QDir::toNativeSeparators(QFileInfo(bad).absoluteFilePath())))
      << warnings[0].toStdString();
  EXPECT_TRUE(warnings[0].contains(QString::fromUtf8(GetParam().reason))) << warnings[0].toStdString();
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("still shows good.csv")));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ViewerBadFile,
    ::testing::Values(BadFileCase{"Missing", "", "does not exist"},
                      BadFileCase{"Folder", "", "folder, not a file"},
                      BadFileCase{"Pipe", "", "not a plain file"},
                      BadFileCase{"Garbage", "\x01\x02garbage\r\n,,,\"", "not a data file"},
                      BadFileCase{"EmptyFile", "", "not a data file"},
                      BadFileCase{"OtherCsv", "a,b,c\r\n1,2,3\r\n", "not a data file"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(ViewerTest, StandaloneShowsWhyTheChartIsEmptyWhenTheFileIsMissing) {
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  make(Mode::Standalone);
  EXPECT_FALSE(viewer->loadFile(QStringLiteral("OrvanePelaSimData.csv")));
  EXPECT_TRUE(warnings.isEmpty());  // no message box in the standalone viewer
  EXPECT_TRUE(viewer->chartView()->isEmptyState());
  const QString text = viewer->chartView()->emptyText();
  EXPECT_TRUE(text.contains(QStringLiteral("\"OrvanePelaSimData.csv\" was not found in the current folder")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QDir::toNativeSeparators(QDir::currentPath()))) << text.toStdString();
  EXPECT_EQ(curve(Curve::RealPO2)->count(), 0);
  EXPECT_FALSE(child<QPushButton>("ExportPngButton")->isEnabled());
}

TEST_F(ViewerTest, SimulatorFirstLoadFailingLeavesAnExplainedEmptyChart) {
  make(Mode::Simulator);
  EXPECT_FALSE(viewer->loadFile(write(QStringLiteral("x.csv"), "hello")));
  EXPECT_EQ(warnings.size(), 1);
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("The chart stays empty")));
  EXPECT_TRUE(viewer->chartView()->isEmptyState());
  EXPECT_TRUE(viewer->chartView()->emptyText().contains(QStringLiteral("not a data file")));
  EXPECT_FALSE(child<QPushButton>("Command2")->isEnabled());  // nothing to save
}

TEST_F(ViewerTest, DataFileWithoutRowsSaysSo) {
  make(Mode::Standalone);
  EXPECT_TRUE(viewer->loadFile(writeRows(QStringLiteral("none.csv"), {})));
  EXPECT_TRUE(viewer->chartView()->isEmptyState());
  EXPECT_TRUE(viewer->chartView()->emptyText().contains(QStringLiteral("no recorded seconds")));
}

// ---- Saving ---------------------------------------------------------------------------------

TEST_F(ViewerTest, SaveWritesExactlyTheDataFileFormat) {
  make(Mode::Simulator);
  const std::vector<Row> rows = steadyDive(250);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("in.csv"), rows)));
  const QString out = dir.filePath(QStringLiteral("out.csv"));
  ASSERT_TRUE(viewer->saveFile(out)) << viewer->lastError().toStdString();
  const QByteArray saved = readAll(out);
  // The title line carries the date and time of the save; the rest is the writer's output.
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("^\"Orvane Pelagrinova Simulator\",#(\\d{4})-(\\d\\d)-(\\d\\d)#,"
                                        "#(\\d\\d):(\\d\\d):(\\d\\d)#\r\n"))
          .match(QString::fromLatin1(saved.left(80)));
  ASSERT_TRUE(m.hasMatch()) << saved.left(80).toStdString();
  const datafile::Stamp stamp{m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                              m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt()};
  const std::string expected = datafile::formatFile(stamp, rows);
  EXPECT_EQ(saved.toStdString(), expected);
  EXPECT_EQ(datafile::readFile(saved.toStdString()).rows, rows);
}

TEST_F(ViewerTest, SaveKeepsEveryRowOfAThreeSecondRun) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("in.csv"), kThreeSeconds)));
  const QString out = dir.filePath(QStringLiteral("out.csv"));
  ASSERT_TRUE(viewer->saveFile(out));
  const std::string saved = readAll(out).toStdString();
  EXPECT_NE(saved.find("\r\n1,0.7,0.7,0,0.7,16,\"Breathing Started\"\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\n3,1.31,1.31,21,1.3,16,\r\n\r\n"), std::string::npos);
}

TEST_F(ViewerTest, SaveFailureIsReportedAndWritesNothing) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("in.csv"), kThreeSeconds)));
  const QString out = dir.filePath(QStringLiteral("no/such/folder/out.csv"));
  EXPECT_FALSE(viewer->saveFile(out));
  ASSERT_EQ(warnings.size(), 1);
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("could not be saved")));
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("No such file or directory")));
  EXPECT_FALSE(QFile::exists(out));
}

TEST_F(ViewerTest, SaveAndLoadButtonsAskWithTheDataFileFilter) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("in.csv"), kThreeSeconds)));
  showAndSettle();
  answer = dir.filePath(QStringLiteral("copy.csv"));
  QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0], (QStringList{QStringLiteral("Save Data as"),
                                   QStringLiteral("Data Files (comma seperated)(*.csv)"),
                                   QStringLiteral("save")}));
  EXPECT_TRUE(QFile::exists(answer));

  answer = writeRows(QStringLiteral("other.csv"), steadyDive(40));
  QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
  ASSERT_EQ(asked.size(), 2);
  EXPECT_EQ(asked[1], (QStringList{QStringLiteral("Load data from"),
                                   QStringLiteral("Data Files (comma seperated)(*.csv)"),
                                   QStringLiteral("open")}));
  EXPECT_EQ(curve(Curve::RealPO2)->count(), 40);

  // Cancelling either dialog changes nothing.
  answer.clear();
  QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
  QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
  EXPECT_EQ(curve(Curve::RealPO2)->count(), 40);
  EXPECT_TRUE(warnings.isEmpty());
}

// ---- Mouse: readout, flags, zoom ------------------------------------------------------------

TEST_F(ViewerTest, ReadoutShowsTheValuesOfTheSecondUnderTheMouse) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), kThreeSeconds)));
  showAndSettle();
  DiveChartView* c = viewer->chartView();
  const QRect plot = c->plotRectInView();
  mouse(QEvent::MouseMove, QPoint(c->viewXOfTime(2), plot.center().y()), Qt::NoButton, Qt::NoButton);
  ASSERT_TRUE(c->readoutVisible());
  const QString text = c->readoutText();
  EXPECT_TRUE(text.contains(QStringLiteral("2 s"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("True PO2")));
  EXPECT_TRUE(text.contains(QStringLiteral("1.28 bar")));
  EXPECT_TRUE(text.contains(QStringLiteral("1.30 bar")));  // handset and setpoint
  EXPECT_TRUE(text.contains(QStringLiteral("20 m")));
  // Leaving the plot hides it.
  mouse(QEvent::MouseMove, QPoint(2, 2), Qt::NoButton, Qt::NoButton);
  EXPECT_FALSE(c->readoutVisible());
}

TEST_F(ViewerTest, LaneTipNamesTheMessageAndItsTime) {
  make(Mode::Standalone);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), steadyDive(1000))));
  showAndSettle();
  DiveChartView* c = viewer->chartView();
  const QRect plot = c->plotRectInView();
  const int y = c->viewYOfLane(debrief::Lane::Actions);
  const QString tip = c->laneTipAt(QPoint(c->viewXOfTime(300), y));
  EXPECT_TRUE(tip.startsWith(QStringLiteral("Manual O2 Addition at 300 s (5:00)"))) << tip.toStdString();
  // Far from any event, on another lane or over the curves there is no tip.
  EXPECT_TRUE(c->laneTipAt(QPoint(c->viewXOfTime(350), y)).isEmpty());
  EXPECT_TRUE(c->laneTipAt(QPoint(c->viewXOfTime(300), c->viewYOfLane(debrief::Lane::BailOut))).isEmpty());
  EXPECT_TRUE(c->laneTipAt(QPoint(c->viewXOfTime(300), plot.center().y())).isEmpty());
}

TEST_F(ViewerTest, DraggingZoomsIntoAStretchOfTimeAndRightClickZoomsOut) {
  make(Mode::Standalone);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), steadyDive(1000))));
  showAndSettle();
  DiveChartView* c = viewer->chartView();
  QPushButton* reset = child<QPushButton>("ResetZoomButton");
  EXPECT_FALSE(reset->isEnabled());
  const int y = c->plotRectInView().center().y();
  const int x0 = c->viewXOfTime(200), x1 = c->viewXOfTime(400);
  mouse(QEvent::MouseButtonPress, QPoint(x0, y), Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, QPoint((x0 + x1) / 2, y), Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, QPoint(x1, y), Qt::NoButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, QPoint(x1, y), Qt::LeftButton, Qt::NoButton);
  EXPECT_TRUE(c->isZoomed());
  EXPECT_NEAR(c->timeAxis()->min(), 200, 3);
  EXPECT_NEAR(c->timeAxis()->max(), 400, 3);
  EXPECT_TRUE(reset->isEnabled());
  // The y axes stay as they were.
  EXPECT_EQ(c->po2Axis()->min(), 0);

  mouse(QEvent::MouseButtonPress, QPoint(x0, y), Qt::RightButton, Qt::RightButton);
  mouse(QEvent::MouseButtonRelease, QPoint(x0, y), Qt::RightButton, Qt::NoButton);
  EXPECT_FALSE(c->isZoomed());
  EXPECT_EQ(c->timeAxis()->min(), 0);
  EXPECT_EQ(c->timeAxis()->max(), 1000);
  EXPECT_FALSE(reset->isEnabled());
}

TEST_F(ViewerTest, ClickIsNoZoomAndDoubleClickOrResetButtonZoomsOut) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), steadyDive(1000))));
  showAndSettle();
  DiveChartView* c = viewer->chartView();
  const QPoint p(c->viewXOfTime(500), c->plotRectInView().center().y());
  mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, p + QPoint(2, 0), Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(c->isZoomed());

  c->zoomTo(100, 300);
  EXPECT_TRUE(c->isZoomed());
  mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
  EXPECT_FALSE(c->isZoomed());

  c->zoomTo(100, 300);
  QTest::mouseClick(child<QPushButton>("ResetZoomButton"), Qt::LeftButton);
  EXPECT_FALSE(c->isZoomed());
  EXPECT_EQ(c->timeAxis()->max(), 1000);
}

TEST_F(ViewerTest, ZoomIsKeptWithinTheRecordAndNeverNarrowerThanTenSeconds) {
  make(Mode::Simulator);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), steadyDive(1000))));
  DiveChartView* c = viewer->chartView();
  c->zoomTo(500, 501);
  EXPECT_DOUBLE_EQ(c->timeAxis()->max() - c->timeAxis()->min(), 10);
  c->zoomTo(-100, 50);
  EXPECT_EQ(c->timeAxis()->min(), 0);
  EXPECT_EQ(c->timeAxis()->max(), 50);
  c->zoomTo(995, 2000);
  EXPECT_EQ(c->timeAxis()->min(), 990);
  EXPECT_EQ(c->timeAxis()->max(), 1000);
  // A new file always starts with the whole dive.
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("e.csv"), kThreeSeconds)));
  EXPECT_FALSE(c->isZoomed());
  EXPECT_EQ(c->timeAxis()->max(), 3);
}

// ---- Export ---------------------------------------------------------------------------------

TEST_F(ViewerTest, ExportWritesAPngOfTheChart) {
  make(Mode::Standalone);
  ASSERT_TRUE(viewer->loadFile(writeRows(QStringLiteral("d.csv"), steadyDive(300))));
  showAndSettle();
  EXPECT_TRUE(child<QPushButton>("ExportPngButton")->isEnabled());
  answer = dir.filePath(QStringLiteral("chart.png"));
  QTest::mouseClick(child<QPushButton>("ExportPngButton"), Qt::LeftButton);
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0][1], QStringLiteral("PNG pictures (*.png)"));
  QImage img(answer);
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), viewer->chartView()->size() * 2);
  EXPECT_TRUE(warnings.isEmpty());

  EXPECT_FALSE(viewer->exportPng(dir.filePath(QStringLiteral("no/such/folder/c.png"))));
  EXPECT_EQ(warnings.size(), 1);
}

}  // namespace
}  // namespace pelasim
