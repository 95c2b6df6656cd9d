#include "debrief/Debrief.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace pelasim::debrief {
namespace {

constexpr std::string_view kWarningPrefix = "Warning: ";
constexpr std::string_view kBailedOut = "Bailed Out";
constexpr std::string_view kReturned = "Returned to loop";
constexpr std::string_view kOptionsChanged = "Options Changed";
constexpr std::string_view kBreathingStarted = "Breathing Started";
constexpr std::string_view kBreathingStopped = "Breathing Stopped";
// A data file names no failures: the application shows only as this trigger.
constexpr std::string_view kUnnamedFailures = "Failures (not named in a data file)";

std::string fixed(double v, int decimals) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

std::string whole(double seconds) { return std::to_string(std::lround(std::floor(seconds + 1e-9))); }

bool isFailureLane(const DiveEvent& e) {
  if (e.kind == EventKind::FailureArmed || e.kind == EventKind::FailureApplied) return true;
  return e.kind == EventKind::Status && e.text == "Battery Bounce";
}

bool hasAppliedEvents(const DiveData& dive) {
  return std::any_of(dive.events.begin(), dive.events.end(),
                     [](const DiveEvent& e) { return e.kind == EventKind::FailureApplied; });
}

double diveEnd(const DiveData& dive) {
  double end = dive.samples.empty() ? 0 : dive.samples.back().second;
  if (!dive.events.empty()) end = std::max(end, secondsOf(dive.events.back()));
  return end;
}

// Splits "Cell Failure, Solenoid Stuck Open" into its captions.
std::vector<std::string> captions(std::string_view detail) {
  std::vector<std::string> out;
  // The armed event's detail goes on with "; delay …": only the captions count.
  detail = detail.substr(0, detail.find(';'));
  while (!detail.empty()) {
    const std::size_t comma = detail.find(", ");
    std::string_view c = detail.substr(0, comma);
    while (!c.empty() && c.back() == ' ') c.remove_suffix(1);
    if (!c.empty() && c != "none") out.emplace_back(c);
    if (comma == std::string_view::npos) break;
    detail.remove_prefix(comma + 2);
  }
  return out;
}

// The option timer records "Options Changed" at arming and every ten seconds until the failures
// take effect. A data file names no failures: each run of these messages is one arming, at
// its first message, and the failures took effect at its last.
constexpr double kOptionCheckJoin = 21;  // ten-second checks, one of them masked by another message
struct UnnamedFailure {
  double armedAt = 0, appliedAt = 0;
};
std::vector<UnnamedFailure> unnamedFailures(const DiveData& dive) {
  std::vector<UnnamedFailure> out;
  for (const DiveEvent& e : dive.events) {
    if (e.kind != EventKind::Status || e.text != kOptionsChanged) continue;
    const double t = secondsOf(e);
    if (!out.empty() && t - out.back().appliedAt <= kOptionCheckJoin)
      out.back().appliedAt = t;
    else
      out.push_back({t, t});
  }
  return out;
}

struct Episode {
  std::string kind;
  double start = 0, last = 0;
};

// The warnings of the dive as episodes, in order of their start.
std::vector<Episode> warningEpisodes(const DiveData& dive) {
  std::vector<Episode> done;
  std::map<std::string, Episode> open;
  for (const DiveEvent& e : dive.events) {
    if (e.kind != EventKind::Status) continue;
    std::string kind = warningKind(e.text);
    if (kind.empty()) continue;
    const double t = secondsOf(e);
    auto it = open.find(kind);
    if (it != open.end() && t - it->second.last <= kWarningJoin) {
      it->second.last = t;
      continue;
    }
    if (it != open.end()) {
      done.push_back(it->second);
      open.erase(it);
    }
    open.emplace(kind, Episode{kind, t, t});
  }
  for (auto& [kind, ep] : open) done.push_back(ep);
  std::stable_sort(done.begin(), done.end(),
                   [](const Episode& a, const Episode& b) { return a.start < b.start; });
  return done;
}

const CorrectiveRule* ruleFor(std::string_view trigger) {
  for (const CorrectiveRule& r : correctiveRules())
    if (r.trigger == trigger) return &r;
  return nullptr;
}

// Every action of the table: what answers failures a data file does not name.
const std::vector<std::string_view>& anyCorrectiveAction() {
  static const std::vector<std::string_view> all = [] {
    std::vector<std::string_view> v;
    for (const CorrectiveRule& r : correctiveRules())
      for (std::string_view a : r.actions)
        if (std::find(v.begin(), v.end(), a) == v.end()) v.push_back(a);
    return v;
  }();
  return all;
}

Reaction reactionTo(const DiveData& dive, std::string trigger, double at,
                    const std::vector<std::string_view>& actions) {
  Reaction r{std::move(trigger), at, std::nullopt, {}};
  const auto first = std::lower_bound(
      dive.events.begin(), dive.events.end(), at,
      [](const DiveEvent& e, double t) { return secondsOf(e) < t - 1e-9; });
  for (auto it = first; it != dive.events.end(); ++it) {
    if (it->kind != EventKind::Status) continue;
    if (std::find(actions.begin(), actions.end(), it->text) == actions.end()) continue;
    r.after = secondsOf(*it) - at;
    r.action = it->text;
    break;
  }
  return r;
}

std::string atText(double seconds) { return whole(seconds) + " s (" + clockText(seconds) + ")"; }

std::string timesText(const std::vector<TimedText>& v) {
  if (v.empty()) return "none";
  std::string s;
  for (const TimedText& t : v) s += (s.empty() ? "" : ", ") + atText(t.at);
  return s;
}

}  // namespace

