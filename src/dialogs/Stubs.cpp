// Handlers of the bail-out and bug report dialogs that are not built yet; each does nothing.
#include "core/Simulation.h"
#include "dialogs/Dialogs.h"

namespace pelasim {

void bailOutClick(Simulation&) {}
void bailedReturnClick(Simulation&) {}
void bailedExitClick(Simulation&) {}
bool bailedCloseRequest(Simulation&) { return false; }
void bugReportLoad(Simulation&) {}
std::string bugReportText(const Simulation&) { return {}; }
void bugReportSendMail(Simulation&) {}
void bugReportManualSend(Simulation&) {}

}  // namespace pelasim
