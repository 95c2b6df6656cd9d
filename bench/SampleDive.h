#pragma once
// A made-up but plausible dive record for the viewer's benchmarks and pictures: handsets
// switched on at the surface, a descent at 10 m/min, the setpoint switched from 0.7 to 1.3
// bar at depth, a bottom phase with the solenoid's saw-tooth, a manual oxygen addition that
// overshoots into a high-oxygen warning, a short bail-out, and an ascent with a stop. The
// profile is stretched to any length; the same length always gives the same rows.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "datafile/DataFile.h"

namespace pelasim::bench {

inline std::vector<datafile::Row> sampleDive(int seconds) {
  using datafile::Item;
  std::vector<datafile::Row> rows(static_cast<std::size_t>(std::max(seconds, 0)));
  std::uint32_t seed = 12345;
  auto noise = [&seed] {  // uniform in [-1, 1)
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / static_cast<double>(1u << 23) - 1.0;
  };
  const double n = std::max(seconds, 1);
  auto at = [n](double fraction) { return static_cast<int>(fraction * n); };
  const int handsetsOn = std::max(at(0.01), 20);
  const int descentStart = at(0.06), descentEnd = at(0.06) + static_cast<int>(30 * 6);
  const int highSetpointAt = descentStart + 120;
  const int manualAt = at(0.42), bailOut = at(0.55), backOnLoop = at(0.55) + 90;
  const int ascentStart = at(0.78);
  const int stopStart = ascentStart + 200, stopEnd = stopStart + std::max(180, at(0.06));
  double po2 = 0.21, handset = 0;
  double depth = 0;
  for (int s = 1; s <= seconds; ++s) {
    // Depth profile: surface, descent, bottom with a little wandering, ascent, stop at 6 m.
    if (s < descentStart) depth = 0;
    else if (s < descentEnd) depth = std::min(30.0, (s - descentStart) / 6.0);
    else if (s < ascentStart) depth = 30 + 2 * std::sin(s / 400.0);
    else if (s < stopStart) depth = std::max(6.0, 30 - (s - ascentStart) * 0.15);
    else if (s < stopEnd) depth = 6;
    else depth = std::max(0.0, 6 - (s - stopEnd) * 0.1);
    const double setpoint = s < handsetsOn ? 0 : s < highSetpointAt ? 0.7 : 1.3;
    // True PO2: rises with depth, held near the setpoint by solenoid pulses every 6 s.
    const double ambient = 1 + depth / 10;
    const double target = setpoint > 0 ? std::min(setpoint, 0.95 * ambient) : 0.21 * ambient;
    po2 += (target - po2) * 0.05 - ((s % 6) ? 0.004 : -0.02) + 0.003 * noise();
    if (s >= manualAt && s < manualAt + 40) po2 += 0.02;  // manual O2 addition overshoot
    if (s >= bailOut && s < backOnLoop) po2 -= 0.004;      // off the loop: no oxygen added
    po2 = std::clamp(po2, 0.05, 2.5);
    if (s >= handsetsOn) handset += (std::round(po2 * 100) / 100 - handset) * 0.6;
    datafile::Row& row = rows[static_cast<std::size_t>(s - 1)];
    row[datafile::kRealPO2] = Item::num(std::round(po2 * 1000) / 1000);
    row[datafile::kHandsetPO2] = Item::num(s < handsetsOn ? 0 : std::round(handset * 100) / 100);
    row[datafile::kDepth] = Item::num(std::round(depth));
    row[datafile::kSetpoint] = Item::num(setpoint);
    row[datafile::kLoopVolume] = Item::num(16);
  }
  auto message = [&rows, seconds](int s, const char* text) {
    if (s >= 1 && s <= seconds) rows[static_cast<std::size_t>(s - 1)][datafile::kMessage] = Item::str(text);
  };
  message(3, "Breathing Started");
  message(8, "O2 Valve Opened");
  message(10, "Diluent Valve Opened");
  message(handsetsOn - 6, "Left handset hardware switch On");
  message(handsetsOn - 4, "Right handset hardware switch On");
  message(handsetsOn - 2, "Left handset: left button");
  message(handsetsOn, "Left handset on as Master");
  message(handsetsOn + 3, "Right handset on as Slave");
  message(descentStart - 20, "Mouthpiece Opened");
  message(descentStart + 60, "ADV Manually operated");
  message(highSetpointAt - 1, "Left handset: both right buttons");
  message(highSetpointAt, "Left handset: middle button");
  message(manualAt, "Manual O2 Addition");
  message(manualAt + 25, "Warning: High O2");
  message(manualAt + 60, "Dump Valve Operated");
  message(at(0.48), "Options Changed");
  message(bailOut, "Bailed Out");
  message(backOnLoop, "Returned to loop");
  message(at(0.66), "Warning: Cell Warning");
  message(ascentStart + 30, "Dump Valve Operated");
  message(stopEnd + 70, "Mouthpiece Closed");
  // Over long records, a button press every ten minutes as a trainee would make them.
  for (int s = 600; s < seconds; s += 600)
    if (rows[static_cast<std::size_t>(s - 1)][datafile::kMessage].kind == Item::Kind::Empty)
      message(s, "Right handset: right button");
  return rows;
}

}  // namespace pelasim::bench
