#include "handset/Calibration.h"

#include <algorithm>

#include "handset/HandsetParts.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

constexpr std::uint32_t kHoldMs = 7000;
// Longest slice of one wait, so a hold notices the program ending without delay.
constexpr std::uint32_t kWaitSliceMs = 100;

}  // namespace

void calibrationHold(Simulation& sim, Side side) {
  showScreen(sim, side, sim.st.handsetMessages[ds::CalibratingHold]);
  const std::uint32_t end = sim.tick() + kHoldMs;
  while (!sim.ended && !tickAtOrBefore(end, sim.tick())) {
    const std::uint32_t left = end - sim.tick();
    sim.host.waitProcessingUntil(sim.tick() + std::min(left, kWaitSliceMs));
  }
  if (sim.ended) return;
  HandsetRecord& h = sim.st.handset(side);
  // A handset that was switched off (or powered up anew) during the hold is not started:
  // whatever changed it has the last word, and an old hold cannot put a second handset on
  // the master's running screen after a hand-over.
  if (!h.power || h.displayState != ds::CalibratingHold) return;
  // The end of the calibration always beeps, sound box ticked or not.
  sim.play(SoundChannel::General, "DoubleBeep.wav");
  h.displayState = ds::MasterRunning;
}

}  // namespace pelasim
