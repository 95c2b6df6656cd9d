#pragma once
// The debrief of a dive: the dive read from a data file, its events sorted into lanes (what
// the trainee did, what the handsets warned of, the failures, the bail-outs) and the summary
// an instructor teaches from, with the time the trainee took to react to each warning and
// failure. Plain C++, no Qt: the chart, the report and the tests use the same numbers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DiveLog.h"
#include "datafile/DataFile.h"
#include "debrief/DiveTrace.h"

namespace pelasim::debrief {

// PO2 limits of the loop, bar, and the setpoint band, bar either side.
inline constexpr double kLowPO2 = 0.4;
inline constexpr double kHighPO2 = 1.6;
inline constexpr double kSetpointBand = 0.2;
// Warnings of one kind this close together (seconds) are one episode: the handset repeats a
// warning every second, and a data file may show another message in some of those seconds.
inline constexpr double kWarningJoin = 3;

// A dive from the rows of a data file: row i is second i + 1, each status message an event at
// the start of its second. A handset column that reads 0 before the handset first showed a
// value is no reading (the handset was not running yet), not a hypoxic loop.
DiveData diveFromRows(const std::vector<datafile::Row>& rows, DiveInfo info);
// Reads a data file; nullopt with `error` set when it cannot be read or is not a data file.
std::optional<DiveData> readDiveFile(const std::string& path, std::string& error);
// The samples and status messages of a dive as the chart's readout reads them.
datafile::DiveTrace traceOf(const DiveData& dive);

// Seconds since the start of the dive for an event.
inline double secondsOf(const DiveEvent& e) { return static_cast<double>(e.ms) / 1000.0; }

enum class Lane { Actions, Warnings, Failures, BailOut };
inline constexpr int kLaneCount = 4;
// "Trainee actions", "Handset warnings", "Failures", "Bail-out".
std::string_view laneName(Lane lane);

// One mark on a lane: a moment (start == end) or a span.
struct LaneMark {
  Lane lane = Lane::Actions;
  double start = 0;   // seconds
  double end = 0;     // seconds, == start for a moment
  std::string label;  // short text drawn beside the mark: "Cell Warning 368–586 s"
  std::string text;   // the whole text shown on hover
};
// Every event of the dive on its lane, in order of time within each lane. A warning repeated
// second after second is one span; a bail-out lasts until the return to the loop (or the end).
std::vector<LaneMark> laneMarks(const DiveData& dive);

// The kind of a warning status message ("Low O2" of "Warning: Low O2"); empty for others.
std::string warningKind(std::string_view text);

// What counts as the trainee's corrective action for a warning or a failure.
struct CorrectiveRule {
  std::string_view trigger;                // warning kind or failure caption
  std::vector<std::string_view> actions;   // status messages that answer it
};
// The one table of corrective actions.
const std::vector<CorrectiveRule>& correctiveRules();

struct Reaction {
  std::string trigger;           // "Low O2 warning", "Cell Failure"
  double at = 0;                 // seconds, when it started
  std::optional<double> after;   // seconds until the first corrective action; none: no reaction
  std::string action;            // that action's status message
};

struct WarningTally {
  std::string kind;   // "Low O2"
  int episodes = 0;
  double seconds = 0; // total length of its spans
};

struct TimedText {
  double at = 0;      // seconds
  std::string text;
};

struct Summary {
  int diveSeconds = 0;
  int maxDepth = 0;                      // metres
  std::optional<double> minPO2, maxPO2;  // true PO2 while breathing from the loop, bar
  int secondsLow = 0;                    // true PO2 <= 0.4 bar on the loop
  int secondsHigh = 0;                   // true PO2 >= 1.6 bar on the loop
  int secondsOffSetpoint = 0;            // more than 0.2 bar off the setpoint, master running
  bool masterRan = false;                // the handset read a value at some time
  std::vector<WarningTally> warnings;
  std::vector<TimedText> failuresArmed;
  std::vector<TimedText> failuresApplied;
  std::vector<TimedText> bailOuts, returns;
  std::vector<Reaction> reactions;       // in order of time
  bool endedNormally = true;
};
Summary summarize(const DiveData& dive);

// The summary as label / value lines, the same in the panel and the report.
struct SummaryLine {
  std::string label;
  std::string value;
};
std::vector<SummaryLine> summaryLines(const Summary& s);

// "6:08" or "1:02:03" for a time in seconds.
std::string clockText(double seconds);
// "368 s", with the fraction when there is one ("12.5 s").
std::string secondsText(double seconds);
// "1 h 02 min", "12 min 05 s", "45 s".
std::string lengthText(int seconds);
// The text of an event as one line: "Failures took effect: Cell Failure".
std::string eventText(const DiveEvent& e);

}  // namespace pelasim::debrief
