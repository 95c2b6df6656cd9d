#include "lesson/LessonFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include <toml++/toml.h>

namespace pelasim::lesson {
namespace {

struct NamedFailure {
  std::string_view name;
  Opt box;
};
// The failures of the options dialog, each named in full.
constexpr std::array<NamedFailure, 23> kFailures = {{
    {"Must Calibrate", option::MustCalibrate},
    {"Dark at Depth", option::DarkAtDepth},
    {"Cell Drift", option::CellDrift},
    {"Cell Slow", option::CellSlow},
    {"Cell Failure", option::CellFailure},
    {"Two Cell Drift", option::TwoCellDrift},
    {"Master Battery Low", option::MasterBatteryLow},
    {"Master Battery Exhausted", option::MasterBatteryExhausted},
    {"Battery Bounce", option::BatteryBounce},
    {"Solenoid Stuck Open", option::SolenoidStuckOpen},
    {"Solenoid Stuck Closed", option::SolenoidStuckClosed},
    {"Dump Valve Physical Failure", option::DumpValvePhysical},
    {"ADV Free Flow", option::AdvFreeFlow},
    {"ADV Failed", option::AdvFailed},
    {"Oxygen Injector Stuck On", option::O2InjectorStuckOn},
    {"Oxygen Injector Failed", option::O2InjectorFailed},
    {"Oxygen Injector Physical Failure", option::O2InjectorPhysical},
    {"Diluent Injector Stuck On", option::DiluentInjectorStuckOn},
    {"Diluent Injector Failed", option::DiluentInjectorFailed},
    {"Diluent Injector Physical Failure", option::DiluentInjectorPhysical},
    {"Master Accidentally Turned Off", option::MasterTurnedOff},
    {"Slave Accidentally Turned Off", option::SlaveTurnedOff},
    {"Handset Flood", option::HandsetFlood},
}};

// Status messages of the dive that a lesson may wait for, and the warnings by name.
constexpr std::string_view kStatusEvents[] = {
    "Breathing Started", "Breathing Stopped", "Bailed Out", "Returned to loop",
    "Calibration Started", "Calibration ended", "O2 Valve Opened", "O2 Valve Closed",
    "Diluent Valve Opened", "Diluent Valve Closed", "Mouthpiece Opened", "Mouthpiece Closed",
    "Manual O2 Addition", "Manual Diluent Addition", "ADV Manually operated",
    "Dump Valve Operated", "Low O2", "High O2", "Cell Warning", "Low Battery", "No Battery",
};

constexpr std::string_view kActions[] = {
    "bail-out",           "return to loop",        "manual O2 addition",
    "manual diluent addition", "ADV operated",     "dump valve",
    "O2 valve opened",    "O2 valve closed",       "diluent valve opened",
    "diluent valve closed", "calibration",         "high setpoint",
    "low setpoint",       "ascent",                "handset on",
};

template <std::size_t N>
std::vector<std::string_view> listOf(const std::string_view (&items)[N]) {
  return {std::begin(items), std::end(items)};
}

int lineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

// Reads one lesson table by table, collecting every error instead of stopping at the first.
class Reader {
 public:
  explicit Reader(std::vector<LessonError>& errors) : errors_(errors) {}

  void error(int line, std::string message) { errors_.push_back({line, std::move(message)}); }

  // Reports every key of `table` that is not in `allowed`.
  void onlyKeys(const toml::table& table, std::initializer_list<std::string_view> allowed,
                std::string_view where) {
    for (auto&& [key, value] : table) {
      if (std::find(allowed.begin(), allowed.end(), key.str()) == allowed.end())
        error(static_cast<int>(key.source().begin.line),
              "unknown key \"" + std::string(key.str()) + "\" in " + std::string(where));
    }
  }

  std::optional<std::string> text(const toml::table& t, std::string_view key, bool required,
                                  int line) {
    const toml::node* n = t.get(key);
    if (n == nullptr) {
      if (required) error(line, "\"" + std::string(key) + "\" is missing");
      return std::nullopt;
    }
    if (const auto* s = n->as_string()) return s->get();
    error(lineOf(*n), "\"" + std::string(key) + "\" must be text in double quotes");
    return std::nullopt;
  }

  // A number within [lo, hi]; whole numbers are accepted where a decimal is expected.
  std::optional<double> number(const toml::table& t, std::string_view key, double lo, double hi,
                               std::string_view unit) {
    const toml::node* n = t.get(key);
    if (n == nullptr) return std::nullopt;
    std::optional<double> v;
    if (const auto* i = n->as_integer()) v = static_cast<double>(i->get());
    if (const auto* f = n->as_floating_point()) v = f->get();
    if (!v) {
      error(lineOf(*n), "\"" + std::string(key) + "\" must be a number");
      return std::nullopt;
    }
    if (!(*v >= lo && *v <= hi)) {
      std::ostringstream m;
      m.imbue(std::locale::classic());
      m << "\"" << key << "\" is " << *v << " " << unit << "; it must be from " << lo << " to "
        << hi << " " << unit;
      error(lineOf(*n), m.str());
      return std::nullopt;
    }
    return v;
  }

