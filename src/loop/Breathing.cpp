// Breathing from the loop: the breathing picture, one breath at a time, the half-breath that
// lets the counterlung drawing relax, and the scrubber minute.
#include "core/Format.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// The two placements of the breathing picture `Image19`, in twips.
constexpr double kSmall[4] = {6360, 2160, 600, 480};
constexpr double kLarge[4] = {6120, 1200, 1080, 1800};

}  // namespace

void showBreathingPicture(Simulation& sim, bool large) {
  const double* g = large ? kLarge : kSmall;
  sim.win.setGeometry(element::breathingPicture, g[0], g[1], g[2], g[3]);
}

void breathingToggleClick(Simulation& sim) {
  State& st = sim.st;
  if (sim.win[element::breathingPicture].left == kSmall[0]) {
    showBreathingPicture(sim, true);
    if (st.mouthpieceState != Mouthpiece::Open) {
      // No breath through a closed mouthpiece: the alarm says so and nothing starts.
      sim.playWarning(SoundChannel::Alarm, "alarm.wav");
      return;
    }
    st.breathing = true;
    sim.enable(TimerId::BreathTimer);
    sim.record("Breathing Started");
  } else {
    showBreathingPicture(sim, false);
    st.breathing = false;
    sim.disable(TimerId::BreathTimer);
    sim.record("Breathing Stopped");
  }
}

void breathTick(Simulation& sim) {
  State& st = sim.st;
  if (!(st.loopPO2 > 0)) return;
  // The counterlung drawing pulses with the breath.
  sim.win.setBorderWidth(element::counterlungScale, 5);
  sim.enable(TimerId::BreathOffTimer);

  // Oxygen used by the breath that has just ended: the rate times its length.
  const double volume = st.loopLitres();
  const double breathMs = sim.timers.interval(TimerId::BreathTimer);
  const double used = st.metabolicRate * breathMs / 60000.0;
  if (volume != 0) {
    const double po2 = (st.loopPO2 * volume - (st.oxygenAnalysisPercent / 100.0) * used) / volume;
    // The diver cannot take out more oxygen than the loop holds.
    st.loopPO2 = std::max(po2, 0.0);
  }

  // The next breath comes after 6000 ms / rate; a rate of 0 keeps the present interval.
  if (st.metabolicRate > 0) {
    const long long next = fmt::roundHalfEven(6000.0 / st.metabolicRate);
    if (next > 0 && next <= 0x7fffffff) sim.timers.setInterval(TimerId::BreathTimer, static_cast<std::uint32_t>(next));
  }
  const long long half = fmt::roundHalfEven(sim.timers.interval(TimerId::BreathTimer) / 2.0);
  sim.timers.setInterval(TimerId::BreathOffTimer, static_cast<std::uint32_t>(std::max(half, 1LL)));
}

void halfBreathTick(Simulation& sim) {
  sim.win.setBorderWidth(element::counterlungScale, 1);
  sim.disable(TimerId::BreathOffTimer);
}

void scrubberMinuteTick(Simulation& sim) {
  State& st = sim.st;
  if (st.handset(Side::Left).power || st.handset(Side::Right).power) {
    if (st.breathing) st.scrubberMinutes = st.scrubberMinutes + 1;
    HandsetRecord& left = st.handset(Side::Left);
    left.onTimeMinutes = left.onTimeMinutes.value_or(0) + 1;
  }
  // Carbon dioxide builds up after three hours on one scrubber: the diver needs more oxygen.
  if (st.scrubberMinutes > 180) st.metabolicRate = st.metabolicRate + 0.1;
}

}  // namespace pelasim
