#pragma once
// The handset electronics: cells and readings, the oxygen controller, the display state
// machine, buttons and menus, power and backlight, warnings, bag flush and calibration.

#include "core/State.h"

namespace pelasim {

class Simulation;

enum class Button { Left, Middle, Right };
enum class ButtonPair { BothOuter, BothRight };

// Periodic tasks.
void millivoltTick(Simulation& sim);                 // CellMillivoltTimer
void driftTick(Simulation& sim);                     // CellDriftTimer
void controllerTick(Simulation& sim);                // ComputerTimer
void setpointSwitchTick(Simulation& sim);            // SetPointTimer
void displayTick(Simulation& sim, Side side);        // Timer8 / Timer9
void warningTick(Simulation& sim);                   // WarningTimer
void softSwitchOffTick(Simulation& sim);             // SwitchOffTimer
void backlightOffTick(Simulation& sim, Side side);   // LHLightTimer / RHLightTimer
void pictureRestoreTick(Simulation& sim, Side side); // Timer6 / Timer7

// Controls on the handset pictures.
void hardwareSwitchClick(Simulation& sim, Side side);             // LHOO / RHOO
void buttonPress(Simulation& sim, Side side, Button b);
void buttonRelease(Simulation& sim, Side side, Button b);
void buttonClick(Simulation& sim, Side side, Button b);
void pairPress(Simulation& sim, Side side, ButtonPair p);
void pairMove(Simulation& sim, Side side, ButtonPair p);
void pairRelease(Simulation& sim, Side side, ButtonPair p);

}  // namespace pelasim
