#pragma once
// The bag flush with cell calibration (display state 22) and the calibration hold that
// follows it (state 32). Both run inside the handset's display tick, which keeps the
// handset's display timer off while they wait.

#include "core/State.h"

namespace pelasim {

class Simulation;

// State 22: flushes the bag with oxygen and calibrates the cells, then stores the outcome
// state. Until the flush is built the handset stays in state 22 with the flush screen.
void flushAndCalibrate(Simulation& sim, Side side);
// State 32: shows "   CALIBRATING  " for 7 s while other events run, sounds the double beep
// and starts the handset running (state 17).
void calibrationHold(Simulation& sim, Side side);

}  // namespace pelasim
