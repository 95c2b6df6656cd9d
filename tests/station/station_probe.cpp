// The running simulator (real Qt host and widgets, offscreen or under xvfb-run) with the
// instructor station on the loopback address and the diver breathing: what the browser test
// and the station benchmarks drive. It prints "address <url>" once listening, then answers
// lines on standard input:
//   state    prints "state <solenoidFault> | <ticked boxes> | armed <0|1> | depth <m>"
//   deeper   one click on the deeper arrow; prints "deeper <tick>"
//   cpu N    measures its own processor time over N seconds; prints "cpu <percent>"
//   quit     ends
// Usage: pelasim_station_probe [port]
#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

#include "app/Dispatch.h"
#include "support/Probe.h"
#include "app/Startup.h"
#include "dialogs/Dialogs.h"
#include "failures/Failures.h"
#include "station/qt/StationServer.h"
#include "ui/qt/App.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  const auto port = static_cast<quint16>(argc > 1 ? std::atoi(argv[1]) : 0);
  pelasim::App app(QApplication::applicationDirPath());
  using namespace pelasim;
  Simulation& sim = testing::startAccepted(app);
  sim.st.soundOn = 0;
  // The diver breathing from an open loop, the ADV working.
  sim.st.oxygenValveState = sim.st.diluentValveState = Valve::Open;
  sim.st.mouthpieceState = Mouthpiece::Open;
  dispatchMain(sim, Main::Image19, MouseEvent::Click);
  // Both handsets on and running, the left one as master.
  for (Side side : {Side::Left, Side::Right}) {
    HandsetRecord& h = sim.st.handset(side);
    h.hardwareSwitch = 1;
    h.power = 1;
    h.role = side == Side::Left ? 1 : 0;
    h.displayState = side == Side::Left ? ds::MasterRunning : ds::SlaveRunning;
  }
  app.syncAll();
  if (!app.startStation(port)) return 1;
  std::printf("address %s\n", app.station()->address().toLocal8Bit().constData());
  std::fflush(stdout);

  double cpu0 = 0;
  QElapsedTimer wall;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    std::string line;
    if (!std::getline(std::cin, line) || line == "quit") {
      std::_Exit(0);
    } else if (line == "state") {
      std::printf("state %s | %s | armed %d | depth %d\n", solenoidText(sim.st.solenoidFault),
                  tickedOptionsText(sim).c_str(), sim.timers.enabled(TimerId::OptionTimer) ? 1 : 0,
                  sim.st.depthMetres);
    } else if (line == "deeper") {
      dispatchMain(sim, Main::Image10, MouseEvent::Click);
      app.syncAll();
      std::printf("deeper %d\n", sim.st.depthMetres);
    } else if (line.rfind("cpu ", 0) == 0) {
      const int seconds = std::atoi(line.c_str() + 4);
      cpu0 = pelasim::testing::cpuSeconds();
      wall.start();
      QTimer::singleShot(seconds * 1000, [&] {
        const double cpu = pelasim::testing::cpuSeconds() - cpu0;
        const double w = static_cast<double>(wall.elapsed()) / 1000.0;
        std::printf("cpu %.2f %% of one core (%.3f s CPU in %.1f s, %d pages)\n", 100.0 * cpu / w, cpu, w,
                    app.station()->clientCount());
        std::fflush(stdout);
      });
      return;
    }
    std::fflush(stdout);
  });
  return QApplication::exec();
}
