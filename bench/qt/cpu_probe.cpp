// Measures the processor time the running simulator uses, through the real program objects
// (Qt host, widgets, sound), in one of these scenarios:
//   idle   the main window open, nobody at the controls
//   dive   valves and mouthpiece open, the diver breathing, the ADV working
//   burst  a running master firing a full 15-second solenoid burst
//   flush  a handset flushing the bag before calibration
// Usage: pelasim_cpu_probe <scenario> [seconds]   (run it under xvfb-run for a real display)
// Prints one line: scenario, wall seconds, CPU seconds, CPU percent of one core.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/Dispatch.h"
#include "support/Probe.h"
#include "app/Startup.h"
#include "dialogs/Dialogs.h"
#include "handset/HandsetParts.h"
#include "ui/qt/App.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  const char* scenario = argc > 1 ? argv[1] : "idle";
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
  pelasim::App app(QApplication::applicationDirPath());
  using namespace pelasim;
  Simulation& sim = testing::startAccepted(app);
  app.syncAll();
  sim.st.soundOn = 1;

  State& st = sim.st;
  // The left handset powered up and switched on, in display state `state`.
  auto leftHandsetIn = [&st](int state) {
    HandsetRecord& l = st.handset(Side::Left);
    l.hardwareSwitch = 1;
    l.power = 1;
    l.role = 1;
    l.displayState = static_cast<ds::DisplayState>(state);
    st.oxygenValveState = Valve::Open;
  };
  if (std::strcmp(scenario, "dive") == 0) {
    st.oxygenValveState = st.diluentValveState = Valve::Open;
    st.mouthpieceState = Mouthpiece::Open;
    dispatchMain(sim, Main::Image19, MouseEvent::Click);
  } else if (std::strcmp(scenario, "burst") == 0) {
    leftHandsetIn(17);
    st.currentSetpoint = 1.3;
    st.loopPO2 = 0.05;
    st.cells[1].millivolts = st.cells[2].millivolts = st.cells[3].millivolts = 0.5;
    // The controller fires at its next tick (within 6 s); measure from then on.
  } else if (std::strcmp(scenario, "flush") == 0) {
    leftHandsetIn(22);
    st.mouthpieceState = Mouthpiece::Open;
  }
  app.syncAll();

  double cpu0 = 0;
  QElapsedTimer wall;
  auto start = [&] {
    cpu0 = pelasim::testing::cpuSeconds();
    wall.start();
  };
  // The burst and the flush begin at their handler's next tick: start measuring then.
  const int settle = std::strcmp(scenario, "burst") == 0 ? 6100 : std::strcmp(scenario, "flush") == 0 ? 3100 : 0;
  QTimer::singleShot(settle, [&] { start(); });
  QTimer::singleShot(settle + seconds * 1000, [&] {
    const double cpu = pelasim::testing::cpuSeconds() - cpu0;
    const double w = static_cast<double>(wall.elapsed()) / 1000.0;
    std::printf("%s %.1f s wall, %.3f s CPU, %.2f %% of one core\n", scenario, w, cpu, 100.0 * cpu / w);
    std::fflush(stdout);
    std::_Exit(0);
  });
  return QApplication::exec();
}
