// OrvanePelaSim: the rebreather training simulator.
#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/Version.h"
#include "lesson/LessonCommands.h"
#include "ui/qt/App.h"
#include "ui/qt/ExitSignals.h"

int main(int argc, char** argv) {
  // The lesson commands answer without a window (and without a display).
  {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    std::string folder = std::filesystem::canonical("/proc/self/exe", ec).parent_path().string();
    if (ec) folder = ".";
    if (const auto code = pelasim::lesson::runLessonCommand(args, folder, std::cout, std::cerr))
      return *code;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OrvanePelaSim"));
  QApplication::setApplicationVersion(QString::fromStdString(pelasim::longVersionText()));
  // --station starts the instructor station on any free port, --station=PORT on that one.
  std::optional<quint16> station;
  QString lessonFile;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--lesson")) {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "OrvanePelaSim: --lesson needs a lesson file\n");
        return 2;
      }
      lessonFile = args[++i];
    } else if (a.startsWith(QLatin1String("--lesson="))) {
      lessonFile = a.mid(9);
    } else if (a == QLatin1String("--station")) {
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
  if (!lessonFile.isEmpty()) sim.setLessonOnStart(lessonFile);
  // SIGTERM, SIGINT, SIGHUP and the end of the desktop session run the exit routine, as the
  // Exit button does, without any question that could hold the program up.
  pelasim::ExitSignals signals;
  QObject::connect(&signals, &pelasim::ExitSignals::exitRequested, &sim,
                   [&sim](int) { sim.exitWithoutQuestions(); });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &sim,
                   [&sim](QSessionManager&) { sim.exitWithoutQuestions(); });
  return sim.run();
}
