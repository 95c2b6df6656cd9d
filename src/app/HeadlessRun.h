#pragma once
// A simulation on the virtual-time host, started up as the program starts it before the
// disclaimer: what tests, benchmarks and headless runs drive.

#include "app/Startup.h"
#include "app/Tasks.h"
#include "core/VirtualHost.h"
#include "sim/Simulation.h"

namespace pelasim {

struct HeadlessRun {
  VirtualHost host;
  Simulation sim{host};

  // `started` false leaves the start-up routine to the caller (to store settings first).
  explicit HeadlessRun(bool started = true) {
    installTasks(sim);
    host.attach(sim.timers);
    if (started) startUp(sim);
  }
};

}  // namespace pelasim
