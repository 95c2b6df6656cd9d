// OrvanePelaSim: the rebreather training simulator.
#include <QApplication>

#include "core/Version.h"
#include "ui/qt/App.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSim"));
  QApplication::setApplicationVersion(QString::fromStdString(pelasim::longVersionText()));
  pelasim::App sim(QApplication::applicationDirPath());
  return sim.run();
}
