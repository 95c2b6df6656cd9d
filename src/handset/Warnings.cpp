// Warnings and alarms of the running master, checked once a second.
#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

void raise(Simulation& sim, Side side, ds::DisplayState state, const char* message, const std::string& text) {
  sim.playIfSoundOn(SoundChannel::Warning, "LowO2.wav");
  sim.record(message);
  sim.st.handset(side).displayState = state;
  if (!text.empty()) showScreen(sim, side, text);
}

bool running(int state) {
  return state == ds::SlaveRunning || state == ds::MasterRunning ||
         (state >= ds::CellWarningScreen && state <= ds::LowBatteryScreen);
}

// A battery at 4.9 V or less cannot keep a running handset alive: it dies in the dive, and
// a running slave takes over from a dead master as it would from one switched off. Returns
// true when a handset died: that is the event of this second.
bool checkNoBattery(Simulation& sim) {
  State& st = sim.st;
  bool died = false;
  for (Side s : {Side::Left, Side::Right}) {
    HandsetRecord& h = st.handset(s);
    if (!h.power || !running(h.displayState) || h.batteryVolts > 4.9) continue;
    died = true;
    sim.record("Warning: No Battery");
    const bool wasMaster = h.role == 1;
    st.losePower(s);
    h.displayState = ds::Blank;
    showScreen(sim, s, st.handsetMessages[0]);
    HandsetRecord& o = st.handset(other(s));
    if (wasMaster && o.role == 0 && o.displayState == ds::SlaveRunning) {
      o.role = 1;
      o.displayState = ds::MasterRunning;
      sim.playIfSoundOn(SoundChannel::General, "lowo2.wav");
    }
  }
  return died;
}

}  // namespace

void warningTick(Simulation& sim) {
  State& st = sim.st;
  if (checkNoBattery(sim)) return;
  HandsetRecord& left = st.handset(Side::Left);
  HandsetRecord& right = st.handset(Side::Right);
  for (HandsetRecord* h : {&left, &right})
    if (h->role == 1 && h->displayState > 49) h->displayState = ds::MasterRunning;
  if (left.displayState != ds::MasterRunning && right.displayState != ds::MasterRunning) return;

  // Only a powered master shows warnings; a running screen without one shows none.
  const std::optional<Side> masterSide = st.masterSide();
  if (!masterSide) return;
  const Side m = *masterSide;
  HandsetRecord& master = st.handset(m);
  master.displayState = ds::MasterRunning;
  showScreen(sim, m, screen::masterRunning(st, master));

  // The oxygen warnings look at the true loop gas, not at the cells.
  if (st.loopPO2 <= 0.4)
    raise(sim, m, ds::LowOxygenScreen, "Warning: Low O2",
          "      LOW OXYGEN    " + std::string(5, ' ') + screen::readings(master, 7));
  if (st.loopPO2 >= 1.6) {
    raise(sim, m, ds::HighOxygenScreen, "Warning: High O2",
          "      HIGH OXYGEN    " + std::string(5, ' ') + screen::readings(master, 7));
  } else if (st.cellSpread && *st.cellSpread > 0.15) {
    raise(sim, m, ds::CellWarningScreen, "Warning: Cell Warning",
          "    CELL WARNING    " + std::string(8, ' ') + screen::readings(master, 7));
  } else if (left.batteryVolts <= 5.3) {
    raise(sim, Side::Left, ds::LowBatteryScreen, "Warning: Low Battery", {});
  } else if (right.batteryVolts <= 5.3) {
    raise(sim, Side::Right, ds::LowBatteryScreen, "Warning: Low Battery", {});
  }
}

}  // namespace pelasim
