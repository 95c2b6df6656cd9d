#pragma once
// A data file row as the simulator writes it, for the reader and chart tests.

#include <string>

#include "datafile/DataFile.h"

namespace pelasim::datafile {

inline Row row(double real, double handset, double depth, double setpoint, std::string message = {}) {
  Row r{};
  r[kRealPO2] = Item::num(real);
  r[kHandsetPO2] = Item::num(handset);
  r[kDepth] = Item::num(depth);
  r[kSetpoint] = Item::num(setpoint);
  r[kLoopVolume] = Item::num(16);
  if (!message.empty()) r[kMessage] = Item::str(std::move(message));
  return r;
}

}  // namespace pelasim::datafile
