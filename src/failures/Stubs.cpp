// Handlers of failure-mode training that are not built yet; each does nothing.
#include "core/Simulation.h"
#include "failures/Failures.h"

namespace pelasim {

void optionBoxClick(Simulation&, Opt) {}
void optionSliderChange(Simulation&, int) {}
void armButtonClick(Simulation&) {}
void refillScrubberClick(Simulation&) {}
void changeBatteriesClick(Simulation&) {}
void optionsCloseBox(Simulation&) {}
void optionTick(Simulation&) {}

}  // namespace pelasim
