// Timings and pictures of the results viewer on a generated dive record (offscreen).
//
//   pelasim_viewer_tool write FILE SECONDS      writes a data file of that many seconds
//   pelasim_viewer_tool time SECONDS [RUNS]     times reading and charting such a file
//   pelasim_viewer_tool shot OUT.png FILE [simulator|standalone] [WIDTH HEIGHT]
//                       [readout T] [zoom FROM TO] [export CHART.png]
//                                               pictures the viewer on FILE (may be missing)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "SampleDive.h"
#include "datafile/DataFile.h"
#include "debrief/DiveTrace.h"
#include "debrief/qt/DiveChartView.h"
#include "viewer/ResultsViewer.h"

namespace {

using pelasim::ResultsViewer;

int usage() {
  std::fprintf(stderr,
               "usage: pelasim_viewer_tool write FILE SECONDS\n"
               "       pelasim_viewer_tool time SECONDS [RUNS]\n"
               "       pelasim_viewer_tool shot OUT.png FILE [simulator|standalone] [W H] "
               "[readout T] [zoom FROM TO] [export CHART.png]\n");
  return 2;
}

bool writeSample(const std::string& path, int seconds) {
  const std::string text = pelasim::datafile::formatFile({2026, 3, 14, 10, 21, 7},
                                                         pelasim::bench::sampleDive(seconds));
  return pelasim::datafile::writeFileAtomically(path, text).ok;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

int timeIt(int seconds, int runs) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("OrvanePelaSimData.csv"));
  if (!writeSample(QFile::encodeName(file).toStdString(), seconds)) return 1;
  std::vector<double> readMs, loadMs, paintMs, zoomMs;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    std::string bytes, error;
    pelasim::datafile::readWholeFile(QFile::encodeName(file).toStdString(), bytes, error);
    const auto read = pelasim::datafile::readFile(bytes);
    const auto trace = pelasim::datafile::traceOf(read.rows);
    readMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);

    ResultsViewer viewer(ResultsViewer::Mode::Standalone);
    viewer.show();
    QApplication::processEvents();
    t.restart();
    if (!viewer.loadFile(file)) return 1;
    loadMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    t.restart();
    const QPixmap shot = viewer.grab();  // lays out and paints the whole window once
    paintMs.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    if (shot.isNull() || trace.seconds() != seconds) return 1;
    t.restart();
    viewer.chartView()->zoomTo(seconds * 0.4, seconds * 0.45);
    (void)viewer.grab();
    viewer.chartView()->resetZoom();
    (void)viewer.grab();
    zoomMs.push_back(static_cast<double>(t.nsecsElapsed()) / 2e6);
  }
  std::printf("rows %d, runs %d (medians)\n", seconds, runs);
  std::printf("  read file + parse + trace : %8.2f ms\n", median(readMs));
  std::printf("  loadFile (read and chart) : %8.2f ms\n", median(loadMs));
  std::printf("  first paint of the window : %8.2f ms\n", median(paintMs));
  std::printf("  load + paint              : %8.2f ms\n", median(loadMs) + median(paintMs));
  std::printf("  zoom in or out + repaint  : %8.2f ms\n", median(zoomMs));
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("  peak RSS of this tool     : %8.1f MB\n", static_cast<double>(ru.ru_maxrss) / 1024);
  return 0;
}

int shot(int argc, char** argv) {
  if (argc < 4) return usage();
  const QString out = QString::fromLocal8Bit(argv[2]);
  const QString file = QString::fromLocal8Bit(argv[3]);
  int i = 4;
  ResultsViewer::Mode mode = ResultsViewer::Mode::Simulator;
  if (i < argc && std::strcmp(argv[i], "standalone") == 0) mode = ResultsViewer::Mode::Standalone, ++i;
  else if (i < argc && std::strcmp(argv[i], "simulator") == 0) ++i;
  int w = 0, h = 0;
  if (i + 1 < argc && std::atoi(argv[i]) > 0) {
    w = std::atoi(argv[i]);
    h = std::atoi(argv[i + 1]);
    i += 2;
  }
  double readoutAt = -1, zoomFrom = -1, zoomTo = -1;
  QString exportTo;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "readout") == 0 && i + 1 < argc) readoutAt = std::atof(argv[++i]);
    else if (std::strcmp(argv[i], "export") == 0 && i + 1 < argc) exportTo = QString::fromLocal8Bit(argv[++i]);
    else if (std::strcmp(argv[i], "zoom") == 0 && i + 2 < argc) {
      zoomFrom = std::atof(argv[++i]);
      zoomTo = std::atof(argv[++i]);
    } else return usage();
  }
  ResultsViewer viewer(mode);
  viewer.setPrompts({nullptr, [](const QString& text) {
                       std::fprintf(stderr, "message box: %s\n", text.toLocal8Bit().constData());
                     }});
  viewer.loadFile(file);
  if (w > 0) viewer.resize(w, h);
  viewer.show();
  QApplication::processEvents();
  if (zoomFrom >= 0) viewer.chartView()->zoomTo(zoomFrom, zoomTo);
  if (readoutAt >= 0) viewer.chartView()->showReadoutAt(readoutAt);
  QApplication::processEvents();
  if (!exportTo.isEmpty() && !viewer.exportPng(exportTo)) return 1;
  return viewer.grab().save(out, "PNG") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) return usage();
  const std::string cmd = argv[1];
  if (cmd == "write" && argc == 4) return writeSample(argv[2], std::atoi(argv[3])) ? 0 : 1;
  if (cmd == "time" && argc >= 3) return timeIt(std::atoi(argv[2]), argc > 3 ? std::atoi(argv[3]) : 5);
  if (cmd == "shot") return shot(argc, argv);
  return usage();
}
