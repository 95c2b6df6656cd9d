// OrvanePelaSim: the rebreather training simulator.
#include <QApplication>

#include "ui/qt/App.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSim"));
  QApplication::setApplicationVersion(QStringLiteral("1.00.0002"));
  pelasim::App sim(QApplication::applicationDirPath());
  return sim.run();
}
