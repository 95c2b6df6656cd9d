// Handlers of the gas control panel that are not built yet; each does nothing.
#include "controls/Controls.h"
#include "core/Simulation.h"

namespace pelasim {

void valveClick(Simulation&, Gas) {}
void valveLabelClick(Simulation&, Gas) {}
void valveMouseMove(Simulation&, Gas) {}
void valveCaptionHideTick(Simulation&, Gas) {}
void injectorPress(Simulation&, Injector) {}
void injectorRelease(Simulation&, Injector) {}
void injectorClick(Simulation&, Injector) {}
void dumpPress(Simulation&) {}
void dumpRelease(Simulation&) {}
void advEnabledClick(Simulation&) {}
void mouthpieceClick(Simulation&) {}

}  // namespace pelasim
