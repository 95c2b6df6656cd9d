// The periodic tasks: intervals, enabling, restarts and no re-entry of a running handler.
#include <gtest/gtest.h>

#include <vector>

#include "core/Scheduler.h"
#include "core/VirtualHost.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

struct SchedulerTest : ::testing::Test {
  VirtualHost host;
  Scheduler s{[this] { return host.tickCount(); }};
  std::vector<std::pair<std::string, std::uint32_t>> log;
  std::uint32_t t0 = 0;

  void SetUp() override {
    host.attach(s);
    t0 = host.tickCount();
  }
  void logRuns(TimerId id, const char* name) {
    s.setHandler(id, [this, name] { log.emplace_back(name, host.tickCount() - t0); });
  }
};

TEST_F(SchedulerTest, RunsEnabledTasksAtTheirInterval) {
  logRuns(TimerId::Timer1, "loop");
  s.define(TimerId::Timer1, 503, true);
  logRuns(TimerId::FloodTimer, "flood");
  s.define(TimerId::FloodTimer, 5000, false);
  host.runFor(1600);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].second, 503u);
  EXPECT_EQ(log[1].second, 1006u);
  EXPECT_EQ(log[2].second, 1509u);
}

TEST_F(SchedulerTest, EnablingOrRetimingRestartsTheCount) {
  logRuns(TimerId::LHLightTimer, "light");
  s.define(TimerId::LHLightTimer, 5000, false);
  host.runFor(1000);
  s.setInterval(TimerId::LHLightTimer, 5000);
  s.setEnabled(TimerId::LHLightTimer, true);  // lit at 1000
  host.runFor(3000);
  s.setInterval(TimerId::LHLightTimer, 15000);  // renewed at 4000
  host.runFor(14999);
  EXPECT_TRUE(log.empty());
  host.runFor(1);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].second, 19000u);
}

TEST_F(SchedulerTest, EnablingAnEnabledTaskKeepsItsCount) {
  logRuns(TimerId::WarningTimer, "w");
  s.define(TimerId::WarningTimer, 1000, true);
  host.runFor(600);
  s.setEnabled(TimerId::WarningTimer, true);
  host.runFor(400);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].second, 1000u);
}

TEST_F(SchedulerTest, ARunningHandlerIsNotEnteredAgainAndMissedRunsAreSkipped) {
  int depth = 0, maxDepth = 0, runs = 0;
  s.define(TimerId::ComputerTimer, 6001, true);
  s.setHandler(TimerId::ComputerTimer, [&] {
    ++runs;
    maxDepth = std::max(maxDepth, ++depth);
    // A 15-second burst that lets events run.
    host.waitProcessingUntil(host.tickCount() + 15000);
    --depth;
  });
  host.runFor(6001);  // first run: 6001 to 21001
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(maxDepth, 1);
  // The runs due at 12002 and 18003 fell inside the burst and are skipped; the next is 24004.
  EXPECT_EQ(host.tickCount() - t0, 21001u);
  host.runUntil(t0 + 24003);
  EXPECT_EQ(runs, 1);
  host.runUntil(t0 + 24004);
  EXPECT_EQ(runs, 2);
}

TEST_F(SchedulerTest, ATaskEnabledDuringItsOwnRunWaitsForTheRunToEnd) {
  int depth = 0, maxDepth = 0, runs = 0;
  s.define(TimerId::Timer8, 3000, true);
  s.setHandler(TimerId::Timer8, [&] {
    s.setEnabled(TimerId::Timer8, false);
    ++runs;
    maxDepth = std::max(maxDepth, ++depth);
    if (runs == 1) host.waitProcessingUntil(host.tickCount() + 7000);
    --depth;
    s.setEnabled(TimerId::Timer8, true);
  });
  // A click enables the same timer in the middle of the long run.
  host.at(host.tickCount() + 4000, [&] { s.setEnabled(TimerId::Timer8, true); });
  host.runUntil(t0 + 3000 + 7000 + 2999);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(maxDepth, 1);
  host.runUntil(t0 + 13000);
  EXPECT_EQ(runs, 2);
}

TEST_F(SchedulerTest, TasksDueTogetherRunInTableOrder) {
  logRuns(TimerId::RecordingTimer, "record");
  logRuns(TimerId::WarningTimer, "warning");
  s.define(TimerId::RecordingTimer, 1000, true);
  s.define(TimerId::WarningTimer, 1000, true);
  host.runFor(1000);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].first, "warning");
  EXPECT_EQ(log[1].first, "record");
}

TEST_F(SchedulerTest, AFrozenWindowRunsEachLateTaskOnce) {
  logRuns(TimerId::RecordingTimer, "record");
  s.define(TimerId::RecordingTimer, 1000, true);
  host.freezeFor(2500);
  host.runFor(0);
  EXPECT_EQ(log.size(), 1u);
  host.runFor(999);
  EXPECT_EQ(log.size(), 1u);
  host.runFor(1);
  EXPECT_EQ(log.size(), 2u);
}

TEST(SimulationTimers, EveryTaskHasItsDesignedIntervalAndStartState) {
  testing::SimHarness h(false);
  struct Expect {
    TimerId id;
    std::uint32_t interval;
    bool on;
  };
  const Expect table[] = {
      {TimerId::Timer1, 503, true},          {TimerId::BreathTimer, 6003, false},
      {TimerId::BreathOffTimer, 3000, false}, {TimerId::CO2Timer, 60000, true},
      {TimerId::FreeFlowTimer, 1020, true},  {TimerId::FloodTimer, 5000, false},
      {TimerId::DoEventsControl, 200, true}, {TimerId::MakeNoiseSolenoidTimer, 100, false},
      {TimerId::CellMillivoltTimer, 502, true}, {TimerId::CellDriftTimer, 60000, true},
      {TimerId::ComputerTimer, 6001, true},  {TimerId::SetPointTimer, 2000, false},
      {TimerId::Timer8, 3000, true},         {TimerId::Timer9, 3000, true},
      {TimerId::SwitchOffTimer, 1000, true}, {TimerId::LHLightTimer, 5000, false},
      {TimerId::RHLightTimer, 5000, false},  {TimerId::Timer6, 1000, false},
      {TimerId::Timer7, 1000, false},        {TimerId::WarningTimer, 1000, true},
      {TimerId::Timer2, 3000, false},        {TimerId::Timer3, 3000, false},
      {TimerId::OptionTimer, 10, false},     {TimerId::RecordingTimer, 1000, true},
      {TimerId::DepthRepeatTimer, 500, false},
  };
  ASSERT_EQ(std::size(table), static_cast<std::size_t>(kTimerCount));
  for (const Expect& e : table) {
    EXPECT_EQ(h.sim->timers.interval(e.id), e.interval) << timerName(e.id);
    EXPECT_EQ(h.sim->timers.enabled(e.id), e.on) << timerName(e.id);
  }
}

}  // namespace
}  // namespace pelasim
