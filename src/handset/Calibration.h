#pragma once
// The bag flush with cell calibration (display state 22) and the calibration hold that
// follows it (state 32). Both run inside the handset's display tick, which keeps the
// handset's display timer off while they wait.

#include "core/State.h"

namespace pelasim {

class Simulation;

// State 22: flushes the bag with oxygen and calibrates the cells, then stores the outcome
// state: 23 no oxygen, 26 a stuck or slow cell, 27 a failed cell, 32 calibrated.
void flushAndCalibrate(Simulation& sim, Side side);
// State 32: shows "   CALIBRATING  " for 7 s while other events run, sounds the double beep
// and starts the handset running (state 17).
void calibrationHold(Simulation& sim, Side side);

}  // namespace pelasim
