// The oxygen controller: the master handset votes its three cell readings and fires the
// oxygen solenoid to hold the setpoint; a held middle button switches the setpoint.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "core/Format.h"
#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "handset/Readings.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// Each second of a pulse lets 0.2 litre of cylinder gas into the loop.
constexpr double kStepLitres = 0.2;

// The readings of both handsets from the present cell outputs (no 2.55 cap here).
void refreshBothReadings(State& st) {
  for (Side s : {Side::Left, Side::Right}) {
    HandsetRecord& h = st.handset(s);
    for (std::size_t c = 1; c <= 3; ++c)
      h.cellPO2[c] = readingFromMillivolts(st.cells[c].millivolts, h.cellCalibration[c], kUncappedReading);
  }
}

void fireSolenoid(Simulation& sim, double po2) {
  State& st = sim.st;
  // The pulse grows with the shortfall: 0.1 bar short gives 0.8 s, 0.3 bar 3.4 s.
  double pulse = 13 * (st.currentSetpoint - po2) - 0.5;
  if (pulse > 15) pulse = 15;
  if (pulse < 0.1) pulse = 0.1;
  const double pulseMs = 1000 * pulse;

  // Every firing costs the master twice what it costs the other handset.
  const bool leftMaster = st.handset(Side::Left).role == 1;
  st.handset(Side::Left).batteryVolts -= leftMaster ? 0.00006 : 0.00003;
  st.handset(Side::Right).batteryVolts -= leftMaster ? 0.00003 : 0.00006;

  if (st.soundOn) {
    sim.timers.setInterval(TimerId::MakeNoiseSolenoidTimer, static_cast<std::uint32_t>(fmt::roundHalfEven(pulseMs)));
    sim.play(SoundChannel::Injector, "injectorshort.wav");
    sim.enable(TimerId::MakeNoiseSolenoidTimer);
  }

  // The burst: one 0.2-litre step a second while everything else keeps running.
  const std::uint32_t t0 = sim.tick();
  const auto elapsed = [&] { return static_cast<double>(static_cast<std::uint32_t>(sim.tick() - t0)); };
  const auto lastDeadline = t0 + static_cast<std::uint32_t>(std::ceil(pulseMs)) + 1000;
  while (elapsed() < pulseMs && !sim.ended) {
    // The loop's mixing rule with two differences on purpose: the burst's oxygen counts at
    // its fraction alone (not times the ambient pressure), and it is spread over the loop as
    // it was before the step, whose swell follows below.
    const double volume = st.loopLitres();
    if (const auto mixed = mixedPO2(st.loopPO2, volume, kStepLitres * st.oxygenAnalysisPercent / 100, volume))
      st.loopPO2 = std::max(*mixed, 0.0);
    // A closed loop swells by the added gas; an open mouthpiece lets it out.
    if (st.mouthpieceState == Mouthpiece::Closed) st.counterlungPercent += kStepLitres * 100 / st.loopCapacity;
    const std::uint32_t t1 = sim.tick();
    const std::uint32_t stepEnd = t1 + 1000;
    sim.host.waitProcessingUntil(tickAtOrBefore(stepEnd, lastDeadline) ? stepEnd : lastDeadline);
    refreshBothReadings(st);
  }
  // The burst also silences a stuck solenoid's or a manual injector's hiss.
  sim.stopIfSoundOn(SoundChannel::GasControl);
}

}  // namespace

void controllerTick(Simulation& sim) {
  State& st = sim.st;
  HandsetRecord& left = st.handset(Side::Left);
  HandsetRecord& right = st.handset(Side::Right);
  for (HandsetRecord* h : {&left, &right})
    if (h->role == 1 && h->displayState > 49) h->displayState = ds::MasterRunning;
  if (left.displayState != ds::MasterRunning && right.displayState != ds::MasterRunning) return;

  const std::optional<Side> masterSide = st.masterSide();
  if (!masterSide) return;
  // The vote: the reading furthest from the middle one is left out.
  const HandsetRecord& master = st.handset(*masterSide);
  std::array<double, 3> r = {master.cellPO2[1], master.cellPO2[2], master.cellPO2[3]};
  std::sort(r.begin(), r.end());
  const double gapLow = std::fabs(r[1] - r[0]);
  const double gapHigh = std::fabs(r[2] - r[1]);
  double voted;
  if (gapLow > gapHigh) {
    voted = (r[1] + r[2]) / 2;
    st.cellSpread = gapLow;
  } else {
    voted = (r[0] + r[1]) / 2;
    st.cellSpread = gapHigh;
  }
  // The controller works on the two-decimal value the handset shows.
  st.votedPO2 = fmt::roundDecimal(voted, 2);
  const double po2 = *st.votedPO2;

  if (st.solenoidFault == Solenoid::Normal && po2 < st.currentSetpoint && st.oxygenValveState == Valve::Open)
    fireSolenoid(sim, po2);

  if (left.displayState == ds::MasterRunning || right.displayState == ds::MasterRunning)
    refreshBothReadings(st);
}

void setpointSwitchTick(Simulation& sim) {
  State& st = sim.st;
  sim.disable(TimerId::SetPointTimer);  // one switch per press
  for (Side s : {Side::Left, Side::Right}) {
    const HandsetRecord& h = st.handset(s);
    if (h.displayState != ds::MasterRunning || st.setpointSwitchSide != s) continue;
    if (st.currentSetpoint == h.highSetpoint) st.currentSetpoint = h.lowSetpoint;
    else if (st.currentSetpoint == h.lowSetpoint) st.currentSetpoint = h.highSetpoint;
    return;
  }
}

}  // namespace pelasim
