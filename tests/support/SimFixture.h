#pragma once
// A simulation on the virtual-time host, started up as the program does before the
// disclaimer, for tests that drive the handlers the way a mouse and the clock would.

#include <gtest/gtest.h>

#include <memory>

#include "app/Dispatch.h"
#include "app/HeadlessRun.h"
#include "app/Startup.h"
#include "core/VirtualHost.h"
#include "sim/Simulation.h"

namespace pelasim::testing {

struct SimHarness {
  HeadlessRun run;
  VirtualHost& host = run.host;
  Simulation* const sim = &run.sim;

  explicit SimHarness(bool started = true) : run(started) {}
  State& st() { return sim->st; }
  // A left click on a main-window element: press, release, click.
  void click(Main id) {
    dispatchMain(*sim, id, MouseEvent::Down);
    dispatchMain(*sim, id, MouseEvent::Up);
    dispatchMain(*sim, id, MouseEvent::Click);
  }
  // The sounds requested since `from` (an index into the log) as "channel:file" texts.
  std::vector<std::string> soundsSince(std::size_t from = 0) const {
    std::vector<std::string> out;
    for (std::size_t i = from; i < host.sounds.size(); ++i) {
      const auto& s = host.sounds[i];
      out.push_back(std::to_string(static_cast<int>(s.channel)) + ":" + (s.isStop() ? "stop" : s.file));
    }
    return out;
  }
};

class SimTest : public ::testing::Test {
 protected:
  SimHarness h;
  Simulation& sim = *h.sim;
  VirtualHost& host = h.host;
  State& st = h.sim->st;
};

}  // namespace pelasim::testing
