#include "station/StationCore.h"

#include <algorithm>
#include <array>

#include "failures/Failures.h"
#include "lesson/LessonRun.h"
#include "sim/Simulation.h"
#include "station/StationJson.h"

namespace pelasim::station {
namespace {

std::string_view kindName(EventKind k) {
  switch (k) {
    case EventKind::Status: return "status";
    case EventKind::FailureArmed: return "armed";
    case EventKind::FailureApplied: return "applied";
    case EventKind::Note: return "note";
  }
  return "note";
}

std::string trimmed(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

std::optional<Opt> boxNamed(const Simulation& sim, std::string_view name) {
  const int id = sim.options.find(name);
  if (id < 0 || sim.options.at(id).kind != ElementKind::CheckBox) return std::nullopt;
  return static_cast<Opt>(id);
}

// The fields each command takes besides "cmd".
struct CommandShape {
  std::string_view name;
  std::array<std::string_view, 2> fields;
};
constexpr CommandShape kCommands[] = {
    {"tick", {"box", "ticked"}},
    {"delay", {"minutes", {}}},
    {"arm", {}},
    {"refillScrubber", {}},
    {"changeBatteries", {}},
    {"randomFailure", {"withinMinutes", {}}},
    {"cancelRandom", {}},
    {"lesson", {"index", {}}},
};

}  // namespace

std::vector<OptionBox> optionBoxes(const Simulation& sim) {
  std::vector<OptionBox> boxes;
  for (int id = 0; id < static_cast<int>(Opt::Count); ++id) {
    const Element& e = sim.options.at(id);
    if (e.kind != ElementKind::CheckBox) continue;
    boxes.push_back({static_cast<Opt>(id), e.name, trimmed(e.caption),
                     e.parent >= 0 ? sim.options.at(e.parent).caption : std::string()});
  }
  return boxes;
}

StationCore::StationCore(Simulation& sim, std::uint64_t seed) : sim_(sim), random_(seed) {}

std::optional<int> StationCore::countdownSeconds() const {
  if (!sim_.timers.enabled(TimerId::OptionTimer)) return std::nullopt;
  const std::int64_t delay = std::int64_t{sim_.options[Opt::Slider1].value} * 60000;
  const std::int64_t elapsed = static_cast<std::uint32_t>(sim_.host.tickCount() - sim_.st.optionsChangeTick);
  const std::int64_t left = std::max<std::int64_t>(0, delay - elapsed);
  return static_cast<int>((left + 999) / 1000);
}

std::string StationCore::stateJson() const {
  const State& st = sim_.st;
  std::string j = "{\"type\":\"state\"";
  j += ",\"second\":" + std::to_string(st.recordRow);
  j += ",\"loopPO2\":" + jsonNumber(st.loopPO2, 2);
  j += ",\"masterPO2\":" + (st.votedPO2 ? jsonNumber(*st.votedPO2, 2) : std::string("null"));
  j += ",\"setpoint\":" + jsonNumber(st.currentSetpoint, 2);
  j += ",\"depth\":" + std::to_string(st.depthMetres);
  j += ",\"screens\":{\"left\":" + jsonString(sim_.win[element::leftScreen].caption) +
       ",\"right\":" + jsonString(sim_.win[element::rightScreen].caption) + "}";
  j += ",\"oxygenValve\":" + jsonString(valveText(st.oxygenValveState));
  j += ",\"diluentValve\":" + jsonString(valveText(st.diluentValveState));
  j += ",\"mouthpiece\":" + jsonString(mouthpieceText(st.mouthpieceState));
  j += ",\"breathing\":" + std::string(st.breathing ? "true" : "false");
  j += ",\"bailout\":" + std::string(sim_.bailed[BailedId::Form].visible ? "true" : "false");
  j += ",\"counterlung\":" + jsonNumber(st.counterlungPercent, 0);
  j += ",\"ticked\":[";
  bool first = true;
  for (const OptionBox& b : optionBoxes(sim_)) {
    if (!sim_.optionTicked(b.id)) continue;
    if (!first) j += ',';
    first = false;
    j += jsonString(b.name);
  }
  j += "],\"delay\":" + std::to_string(sim_.options[Opt::Slider1].value);
  const auto countdown = countdownSeconds();
  j += ",\"armed\":" + std::string(countdown ? "true" : "false");
  j += ",\"countdown\":" + (countdown ? std::to_string(*countdown) : std::string("null"));
  j += ",\"randomPending\":" + std::string(randomDue_ ? "true" : "false");
  j += ",\"randomWithin\":" + std::to_string(randomDue_ ? randomWithin_ : 0);
  j += ",\"ended\":" + std::string(sim_.ended ? "true" : "false");
  // The lesson being flown and each objective as it stands.
  const lesson::LessonRun* run = currentLesson ? currentLesson() : nullptr;
  if (run == nullptr) {
    j += ",\"lesson\":null";
  } else {
    j += ",\"lesson\":{\"title\":" + jsonString(run->lesson().title) +
         ",\"elapsed\":" + std::to_string(run->elapsedSeconds()) +
         ",\"finished\":" + std::string(run->finished() ? "true" : "false") +
         ",\"passed\":" + std::string(run->passed() ? "true" : "false") + ",\"objectives\":[";
    for (std::size_t i = 0; i < run->results().size(); ++i) {
      const lesson::ObjectiveResult& r = run->results()[i];
      if (i > 0) j += ',';
      j += "{\"text\":" + jsonString(run->lesson().objectives[i].text) +
           ",\"outcome\":" + jsonString(lesson::outcomeText(r.outcome)) +
           ",\"second\":" + (r.second >= 0 ? std::to_string(r.second) : std::string("null")) + "}";
    }
    j += "]}";
  }
  j += '}';
  return j;
}

std::string StationCore::welcomeJson() const {
  std::string j = "{\"type\":\"welcome\",\"boxes\":[";
  bool first = true;
  for (const OptionBox& b : optionBoxes(sim_)) {
    if (!first) j += ',';
    first = false;
    j += "{\"box\":" + jsonString(b.name) + ",\"caption\":" + jsonString(b.caption) +
         ",\"group\":" + jsonString(b.group) + "}";
  }
  j += "],\"maxDelay\":" + std::to_string(kMaxDelayMinutes);
  j += ",\"lessons\":[";
  for (std::size_t i = 0; i < lessons.size(); ++i) {
    if (i > 0) j += ',';
    j += jsonString(lessons[i].title);
  }
  j += ']';
  j += ",\"state\":" + stateJson();
  auto list = [&j](std::string_view name, const std::deque<std::string>& items) {
    j += ",\"";
    j += name;
    j += "\":[";
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0) j += ',';
      j += items[i];
    }
    j += ']';
  };
  list("samples", history_);
  list("events", events_);
  j += '}';
  return j;
}

