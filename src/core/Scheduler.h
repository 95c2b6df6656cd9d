#pragma once
// All periodic tasks of the main window as data: interval, enable flag, next due tick and
// handler. A host drives the scheduler: the virtual-time host jumps from one due time to the
// next; the Qt host arms one timer for the next due time. A handler that is still running is
// never entered again by its own timer; a task that falls due meanwhile is skipped.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace pelasim {

enum class TimerId : int {
  Timer1,                  // loop tick
  BreathTimer,             // one breath
  BreathOffTimer,          // half breath
  CO2Timer,                // scrubber minute
  FreeFlowTimer,           // free flows and leaks
  FloodTimer,              // handset flood
  DoEventsControl,         // event pump
  MakeNoiseSolenoidTimer,  // ends the solenoid noise
  CellMillivoltTimer,      // cell outputs and readings
  CellDriftTimer,          // drift growth
  ComputerTimer,           // oxygen controller
  SetPointTimer,           // held middle button switches the setpoint
  Timer8,                  // left handset display
  Timer9,                  // right handset display
  SwitchOffTimer,          // soft switch-off
  LHLightTimer,            // left backlight
  RHLightTimer,            // right backlight
  Timer6,                  // left picture restore
  Timer7,                  // right picture restore
  WarningTimer,            // warnings and alarms
  Timer2,                  // hides the oxygen valve caption
  Timer3,                  // hides the diluent valve caption
  OptionTimer,             // failure application
  RecordingTimer,          // dive record sampling
  DepthRepeatTimer,        // a held depth arrow steps again
  Count
};
inline constexpr int kTimerCount = static_cast<int>(TimerId::Count);

// Names of the tasks whose designed names do not say what they do, for the handlers; the
// task table keeps the designed names.
namespace task {
inline constexpr TimerId loopTick = TimerId::Timer1;
inline constexpr TimerId oxygenCaptionHide = TimerId::Timer2;
inline constexpr TimerId diluentCaptionHide = TimerId::Timer3;
inline constexpr TimerId leftPictureRestore = TimerId::Timer6;
inline constexpr TimerId rightPictureRestore = TimerId::Timer7;
inline constexpr TimerId leftDisplayTick = TimerId::Timer8;
inline constexpr TimerId rightDisplayTick = TimerId::Timer9;
}  // namespace task

std::string_view timerName(TimerId id);

class Scheduler {
 public:
  using Handler = std::function<void()>;
  using Clock = std::function<std::uint32_t()>;

  explicit Scheduler(Clock clock) : clock_(std::move(clock)) {}

  void setHandler(TimerId id, Handler handler) { task(id).handler = std::move(handler); }
  // Registers a task's designed interval and start state without notifying the host.
  void define(TimerId id, std::uint32_t intervalMs, bool enabled);

  // Enabling a stopped timer, or setting an interval, restarts its count from now.
  void setEnabled(TimerId id, bool enabled);
  void setInterval(TimerId id, std::uint32_t intervalMs);
  bool enabled(TimerId id) const { return task(id).enabled; }
  std::uint32_t interval(TimerId id) const { return task(id).interval; }
  bool running(TimerId id) const { return task(id).running; }
  std::uint32_t dueTick(TimerId id) const { return task(id).due; }

  // The earliest due tick among the tasks that can run now (enabled, interval above 0 and
  // not running), if any.
  std::optional<std::uint32_t> nextDue() const;
  // Runs, once each and in order of due time, the tasks due at the present tick.
  // Returns the number of handlers run.
  int runDue();

  // Called after any change of an enable flag or interval (the Qt host re-arms its timer).
  void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }
  std::uint32_t now() const { return clock_(); }

 private:
  struct Task {
    std::uint32_t interval = 0;  // milliseconds
    bool enabled = false;
    bool running = false;
    std::uint32_t due = 0;  // tick count at which it runs next
    Handler handler;
  };
  Task& task(TimerId id) { return tasks_[static_cast<std::size_t>(id)]; }
  const Task& task(TimerId id) const { return tasks_[static_cast<std::size_t>(id)]; }
  bool runnable(const Task& t) const { return t.enabled && !t.running && t.interval > 0; }
  void notify() {
    if (changed_) changed_();
  }

  Clock clock_;
  std::array<Task, kTimerCount> tasks_{};
  std::function<void()> changed_;
};

// True when tick a comes before or at tick b on the wrapping 32-bit counter.
constexpr bool tickAtOrBefore(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(a - b) <= 0;
}

}  // namespace pelasim
