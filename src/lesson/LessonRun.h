#pragma once
// A lesson being flown: sets the dive up, fires the lesson's triggers as the dive goes (arming
// failures, showing messages) and judges each objective from the dive's samples and events
// as they are recorded. It listens on the dive's observer list like the dive library and the
// station, so a lesson judges a dive flown with the mouse, the keyboard, the station or a
// script the same way. Everything happens on the record's seconds: the same dive gives the
// same verdict on virtual time and in real time.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/DiveLog.h"
#include "lesson/Lesson.h"

namespace pelasim {
class Simulation;
}

namespace pelasim::lesson {

enum class Outcome { Pending, Met, Missed, Late };
// "Met", "Missed", "Late" or "Pending".
const char* outcomeText(Outcome o);

struct ObjectiveResult {
  Outcome outcome = Outcome::Pending;
  int second = -1;          // the dive second that decided it; -1 when none did
  std::string detail;       // a short reason ("Manual O2 Addition 14 s after Low O2")
};

class LessonRun : public DiveObserver {
 public:
  LessonRun(Simulation& sim, Lesson lesson);

  // Sets the dive up by the lesson's start conditions. Call once, after the disclaimer was
  // accepted, with this run already on the dive's observer list.
  void begin();
  // The dive has ended: objectives still pending are decided.
  void finish();

  const Lesson& lesson() const { return lesson_; }
  const std::vector<ObjectiveResult>& results() const { return results_; }
  // Every critical objective met (decided at finish; false while any is pending).
  bool passed() const;
  bool finished() const { return finished_; }
  // Seconds since begin(), on the record's clock.
  int elapsedSeconds() const { return lastSecond_ - beginSecond_; }
  // What the trainee was shown, in order (messages, and hints when the lesson allows them).
  const std::vector<std::string>& messages() const { return messages_; }

  // Told each message for the trainee as a trigger fires.
  std::function<void(const std::string&)> onMessage;
  // Told whenever an objective's outcome changes.
  std::function<void()> onObjectivesChanged;

  // DiveObserver.
  void sampled(const DiveSample& sample) override;
  void event(const DiveEvent& event) override;

 private:
  struct ObjectiveState {
    std::optional<int> eventSecond;   // Respond: when the answered event happened
    int depthAtEvent = 0;
    std::optional<int> actionSecond;
    std::string actionText;
    std::optional<int> reachedSecond; // BeforeDepth/SetpointAtDepth: depth reached
    std::optional<int> runStart;      // PO2Limit: the loop at the limit since
  };
  struct PendingArming {
    int dueSecond = 0;
    std::vector<Opt> boxes;
  };

  void fire(std::size_t trigger, int second);
  void arm(const std::vector<Opt>& boxes);
  void eventHappened(const std::string& name, int second);
  void actionDone(const std::string& action, const std::string& text, int second);
  void decide(std::size_t objective, Outcome outcome, int second, std::string detail);
  void judgeSample(const DiveSample& s);

  Simulation& sim_;
  Lesson lesson_;
  std::vector<ObjectiveResult> results_;
  std::vector<ObjectiveState> states_;
  std::vector<std::optional<int>> firedAt_;  // per trigger
  std::vector<PendingArming> armings_;
  std::vector<Opt> armedNotYetApplied_;
  std::vector<std::string> messages_;
  std::deque<DiveSample> lastMinute_;        // for the ascent rate
  std::optional<DiveSample> previous_;
  bool onLoop_ = true;
  bool begun_ = false;
  bool finished_ = false;
  int beginSecond_ = 0;
  int lastSecond_ = 0;
};

}  // namespace pelasim::lesson