std::string StationCore::replyJson(const CommandReply& reply) {
  return std::string("{\"type\":\"reply\",\"ok\":") + (reply.ok ? "true" : "false") +
         ",\"message\":" + jsonString(reply.message) + "}";
}

CommandReply StationCore::refuse(std::string why) {
  ++refusals_;
  if (refusals_ <= kMaxLoggedRefusals) sim_.logEvent(EventKind::Note, "Station command refused", why);
  if (refusals_ == kMaxLoggedRefusals)
    sim_.logEvent(EventKind::Note, "Station command refused", "further refused commands are not logged");
  return {false, std::move(why)};
}

CommandReply StationCore::command(std::string_view text) {
  if (text.size() > kMaxCommandBytes) return refuse("command longer than 4096 bytes");
  JsonParse parsed = parseFlatObject(text);
  if (!parsed.object) return refuse("malformed command: " + parsed.error);
  const JsonObject& obj = *parsed.object;

  const auto cmdIt = obj.find("cmd");
  if (cmdIt == obj.end() || !std::holds_alternative<std::string>(cmdIt->second))
    return refuse("command without a \"cmd\" text");
  const std::string& cmd = std::get<std::string>(cmdIt->second);
  const CommandShape* shape = nullptr;
  for (const CommandShape& s : kCommands)
    if (s.name == cmd) shape = &s;
  if (shape == nullptr) return refuse("unknown command");
  // Every field must be one the command takes, and every field it takes must be there.
  for (const auto& [key, value] : obj) {
    if (key == "cmd") continue;
    if (std::find(shape->fields.begin(), shape->fields.end(), key) == shape->fields.end() || key.empty())
      return refuse("unknown field in \"" + cmd + "\"");
  }
  for (std::string_view f : shape->fields)
    if (!f.empty() && obj.find(f) == obj.end()) return refuse("\"" + cmd + "\" needs \"" + std::string(f) + "\"");
  if (sim_.ended) return refuse("the dive has ended");

  auto whole = [&obj](std::string_view key, int lo, int hi) -> std::optional<int> {
    const auto* v = std::get_if<std::int64_t>(&obj.find(key)->second);
    if (v == nullptr || *v < lo || *v > hi) return std::nullopt;
    return static_cast<int>(*v);
  };

  if (cmd == "tick") {
    const auto* name = std::get_if<std::string>(&obj.find("box")->second);
    const auto* ticked = std::get_if<bool>(&obj.find("ticked")->second);
    if (name == nullptr || ticked == nullptr) return refuse("\"tick\" needs a box name and true or false");
    const auto box = boxNamed(sim_, *name);
    if (!box) return refuse("no such option box");
    sim_.options.setChecked(*box, *ticked);
    optionBoxClick(sim_, *box);  // a ticked box unticks its partner, as in the dialog
    return {true, trimmed(sim_.options[*box].caption) + (*ticked ? " ticked" : " unticked")};
  }
  if (cmd == "delay") {
    const auto minutes = whole("minutes", 0, kMaxDelayMinutes);
    if (!minutes) return refuse("the delay is a whole number of minutes from 0 to 15");
    optionSliderChange(sim_, *minutes);
    return {true, "Delay " + std::to_string(*minutes) + " min"};
  }
  if (cmd == "arm") {
    armFailures(sim_, "station");
    return {true, "Armed: " + tickedOptionsText(sim_)};
  }
  if (cmd == "refillScrubber") {
    refillScrubberClick(sim_);
    return {true, "Scrubber refilled"};
  }
  if (cmd == "changeBatteries") {
    changeBatteriesClick(sim_);
    return {true, "Batteries changed"};
  }
  if (cmd == "randomFailure") {
    const auto minutes = whole("withinMinutes", 1, kMaxDelayMinutes);
    if (!minutes) return refuse("the random window is a whole number of minutes from 1 to 15");
    return drawRandomFailure(*minutes);
  }
  if (cmd == "lesson") {
    const auto index = whole("index", 0, static_cast<int>(lessons.size()) - 1);
    if (!index || !lessons[static_cast<std::size_t>(*index)].readable) return refuse("no such lesson");
    const lesson::CourseEntry& chosen = lessons[static_cast<std::size_t>(*index)];
    sim_.logEvent(EventKind::Note, "Lesson assigned", chosen.title + "; source station");
    if (onLessonAssigned) onLessonAssigned(chosen);
    return {true, "Lesson \"" + chosen.title + "\" offered to the trainee"};
  }
  // cancelRandom
  if (!randomDue_) return {true, "No random failure was pending"};
  randomDue_.reset();
  sim_.logEvent(EventKind::Note, "Random failure cancelled", "source station");
  return {true, "Random failure cancelled"};
}

