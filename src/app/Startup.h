#pragma once
// Start-up and exit of the simulator, the persistent settings and the small handlers of the
// main window's controls frame.

#include <cstdint>
#include <string>

#include "core/Host.h"

namespace pelasim {

class Simulation;

// Settings keys of application "PelaSim", section "Settings".
inline constexpr const char* kSettingCO2 = "CO2";
inline constexpr const char* kSettingLeftTimer = "LeftTimer";
inline constexpr const char* kSettingLeftBattery = "LeftBattery";
inline constexpr const char* kSettingRightBattery = "RightBattery";

// The start-up routine up to the disclaimer: status bar, handset messages, settings and
// every start value, in their order.
void startUp(Simulation& sim);
// The disclaimer has closed: shows the main window when it was accepted; otherwise ends the
// program without saving anything. Returns true when the simulator goes on.
bool afterDisclaimer(Simulation& sim);

void loadSettings(Simulation& sim);
// Returns false when any value could not be stored.
bool saveSettings(Simulation& sim);

// How the exit routine runs.
struct ExitOptions {
  // No dialog may hold the exit up (a signal, the end of the desktop session): where the
  // routine would ask, it takes the safe answer without asking and says nothing.
  bool noQuestions = false;
  // The data file's modification stamp when the dive began (dataFileStamp); -1 when not
  // known. A different stamp at exit means another simulator wrote it meanwhile.
  std::int64_t dataFileStampAtStart = -1;
  // Where the data file goes, in no-questions mode, when its own folder cannot be written.
  std::string fallbackFolder;
};

// The exit routine (`Command1` and closing the main window): saves the settings, writes the
// data file (never losing it silently), hides the main window and hands over to the results
// viewer. Runs at most once.
void exitRoutine(Simulation& sim, const ExitOptions& options = {});
// Writes the data file to `path`. A read-only file, or one another simulator wrote since this
// dive began, is replaced only when the user says so; otherwise the dive goes beside it under
// a dated name. When it cannot be written, says why and offers to save it elsewhere until it
// is written or the user gives it up. Returns the path written, or empty.
std::string writeDataFileSafely(Simulation& sim, const std::string& path,
                                const ExitOptions& options = {});
// The modification time of a file, nanoseconds since 1970; 0 when there is none.
std::int64_t dataFileStamp(const std::string& path);
// A free name beside `path` for the dive that ended at `when`:
// "OrvanePelaSimData-2026-12-07-093000.csv".
std::string datedDataFilePath(const std::string& path, const LocalDateTime& when);

// `Check1` ("Sound") click.
void soundBoxClick(Simulation& sim);
// `Command2` ("&Options") and `Command3` ("Report &Bug").
void optionsButtonClick(Simulation& sim);
void reportBugButtonClick(Simulation& sim);
// `DoEventsControl`: lets pending events run.
void eventPumpTick(Simulation& sim);
// `MakeNoiseSolenoidTimer`: ends the solenoid noise after one pulse.
void solenoidNoiseTick(Simulation& sim);

}  // namespace pelasim
