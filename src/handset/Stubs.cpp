// Handlers of the handset electronics that are not built yet; each does nothing.
#include "core/Simulation.h"
#include "handset/Handset.h"

namespace pelasim {

void millivoltTick(Simulation&) {}
void driftTick(Simulation&) {}
void controllerTick(Simulation&) {}
void setpointSwitchTick(Simulation&) {}
void displayTick(Simulation&, Side) {}
void warningTick(Simulation&) {}
void softSwitchOffTick(Simulation&) {}
void backlightOffTick(Simulation&, Side) {}
void pictureRestoreTick(Simulation&, Side) {}
void hardwareSwitchClick(Simulation&, Side) {}
void buttonPress(Simulation&, Side, Button) {}
void buttonRelease(Simulation&, Side, Button) {}
void buttonClick(Simulation&, Side, Button) {}
void pairPress(Simulation&, Side, ButtonPair) {}
void pairMove(Simulation&, Side, ButtonPair) {}
void pairRelease(Simulation&, Side, ButtonPair) {}

}  // namespace pelasim
