// OrvanePelaSimViewer: charts the data file "OrvanePelaSimData.csv" of the current folder,
// as the simulator wrote it at the end of a dive.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include <cstring>

#include "record/datafile/DataFile.h"
#include "record/qt/DebriefReport.h"
#include "record/qt/ResultsViewer.h"

int main(int argc, char** argv) {
  // "--report OUT.pdf FILE.csv" writes the debrief report without a window or a display.
  bool report = false;
  for (int i = 1; i < argc; ++i) report = report || std::strcmp(argv[i], "--report") == 0;
  if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (report) return pelasim::runReportCommand(QApplication::arguments());
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSimViewer"));
  QApplication::setApplicationDisplayName(
      QStringLiteral("Captured Data Viewer for Orvane Pelagrinova Simulator"));
  QApplication::setApplicationVersion(QStringLiteral("0.00.0001"));

  const QString icon = QApplication::applicationDirPath() + QStringLiteral("/OrvanePelaSimViewer.png");
  if (QFileInfo::exists(icon)) QApplication::setWindowIcon(QIcon(icon));

  pelasim::ResultsViewer viewer(pelasim::ResultsViewer::Mode::Standalone);
  // A missing or unreadable file leaves the chart empty with the reason in its middle.
  viewer.loadFile(QString::fromUtf8(pelasim::datafile::kFileName.data(),
                                    static_cast<qsizetype>(pelasim::datafile::kFileName.size())));
  viewer.show();
  return QApplication::exec();
}
