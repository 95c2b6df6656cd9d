#include "lesson/LessonRun.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/Dispatch.h"
#include "core/Format.h"
#include "debrief/LessonRecord.h"
#include "failures/Failures.h"
#include "lesson/LessonFile.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim::lesson {
namespace {

// The status messages that name an event of a lesson file, where they differ from its name:
// the warnings are recorded as "Warning: NAME".
std::string eventOfStatus(const std::string& status) {
  static constexpr std::string_view kWarning = "Warning: ";
  if (status.rfind(kWarning, 0) == 0) return status.substr(kWarning.size());
  return status;
}

struct ActionText {
  std::string_view action;
  std::string_view status;
};
// Actions recognised from the status message they record.
constexpr ActionText kActionTexts[] = {
    {"bail-out", "Bailed Out"},
    {"return to loop", "Returned to loop"},
    {"manual O2 addition", "Manual O2 Addition"},
    {"manual diluent addition", "Manual Diluent Addition"},
    {"ADV operated", "ADV Manually operated"},
    {"dump valve", "Dump Valve Operated"},
    {"O2 valve opened", "O2 Valve Opened"},
    {"O2 valve closed", "O2 Valve Closed"},
    {"diluent valve opened", "Diluent Valve Opened"},
    {"diluent valve closed", "Diluent Valve Closed"},
    {"calibration", "Calibration ended"},
};

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Metres the diver must come up, from the depth where an event found them, to count as an
// ascent (or reach the surface from shallower).
constexpr int kAscentMetres = 3;

std::string secondsText(int s) { return std::to_string(s) + " s"; }

}  // namespace

const char* outcomeText(Outcome o) {
  switch (o) {
    case Outcome::Met: return "Met";
    case Outcome::Missed: return "Missed";
    case Outcome::Late: return "Late";
    case Outcome::Pending: break;
  }
  return "Pending";
}

LessonRun::LessonRun(Simulation& sim, Lesson lesson)
    : sim_(sim),
      lesson_(std::move(lesson)),
      results_(lesson_.objectives.size()),
      states_(lesson_.objectives.size()),
      firedAt_(lesson_.triggers.size()) {}

void LessonRun::begin() {
  if (begun_) return;
  begun_ = true;
  State& st = sim_.st;
  const StartConditions& s = lesson_.start;
  beginSecond_ = lastSecond_ = st.recordRow;
  if (s.surfacePressureMb) {
    st.surfacePressureMb = *s.surfacePressureMb;
    sim_.win.setCaption(element::pressureLabel, fmt::whole(st.surfacePressureMb));
  }
  if (s.oxygenAnalysisPercent) {
    st.oxygenAnalysisPercent = *s.oxygenAnalysisPercent;
    sim_.win.setCaption(element::oxygenLabel, fmt::shortest(st.oxygenAnalysisPercent));
  }
  if (s.metabolicRate) {
    st.metabolicRate = *s.metabolicRate;
    sim_.win.setCaption(element::metabolicLabel, fmt::shortest(st.metabolicRate));
  }
  if (s.leftBatteryVolts) st.handset(Side::Left).batteryVolts = *s.leftBatteryVolts;
  if (s.rightBatteryVolts) st.handset(Side::Right).batteryVolts = *s.rightBatteryVolts;
  if (s.scrubberMinutes) st.scrubberMinutes = *s.scrubberMinutes;
  for (Side side : {Side::Left, Side::Right}) {
    HandsetRecord& h = st.handset(side);
    if (s.lowSetpoint) h.lowSetpoint = *s.lowSetpoint;
    if (s.highSetpoint) h.highSetpoint = *s.highSetpoint;
  }
  if (s.lowSetpoint) st.currentSetpoint = *s.lowSetpoint;
  // The switches and the depth go through the trainee's own controls, so the window and the
  // loop follow as they would.
  auto click = [this](Main id) {
    dispatchMain(sim_, id, MouseEvent::Down);
    dispatchMain(sim_, id, MouseEvent::Up);
    dispatchMain(sim_, id, MouseEvent::Click);
  };
  if (s.leftHandsetOn && !st.handset(Side::Left).hardwareSwitch) click(element::leftSwitch);
  if (s.rightHandsetOn && !st.handset(Side::Right).hardwareSwitch) click(element::rightSwitch);
  if (s.depthMetres)
    for (int m = st.depthMetres; m < *s.depthMetres; ++m) click(element::deeperArrow);
  sim_.logEvent(EventKind::Note, debrief::kLessonStarted,
                lesson_.title + "; file " + lesson_.path + "; hash " + lesson_.hash);
  sim_.logEvent(EventKind::Note, debrief::kLessonBriefing, lesson_.briefing);
}

