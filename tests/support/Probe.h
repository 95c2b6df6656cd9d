#pragma once
// What the Qt probes share (the CPU probe of the benchmarks, the station's browser probe): the
// real simulator started as a trainee starts it, and the processor time the process has used.

#include <sys/resource.h>

#include "app/Startup.h"
#include "dialogs/Dialogs.h"
#include "ui/qt/App.h"

namespace pelasim::testing {

// Seconds of processor time (user and system) used so far.
inline double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Starts the simulation with the disclaimer shown and accepted: the main window is up.
inline Simulation& startAccepted(App& app) {
  app.onEnd = [](const std::string&) {};
  Simulation& sim = app.sim();
  startUp(sim);
  disclaimerLoad(sim);
  disclaimerAccept(sim);
  afterDisclaimer(sim);
  return sim;
}

}  // namespace pelasim::testing