std::string warningKind(std::string_view text) {
  if (text.substr(0, kWarningPrefix.size()) != kWarningPrefix) return {};
  return std::string(text.substr(kWarningPrefix.size()));
}

std::string_view laneName(Lane lane) {
  switch (lane) {
    case Lane::Actions: return "Trainee actions";
    case Lane::Warnings: return "Handset warnings";
    case Lane::Failures: return "Failures";
    case Lane::BailOut: return "Bail-out";
  }
  return {};
}

const std::vector<CorrectiveRule>& correctiveRules() {
  // What a trainee is taught to do first. Bailing out answers every problem.
  static const std::vector<CorrectiveRule> rules = {
      // Warnings of the handset.
      {"Low O2", {"Manual O2 Addition", "O2 Valve Opened", "Bailed Out"}},
      {"High O2", {"Manual Diluent Addition", "Dump Valve Operated", "ADV Manually operated", "Bailed Out"}},
      {"Cell Warning", {"Manual Diluent Addition", "Manual O2 Addition", "Bailed Out"}},
      {"Low Battery", {"Bailed Out"}},
      {"No Battery", {"Bailed Out"}},
      // Failures, by the caption of their option box.
      {"Cell Failure", {"Manual Diluent Addition", "Manual O2 Addition", "Bailed Out"}},
      {"Cell Drift", {"Manual Diluent Addition", "Manual O2 Addition", "Bailed Out"}},
      {"Cell Slow", {"Manual Diluent Addition", "Manual O2 Addition", "Bailed Out"}},
      {"2 Cell Concurrent Drift", {"Manual Diluent Addition", "Manual O2 Addition", "Bailed Out"}},
      {"Solenoid Stuck Open", {"O2 Valve Closed", "Bailed Out"}},
      {"Solenoid Stuck Closed", {"Manual O2 Addition", "Bailed Out"}},
      {"ADV Free Flow", {"Diluent Valve Closed", "Bailed Out"}},
      {"ADV Failed", {"Manual Diluent Addition", "Bailed Out"}},
      {"Oxygen Injector Stuck On", {"O2 Valve Closed", "Bailed Out"}},
      {"Oxygen Injector Failed", {"Bailed Out"}},
      {"Diluent Injector Stuck On", {"Diluent Valve Closed", "Bailed Out"}},
      {"Diluent Injector Failed", {"ADV Manually operated", "Bailed Out"}},
      {"Physical Failure", {"Bailed Out"}},
      {"Master Battery Low", {"Bailed Out"}},
      {"Master Battery Exhausted", {"Bailed Out"}},
      {"Master Accidentally Turned Off",
       {"Left handset hardware switch On", "Right handset hardware switch On", "Bailed Out"}},
      {"Slave Accidentally Turned Off",
       {"Left handset hardware switch On", "Right handset hardware switch On", "Bailed Out"}},
      {"Handset Flood", {"Bailed Out"}},
  };
  return rules;
}

