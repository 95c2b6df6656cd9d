#pragma once
// The simulation: the shared state, the models of the windows, the periodic tasks and the
// platform host. Handlers are free functions of the subsystems that take the simulation;
// the Qt widgets and the tests reach them through the same entry points.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/DiveLog.h"
#include "core/Host.h"
#include "core/Random.h"
#include "core/Scheduler.h"
#include "core/State.h"
#include "core/Version.h"
#include "forms/DialogForms.h"
#include "forms/MainWindow.h"
#include "forms/OptionsForm.h"

namespace pelasim {


class Simulation {
 public:
  explicit Simulation(Host& host);
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  Host& host;
  State st;
  Random rng;
  Scheduler timers;
  MainWindowModel win;
  OptionsFormModel options;
  SplashModel splash;
  BailedModel bailed;
  BugReportModel bugReport;
  // Set once the exit routine has run or the disclaimer was refused: no handler runs after.
  bool ended = false;
  // The free-flow channel is hissing for a free flow (it stops when the last flow ends).
  bool freeFlowHissing = false;
  // Told every sample and event as it is recorded (the dive library, the instructor station).
  DiveObserver* observer = nullptr;
  // Tick count when the simulation was created: event times count from here.
  std::uint32_t startTick = 0;

  // Conveniences the handlers use.
  std::uint32_t tick() { return host.tickCount(); }
  double random() { return rng.next(); }
  void play(SoundChannel channel, std::string_view file) { host.play(channel, std::string(file)); }
  void stop(SoundChannel channel) { host.stop(channel); }
  // Sounds of the rebreather and the handsets: only while the "Sound" box is ticked.
  void playIfSoundOn(SoundChannel channel, std::string_view file) {
    if (st.soundOn) play(channel, file);
  }
  void stopIfSoundOn(SoundChannel channel) {
    if (st.soundOn) stop(channel);
  }
  // Alarms for the trainee's mistakes: only while both "Warnings" and "Sound" are ticked.
  void playWarning(SoundChannel channel, std::string_view file) {
    if (ticked(element::warningsBox)) playIfSoundOn(channel, file);
  }
  void record(std::string_view message);
  // Milliseconds since the simulation was created.
  std::int64_t elapsedMs() { return static_cast<std::uint32_t>(tick() - startTick); }
  // Tells the observer of an event that the data file does not show as a status message.
  void logEvent(EventKind kind, std::string_view text, std::string_view detail = {});
  void enable(TimerId id, bool on = true) { timers.setEnabled(id, on); }
  void disable(TimerId id) { timers.setEnabled(id, false); }
  bool ticked(Main box) const { return win.checked(box); }
  bool optionTicked(Opt box) const { return options.checked(box); }
};

}  // namespace pelasim
