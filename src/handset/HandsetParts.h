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
