#pragma once
// The auxiliary dialogs: start-up disclaimer, bail-out and bug report.

#include <string>

namespace pelasim {

class Simulation;

// Start-up disclaimer `Splash`.
void disclaimerLoad(Simulation& sim);
void disclaimerAccept(Simulation& sim);   // Command1
void disclaimerRefuse(Simulation& sim);   // Command2 and any other close

// Bail-out.
void bailOutClick(Simulation& sim);         // Image20
void bailedReturnClick(Simulation& sim);    // "&Return to Loop"
void bailedExitClick(Simulation& sim);      // "E&xit": hides the dialog (the exit routine follows)
// The close box of `FrmBailed`; returns false: closing it any other way is refused.
bool bailedCloseRequest(Simulation& sim);

// Bug report.
void bugReportLoad(Simulation& sim);
std::string bugReportText(const Simulation& sim);
void bugReportSendMail(Simulation& sim);    // "Send Using Outlook"
void bugReportManualSend(Simulation& sim);  // "Manual Send"

}  // namespace pelasim