  std::optional<int> whole(const toml::table& t, std::string_view key, int lo, int hi,
                           std::string_view unit) {
    const toml::node* n = t.get(key);
    if (n == nullptr) return std::nullopt;
    if (!n->is_integer()) {
      error(lineOf(*n), "\"" + std::string(key) + "\" must be a whole number of " + std::string(unit));
      return std::nullopt;
    }
    const auto v = number(t, key, lo, hi, unit);
    return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
  }

  std::optional<bool> flag(const toml::table& t, std::string_view key) {
    const toml::node* n = t.get(key);
    if (n == nullptr) return std::nullopt;
    if (const auto* b = n->as_boolean()) return b->get();
    error(lineOf(*n), "\"" + std::string(key) + "\" must be true or false");
    return std::nullopt;
  }

  // A list of texts, each checked by `known`; `what` names the kind for the message.
  std::vector<std::string> names(const toml::table& t, std::string_view key,
                                 bool (*known)(std::string_view), std::string_view what) {
    std::vector<std::string> out;
    const toml::node* n = t.get(key);
    if (n == nullptr) return out;
    const toml::array* a = n->as_array();
    if (a == nullptr) {
      error(lineOf(*n), "\"" + std::string(key) + "\" must be a list such as [\"...\"]");
      return out;
    }
    for (const toml::node& item : *a) {
      const auto* s = item.as_string();
      if (s == nullptr) {
        error(lineOf(item), "\"" + std::string(key) + "\" must list texts in double quotes");
      } else if (!known(s->get())) {
        error(lineOf(item), "unknown " + std::string(what) + " \"" + s->get() + "\"");
      } else {
        out.push_back(s->get());
      }
    }
    return out;
  }

