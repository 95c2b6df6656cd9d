#pragma once
// Failure-mode training: the options dialog's handlers and the delayed application of the
// chosen failures.

#include "failures/OptionsForm.h"

namespace pelasim {

class Simulation;

void optionBoxClick(Simulation& sim, Opt box);      // any option box (after its tick changed)
void optionSliderChange(Simulation& sim, int value);
void armButtonClick(Simulation& sim);               // Command1 "Change now"
void refillScrubberClick(Simulation& sim);          // Command2
void changeBatteriesClick(Simulation& sim);         // Command3
void optionsCloseBox(Simulation& sim);              // the window's close box

void optionTick(Simulation& sim);                   // OptionTimer
// Turns every tick of the dialog into the fault variables, in one pass.
void applyFailureOptions(Simulation& sim);

}  // namespace pelasim
