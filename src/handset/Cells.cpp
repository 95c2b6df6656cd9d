// The three oxygen cells and the handsets' PO2 readings. Each cell follows the true loop PO2
// with its own gain, offset and lag, and with the faults the instructor injects (a slow cell,
// a drifting cell, a failed cell). Both handsets read the same cells through their own
// calibration factors; the running screens show those readings twice a second.
#include <cmath>

#include "core/Format.h"
#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "handset/Readings.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// A cell's output in air is below 12 mV, so at the highest loop PO2 the simulator can reach
// (5.05 bar at 40 m under 1050 mb) its ideal output stays below 290 mV. A drift held at
// 400 mV therefore always pulls a drifting cell below zero, so it keeps reading negative,
// while the number stays finite however long the dive lasts.
constexpr double kDriftLimitMillivolts = 400;

// Highest PO2 a handset can show, bar.
constexpr double kReadingCap = 2.55;

double boundedDrift(double drift) {
  if (std::fabs(drift) > kDriftLimitMillivolts) return std::copysign(kDriftLimitMillivolts, drift);
  return drift;
}

void refreshReadings(State& st, HandsetRecord& h) {
  for (int c = 1; c <= 3; ++c) {
    const auto i = static_cast<std::size_t>(c);
    h.cellPO2[i] = readingFromMillivolts(st.cells[i].millivolts, h.cellCalibration[i], kReadingCap);
  }
}

}  // namespace

void millivoltTick(Simulation& sim) {
  State& st = sim.st;
  // 1. Each cell moves towards the output its gas should give.
  for (int c = 1; c <= 3; ++c) {
    const auto i = static_cast<std::size_t>(c);
    Cell& cell = st.cells[i];
    // A failed cell is frozen at exactly 0 mV, and its drift does not grow.
    if (cell.millivolts == 0) continue;
    const double target = cellTargetMillivolts(cell, st.loopPO2, st.cellDriftRate[i], ScaleOrder::AirOutputFirst);
    const double old = cell.millivolts;
    double now = 0;
    if (c == st.slowCellNumber) {
      // The slow cell covers a quarter of the gap when rising, three quarters when falling.
      now = target > old ? old + (target - old) / 4 : target + (old - target) / 4;
    } else {
      now = (old + target) / 2;
    }
    cell.millivolts = now;
    if (st.cellDriftRate[i] != 0) st.cellDriftRate[i] = boundedDrift(st.cellDriftRate[i] * 1.01);
  }

  // 2. The hidden millivolt readout.
  sim.win.setCaption(element::cellMillivoltReadout,
                     fmt::hashDot00(st.cells[1].millivolts) + "   " + fmt::hashDot00(st.cells[2].millivolts) +
                         "   " + fmt::hashDot00(st.cells[3].millivolts));

  // 3. Both handsets' readings, left first.
  refreshReadings(st, st.handset(Side::Left));
  refreshReadings(st, st.handset(Side::Right));

  // 4. and 5. The running screens; any other screen is left alone.
  for (Side side : {Side::Left, Side::Right}) {
    const HandsetRecord& h = st.handset(side);
    if (h.displayState == ds::MasterRunning) showScreen(sim, side, screen::masterRunning(st, h));
    else if (h.displayState == ds::SlaveRunning) showScreen(sim, side, screen::slaveRunning(st, h));
  }
}

void driftTick(Simulation& sim) {
  for (int c = 1; c <= 3; ++c) {
    double& drift = sim.st.cellDriftRate[static_cast<std::size_t>(c)];
    if (drift != 0) drift = boundedDrift(drift * 2);
  }
}

}  // namespace pelasim
