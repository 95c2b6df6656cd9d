// Handlers of the breathing loop that are not built yet; each does nothing.
#include "core/Simulation.h"
#include "loop/Loop.h"

namespace pelasim {

void addGas(State&, double, double, double) {}
void refreshCounterlungBar(Simulation&) {}
void loopTick(Simulation&) {}
void breathTick(Simulation&) {}
void halfBreathTick(Simulation&) {}
void scrubberMinuteTick(Simulation&) {}
void freeFlowTick(Simulation&) {}
void floodTick(Simulation&) {}
void breathingToggleClick(Simulation&) {}
void deeperMouseDown(Simulation&) {}
void deeperClick(Simulation&) {}
void shallowerClick(Simulation&) {}
void pressureDownClick(Simulation&) {}
void pressureUpClick(Simulation&) {}
void oxygenDownClick(Simulation&) {}
void oxygenUpClick(Simulation&) {}
void metabolicDownClick(Simulation&) {}
void metabolicUpClick(Simulation&) {}
void pressureLabelClick(Simulation&) {}
void oxygenLabelDoubleClick(Simulation&) {}
void metabolicLabelClick(Simulation&) {}

}  // namespace pelasim
