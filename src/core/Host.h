#pragma once
// The one seam between the simulation and the platform. Everything the handlers need from
// the outside world (time, event processing, waits, sound, settings, prompts, message boxes,
// clipboard, mail) goes through this interface. The programs use the Qt host; tests and
// headless runs use the virtual-time host, which makes every run deterministic.

#include <cstdint>
#include <optional>
#include <string>

namespace pelasim {

class Scheduler;

// The seven sound channels. Four play a file once, three loop it until stopped.
enum class SoundChannel : int {
  General = 0,  // once
  Alarm,        // once
  Warning,      // once
  Bubbles,      // once
  GasControl,   // loops
  FreeFlow,     // loops
  Injector,     // loops
};
inline constexpr int kSoundChannelCount = 7;
constexpr bool loops(SoundChannel c) { return static_cast<int>(c) >= 4; }

// Calendar date and time of day, for the title line of the data file.
struct LocalDateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // Millisecond tick count of the platform's monotonic clock; wraps like a 32-bit counter.
  virtual std::uint32_t tickCount() = 0;
  // Runs every pending event (due timers, input) once and returns.
  virtual void processEvents() = 0;
  // Waits until the tick count reaches `tick`, running events meanwhile. The Qt host
  // sleeps on its event loop; it never spins.
  virtual void waitProcessingUntil(std::uint32_t tick) = 0;
  // Blocks for `ms` milliseconds without running any event (the window is frozen).
  virtual void freezeFor(std::uint32_t ms) = 0;

  // Sound channels: a request cuts whatever the channel was playing; failures are silent.
  virtual void play(SoundChannel channel, const std::string& file) = 0;
  virtual void stop(SoundChannel channel) = 0;

  // Persistent settings of application "PelaSim", section "Settings" (text values).
  virtual std::optional<std::string> readSetting(const std::string& key) = 0;
  // Returns false when the store could not be written.
  virtual bool writeSetting(const std::string& key, const std::string& value) = 0;

  // Modal text prompt proposing `proposed`; returns what was typed, empty when cancelled.
  virtual std::string prompt(const std::string& title, const std::string& question,
                             const std::string& proposed) = 0;
  // Modal message box with an OK button.
  virtual void message(const std::string& text) = 0;
  // Modal question with Yes and No; true for Yes.
  virtual bool ask(const std::string& text) = 0;
  // Modal file-save dialog starting at `proposedPath`; empty when cancelled.
  virtual std::string chooseSavePath(const std::string& proposedPath) = 0;

  virtual void setClipboard(const std::string& text) = 0;
  // Hands a mailto: link to the desktop's mail program; false when nothing took it.
  virtual bool openMailLink(const std::string& url) = 0;

  virtual LocalDateTime localDateTime() = 0;

  // Ends the program. With a data file path, first shows the results viewer on that file
  // (modally) and ends when it is closed; with an empty path ends at once.
  virtual void endProgram(const std::string& resultsFile) = 0;
};

}  // namespace pelasim
