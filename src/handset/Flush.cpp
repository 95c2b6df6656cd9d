// The bag flush with cell calibration, run inside the handset's display tick (state 22).
#include <cmath>
#include <cstdlib>

#include "core/Format.h"
#include "core/Simulation.h"
#include "handset/Calibration.h"
#include "handset/HandsetParts.h"

namespace pelasim {
namespace {

constexpr double kFlushStepLitres = 0.00003;  // oxygen per flush step
constexpr std::uint32_t kFlushLimitMs = 120000;
constexpr double kClampLimit = 100000;        // consecutive steps held at the flush-gas PO2
constexpr double kExitMargin = 0.1;           // bar
constexpr double kStuckTolerance = 0.02;      // bar
// The flush lasts at least this long: on a fast machine its steps are done in a second, but
// the cells need a few seconds to follow the flushed loop before they are calibrated on it.
constexpr std::uint32_t kMinFlushMs = 10000;

std::string flushScreen(const HandsetRecord& h, int lastGap) {
  return "   FLUSHING BAG  " + fmt::fixed(h.cellPO2[1], 2) + std::string(6, ' ') + fmt::fixed(h.cellPO2[2], 2) +
         std::string(static_cast<std::size_t>(lastGap), ' ') + fmt::fixed(h.cellPO2[3], 2);
}

// Redraws the flush screen only when a reading has changed: the readings move with the cell
// outputs, twice a second, while the flush steps run many thousand times a second.
class FlushScreen {
 public:
  void show(Simulation& sim, Side side, const HandsetRecord& h) {
    if (h.cellPO2 == shown_) return;
    shown_ = h.cellPO2;
    showScreen(sim, side, flushScreen(h, 6));
  }

 private:
  std::array<double, 4> shown_{-1, -1, -1, -1};
};

}  // namespace

void flushAndCalibrate(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);

  // The right handset's first screen has one blank fewer before the third reading.
  showScreen(sim, side, flushScreen(h, side == Side::Right ? 5 : 6));
  sim.record("Calibration Started");
  st.flushClampCount = 0;
  const double po2Before = st.loopPO2;
  if (st.soundOn == 1) sim.play(SoundChannel::Injector, "injector.wav");

  double fill = st.counterlungPercent;
  const std::uint32_t start = sim.tick();
  FlushScreen screen;
  for (;;) {
    // The flush uses the surface pressure whatever the depth.
    const double flushGasPO2 = st.oxygenAnalysisPercent / 100 * st.surfacePressureMb / 1000;
    if (!(st.loopPO2 < flushGasPO2 + kExitMargin)) break;
    if (st.oxygenValveState != "OPEN") {
      // No oxygen to flush with: no calibration.
      h.displayState = ds::NoOxygen;
      return;
    }
    sim.host.processEvents();
    const double gasBefore = fill * st.loopCapacity / 100;
    fill = std::min(fill + kFlushStepLitres * 100 / st.loopCapacity, 100.0);
    const double gasAfter = fill * st.loopCapacity / 100;
    if (gasAfter != 0) {
      const double mixed = (st.loopPO2 * gasBefore + flushGasPO2 * kFlushStepLitres) / gasAfter;
      if (std::isfinite(mixed)) st.loopPO2 = mixed;
    }
    if (st.loopPO2 > flushGasPO2) {
      st.flushClampCount += 1;
      st.loopPO2 = flushGasPO2;
    } else {
      st.flushClampCount = 0;
    }
    if (st.flushClampCount >= kClampLimit) break;
    // With the mouthpiece open the added gas escapes and the fill is not kept.
    if (st.mouthpieceState == "Closed") st.counterlungPercent = fill;
    sim.host.processEvents();
    for (std::size_t c = 1; c <= 3; ++c) h.cellPO2[c] = st.cells[c].millivolts * h.cellCalibration[c];
    screen.show(sim, side, h);
    if (sim.ended || static_cast<std::uint32_t>(sim.tick() - start) > kFlushLimitMs) break;
  }
  // Keep flushing until the cells have had time to follow, the readings live on the screen.
  while (!sim.ended && static_cast<std::uint32_t>(sim.tick() - start) < kMinFlushMs) {
    if (st.oxygenValveState != "OPEN") {
      h.displayState = ds::NoOxygen;
      return;
    }
    sim.host.waitProcessingUntil(std::min(sim.tick() + 250, start + kMinFlushMs));
    for (std::size_t c = 1; c <= 3; ++c) h.cellPO2[c] = st.cells[c].millivolts * h.cellCalibration[c];
    screen.show(sim, side, h);
  }
  if (st.soundOn == 1) sim.stop(SoundChannel::Injector);

  // A loop PO2 that did not move, or a slow cell, means a stuck cell.
  if (st.slowCellNumber != 0 || std::fabs(po2Before - st.loopPO2) <= kStuckTolerance) {
    h.displayState = ds::CellStuck;
    return;
  }
  for (std::size_t c = 1; c <= 3; ++c) {
    if (st.cells[c].millivolts == 0) {
      h.displayState = ds::CalCellFailure;
      return;
    }
  }

  // Settle each cell towards the output the flushed loop gas should give.
  for (std::size_t c = 1; c <= 3; ++c) {
    Cell& cell = st.cells[c];
    const double target =
        st.loopPO2 * cell.airMillivolts * 100 / 21 - cell.offsetMillivolts - st.cellDriftRate[c];
    cell.millivolts = (cell.millivolts + target) / 2;
  }
  // New factors: the calibration gas the trainee entered over each cell's settled output.
  // The cell outputs themselves are left as settled, so no reading drops during the hold.
  const double calibrationGasPO2 = st.calibrationOxygenPercent / 100 * st.calibrationPressureMb / 1000;
  HandsetRecord& o = st.handset(other(side));
  for (std::size_t c = 1; c <= 3; ++c) {
    if (st.cells[c].millivolts == 0) continue;
    h.cellCalibration[c] = calibrationGasPO2 / st.cells[c].millivolts;
    // A slave waiting for this master takes the same factors.
    if (o.displayState == ds::SlaveWaiting) o.cellCalibration[c] = h.cellCalibration[c];
  }
  sim.record("Calibration ended");
  sim.host.processEvents();
  h.displayState = ds::CalibratingHold;
}

}  // namespace pelasim
