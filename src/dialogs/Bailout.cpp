// Bailing out: the diver leaves the loop for an open-circuit supply. Loop breathing stops,
// the event goes into the dive record and the small "Bailed !" dialog stays in front until
// the trainee returns to the loop or ends the program.
#include "dialogs/Dialogs.h"
#include "sim/Simulation.h"

#include "loop/Loop.h"

namespace pelasim {

void bailOutClick(Simulation& sim) {
  State& st = sim.st;
  // Leaving an open loop is worth an alarm, when warnings and sound are on.
  if (st.mouthpieceState == Mouthpiece::Open) sim.playWarning(SoundChannel::General, "alarm.wav");
  showBreathingPicture(sim, false);
  st.breathing = false;
  sim.disable(TimerId::BreathTimer);
  sim.record("Bailed Out");
  // Modeless: the main window stays usable behind it. Already shown: nothing changes.
  sim.bailed.setVisible(BailedId::Form, true);
}

void bailedReturnClick(Simulation& sim) {
  // Breathing is not restored here: the trainee starts it again with the breathing picture.
  sim.record("Returned to loop");
  sim.bailed.setVisible(BailedId::Form, false);
}

void bailedExitClick(Simulation& sim) {
  // The dialog goes first: it would otherwise float over the results and any question about
  // the file. The event routing then runs the main window's exit routine.
  sim.bailed.setVisible(BailedId::Form, false);
}

bool bailedCloseRequest(Simulation&) {
  // Only "&Return to Loop" takes the diver back; the close box does nothing.
  return false;
}

}  // namespace pelasim
