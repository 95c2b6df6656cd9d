#pragma once
// What the handset handlers share: the window elements and timers of each handset, and the
// screen texts that more than one handler writes. The texts are exact, blanks included: the
// screen label wraps them at its width, so the blanks place the words on the screen's lines.

#include <string>
#include <string_view>

#include "core/Scheduler.h"
#include "core/State.h"
#include "forms/MainWindow.h"

namespace pelasim {

class Simulation;

// The elements and timers that belong to one handset.
struct HandsetParts {
  Main picture;         // handset picture (Image2 / Image3)
  Main screen;          // screen text (Label14 / Label15)
  Main shape;           // screen background and backlight (Shape1 / Shape2)
  Main outerPair;       // both outer buttons (Label18 / Label20)
  Main rightPair;       // both right buttons (Label19 / Label21)
  TimerId display;      // display state machine (Timer8 / Timer9)
  TimerId light;        // backlight (LHLightTimer / RHLightTimer)
  TimerId restore;      // picture restore (Timer6 / Timer7)
  std::string_view word;    // "Left" / "Right", as in the status messages
};

const HandsetParts& partsOf(Side side);

// Handset picture files beside the program.
namespace picture {
inline constexpr std::string_view On = "HSOn.jpg";
inline constexpr std::string_view Off = "HSOff.jpg";
inline constexpr std::string_view Left = "HSLeft.jpg";
inline constexpr std::string_view Mid = "HSMid.jpg";
inline constexpr std::string_view Right = "HSRight.jpg";
inline constexpr std::string_view BothOuter = "HSBothOuter.jpg";
inline constexpr std::string_view BothRight = "HSBothRight.jpg";
inline constexpr std::string_view LineOuters = "HSLineOuters.jpg";
inline constexpr std::string_view LineRights = "HSLineRights.jpg";
}  // namespace picture

// Display states by name.
namespace ds {
inline constexpr int Blank = 0;
inline constexpr int SelfTest = 1;
inline constexpr int ScrubberTime = 2;
inline constexpr int DiveNowConfirm = 3;
inline constexpr int SlaveWaiting = 4;
inline constexpr int SlaveRunning = 5;
inline constexpr int BatteryWarning = 6;
inline constexpr int BatteryDiveNow = 7;
inline constexpr int LowBattery = 8;
inline constexpr int LowBatteryNoDive = 9;
inline constexpr int BootCellFailure = 10;
inline constexpr int BootCellReplace = 11;
inline constexpr int BootCellNoDive = 12;
inline constexpr int CheckDiluent = 13;
inline constexpr int CalibrateQuery = 14;
inline constexpr int MustCalibrate = 15;
inline constexpr int OpenValve = 16;
inline constexpr int MasterRunning = 17;
inline constexpr int CalPressureMenu = 18;
inline constexpr int CalOxygenMenu = 19;
inline constexpr int OpenMouthpiece = 20;
inline constexpr int OpenValveToFlush = 21;
inline constexpr int FlushAndCalibrate = 22;
inline constexpr int NoOxygen = 23;
inline constexpr int NoOxygenNoCalibration = 24;
inline constexpr int NoOxygenNoDive = 25;
inline constexpr int CellStuck = 26;
inline constexpr int CalCellFailure = 27;
inline constexpr int CalOutOfRange = 28;
inline constexpr int CalCellReplace = 29;
inline constexpr int CalNoDive = 30;
inline constexpr int CalNoCalibration = 31;
inline constexpr int CalibratingHold = 32;
inline constexpr int HighSetpointMenu = 40;
inline constexpr int LowSetpointMenu = 41;
inline constexpr int BrightnessMenu = 42;
inline constexpr int OnTimeShow = 43;
inline constexpr int ResetQuery = 44;
inline constexpr int OnTimeReset = 45;
inline constexpr int CellWarningScreen = 50;
inline constexpr int LowOxygenScreen = 51;
inline constexpr int HighOxygenScreen = 52;
inline constexpr int LowBatteryScreen = 54;
}  // namespace ds

// Colour of a lit screen (red 0, green 192, blue 0).
inline constexpr Rgb kBacklightColour{0, 192, 0};

// Screen texts.
namespace screen {
// "     Elapsed ON Time     2 hrs 5 mins" for 125 minutes.
std::string elapsedTime(double minutes);
std::string ambientPressureMenu(const State& st);
std::string oxygenMenu(const State& st);
std::string highSetpointMenu(const HandsetRecord& h);
std::string lowSetpointMenu(const HandsetRecord& h);
std::string brightnessMenu(const HandsetRecord& h);
// The three readings, "0.00" each, with `gap` blanks between them.
std::string readings(const HandsetRecord& h, int gap);
// The running screens: "      MASTER   " or "       SLAVE   ", the setpoint and the readings.
std::string masterRunning(const State& st, const HandsetRecord& h);
std::string slaveRunning(const State& st, const HandsetRecord& h);
// "      CELL 2 FAILURE      REPLACE"
std::string cellFailureReplace(std::string_view cellNumber);
}  // namespace screen

// Writes a handset's screen text.
void showScreen(Simulation& sim, Side side, std::string_view text);
// Lights a handset's screen and (re)starts its backlight timer with `ms`.
void lightScreen(Simulation& sim, Side side, std::uint32_t ms);
// Enables a handset's display timer (a tick that is running is never entered again).
void enableDisplay(Simulation& sim, Side side);

}  // namespace pelasim
