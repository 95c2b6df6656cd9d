// The start-up disclaimer: the trainee must accept the safety warning before the simulator
// can be used.
#include "dialogs/Dialogs.h"
#include "sim/Simulation.h"

namespace pelasim {

void disclaimerLoad(Simulation& sim) {
  sim.splash.setCaption(SplashId::Label5, "Version " + versionText());
  sim.st.disclaimerAnswer = false;
  // The double beep sounds whatever the sound settings say.
  sim.play(SoundChannel::General, "DoubleBeep.wav");
  sim.splash.setVisible(SplashId::Form, true);
}

void disclaimerAccept(Simulation& sim) {
  sim.st.disclaimerAnswer = true;
  sim.splash.setVisible(SplashId::Form, false);
}

void disclaimerRefuse(Simulation& sim) { sim.splash.setVisible(SplashId::Form, false); }

}  // namespace pelasim
