// OrvanePelaSim: the rebreather training simulator.
#include <QApplication>
#include <QSessionManager>

#include "core/Version.h"
#include "ui/qt/App.h"
#include "ui/qt/ExitSignals.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSim"));
  QApplication::setApplicationVersion(QString::fromStdString(pelasim::longVersionText()));
  pelasim::App sim(QApplication::applicationDirPath());
  // SIGTERM, SIGINT, SIGHUP and the end of the desktop session run the exit routine, as the
  // Exit button does, without any question that could hold the program up.
  pelasim::ExitSignals signals;
  QObject::connect(&signals, &pelasim::ExitSignals::exitRequested, &sim,
                   [&sim](int) { sim.exitWithoutQuestions(); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &sim,
                   [&sim](QSessionManager&) { sim.exitWithoutQuestions(); });
  return sim.run();
}
