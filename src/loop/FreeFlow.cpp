// Failures that keep acting while they are set: free-flowing valves, a stuck-open solenoid,
// a loop that leaks at depth and a flooded handset.
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// Each continuous flow pushes 0.7 litre into the loop per tick (about 0.69 litre a second).
constexpr double kFlowLitres = 0.7;

}  // namespace

void freeFlowTick(Simulation& sim) {
  State& st = sim.st;
  const double p = st.ambientBar();
  const double oxygen = st.oxygenAnalysisPercent / 100;
  const bool sound = st.soundOn;
  bool hissing = false;

  if (st.diluentValveState == Valve::Open && st.advFreeFlowFault && sim.ticked(element::advEnabledBox)) {
    sim.playIfSoundOn(SoundChannel::FreeFlow, "longhiss.wav");
    hissing = true;
    addGas(st, kFlowLitres, 0.21, p);
  }
  if (st.oxygenValveState == Valve::Open && st.o2InjectorStuckOnFault) {
    sim.playIfSoundOn(SoundChannel::FreeFlow, "longhiss.wav");
    hissing = true;
    addGas(st, kFlowLitres, oxygen, p);
  }
  if (st.diluentValveState == Valve::Open && st.diluentInjectorStuckOnFault) {
    sim.playIfSoundOn(SoundChannel::FreeFlow, "longthiss.wav");
    hissing = true;
    addGas(st, kFlowLitres, 0.21, p);
  }
  if (st.oxygenValveState == Valve::Open && st.solenoidFault == Solenoid::StuckOpen) {
    sim.playIfSoundOn(SoundChannel::GasControl, "injector.wav");
    addGas(st, kFlowLitres, oxygen, p);
  }
  // The free-flow hiss ends with the last free flow (a closed valve or a cleared failure).
  if (!hissing && sim.freeFlowHissing) sim.stop(SoundChannel::FreeFlow);
  sim.freeFlowHissing = hissing && sound;

  // A broken injector or dump valve lets water push the gas out at depth.
  if (st.depthMetres > 0 && (st.dumpValvePhysicalFault || st.diluentInjectorPhysicalFault ||
                             st.o2InjectorPhysicalFault)) {
    st.counterlungPercent = st.counterlungPercent - 5;
    sim.playIfSoundOn(SoundChannel::Bubbles, "Bubbles.wav");
  }

  refreshCounterlungBar(sim);
}

void floodTick(Simulation& sim) {
  State& st = sim.st;
  // One calibration factor of the master handset drops by a random amount below 0.001.
  const int c = static_cast<int>(3 * sim.random() + 1);
  HandsetRecord& master = st.handset(st.masterSide().value_or(Side::Right));
  const float drop = static_cast<float>(sim.random() / 1000);
  double& factor = master.cellCalibration[static_cast<std::size_t>(c)];
  factor = factor - drop;
}

}  // namespace pelasim