void LessonRun::fire(std::size_t i, int second) {
  if (firedAt_[i]) return;
  firedAt_[i] = second;
  const Trigger& t = lesson_.triggers[i];
  auto show = [this](const std::string& text) {
    if (text.empty()) return;
    messages_.push_back(text);
    if (onMessage) onMessage(text);
  };
  show(t.message);
  if (lesson_.hints) show(t.hint);
  if (!t.arm.empty()) armings_.push_back({second + t.delaySeconds, t.arm});
  // Triggers that start right after this one fire with it.
  for (std::size_t j = 0; j < lesson_.triggers.size(); ++j) {
    const Condition& c = lesson_.triggers[j].when;
    if (c.kind == Condition::Kind::After && c.trigger == t.id && c.seconds == 0) fire(j, second);
  }
}

void LessonRun::arm(const std::vector<Opt>& boxes) {
  // The lesson's failures are added to whatever the instructor has ticked, and take effect
  // at once: the lesson keeps its own delay.
  for (Opt box : boxes) {
    sim_.options.setChecked(box, true);
    optionBoxClick(sim_, box);
    armedNotYetApplied_.push_back(box);
  }
  optionSliderChange(sim_, 0);
  armFailures(sim_, "lesson");
}

void LessonRun::decide(std::size_t i, Outcome outcome, int second, std::string detail) {
  ObjectiveResult& r = results_[i];
  if (r.outcome == outcome && r.second == second) return;
  r = {outcome, second, std::move(detail)};
  if (onObjectivesChanged) onObjectivesChanged();
}

void LessonRun::eventHappened(const std::string& name, int second) {
  for (std::size_t i = 0; i < lesson_.triggers.size(); ++i) {
    const Condition& c = lesson_.triggers[i].when;
    if (c.kind == Condition::Kind::OnEvent && c.event == name) fire(i, second);
  }
  for (std::size_t i = 0; i < lesson_.objectives.size(); ++i) {
    const Objective& o = lesson_.objectives[i];
    ObjectiveState& st = states_[i];
    if (o.kind != Objective::Kind::Respond || o.event != name || st.eventSecond) continue;
    st.eventSecond = second;
    st.depthAtEvent = previous_ ? previous_->depth : sim_.st.depthMetres;
  }
}

void LessonRun::actionDone(const std::string& action, const std::string& text, int second) {
  for (std::size_t i = 0; i < lesson_.objectives.size(); ++i) {
    const Objective& o = lesson_.objectives[i];
    ObjectiveState& st = states_[i];
    if (std::find(o.actions.begin(), o.actions.end(), action) == o.actions.end()) continue;
    if (o.kind == Objective::Kind::Respond) {
      if (!st.eventSecond || st.actionSecond) continue;
      st.actionSecond = second;
      const int took = second - *st.eventSecond;
      decide(i, took <= o.withinSeconds ? Outcome::Met : Outcome::Late, second,
             text + " " + secondsText(took) + " after " + o.event);
    } else if (o.kind == Objective::Kind::BeforeDepth) {
      if (st.actionSecond) continue;
      st.actionSecond = second;
      if (!st.reachedSecond)
        decide(i, Outcome::Met, second, text + " at " + secondsText(second));
      else
        decide(i, Outcome::Late, second,
               text + " at " + secondsText(second) + ", after going below " +
                   std::to_string(o.depthMetres) + " m at " + secondsText(*st.reachedSecond));
    }
  }
}

