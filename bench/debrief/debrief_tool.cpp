// Timings of the debrief on a five-hour dive with 2,000 events: the summary and lanes, the
// chart (offscreen), and the PDF report. Also writes that report and a chart picture to look at.
//   pelasim_debrief_tool [OUT_DIR]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "debrief/Debrief.h"
#include "debrief/qt/DebriefReport.h"
#include "debrief/qt/DiveChartView.h"

using namespace pelasim;

namespace {

// 18000 seconds at 30 m, a warning episode every 15 minutes, failures, bail-outs and many
// trainee actions: 2,000 events in all.
DiveData fiveHourDive() {
  DiveData d;
  d.info.trainee = "Benchmark Diver";
  d.info.startedAt = "2026-12-07 06:00:00";
  for (int s = 1; s <= 18000; ++s)
    d.samples.push_back({s, 1.2 + (s % 97) / 400.0, s > 60 ? std::optional<double>(1.21) : std::nullopt,
                         s < 300 ? s / 10 : 30, 1.3, 16});
  const char* actions[] = {"Manual O2 Addition", "Manual Diluent Addition", "Left handset: middle button",
                           "Dump Valve Operated"};
  for (int i = 0; i < 2000; ++i) {
    const int s = 5 + i * 9;
    DiveEvent e{s * 1000LL, s, EventKind::Status, {}, {}};
    if (i % 100 == 50) {
      e.kind = EventKind::FailureApplied;
      e.text = "Failures took effect";
      e.detail = "Cell Failure, Solenoid Stuck Open";
    } else if (i % 100 == 99) {
      e.text = i % 200 == 99 ? "Bailed Out" : "Returned to loop";
    } else if (i % 100 < 20) {
      e.text = "Warning: Low O2";
    } else {
      e.text = actions[i % 4];
    }
    d.events.push_back(e);
  }
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  const DiveData dive = fiveHourDive();

  // Medians of five runs, wall clock and processor time (the machine is shared).
  struct Figure {
    std::vector<double> wall, cpu;
    void add(double w, double c) { wall.push_back(w), cpu.push_back(c); }
    static double median(std::vector<double> v) {
      std::sort(v.begin(), v.end());
      return v[v.size() / 2];
    }
  } summaryFig, chartFig, reportFig;
  auto cpuMs = [] { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; };
  QElapsedTimer t;
  std::size_t lineCount = 0, markCount = 0;
  bool ok = true;
  QString error;
  DiveChartView view;
  view.setAttribute(Qt::WA_DontShowOnScreen, true);
  view.resize(1200, 700);
  view.show();
  QApplication::processEvents();
  for (int run = 0; run < 5; ++run) {
    t.start();
    double c0 = cpuMs();
    const debrief::Summary summary = debrief::summarize(dive);
    lineCount = debrief::summaryLines(summary).size();
    markCount = debrief::laneMarks(dive).size();
    summaryFig.add(static_cast<double>(t.nsecsElapsed()) / 1e6, cpuMs() - c0);

    t.restart();
    c0 = cpuMs();
    view.setDive(dive, QStringLiteral("five hours"));
    const QImage shot = view.grab().toImage();  // drawn once, as on the screen
    chartFig.add(static_cast<double>(t.nsecsElapsed()) / 1e6 + summaryFig.wall.back(),
                 cpuMs() - c0 + summaryFig.cpu.back());

    t.restart();
    c0 = cpuMs();
    ok = ok && writeReportPdf(out + QStringLiteral("/debrief-report.pdf"), dive, error);
    reportFig.add(static_cast<double>(t.nsecsElapsed()) / 1e6, cpuMs() - c0);
  }
  view.renderImage(1.0).save(out + QStringLiteral("/debrief-chart.png"));

  std::printf("events %zu, lanes %zu marks, summary %zu lines (medians of 5 runs, wall / CPU)\n",
              dive.events.size(), markCount, lineCount);
  std::printf("summary and lanes          : %7.1f ms / %7.1f ms\n", Figure::median(summaryFig.wall),
              Figure::median(summaryFig.cpu));
  std::printf("summary, lanes and chart   : %7.1f ms / %7.1f ms (target 150 ms)\n", Figure::median(chartFig.wall),
              Figure::median(chartFig.cpu));
  std::printf("PDF report                 : %7.1f ms / %7.1f ms (target 1000 ms)%s\n", Figure::median(reportFig.wall),
              Figure::median(reportFig.cpu), ok ? "" : " FAILED");
  return ok ? 0 : 1;
}
