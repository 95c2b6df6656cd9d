#include <gtest/gtest.h>

#include "core/Simulation.h"
#include "core/Startup.h"
#include "core/VirtualHost.h"

TEST(Smoke, Builds) {
  pelasim::VirtualHost host;
  pelasim::Simulation sim(host);
  host.attach(sim.timers);
  pelasim::startUp(sim);
  host.runFor(10000);
  EXPECT_EQ(sim.st.recordRow, 10);
}
