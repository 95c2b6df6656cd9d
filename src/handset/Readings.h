#pragma once
// How a handset turns the cells' outputs into PO2 readings, and the output a cell should
// give in a gas: the two conversions between millivolts and bar.

#include <limits>

#include "core/State.h"

namespace pelasim {

// No cap: the reading is the output times the factor, however high.
inline constexpr double kUncappedReading = std::numeric_limits<double>::infinity();

// A cell's PO2 reading, bar: its output times the handset's calibration factor for it, held
// at `cap` (the running screens cannot show more than 2.55 bar).
inline double readingFromMillivolts(double millivolts, double calibration, double cap) {
  const double po2 = millivolts * calibration;
  return po2 > cap ? cap : po2;
}

// The output a cell should give in gas of `loopPO2`: its output in air scaled by PO2 / 0.21,
// less its own offset and its drift. The running cells scale the air output first, the
// calibration's settle scales the PO2 first; the two orders can round apart in the last bit,
// so each keeps its own and recorded dives stay exactly as they were.
enum class ScaleOrder { AirOutputFirst, PO2First };
inline double cellTargetMillivolts(const Cell& cell, double loopPO2, double drift, ScaleOrder order) {
  const double ideal = order == ScaleOrder::AirOutputFirst ? cell.airMillivolts * (100.0 / 21.0) * loopPO2
                                                           : loopPO2 * cell.airMillivolts * 100 / 21;
  return ideal - cell.offsetMillivolts - drift;
}

}  // namespace pelasim
