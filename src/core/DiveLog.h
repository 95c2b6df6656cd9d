#pragma once
// What the dive record receives, as it happens: every second's sample and every event with
// its millisecond time. The data file keeps one status message per second; an observer (the
// dive library, the instructor station) gets all of them. Plain data, no Qt.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelasim {

// One second's sample, as stored in the dive record's row `second`.
struct DiveSample {
  int second = 0;                     // record row, 1 for the first sample
  double realPO2 = 0;                 // true loop PO2, bar
  std::optional<double> handsetPO2;   // master's voted PO2, bar; none before it reads anything
  int depth = 0;                      // metres
  double setpoint = 0;                // bar
  double loopVolume = 0;              // litres (the loop capacity)
};

enum class EventKind : int {
  Status = 0,         // a status message of the dive record ("O2 Valve Closed", "Warning: Low O2")
  FailureArmed = 1,   // failures armed: `detail` says what was ticked, the delay and the source
  FailureApplied = 2, // the armed failures took effect: `detail` says which
  Note = 3,           // anything else worth keeping (a station connected, the dive interrupted)
};

// Notes a lesson writes into the dive's events, so that the dive library keeps the lesson
// and its outcome with the dive.
namespace note {
inline constexpr std::string_view kLessonStarted = "Lesson started";      // detail: "TITLE; file PATH; hash H"
inline constexpr std::string_view kLessonBriefing = "Lesson briefing";    // detail: the briefing
inline constexpr std::string_view kLessonObjective = "Lesson objective";  // detail: "Met at 123 s: TEXT (why)"
inline constexpr std::string_view kLessonEnded = "Lesson ended";          // detail: "TITLE: passed" or "TITLE: not passed"
}  // namespace note

struct DiveEvent {
  std::int64_t ms = 0;     // milliseconds since the simulator started
  int second = 0;          // the record row current when it happened
  EventKind kind = EventKind::Status;
  std::string text;        // the status message, or a short title for the other kinds
  std::string detail;      // free text for failures (ticked options, delay, source); may be empty
};

// Receives the record as it is made. Calls come on the simulation's thread and must return
// at once: anything slow (a disk write) is the observer's own business to defer.
class DiveObserver {
 public:
  virtual ~DiveObserver() = default;
  virtual void sampled(const DiveSample& sample) = 0;
  virtual void event(const DiveEvent& event) = 0;
};

// A whole dive as the debrief reads it: from the dive library (every event) or from a data
// file (one status message per second, each taken as an event at the start of its second).
struct DiveInfo {
  std::int64_t id = 0;          // dive library id; 0 for a dive read from a data file
  std::string startedAt;        // local date and time, "2026-12-07 09:30:00"; may be empty
  std::string trainee;          // may be empty
  std::string programVersion;   // "1.0.2"; may be empty
  std::string source;           // where it came from: the library file, or the data file path
  bool endedNormally = true;    // false when the simulator did not reach its exit routine
};

struct DiveData {
  DiveInfo info;
  std::vector<DiveSample> samples;  // in order of their second
  std::vector<DiveEvent> events;    // in order of their time
};

// Keeps the whole dive in memory as it is recorded: the debrief at exit shows every event,
// not only the one message per second the data file keeps.
class DiveCollector : public DiveObserver {
 public:
  void sampled(const DiveSample& sample) override { dive.samples.push_back(sample); }
  void event(const DiveEvent& event) override { dive.events.push_back(event); }
  DiveData dive;
};

}  // namespace pelasim