DiveData diveFromRows(const std::vector<datafile::Row>& rows, DiveInfo info) {
  DiveData dive;
  dive.info = std::move(info);
  dive.samples.reserve(rows.size());
  bool handsetRead = false;
  auto number = [](const datafile::Item& item) -> std::optional<double> {
    if (item.kind == datafile::Item::Kind::Number && std::isfinite(item.number)) return item.number;
    return std::nullopt;
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const datafile::Row& row = rows[i];
    DiveSample s;
    s.second = static_cast<int>(i + 1);
    s.realPO2 = number(row[datafile::kRealPO2]).value_or(0);
    const std::optional<double> handset = number(row[datafile::kHandsetPO2]);
    if (handset && (handsetRead || *handset != 0)) {
      handsetRead = true;
      s.handsetPO2 = handset;
    }
    s.depth = static_cast<int>(std::lround(std::clamp(number(row[datafile::kDepth]).value_or(0), -1e6, 1e6)));
    s.setpoint = number(row[datafile::kSetpoint]).value_or(0);
    s.loopVolume = number(row[datafile::kLoopVolume]).value_or(0);
    dive.samples.push_back(s);
    std::string text = datafile::itemText(row[datafile::kMessage]);
    if (!text.empty())
      dive.events.push_back({static_cast<std::int64_t>(s.second) * 1000, s.second, EventKind::Status,
                             std::move(text), {}});
  }
  return dive;
}

std::optional<DiveData> readDiveFile(const std::string& path, std::string& error) {
  std::string bytes;
  if (!datafile::readWholeFile(path, bytes, error)) return std::nullopt;
  datafile::ReadResult read = datafile::readFile(bytes);
  if (!read.isDataFile) {
    error = "it is not a data file of the Orvane Pelagrinova Simulator";
    return std::nullopt;
  }
  DiveInfo info;
  info.source = path;
  info.startedAt = read.date;
  if (!read.time.empty()) info.startedAt += (info.startedAt.empty() ? "" : " ") + read.time;
  return diveFromRows(read.rows, std::move(info));
}

