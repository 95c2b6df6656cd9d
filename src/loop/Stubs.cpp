// Handlers of the breathing loop that are not built yet; each does nothing.
#include "core/Simulation.h"
#include "loop/Loop.h"

namespace pelasim {

void freeFlowTick(Simulation&) {}
void floodTick(Simulation&) {}

}  // namespace pelasim
