#pragma once
// Start-up and exit of the simulator, the persistent settings and the small handlers of the
// main window's controls frame.

#include <string>

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

// The exit routine (`Command1` and closing the main window): saves the settings, writes the
// data file (never losing it silently), hides the main window and hands over to the results
// viewer. Runs at most once.
void exitRoutine(Simulation& sim);
// Writes the data file to `path`; when it cannot be written, says why and offers to save it
// elsewhere until it is written or the user gives it up. Returns the path written, or empty.
std::string writeDataFileSafely(Simulation& sim, const std::string& path);

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
