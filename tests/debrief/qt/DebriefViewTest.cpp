// The debrief in the results viewer: handset gaps, event lanes, the summary panel, the PDF
// report (read back with pdftotext) and a second dive laid over the first.
#include <QApplication>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QValueAxis>
#include <gtest/gtest.h>

#include "debrief/Debrief.h"
#include "gui/GuiFixture.h"
#include "debrief/qt/DebriefPanel.h"
#include "debrief/qt/DebriefReport.h"
#include "debrief/qt/DiveChartView.h"
#include "viewer/ResultsViewer.h"

namespace pelasim {
namespace {

using Curve = DiveChartView::Curve;

// A dive of `seconds` at 20 m: the handset reads nothing for its first 30 s and again from
// 100 to 109 s, a cell warning lasts from 368 to 586 s, a failure takes effect at 300 s and
// the trainee bails out at 700 s and returns at 760 s.
DiveData sampleDive(int seconds, const std::string& trainee = "Dana Example") {
  DiveData d;
  d.info.trainee = trainee;
  d.info.startedAt = "2026-12-07 09:30:00";
  for (int s = 1; s <= seconds; ++s) {
    DiveSample x{s, 1.25, std::nullopt, 20, 1.3, 16};
    if (s > 30 && (s < 100 || s >= 110)) x.handsetPO2 = 1.27;
    d.samples.push_back(x);
  }
  auto ev = [&](int s, EventKind k, std::string text, std::string detail = {}) {
    if (s <= seconds) d.events.push_back({s * 1000LL, s, k, std::move(text), std::move(detail)});
  };
  ev(10, EventKind::Status, "Breathing Started");
  ev(240, EventKind::FailureArmed, "Failures armed", "Cell Failure; delay 1 min; source dialog");
  ev(300, EventKind::FailureApplied, "Failures took effect", "Cell Failure");
  ev(300, EventKind::Status, "Options Changed");
  for (int s = 368; s <= 586; ++s) ev(s, EventKind::Status, "Warning: Cell Warning");
  ev(700, EventKind::Status, "Bailed Out");
  ev(760, EventKind::Status, "Returned to loop");
  std::stable_sort(d.events.begin(), d.events.end(), [](auto& a, auto& b) { return a.ms < b.ms; });
  return d;
}

QString run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(20000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

class DebriefView : public ::testing::Test {
 protected:
  void SetUp() override {
    viewer = std::make_unique<ResultsViewer>(ResultsViewer::Mode::Simulator);
    viewer->setPrompts({[this](const QString&, const QString&, const QString&, bool) { return answer; },
                        [this](const QString& text) { warnings << text; }});
    viewer->resize(1100, 700);
    viewer->show();
    QApplication::processEvents();
  }
  QTemporaryDir dir;
  std::unique_ptr<ResultsViewer> viewer;
  QString answer;
  QStringList warnings;
};

TEST_F(DebriefView, SecondsWithoutAHandsetReadingAreGapsNotZero) {
  viewer->showDebrief(sampleDive(900), QStringLiteral("sample"));
  DiveChartView* c = viewer->chartView();
  QLineSeries* handset = c->series(Curve::HandsetPO2);
  ASSERT_GT(handset->count(), 0);
  EXPECT_EQ(handset->at(0), QPointF(31, 1.27));
  EXPECT_EQ(handset->at(handset->count() - 1).x(), 99);
  // The stretch after the gap is a curve of its own with the same pen.
  int pieces = 0;
  for (QAbstractSeries* s : c->chart()->series()) {
    auto* l = qobject_cast<QLineSeries*>(s);
    if (l && l != handset && l->pen() == handset->pen() && l->count() > 0) {
      ++pieces;
      EXPECT_EQ(l->at(0), QPointF(110, 1.27));
    }
  }
  EXPECT_EQ(pieces, 1);
}

TEST_F(DebriefView, LanesHoldTheWarningSpanTheFailureAndTheBailOut) {
  viewer->showDebrief(sampleDive(900), QStringLiteral("sample"));
  DiveChartView* c = viewer->chartView();
  QStringList labels;
  for (const auto& m : c->laneMarks())
    if (m.lane != debrief::Lane::Actions) labels << QString::fromStdString(m.label);
  EXPECT_EQ(labels, (QStringList{QStringLiteral("Cell Warning 368–586 s"), QStringLiteral("Armed: Cell Failure"),
                                 QStringLiteral("Cell Failure 300 s"), QStringLiteral("Bailed out 700–760 s")}));
  const QString tip = c->laneTipAt(QPoint(c->viewXOfTime(450), c->viewYOfLane(debrief::Lane::Warnings)));
  EXPECT_EQ(tip, QStringLiteral("Warning: Cell Warning, 368–586 s (6:08–9:46)"));
  const QString summary = viewer->debriefPanel()->summaryText();
  EXPECT_TRUE(summary.contains(QStringLiteral("Reaction to Cell Failure at 300 s"))) << summary.toStdString();
  EXPECT_TRUE(summary.contains(QStringLiteral("400 s (Bailed Out)"))) << summary.toStdString();
  EXPECT_TRUE(viewer->debriefPanel()->saveReportButton()->isEnabled());
  viewer->resize(1000, 640);
  QApplication::processEvents();
  saveShot(viewer.get(), QStringLiteral("debrief.png"));
  saveShot(c, QStringLiteral("debrief-chart.png"));
  // At the window's start size (10845 x 7635 twips) the chart and the summary share the frame.
  ResultsViewer small(ResultsViewer::Mode::Simulator);
  small.show();
  small.showDebrief(sampleDive(900), QStringLiteral("sample"));
  QApplication::processEvents();
  EXPECT_GT(small.chartView()->plotRectInView().width(), 250);
  saveShot(&small, QStringLiteral("debrief-start-size.png"));
  viewer->resize(small.size());
  QApplication::processEvents();
  QApplication::processEvents();
  saveShot(viewer.get(), QStringLiteral("debrief-shrunk.png"));
}

TEST_F(DebriefView, SaveReportWritesAPdfWithTitleSummaryAndEveryEvent) {
  viewer->showDebrief(sampleDive(900), QStringLiteral("sample"));
  answer = dir.filePath(QStringLiteral("report.pdf"));
  viewer->debriefPanel()->saveReportButton()->click();
  ASSERT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
  const QString info = run(QStringLiteral("pdfinfo"), {answer});
  EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << info.toStdString();
  const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), answer, QStringLiteral("-")});
  for (const char* expected : {"Dive debrief: Dana Example", "2026-12-07 09:30:00", "Dive length: 15 min 00 s",
                               "Cell Warning 368–586 s", "Bailed out 700–760 s", "Summary", "400 s (Bailed Out)", "Cell Failure 300 s",
                               "Cell Warning warnings", "Events (225)", "219 times in all", "Failures took effect: Cell Failure",
                               "Returned to loop"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
  // A folder that does not exist: said so, nothing written.
  EXPECT_FALSE(viewer->saveReport(dir.filePath(QStringLiteral("no/such/r.pdf"))));
  EXPECT_EQ(warnings.size(), 1);
}

TEST_F(DebriefView, ASecondDiveIsLaidOverTheFirstWithBothSummaries) {
  viewer->showDebrief(sampleDive(900), QStringLiteral("sample"));
  viewer->compareWith(sampleDive(1200, "Model dive"));
  DiveChartView* c = viewer->chartView();
  EXPECT_TRUE(c->hasCompare());
  EXPECT_EQ(c->compareSeries(Curve::RealPO2)->count(), 1200);
  EXPECT_EQ(c->compareSeries(Curve::Depth)->at(0), QPointF(1, -20));
  EXPECT_EQ(c->timeAxis()->max(), 1200);
  EXPECT_TRUE(viewer->debriefPanel()->summaryText().contains(QStringLiteral("Compared dive")));
  QApplication::processEvents();
  saveShot(viewer.get(), QStringLiteral("debrief-compare.png"));
  // A new dive drops the compared one.
  viewer->showDebrief(sampleDive(300), QStringLiteral("again"));
  EXPECT_FALSE(c->hasCompare());
  EXPECT_EQ(c->compareSeries(Curve::RealPO2)->count(), 0);
}

struct CommandCase {
  const char* name;
  QStringList args;
  int code;
};

class ReportCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ReportCommand, AnswersWithItsExitCode) {
  EXPECT_EQ(runReportCommand(GetParam().args), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ReportCommand,
    ::testing::Values(CommandCase{"NoFileNamed", {QStringLiteral("viewer"), QStringLiteral("--report"), QStringLiteral("o.pdf")}, 64},
                      CommandCase{"MissingDataFile", {QStringLiteral("viewer"), QStringLiteral("--report"), QStringLiteral("/nonexistent/o.pdf"), QStringLiteral("/nonexistent/d.csv")}, 1},
                      CommandCase{"AFolderIsNoDataFile", {QStringLiteral("viewer"), QStringLiteral("--report"), QStringLiteral("/nonexistent/o.pdf"), QStringLiteral("/")}, 1}),
    [](const ::testing::TestParamInfo<CommandCase>& c) { return std::string(c.param.name); });

}  // namespace
}  // namespace pelasim