 private:
  std::vector<LessonError>& errors_;
};

bool isFailure(std::string_view n) { return failureByName(n).has_value(); }

void readStart(Reader& r, const toml::table& t, StartConditions& s) {
  r.onlyKeys(t,
             {"surface_pressure_mb", "oxygen_analysis_percent", "metabolic_rate",
              "left_battery_volts", "right_battery_volts", "scrubber_minutes", "handsets_on",
              "low_setpoint", "high_setpoint", "depth_metres"},
             "[start]");
  s.surfacePressureMb = r.whole(t, "surface_pressure_mb", 750, 1050, "mb");
  s.oxygenAnalysisPercent = r.number(t, "oxygen_analysis_percent", 10, 100, "%");
  s.metabolicRate = r.number(t, "metabolic_rate", 0.5, 5, "litres a minute");
  s.leftBatteryVolts = r.number(t, "left_battery_volts", 0, 9, "V");
  s.rightBatteryVolts = r.number(t, "right_battery_volts", 0, 9, "V");
  s.scrubberMinutes = r.number(t, "scrubber_minutes", 0, 600, "minutes");
  s.lowSetpoint = r.number(t, "low_setpoint", 0.4, 1.0, "bar");
  s.highSetpoint = r.number(t, "high_setpoint", 1.0, 1.6, "bar");
  s.depthMetres = r.whole(t, "depth_metres", 0, 40, "m");
  auto handsetName = [](std::string_view n) { return n == "left" || n == "right"; };
  for (const std::string& h : r.names(t, "handsets_on", +handsetName, "handset (left or right)")) {
    if (h == "left") s.leftHandsetOn = true;
    if (h == "right") s.rightHandsetOn = true;
  }
}

void readTrigger(Reader& r, const toml::table& t, Trigger& trig) {
  trig.line = static_cast<int>(t.source().begin.line);
  r.onlyKeys(t,
             {"id", "at_time", "at_depth", "on_event", "po2_below", "po2_above", "after", "wait",
              "arm", "delay", "message", "hint"},
             "[[trigger]]");
  trig.id = r.text(t, "id", true, trig.line).value_or("");
  int conditions = 0;
  for (const char* key : {"at_time", "at_depth", "on_event", "po2_below", "po2_above", "after"})
    if (t.get(key) != nullptr) ++conditions;
  using K = Condition::Kind;
  if (auto v = r.whole(t, "at_time", 0, 5 * 3600, "s")) {
    trig.when.kind = K::AtTime;
    trig.when.seconds = *v;
  }
  if (auto v = r.whole(t, "at_depth", 1, 40, "m")) {
    trig.when = {};
    trig.when.kind = K::AtDepth;
    trig.when.depthMetres = *v;
  }
  if (auto v = r.text(t, "on_event", false, trig.line)) {
    if (!knownEvent(*v)) r.error(lineOf(*t.get("on_event")), "unknown event \"" + *v + "\"");
    trig.when = {};
    trig.when.kind = K::OnEvent;
    trig.when.event = *v;
  }
  for (auto [key, kind] : {std::pair{"po2_below", K::PO2Below}, std::pair{"po2_above", K::PO2Above}}) {
    if (auto v = r.number(t, key, 0.05, 3.0, "bar")) {
      trig.when = {};
      trig.when.kind = kind;
      trig.when.po2 = *v;
    }
  }
  if (auto v = r.text(t, "after", false, trig.line)) {
    trig.when = {};
    trig.when.kind = K::After;
    trig.when.trigger = *v;
    trig.when.seconds = r.whole(t, "wait", 0, 5 * 3600, "s").value_or(0);
  } else if (t.get("wait") != nullptr) {
    r.error(lineOf(*t.get("wait")), "\"wait\" belongs to a trigger that starts \"after\" another");
  }
  if (conditions != 1)
    r.error(trig.line, "trigger \"" + trig.id + "\" needs exactly one of at_time, at_depth, "
                       "on_event, po2_below, po2_above or after");
  for (const std::string& f : r.names(t, "arm", isFailure, "failure"))
    trig.arm.push_back(*failureByName(f));
  trig.delaySeconds = r.whole(t, "delay", 0, 3600, "s").value_or(0);
  trig.message = r.text(t, "message", false, trig.line).value_or("");
  trig.hint = r.text(t, "hint", false, trig.line).value_or("");
  if (trig.arm.empty() && trig.message.empty() && trig.hint.empty() && t.get("arm") == nullptr)
    r.error(trig.line, "trigger \"" + trig.id + "\" does nothing: give it arm, message or hint");
}

void readObjective(Reader& r, const toml::table& t, Objective& o) {
  o.line = static_cast<int>(t.source().begin.line);
  r.onlyKeys(t,
             {"id", "text", "kind", "critical", "event", "actions", "within", "depth", "setpoint",
              "po2_at_or_below", "po2_at_or_above", "max_seconds", "metres_per_minute"},
             "[[objective]]");
  o.id = r.text(t, "id", true, o.line).value_or("");
  o.text = r.text(t, "text", true, o.line).value_or("");
  o.critical = r.flag(t, "critical").value_or(true);
  const std::string kind = r.text(t, "kind", true, o.line).value_or("");
  using K = Objective::Kind;
  auto need = [&](std::string_view key) {
    if (t.get(key) == nullptr)
      r.error(o.line, "objective \"" + o.id + "\" of kind \"" + kind + "\" needs \"" +
                          std::string(key) + "\"");
  };
  auto actions = [&] {
    need("actions");
    o.actions = r.names(t, "actions", knownAction, "action");
  };
  if (kind == "respond") {
    o.kind = K::Respond;
    need("event");
    if (auto e = r.text(t, "event", false, o.line)) {
      if (!knownEvent(*e)) r.error(lineOf(*t.get("event")), "unknown event \"" + *e + "\"");
      o.event = *e;
    }
    actions();
    o.withinSeconds = r.whole(t, "within", 1, 3600, "s").value_or(60);
  } else if (kind == "before_depth") {
    o.kind = K::BeforeDepth;
    need("depth");
    o.depthMetres = r.whole(t, "depth", 1, 40, "m").value_or(0);
    actions();
  } else if (kind == "setpoint_at_depth") {
    o.kind = K::SetpointAtDepth;
    need("depth");
    need("setpoint");
    o.depthMetres = r.whole(t, "depth", 1, 40, "m").value_or(0);
    o.setpoint = r.number(t, "setpoint", 0.4, 1.6, "bar").value_or(1.3);
    o.withinSeconds = r.whole(t, "within", 1, 3600, "s").value_or(60);
  } else if (kind == "po2_limit") {
    o.kind = K::PO2Limit;
    const bool low = t.get("po2_at_or_below") != nullptr, high = t.get("po2_at_or_above") != nullptr;
    if (low == high)
      r.error(o.line, "objective \"" + o.id + "\" needs one of po2_at_or_below or po2_at_or_above");
    o.below = low;
    o.po2 = r.number(t, low ? "po2_at_or_below" : "po2_at_or_above", 0.05, 3.0, "bar").value_or(0);
    need("max_seconds");
    o.maxSeconds = r.whole(t, "max_seconds", 0, 5 * 3600, "s").value_or(0);
  } else if (kind == "ascent_rate") {
    o.kind = K::AscentRate;
    need("metres_per_minute");
    o.metresPerMinute = r.number(t, "metres_per_minute", 1, 60, "m a minute").value_or(9);
  } else if (!kind.empty()) {
    r.error(lineOf(*t.get("kind")), "unknown objective kind \"" + kind +
                                        "\" (respond, before_depth, setpoint_at_depth, "
                                        "po2_limit or ascent_rate)");
  }
}

}  // namespace

std::optional<Opt> failureByName(std::string_view name) {
  for (const NamedFailure& f : kFailures)
    if (f.name == name) return f.box;
  return std::nullopt;
}

std::string_view failureName(Opt box) {
  for (const NamedFailure& f : kFailures)
    if (f.box == box) return f.name;
  return {};
}

const std::vector<std::string_view>& failureNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> v;
    for (const NamedFailure& f : kFailures) v.push_back(f.name);
    return v;
  }();
  return names;
}

