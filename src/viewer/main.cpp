// OrvanePelaSimViewer: charts a data file of the simulator, or a dive of its dive library.
//   OrvanePelaSimViewer            the data file "OrvanePelaSimData.csv" of the current folder
//   OrvanePelaSimViewer FILE.csv   that data file
//   OrvanePelaSimViewer --library  the list of the dive library, to open one of its dives
//   OrvanePelaSimViewer --report OUT.pdf FILE.csv, or --report OUT.pdf --dive ID
//                                  the debrief report of a data file or a library dive
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstring>

#include "datafile/DataFile.h"
#include "debrief/qt/DebriefReport.h"
#include "viewer/ResultsViewer.h"

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

  QCommandLineParser args;
  args.setApplicationDescription(QStringLiteral("Charts a dive of the Orvane Pelagrinova Simulator."));
  args.addHelpOption();
  const QCommandLineOption libraryOption(QStringLiteral("library"),
                                         QStringLiteral("Start with the list of the dive library."));
  args.addOption(libraryOption);
  args.addPositionalArgument(QStringLiteral("file"),
                             QStringLiteral("The data file to chart (default: OrvanePelaSimData.csv "
                                            "of the current folder)."),
                             QStringLiteral("[FILE.csv]"));
  args.process(app);

  const QString icon = QApplication::applicationDirPath() + QStringLiteral("/OrvanePelaSimViewer.png");
  if (QFileInfo::exists(icon)) QApplication::setWindowIcon(QIcon(icon));

  pelasim::ResultsViewer viewer(pelasim::ResultsViewer::Mode::Standalone);
  // A missing or unreadable file leaves the chart empty with the reason in its middle.
  const QStringList files = args.positionalArguments();
  viewer.loadFile(files.isEmpty()
                      ? QString::fromUtf8(pelasim::datafile::kFileName.data(),
                                          static_cast<qsizetype>(pelasim::datafile::kFileName.size()))
                      : files.first());
  viewer.show();
  if (args.isSet(libraryOption)) QTimer::singleShot(0, &viewer, &pelasim::ResultsViewer::openLibrary);
  return QApplication::exec();
}
