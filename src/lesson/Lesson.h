#pragma once
// A lesson: a prepared drill that a trainee flies alone or an instructor assigns. It sets
// the dive up, breaks things at the right moments and judges what the trainee did from the
// dive's own samples and events. Plain data, read from a lesson file (LessonFile.h).

#include <optional>
#include <string>
#include <vector>

#include "forms/OptionsForm.h"

namespace pelasim::lesson {

// How the dive is set up before the trainee takes over. Unset values keep the simulator's
// own start values.
struct StartConditions {
  std::optional<int> surfacePressureMb;        // millibars, 750 to 1100
  std::optional<double> oxygenAnalysisPercent; // percent oxygen in the oxygen cylinder
  std::optional<double> metabolicRate;         // litres of oxygen a minute
  std::optional<double> leftBatteryVolts;      // volts
  std::optional<double> rightBatteryVolts;     // volts
  std::optional<double> scrubberMinutes;       // minutes already breathed on the scrubber
  bool leftHandsetOn = false;                  // hardware switch on at the start
  bool rightHandsetOn = false;
  std::optional<double> lowSetpoint;           // bar, both handsets' menus
  std::optional<double> highSetpoint;          // bar
  std::optional<int> depthMetres;              // metres, 0 to 40
};

// What starts a trigger. Exactly one condition is set.
struct Condition {
  enum class Kind { AtTime, AtDepth, OnEvent, PO2Below, PO2Above, After };
  Kind kind = Kind::AtTime;
  int seconds = 0;          // AtTime: seconds of the dive; After: seconds after the other trigger
  int depthMetres = 0;      // AtDepth: reached this depth or deeper
  std::string event;        // OnEvent: an event name (LessonFile.h lists them)
  double po2 = 0;           // PO2Below / PO2Above: true loop PO2, bar
  std::string trigger;      // After: the id of the other trigger
};

struct Trigger {
  std::string id;
  int line = 0;                     // where the lesson file declares it
  Condition when;
  std::vector<Opt> arm;             // failures armed when it fires (option boxes)
  int delaySeconds = 0;             // from firing until the failures take effect
  std::string message;              // shown to the trainee when it fires; may be empty
  std::string hint;                 // shown only when the lesson allows hints
};

// One critical action or limit, judged from the dive.
struct Objective {
  enum class Kind {
    Respond,          // an action within `withinSeconds` of an event
    BeforeDepth,      // an action before first going deeper than `depthMetres`
    SetpointAtDepth,  // the setpoint at `setpoint` or above within `withinSeconds` of passing `depthMetres`
    PO2Limit,         // the loop never at or beyond `po2` for longer than `maxSeconds`
    AscentRate,       // never more than `metresPerMinute` up in any minute
  };
  std::string id;
  int line = 0;
  std::string text;                 // what the trainee and the instructor read
  Kind kind = Kind::Respond;
  bool critical = true;             // counts for passing the lesson
  std::string event;                // Respond: the event answered
  std::vector<std::string> actions; // Respond, BeforeDepth: any of these answers
  int withinSeconds = 60;
  int depthMetres = 0;
  double setpoint = 0;              // bar
  double po2 = 0;                   // bar
  bool below = true;                // PO2Limit: at or below `po2` (else at or above)
  int maxSeconds = 0;
  double metresPerMinute = 0;
};

struct Lesson {
  std::string title;
  std::string briefing;
  bool hints = false;               // the panel shows the triggers' hints
  StartConditions start;
  std::vector<Trigger> triggers;
  std::vector<Objective> objectives;
  std::string path;                 // the file it was read from
  std::string hash;                 // of the file's text (16 hex digits), to tell versions apart
};

}  // namespace pelasim::lesson
