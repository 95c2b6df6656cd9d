// OrvanePelaSim: the rebreather training simulator.
#include <QApplication>
#include <cstdio>
#include <optional>

#include "ui/qt/App.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSim"));
  QApplication::setApplicationVersion(QStringLiteral("1.00.0002"));
  // --station starts the instructor station on any free port, --station=PORT on that one.
  std::optional<quint16> station;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--station")) {
      station = 0;
    } else if (a.startsWith(QLatin1String("--station="))) {
      bool ok = false;
      const uint port = a.mid(10).toUInt(&ok);
      if (!ok || port < 1 || port > 65535) {
        std::fprintf(stderr, "OrvanePelaSim: --station=PORT needs a port from 1 to 65535, not \"%s\"\n",
                     a.mid(10).toLocal8Bit().constData());
        return 2;
      }
      station = static_cast<quint16>(port);
    }
  }
  pelasim::App sim(QApplication::applicationDirPath());
  if (station) sim.setStationOnStart(*station);
  return sim.run();
}