void LessonRun::event(const DiveEvent& e) {
  if (!begun_ || finished_) return;
  const int second = e.second;
  if (e.kind == EventKind::Status) {
    if (e.text == "Bailed Out") onLoop_ = false;
    if (e.text == "Returned to loop") onLoop_ = true;
    eventHappened(eventOfStatus(e.text), second);
    for (const ActionText& a : kActionTexts)
      if (e.text == a.status) actionDone(std::string(a.action), e.text, second);
    if (endsWith(e.text, " on as Master") || endsWith(e.text, " on as Slave"))
      actionDone("handset on", e.text, second);
  } else if (e.kind == EventKind::FailureApplied) {
    // The failures the lesson armed take effect now, and so does any failure the instructor
    // ticked that is named in full in the event.
    std::vector<std::string> names;
    for (Opt box : armedNotYetApplied_) names.emplace_back(failureName(box));
    armedNotYetApplied_.clear();
    for (std::string_view n : failureNames())
      if (e.detail.find(n) != std::string::npos) names.emplace_back(n);
    for (const std::string& n : names) eventHappened(n, second);
  }
}

void LessonRun::judgeSample(const DiveSample& s) {
  using K = Objective::Kind;
  for (std::size_t i = 0; i < lesson_.objectives.size(); ++i) {
    const Objective& o = lesson_.objectives[i];
    ObjectiveState& st = states_[i];
    switch (o.kind) {
      case K::Respond:
        if (st.eventSecond && !st.actionSecond && s.second - *st.eventSecond > o.withinSeconds)
          decide(i, Outcome::Missed, *st.eventSecond + o.withinSeconds,
                 "nothing within " + secondsText(o.withinSeconds) + " of " + o.event);
        break;
      case K::BeforeDepth:
        if (!st.reachedSecond && s.depth > o.depthMetres) {
          st.reachedSecond = s.second;
          if (!st.actionSecond)
            decide(i, Outcome::Missed, s.second,
                   "below " + std::to_string(o.depthMetres) + " m at " + secondsText(s.second) +
                       " without it");
        }
        break;
      case K::SetpointAtDepth: {
        if (!st.reachedSecond && s.depth >= o.depthMetres) st.reachedSecond = s.second;
        if (!st.reachedSecond || st.actionSecond) break;
        const int waited = s.second - *st.reachedSecond;
        if (s.setpoint >= o.setpoint - 0.005) {
          st.actionSecond = s.second;
          decide(i, waited <= o.withinSeconds ? Outcome::Met : Outcome::Late, s.second,
                 "setpoint " + fmt::fixed(s.setpoint, 1) + " " + secondsText(waited) +
                     " after reaching " + std::to_string(o.depthMetres) + " m");
        } else if (waited > o.withinSeconds && results_[i].outcome == Outcome::Pending) {
          decide(i, Outcome::Missed, s.second,
                 "setpoint below " + fmt::fixed(o.setpoint, 1) + " " +
                     secondsText(o.withinSeconds) + " after reaching " +
                     std::to_string(o.depthMetres) + " m");
        }
        break;
      }
      case K::PO2Limit: {
        const bool beyond = onLoop_ && (o.below ? s.realPO2 <= o.po2 + 1e-9 : s.realPO2 >= o.po2 - 1e-9);
        if (!beyond) {
          st.runStart.reset();
          break;
        }
        if (!st.runStart) st.runStart = s.second;
        const int lasted = s.second - *st.runStart + 1;
        if (lasted > o.maxSeconds && results_[i].outcome == Outcome::Pending)
          decide(i, Outcome::Missed, s.second,
                 std::string("loop ") + (o.below ? "at or below " : "at or above ") +
                     fmt::fixed(o.po2, 2) + " bar for over " + secondsText(o.maxSeconds) +
                     " from " + secondsText(*st.runStart));
        break;
      }
      case K::AscentRate:
        if (results_[i].outcome != Outcome::Pending) break;
        for (const DiveSample& earlier : lastMinute_) {
          if (earlier.depth - s.depth > o.metresPerMinute + 1e-9) {
            decide(i, Outcome::Missed, s.second,
                   "up " + std::to_string(earlier.depth - s.depth) + " m in " +
                       secondsText(s.second - earlier.second) + " at " + secondsText(s.second));
            break;
          }
        }
        break;
    }
  }
}