const std::vector<std::string_view>& eventNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> v = listOf(kStatusEvents);
    for (const NamedFailure& f : kFailures) v.push_back(f.name);
    return v;
  }();
  return names;
}

bool knownEvent(std::string_view name) {
  const auto& v = eventNames();
  return std::find(v.begin(), v.end(), name) != v.end();
}

const std::vector<std::string_view>& actionNames() {
  static const std::vector<std::string_view> names = listOf(kActions);
  return names;
}

bool knownAction(std::string_view name) {
  const auto& v = actionNames();
  return std::find(v.begin(), v.end(), name) != v.end();
}

ReadResult readLesson(std::string_view text, const std::string& path) {
  ReadResult result;
  toml::table root;
  try {
    root = toml::parse(text, path);
  } catch (const toml::parse_error& e) {
    result.errors.push_back({static_cast<int>(e.source().begin.line), std::string(e.description())});
    return result;
  }
  Reader r(result.errors);
  Lesson lesson;
  lesson.path = path;
  // FNV-1a over the file's bytes: the same text always gives the same hash.
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  static constexpr char kHex[] = "0123456789abcdef";
  for (int shift = 60; shift >= 0; shift -= 4) lesson.hash += kHex[(h >> shift) & 0xf];
  r.onlyKeys(root, {"title", "briefing", "hints", "start", "trigger", "objective"}, "the lesson");
  lesson.title = r.text(root, "title", true, 0).value_or("");
  lesson.briefing = r.text(root, "briefing", true, 0).value_or("");
  lesson.hints = r.flag(root, "hints").value_or(false);
  if (const toml::node* n = root.get("start")) {
    if (const auto* t = n->as_table()) readStart(r, *t, lesson.start);
    else r.error(lineOf(*n), "\"start\" must be a section [start]");
  }
  auto tables = [&](std::string_view key, auto&& read, auto& out) {
    const toml::node* n = root.get(key);
    if (n == nullptr) return;
    const toml::array* a = n->as_array();
    if (a == nullptr || !a->is_array_of_tables()) {
      r.error(lineOf(*n), "\"" + std::string(key) + "\" must be written [[" + std::string(key) + "]]");
      return;
    }
    for (const toml::node& item : *a) read(r, *item.as_table(), out.emplace_back());
  };
  tables("trigger", readTrigger, lesson.triggers);
  tables("objective", readObjective, lesson.objectives);

  std::set<std::string> triggerIds, objectiveIds;
  for (const Trigger& t : lesson.triggers)
    if (!t.id.empty() && !triggerIds.insert(t.id).second)
      r.error(t.line, "a second trigger with id \"" + t.id + "\"");
  for (const Trigger& t : lesson.triggers) {
    if (t.when.kind != Condition::Kind::After) continue;
    if (triggerIds.count(t.when.trigger) == 0)
      r.error(t.line, "trigger \"" + t.id + "\" starts after \"" + t.when.trigger +
                          "\", which is no trigger of this lesson");
    if (t.when.trigger == t.id) r.error(t.line, "trigger \"" + t.id + "\" starts after itself");
  }
  for (const Objective& o : lesson.objectives)
    if (!o.id.empty() && !objectiveIds.insert(o.id).second)
      r.error(o.line, "a second objective with id \"" + o.id + "\"");
  if (lesson.objectives.empty()) r.error(0, "the lesson has no [[objective]] to judge");

  std::stable_sort(result.errors.begin(), result.errors.end(),
                   [](const LessonError& a, const LessonError& b) { return a.line < b.line; });
  if (result.errors.empty()) result.lesson = std::move(lesson);
  return result;
}

ReadResult readLessonFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {std::nullopt, {{0, "cannot be read"}}};
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (text.size() > 1 << 20) return {std::nullopt, {{0, "is over 1 MB: not a lesson file"}}};
  return readLesson(text, path);
}

std::string errorLine(const std::string& path, const LessonError& error) {
  return error.line > 0 ? path + ":" + std::to_string(error.line) + ": " + error.message
                        : path + ": " + error.message;
}

}  // namespace pelasim::lesson
