#pragma once
// The instructor station's view of the simulation, without Qt: the state snapshot and the
// dive's samples and events as JSON messages for the station's pages, and the commands the
// pages may send (the failure options, the arm and service buttons, and a random failure at
// a random moment). Failures armed here act exactly as from the options dialog: the same
// ticks in the dialog's model, the same `armFailures`; the dialog itself is never shown.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "core/DiveLog.h"
#include "forms/OptionsForm.h"
#include "lesson/Course.h"

namespace pelasim {
class Simulation;
namespace lesson {
class LessonRun;
}
}

namespace pelasim::station {

struct CommandReply {
  bool ok = false;
  std::string message;  // what was done, or why the command was refused
};

class StationCore : public DiveObserver {
 public:
  static constexpr std::size_t kMaxCommandBytes = 4096;
  static constexpr std::size_t kHistorySamples = 600;  // ten minutes of chart
  static constexpr std::size_t kEventMemory = 300;     // events a new page catches up with
  static constexpr int kMaxDelayMinutes = 15;
  // Refusals noted in the dive log; later ones are only answered, so that a page sending
  // rubbish in a loop cannot flood the dive's record.
  static constexpr int kMaxLoggedRefusals = 50;

  // `seed` feeds the station's own random source (the random failure), kept apart from the
  // simulation's generator so that the trainee's run draws the same sequence as always.
  StationCore(Simulation& sim, std::uint64_t seed);

  // Told every message that all pages should receive (samples, events).
  std::function<void(const std::string&)> broadcast;

  // Lessons: the ones a page may assign (by their place in this list, never by a path from
  // the network), the lesson being flown, and what to do when a page assigns one (the
  // simulator asks the trainee to confirm before it starts).
  std::vector<lesson::CourseEntry> lessons;
  std::function<const lesson::LessonRun*()> currentLesson;
  std::function<void(const lesson::CourseEntry&)> onLessonAssigned;

  // The present state: readings, handset screens, gas controls, failure options, countdown.
  std::string stateJson() const;
  // What a page receives when it connects: the option boxes, the state, the recent chart
  // and the recent events.
  std::string welcomeJson() const;

  // One command from a page. Unknown, oversized or malformed commands change nothing and
  // are logged as a note of the dive.
  CommandReply command(std::string_view text);
  static std::string replyJson(const CommandReply& reply);

  // Seconds until the armed failures take effect; none when nothing is armed.
  std::optional<int> countdownSeconds() const;
  bool randomPending() const { return randomDue_.has_value(); }

  // DiveObserver.
  void sampled(const DiveSample& sample) override;
  void event(const DiveEvent& event) override;

 private:
  CommandReply refuse(std::string why);
  CommandReply drawRandomFailure(int withinMinutes);
  void fireRandomFailure();
  void send(const std::string& message) {
    if (broadcast) broadcast(message);
  }

  Simulation& sim_;
  std::mt19937_64 random_;
  std::deque<std::string> history_;  // sample messages
  std::deque<std::string> events_;   // event messages
  std::optional<std::uint32_t> randomDue_;  // tick count at which the random failure is armed
  Opt randomBox_ = Opt::Form;
  int refusals_ = 0;
  int randomWithin_ = 0;
};

// The option boxes of the dialog, in its order, with the caption of their frame.
struct OptionBox {
  Opt id;
  std::string name;     // "Check11"
  std::string caption;  // "Solenoid Stuck Open"
  std::string group;    // "O2 Solenoid"
};
std::vector<OptionBox> optionBoxes(const Simulation& sim);

}  // namespace pelasim::station
