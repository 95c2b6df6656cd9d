// Handlers of the handset electronics that are not built yet; each does nothing.
#include "core/Simulation.h"
#include "handset/Handset.h"

namespace pelasim {

void controllerTick(Simulation&) {}
void setpointSwitchTick(Simulation&) {}
void warningTick(Simulation&) {}

}  // namespace pelasim
