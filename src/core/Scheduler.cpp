#include "core/Scheduler.h"

#include <algorithm>

namespace pelasim {

std::string_view timerName(TimerId id) {
  static constexpr std::array<std::string_view, kTimerCount> kNames = {
      "Timer1",         "BreathTimer",    "BreathOffTimer",         "CO2Timer",
      "FreeFlowTimer",  "FloodTimer",     "DoEventsControl",        "MakeNoiseSolenoidTimer",
      "CellMillivoltTimer", "CellDriftTimer", "ComputerTimer",      "SetPointTimer",
      "Timer8",         "Timer9",         "SwitchOffTimer",         "LHLightTimer",
      "RHLightTimer",   "Timer6",         "Timer7",                 "WarningTimer",
      "Timer2",         "Timer3",         "OptionTimer",            "RecordingTimer",
      "DepthRepeatTimer"};
  return kNames[static_cast<std::size_t>(id)];
}

void Scheduler::define(TimerId id, std::uint32_t intervalMs, bool enabled) {
  Task& t = task(id);
  t.interval = intervalMs;
  t.enabled = enabled;
  t.due = now() + intervalMs;
}

void Scheduler::setEnabled(TimerId id, bool enabled) {
  Task& t = task(id);
  if (enabled && !t.enabled) t.due = now() + t.interval;
  t.enabled = enabled;
  notify();
}

void Scheduler::setInterval(TimerId id, std::uint32_t intervalMs) {
  Task& t = task(id);
  t.interval = intervalMs;
  t.due = now() + intervalMs;
  notify();
}

std::optional<std::uint32_t> Scheduler::nextDue() const {
  std::optional<std::uint32_t> best;
  for (const Task& t : tasks_) {
    if (!runnable(t)) continue;
    if (!best || !tickAtOrBefore(*best, t.due)) best = t.due;
  }
  return best;
}

int Scheduler::runDue() {
  int ran = 0;
  // Each pass picks the earliest due task; a task runs at most once per call, so a handler
  // that lets events run (and so re-enters runDue) cannot make this loop go on for ever.
  std::array<bool, kTimerCount> done{};
  for (;;) {
    const std::uint32_t t0 = now();
    int pick = -1;
    for (int i = 0; i < kTimerCount; ++i) {
      const Task& t = tasks_[static_cast<std::size_t>(i)];
      if (done[static_cast<std::size_t>(i)] || !runnable(t) || !tickAtOrBefore(t.due, t0)) continue;
      if (pick < 0 || !tickAtOrBefore(tasks_[static_cast<std::size_t>(pick)].due, t.due)) pick = i;
    }
    if (pick < 0) break;
    done[static_cast<std::size_t>(pick)] = true;
    Task& t = tasks_[static_cast<std::size_t>(pick)];
    // The next run is one interval after this one was due; a task that fell behind (a long
    // handler or a frozen window) runs once and then keeps its interval from now.
    std::uint32_t next = t.due + t.interval;
    if (tickAtOrBefore(next, t0)) next = t0 + t.interval;
    t.due = next;
    if (!t.handler) continue;
    t.running = true;
    ++ran;
    t.handler();
    t.running = false;
    // Runs that fell due while the handler was still busy are skipped, not made up.
    const std::uint32_t after = now();
    if (t.enabled && t.interval > 0 && tickAtOrBefore(t.due, after)) {
      const std::uint32_t missed = (after - t.due) / t.interval + 1;
      t.due += missed * t.interval;
    }
  }
  notify();
  return ran;
}

}  // namespace pelasim