void LessonRun::sampled(const DiveSample& s) {
  if (!begun_ || finished_) return;
  lastSecond_ = s.second;
  // Failures come due on the second they were asked for.
  for (auto it = armings_.begin(); it != armings_.end();) {
    if (s.second >= it->dueSecond) {
      const std::vector<Opt> boxes = it->boxes;
      it = armings_.erase(it);
      arm(boxes);
    } else {
      ++it;
    }
  }
  using C = Condition::Kind;
  for (std::size_t i = 0; i < lesson_.triggers.size(); ++i) {
    const Condition& c = lesson_.triggers[i].when;
    const bool due = (c.kind == C::AtTime && s.second - beginSecond_ >= c.seconds) ||
                     (c.kind == C::AtDepth && s.depth >= c.depthMetres) ||
                     (c.kind == C::PO2Below && s.realPO2 < c.po2) ||
                     (c.kind == C::PO2Above && s.realPO2 > c.po2);
    if (due) fire(i, s.second);
    if (c.kind == C::After && c.seconds > 0) {
      for (std::size_t j = 0; j < lesson_.triggers.size(); ++j)
        if (lesson_.triggers[j].id == c.trigger && firedAt_[j] &&
            s.second - *firedAt_[j] >= c.seconds)
          fire(i, s.second);
    }
  }
  // Setpoint switches and ascents are read from the samples.
  if (previous_) {
    if (s.setpoint > previous_->setpoint + 1e-9) actionDone("high setpoint", "High setpoint", s.second);
    if (s.setpoint < previous_->setpoint - 1e-9) actionDone("low setpoint", "Low setpoint", s.second);
  }
  for (std::size_t i = 0; i < lesson_.objectives.size(); ++i) {
    const ObjectiveState& st = states_[i];
    if (st.eventSecond && !st.actionSecond && st.depthAtEvent > 0 &&
        (s.depth <= st.depthAtEvent - kAscentMetres || s.depth == 0) &&
        std::find(lesson_.objectives[i].actions.begin(), lesson_.objectives[i].actions.end(),
                  "ascent") != lesson_.objectives[i].actions.end())
      actionDone("ascent", "Ascent to " + std::to_string(s.depth) + " m", s.second);
  }
  while (!lastMinute_.empty() && s.second - lastMinute_.front().second > 60) lastMinute_.pop_front();
  judgeSample(s);
  lastMinute_.push_back(s);
  previous_ = s;
}

void LessonRun::finish() {
  if (finished_ || !begun_) return;
  using K = Objective::Kind;
  for (std::size_t i = 0; i < lesson_.objectives.size(); ++i) {
    if (results_[i].outcome != Outcome::Pending) continue;
    const Objective& o = lesson_.objectives[i];
    const ObjectiveState& st = states_[i];
    switch (o.kind) {
      case K::Respond:
        if (!st.eventSecond) decide(i, Outcome::Met, -1, "no " + o.event + " to answer");
        else decide(i, Outcome::Missed, lastSecond_, "no answer to " + o.event);
        break;
      case K::BeforeDepth:
        decide(i, Outcome::Missed, lastSecond_, "never done");
        break;
      case K::SetpointAtDepth:
        if (!st.reachedSecond)
          decide(i, Outcome::Met, -1, "never at " + std::to_string(o.depthMetres) + " m");
        else
          decide(i, Outcome::Missed, lastSecond_, "setpoint never reached");
        break;
      case K::PO2Limit:
      case K::AscentRate:
        decide(i, Outcome::Met, -1, "kept all dive");
        break;
    }
  }
  finished_ = true;
  // The outcome goes into the dive's events, so the dive library keeps it with the dive.
  for (std::size_t i = 0; i < results_.size(); ++i) {
    const ObjectiveResult& r = results_[i];
    sim_.logEvent(EventKind::Note, debrief::kLessonObjective,
                  std::string(outcomeText(r.outcome)) +
                      (r.second >= 0 ? " at " + std::to_string(r.second) + " s" : "") + ": " +
                      lesson_.objectives[i].text + " (" + r.detail + ")");
  }
  sim_.logEvent(EventKind::Note, debrief::kLessonEnded,
                lesson_.title + (passed() ? ": passed" : ": not passed"));
}

bool LessonRun::passed() const {
  if (!finished_) return false;
  for (std::size_t i = 0; i < results_.size(); ++i)
    if (lesson_.objectives[i].critical && results_[i].outcome != Outcome::Met) return false;
  return true;
}

}  // namespace pelasim::lesson
