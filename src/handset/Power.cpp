// Handset power: the hardware switches, the soft switch-off by holding the two right
// buttons, the hand-over of the master role when the master goes off, the timed backlight
// and the handset picture that falls back after a button highlight.
#include <string>

#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

void sayMasterChanged(Simulation& sim) {
  sim.playIfSoundOn(SoundChannel::General, "lowo2.wav");
}

// The soft switch-off of one handset: electronics off, switch left on.
void softSwitchOff(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  HandsetRecord& twin = st.handset(other(side));
  sim.win.setPicture(partsOf(side).picture, picture::On);
  h.displayState = ds::Blank;
  showScreen(sim, side, st.handsetMessages[0]);
  st.losePower(side);
  // Only a slave that is on its running screen takes over.
  if (twin.role == 0 && twin.displayState == ds::SlaveRunning) {
    twin.role = 1;
    twin.displayState = ds::MasterRunning;
    sayMasterChanged(sim);
  }
}

}  // namespace

void hardwareSwitchClick(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  HandsetRecord& twin = st.handset(other(side));
  const HandsetParts& p = partsOf(side);
  const std::string who = std::string(p.word) + " handset hardware switch ";
  if (!h.hardwareSwitch) {
    // Switching on: the screen stays blank until the left button powers the electronics.
    h.hardwareSwitch = true;
    h.displayState = ds::Blank;
    sim.win.setPicture(p.picture, picture::On);
    sim.record(who + "On");
    return;
  }
  h.hardwareSwitch = false;
  st.losePower(side);
  h.displayState = ds::Blank;
  showScreen(sim, side, st.handsetMessages[0]);
  // Any powered handset that is not the master takes over at once, whatever it shows.
  if (twin.power && twin.role == 0) {
    twin.role = 1;
    twin.displayState = ds::MasterRunning;
    sayMasterChanged(sim);
  }
  sim.win.setPicture(p.picture, picture::Off);
  sim.record(who + "Off");
}

void softSwitchOffTick(Simulation& sim) {
  sim.disable(TimerId::SwitchOffTimer);
  const State& st = sim.st;
  if (st.handset(Side::Left).hardwareSwitch && st.switchOffSide == Side::Left)
    softSwitchOff(sim, Side::Left);
  if (st.handset(Side::Right).hardwareSwitch && st.switchOffSide == Side::Right)
    softSwitchOff(sim, Side::Right);
}

void backlightOffTick(Simulation& sim, Side side) {
  const HandsetParts& p = partsOf(side);
  sim.win.setFillColour(p.shape, sim.st.screenBackColour);
  sim.disable(p.light);
}

void pictureRestoreTick(Simulation& sim, Side side) {
  const HandsetParts& p = partsOf(side);
  // The highlight falls back to the plain handset; a handset switched off meanwhile keeps
  // its switched-off picture.
  if (sim.st.handset(side).hardwareSwitch) sim.win.setPicture(p.picture, picture::On);
  sim.disable(p.restore);
}

}  // namespace pelasim