datafile::DiveTrace traceOf(const DiveData& dive) {
  datafile::DiveTrace t;
  const int n = dive.samples.empty() ? 0 : std::max(dive.samples.back().second, 0);
  const std::size_t size = static_cast<std::size_t>(std::min(n, 1 << 20));
  t.realPO2.resize(size);
  t.handsetPO2.resize(size);
  t.setpoint.resize(size);
  t.depth.resize(size);
  for (const DiveSample& s : dive.samples) {
    if (s.second < 1 || static_cast<std::size_t>(s.second) > size) continue;
    const std::size_t i = static_cast<std::size_t>(s.second - 1);
    t.realPO2[i] = s.realPO2;
    t.handsetPO2[i] = s.handsetPO2;
    t.setpoint[i] = s.setpoint;
    t.depth[i] = s.depth;
    t.highestPO2 = std::max({t.highestPO2, s.realPO2, s.handsetPO2.value_or(0), s.setpoint});
    t.deepest = std::max(t.deepest, static_cast<double>(s.depth));
  }
  for (const DiveEvent& e : dive.events)
    if (!e.text.empty()) t.messages.push_back({std::max(1, e.second), eventText(e)});
  std::stable_sort(t.messages.begin(), t.messages.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  return t;
}

std::vector<LaneMark> laneMarks(const DiveData& dive) {
  std::vector<LaneMark> marks;
  const bool applied = hasAppliedEvents(dive);
  for (const Episode& ep : warningEpisodes(dive)) {
    const bool span = ep.last > ep.start;
    marks.push_back({Lane::Warnings, ep.start, ep.last,
                     ep.kind + " " + whole(ep.start) + (span ? "–" + whole(ep.last) : "") + " s",
                     "Warning: " + ep.kind + ", " + whole(ep.start) + (span ? "–" + whole(ep.last) : "") +
                         " s (" + clockText(ep.start) + (span ? "–" + clockText(ep.last) : "") + ")"});
  }
  bool bailed = false;
  double bailedAt = 0;
  for (const DiveEvent& e : dive.events) {
    const double t = secondsOf(e);
    const std::string at = " at " + whole(t) + " s (" + clockText(t) + ")";
    if (e.kind == EventKind::Status && !warningKind(e.text).empty()) continue;
    if (e.kind == EventKind::Status && e.text == kBailedOut) {
      if (!bailed) bailedAt = t;
      bailed = true;
      continue;
    }
    if (e.kind == EventKind::Status && e.text == kReturned) {
      const double from = bailed ? bailedAt : t;
      marks.push_back({Lane::BailOut, from, t, "Bailed out " + whole(from) + "–" + whole(t) + " s",
                       "Bailed out at " + whole(from) + " s, returned to the loop at " + whole(t) + " s"});
      bailed = false;
      continue;
    }
    if (e.kind == EventKind::Status && e.text == kOptionsChanged) continue;  // below, or shown as applied
    if (isFailureLane(e)) {
      std::string label;
      if (e.kind == EventKind::FailureArmed)
        label = "Armed: " + (e.detail.empty() ? std::string("?") : e.detail.substr(0, e.detail.find(';')));
      else if (e.kind == EventKind::FailureApplied)
        label = (e.detail.empty() ? e.text : e.detail) + " " + whole(t) + " s";
      else
        label = e.text + " " + whole(t) + " s";
      marks.push_back({Lane::Failures, t, t, std::move(label), eventText(e) + at});
      continue;
    }
    marks.push_back({Lane::Actions, t, t, e.text, eventText(e) + at});
  }
  if (!applied)
    for (const UnnamedFailure& f : unnamedFailures(dive)) {
      if (f.appliedAt > f.armedAt)
        marks.push_back({Lane::Failures, f.armedAt, f.armedAt, "Armed",
                         "Failures armed at " + whole(f.armedAt) + " s (" + clockText(f.armedAt) + ")"});
      marks.push_back({Lane::Failures, f.appliedAt, f.appliedAt, "Failures took effect " + whole(f.appliedAt) + " s",
                       "Failures took effect (not named in a data file) at " + whole(f.appliedAt) + " s (" +
                           clockText(f.appliedAt) + ")"});
    }
  if (bailed) {
    const double from = bailedAt;
    marks.push_back({Lane::BailOut, from, std::max(from, diveEnd(dive)), "Bailed out " + whole(from) + " s, not returned",
                     "Bailed out at " + whole(from) + " s; no return to the loop before the end"});
  }
  std::stable_sort(marks.begin(), marks.end(), [](const LaneMark& a, const LaneMark& b) {
    return a.lane != b.lane ? a.lane < b.lane : a.start < b.start;
  });
  return marks;
}

Summary summarize(const DiveData& dive) {
  Summary s;
  s.endedNormally = dive.info.endedNormally;
  s.diveSeconds = dive.samples.empty() ? 0 : dive.samples.back().second;

  // Breathing from the loop: from "Breathing Started" until it stops or the diver bails out.
  // A record without any breathing message counts every second (a data file may have lost it).
  std::vector<std::pair<double, bool>> switches;  // time, breathing from then on
  for (const DiveEvent& e : dive.events) {
    if (e.kind != EventKind::Status) continue;
    if (e.text == kBreathingStarted) switches.emplace_back(secondsOf(e), true);
    if (e.text == kBreathingStopped || e.text == kBailedOut) switches.emplace_back(secondsOf(e), false);
  }
  const bool anyBreathing = std::any_of(switches.begin(), switches.end(), [](auto& p) { return p.second; });
  std::size_t next = 0;
  bool onLoop = !anyBreathing;
  bool handsetRead = false;
  for (const DiveSample& smp : dive.samples) {
    while (next < switches.size() && switches[next].first <= smp.second) onLoop = switches[next++].second;
    s.maxDepth = std::max(s.maxDepth, smp.depth);
    if (smp.handsetPO2) handsetRead = true;
    if (!onLoop) continue;
    s.minPO2 = std::min(s.minPO2.value_or(smp.realPO2), smp.realPO2);
    s.maxPO2 = std::max(s.maxPO2.value_or(smp.realPO2), smp.realPO2);
    if (smp.realPO2 <= kLowPO2 + 1e-9) ++s.secondsLow;
    if (smp.realPO2 >= kHighPO2 - 1e-9) ++s.secondsHigh;
    if (handsetRead && std::abs(smp.realPO2 - smp.setpoint) > kSetpointBand + 1e-9) ++s.secondsOffSetpoint;
  }
  s.masterRan = handsetRead;

  const std::vector<Episode> episodes = warningEpisodes(dive);
  for (const Episode& ep : episodes) {
    auto it = std::find_if(s.warnings.begin(), s.warnings.end(),
                           [&](const WarningTally& w) { return w.kind == ep.kind; });
    if (it == s.warnings.end()) it = s.warnings.insert(s.warnings.end(), WarningTally{ep.kind, 0, 0});
    ++it->episodes;
    it->seconds += ep.last - ep.start + 1;
    if (const CorrectiveRule* rule = ruleFor(ep.kind))
      s.reactions.push_back(reactionTo(dive, ep.kind + " warning", ep.start, rule->actions));
  }

  const bool applied = hasAppliedEvents(dive);
  for (const DiveEvent& e : dive.events) {
    const double t = secondsOf(e);
    if (e.kind == EventKind::FailureArmed) s.failuresArmed.push_back({t, e.detail.empty() ? e.text : e.detail});
    if (e.kind == EventKind::FailureApplied) {
      s.failuresApplied.push_back({t, e.detail.empty() ? e.text : e.detail});
      for (const std::string& c : captions(e.detail))
        if (const CorrectiveRule* rule = ruleFor(c)) s.reactions.push_back(reactionTo(dive, c, t, rule->actions));
    }
    if (e.kind != EventKind::Status) continue;
    if (e.text == kBailedOut) s.bailOuts.push_back({t, e.text});
    if (e.text == kReturned) s.returns.push_back({t, e.text});
  }
  if (!applied)
    for (const UnnamedFailure& f : unnamedFailures(dive)) {
      if (f.appliedAt > f.armedAt) s.failuresArmed.push_back({f.armedAt, "Failures armed (not named in a data file)"});
      s.failuresApplied.push_back({f.appliedAt, std::string(kUnnamedFailures)});
      s.reactions.push_back(reactionTo(dive, std::string(kUnnamedFailures), f.appliedAt, anyCorrectiveAction()));
    }
  std::stable_sort(s.failuresArmed.begin(), s.failuresArmed.end(), [](auto& a, auto& b) { return a.at < b.at; });
  std::stable_sort(s.failuresApplied.begin(), s.failuresApplied.end(), [](auto& a, auto& b) { return a.at < b.at; });
  std::stable_sort(s.reactions.begin(), s.reactions.end(),
                   [](const Reaction& a, const Reaction& b) { return a.at < b.at; });
  return s;
}

std::vector<SummaryLine> summaryLines(const Summary& s) {
  std::vector<SummaryLine> l;
  l.push_back({"Dive time", lengthText(s.diveSeconds)});
  l.push_back({"Ended", s.endedNormally ? "normally" : "unexpectedly (the simulator did not reach its exit)"});
  l.push_back({"Maximum depth", std::to_string(s.maxDepth) + " m"});
  l.push_back({"True PO2 on the loop",
               s.minPO2 ? fixed(*s.minPO2, 2) + " to " + fixed(*s.maxPO2, 2) + " bar" : "not breathed"});
  l.push_back({"At or below 0.4 bar", s.secondsLow ? lengthText(s.secondsLow) : "never"});
  l.push_back({"At or above 1.6 bar", s.secondsHigh ? lengthText(s.secondsHigh) : "never"});
  l.push_back({"Over 0.2 bar off the setpoint",
               !s.masterRan ? "the handset never ran"
                            : (s.secondsOffSetpoint ? lengthText(s.secondsOffSetpoint) : "never")});
  if (s.warnings.empty()) l.push_back({"Warnings", "none"});
  for (const WarningTally& w : s.warnings)
    l.push_back({w.kind + " warnings", std::to_string(w.episodes) + " (" + lengthText(static_cast<int>(w.seconds)) +
                                           " in all)"});
  for (const TimedText& t : s.failuresArmed) l.push_back({"Failures armed", t.text + ", at " + atText(t.at)});
  if (s.failuresApplied.empty()) l.push_back({"Failures took effect", "none"});
  for (const TimedText& t : s.failuresApplied) l.push_back({"Failures took effect", t.text + ", at " + atText(t.at)});
  l.push_back({"Bail-outs", timesText(s.bailOuts)});
  l.push_back({"Returns to the loop", timesText(s.returns)});
  for (const Reaction& r : s.reactions)
    l.push_back({"Reaction to " + r.trigger + " at " + whole(r.at) + " s",
                 r.after ? secondsText(*r.after) + " (" + r.action + ")" : "no reaction"});
  return l;
}

std::string clockText(double seconds) {
  const long total = std::lround(std::floor(std::max(0.0, seconds) + 1e-9));
  const long h = total / 3600, m = total / 60 % 60, sec = total % 60;
  auto two = [](long v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  if (h > 0) return std::to_string(h) + ":" + two(m) + ":" + two(sec);
  return std::to_string(m) + ":" + two(sec);
}

std::string secondsText(double seconds) {
  const double rounded = std::round(seconds * 10) / 10;
  if (rounded == std::floor(rounded)) return fixed(rounded, 0) + " s";
  return fixed(rounded, 1) + " s";
}

std::string lengthText(int seconds) {
  const int h = seconds / 3600, m = seconds / 60 % 60, sec = seconds % 60;
  auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  if (h > 0) return std::to_string(h) + " h " + two(m) + " min " + two(sec) + " s";
  if (m > 0) return std::to_string(m) + " min " + two(sec) + " s";
  return std::to_string(sec) + " s";
}

std::string eventText(const DiveEvent& e) {
  if (e.detail.empty()) return e.text;
  return e.text + ": " + e.detail;
}

}  // namespace pelasim::debrief
