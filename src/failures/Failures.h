#pragma once
// Failure-mode training: the options dialog's handlers and the delayed application of the
// chosen failures.

#include <string>
#include <string_view>

#include "forms/OptionsForm.h"

namespace pelasim {

class Simulation;

void optionBoxClick(Simulation& sim, Opt box);      // any option box (after its tick changed)
void optionSliderChange(Simulation& sim, int value);
void armButtonClick(Simulation& sim);               // Command1 "Change now"
void refillScrubberClick(Simulation& sim);          // Command2
void changeBatteriesClick(Simulation& sim);         // Command3
void optionsCloseBox(Simulation& sim);              // the window's close box

// The captions of the ticked option boxes, joined by ", " ("none" when nothing is ticked).
std::string tickedOptionsText(const Simulation& sim);
// Arms the dialog's selection: the delay starts now and `OptionTimer` checks it. `source`
// names who armed it ("dialog" or "station") for the dive library.
void armFailures(Simulation& sim, std::string_view source);

void optionTick(Simulation& sim);                   // OptionTimer
// Turns every tick of the dialog into the fault variables, in one pass.
void applyFailureOptions(Simulation& sim);

}  // namespace pelasim
