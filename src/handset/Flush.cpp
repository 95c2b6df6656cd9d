// The bag flush with cell calibration, run inside the handset's display tick (state 22).
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Format.h"
#include "handset/Calibration.h"
#include "handset/HandsetParts.h"
#include "handset/Readings.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

constexpr double kFlushStepLitres = 0.00003;  // oxygen per flush step
constexpr std::uint32_t kFlushLimitMs = 120000;
constexpr double kClampLimit = 100000;        // consecutive steps held at the flush-gas PO2
constexpr double kExitMargin = 0.1;           // bar
constexpr double kStuckTolerance = 0.02;      // bar
// The flush is paced by the clock, not by the machine's speed: 80 steps every millisecond
// (2.4 litres of oxygen a second) take a loop from air to the flush gas in about six seconds,
// long enough for the cells to follow it before they are calibrated. The steps are made in
// batches every 100 ms; other events run between batches and the program sleeps meanwhile.
constexpr std::int64_t kStepsPerMs = 80;
constexpr std::uint32_t kBatchMs = 100;

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

// One flush step: a little oxygen into the loop. True when the flush is over because the
// loop has been held at the flush gas's PO2 for too many steps in a row.
bool flushStep(State& st, double& fill, double flushGasPO2) {
  // The loop's mixing rule on a working copy of the fill, which the flush holds at a full
  // bag and keeps only with the mouthpiece closed. The mix has no floor at zero; instead
  // it is held down to the flush gas's PO2 below.
  const double gasBefore = fill * st.loopCapacity / 100;
  fill = std::min(fill + kFlushStepLitres * 100 / st.loopCapacity, 100.0);
  const double gasAfter = fill * st.loopCapacity / 100;
  if (const auto mixed = mixedPO2(st.loopPO2, gasBefore, flushGasPO2 * kFlushStepLitres, gasAfter))
    st.loopPO2 = *mixed;
  if (st.loopPO2 > flushGasPO2) {
    st.flushClampCount += 1;
    st.loopPO2 = flushGasPO2;
  } else {
    st.flushClampCount = 0;
  }
  // With the mouthpiece open the added gas escapes and the fill is not kept.
  if (st.mouthpieceState == Mouthpiece::Closed) st.counterlungPercent = fill;
  return st.flushClampCount >= kClampLimit;
}

// Flushes the bag in batches paced by the clock until the loop holds the flush gas, the
// program ends or two minutes pass, showing the readings as they move. False, with the
// handset on the "no oxygen" screens, when the oxygen valve is not open.
bool flushBag(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  double fill = st.counterlungPercent;
  const std::uint32_t start = sim.tick();
  std::int64_t stepsDone = 0;
  FlushScreen screen;
  for (;;) {
    // The steps due by now: a late batch catches up, so the flush's course depends on the
    // clock alone.
    const std::uint32_t elapsed = sim.tick() - start;
    const std::int64_t due = std::max<std::int64_t>(std::int64_t{elapsed} * kStepsPerMs, stepsDone + 1);
    bool finished = false;
    for (; stepsDone < due; ++stepsDone) {
      // The flush uses the surface pressure whatever the depth.
      const double flushGasPO2 = st.oxygenAnalysisPercent / 100 * st.surfacePressureMb / 1000;
      if (!(st.loopPO2 < flushGasPO2 + kExitMargin)) {
        finished = true;
        break;
      }
      if (st.oxygenValveState != Valve::Open) {
        h.displayState = ds::NoOxygen;
        return false;
      }
      if (flushStep(st, fill, flushGasPO2)) {
        finished = true;
        break;
      }
    }
    for (std::size_t c = 1; c <= 3; ++c)
      h.cellPO2[c] = readingFromMillivolts(st.cells[c].millivolts, h.cellCalibration[c], kUncappedReading);
    screen.show(sim, side, h);
    if (finished || sim.ended || static_cast<std::uint32_t>(sim.tick() - start) > kFlushLimitMs) break;
    // Other tasks and clicks run while the flush sleeps until its next batch.
    sim.host.waitProcessingUntil(start + (elapsed / kBatchMs + 1) * kBatchMs);
  }
  return true;
}

// Settles the cells on the flushed loop gas and gives the handset (and a slave waiting for
// it) new calibration factors.
void settleAndCalibrate(State& st, Side side) {
  HandsetRecord& h = st.handset(side);
  // Settle each cell towards the output the flushed loop gas should give.
  for (std::size_t c = 1; c <= 3; ++c) {
    Cell& cell = st.cells[c];
    const double target = cellTargetMillivolts(cell, st.loopPO2, st.cellDriftRate[c], ScaleOrder::PO2First);
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
}

}  // namespace

void flushAndCalibrate(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);

  // The right handset's first screen has one blank fewer before the third reading.
  showScreen(sim, side, flushScreen(h, side == Side::Right ? 5 : 6));
  sim.record("Calibration Started");
  st.flushClampCount = 0;
  const double po2Before = st.loopPO2;
  sim.playIfSoundOn(SoundChannel::Injector, "injector.wav");
  // No oxygen to flush with: no calibration.
  if (!flushBag(sim, side)) return;
  sim.stopIfSoundOn(SoundChannel::Injector);

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
  settleAndCalibrate(st, side);
  sim.record("Calibration ended");
  sim.host.processEvents();
  h.displayState = ds::CalibratingHold;
}

}  // namespace pelasim
