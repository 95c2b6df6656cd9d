// OrvanePelaSimViewer: charts the data file "OrvanePelaSimData.csv" of the current folder,
// as the simulator wrote it at the end of a dive.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include "record/datafile/DataFile.h"
#include "record/qt/ResultsViewer.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
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
