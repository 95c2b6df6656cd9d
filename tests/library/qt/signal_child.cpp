// The simulator as the desktop runs it, with its disclaimer accepted at once: the child that
// the exit-signal test ends with SIGTERM. Built from the same App and signal wiring as the
// program's entry.
#include <QApplication>
#include <QTimer>

#include "dialogs/Dialogs.h"
#include "ui/qt/App.h"
#include "ui/qt/ExitSignals.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSim"));
  pelasim::App sim(QApplication::applicationDirPath());
  pelasim::ExitSignals signals;
  QObject::connect(&signals, &pelasim::ExitSignals::exitRequested, &sim,
                   [&sim](int) { sim.exitWithoutQuestions(); });
  QTimer::singleShot(0, &sim, [&sim] {
    pelasim::disclaimerAccept(sim.sim());
    sim.syncAll();
  });
  return sim.run();
}