CommandReply StationCore::drawRandomFailure(int withinMinutes) {
  std::vector<OptionBox> ticked;
  for (OptionBox& b : optionBoxes(sim_))
    if (sim_.optionTicked(b.id)) ticked.push_back(std::move(b));
  if (ticked.empty()) return refuse("tick at least one failure to draw from");
  std::uniform_int_distribution<std::size_t> pick(0, ticked.size() - 1);
  std::uniform_int_distribution<std::uint32_t> moment(0, static_cast<std::uint32_t>(withinMinutes) * 60000 - 1);
  const OptionBox& chosen = ticked[pick(random_)];
  randomBox_ = chosen.id;
  randomWithin_ = withinMinutes;
  randomDue_ = sim_.host.tickCount() + moment(random_);
  std::string from;
  for (const OptionBox& b : ticked) from += (from.empty() ? "" : ", ") + b.caption;
  // The dive log names the candidates, not the choice or the moment: the page shows the log.
  sim_.logEvent(EventKind::Note, "Random failure requested",
                "one of " + from + "; within " + std::to_string(withinMinutes) + " min; source station");
  return {true, "One of " + std::to_string(ticked.size()) + " ticked failures within " +
                    std::to_string(withinMinutes) + " min"};
}

void StationCore::fireRandomFailure() {
  randomDue_.reset();
  // The drawn failure alone, at once: exactly what the dialog does with that one box ticked
  // and the delay at 0.
  for (const OptionBox& b : optionBoxes(sim_)) sim_.options.setChecked(b.id, b.id == randomBox_);
  optionSliderChange(sim_, 0);
  armFailures(sim_, "station");
}

void StationCore::sampled(const DiveSample& s) {
  std::string j = "{\"type\":\"sample\",\"second\":" + std::to_string(s.second) +
                  ",\"loopPO2\":" + jsonNumber(s.realPO2, 2) +
                  ",\"masterPO2\":" + (s.handsetPO2 ? jsonNumber(*s.handsetPO2, 2) : std::string("null")) +
                  ",\"setpoint\":" + jsonNumber(s.setpoint, 2) + ",\"depth\":" + std::to_string(s.depth) + "}";
  history_.push_back(j);
  if (history_.size() > kHistorySamples) history_.pop_front();
  send(j);
  if (randomDue_ && !sim_.ended && tickAtOrBefore(*randomDue_, sim_.host.tickCount())) fireRandomFailure();
}

void StationCore::event(const DiveEvent& e) {
  std::string j = "{\"type\":\"event\",\"ms\":" + std::to_string(e.ms) + ",\"second\":" + std::to_string(e.second) +
                  ",\"kind\":" + jsonString(kindName(e.kind)) + ",\"text\":" + jsonString(e.text) +
                  ",\"detail\":" + jsonString(e.detail) + "}";
  events_.push_back(j);
  if (events_.size() > kEventMemory) events_.pop_front();
  send(j);
}

}  // namespace pelasim::station
