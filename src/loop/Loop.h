#pragma once
// The breathing loop: the mixing rule, the loop tick, breathing and the scrubber, free flows,
// leaks and flooding, and the environment inputs.

#include <cmath>
#include <optional>
#include <string>

namespace pelasim {

class Simulation;
struct State;

// The one way gas enters the loop: `litres` of a gas with oxygen fraction `o2Fraction` at
// ambient pressure `ambientBar`. Fill rises by litres x 100 / capacity percentage points; the
// loop PO2 becomes the volume-weighted mix. A step that would divide by zero (an empty loop
// after the addition) leaves the PO2 unchanged.
void addGas(State& st, double litres, double o2Fraction, double ambientBar);
// The mixing rule itself: the loop's oxygen (PO2 x litres before) plus the oxygen added
// (PO2 x litres of the added gas), spread over the litres after. Nothing when it cannot be
// computed: no gas after the addition, or a result that is not finite.
inline std::optional<double> mixedPO2(double po2, double litresBefore, double addedOxygen,
                                      double litresAfter) {
  if (litresAfter == 0) return std::nullopt;
  const double mixed = (po2 * litresBefore + addedOxygen) / litresAfter;
  if (!std::isfinite(mixed)) return std::nullopt;
  return mixed;
}
// Sets the height of `ClungVolBar` from the fill: 4800 - 48 x percent twips, within 0..4800.
void refreshCounterlungBar(Simulation& sim);

// Periodic tasks.
void loopTick(Simulation& sim);            // Timer1
void breathTick(Simulation& sim);          // BreathTimer
void halfBreathTick(Simulation& sim);      // BreathOffTimer
void scrubberMinuteTick(Simulation& sim);  // CO2Timer
void freeFlowTick(Simulation& sim);        // FreeFlowTimer
void floodTick(Simulation& sim);           // FloodTimer

// The breathing picture `Image19`: large while breathing from the loop, small otherwise.
void breathingToggleClick(Simulation& sim);
void showBreathingPicture(Simulation& sim, bool large);
// Parses a typed number: finite numbers only; anything else (text, "nan", "inf", "1e999",
// an empty answer) gives no value.
bool parseTypedNumber(const std::string& text, double& value);

// Environment inputs.
void deeperMouseDown(Simulation& sim);     // Image10 button down
void deeperClick(Simulation& sim);         // Image10
void shallowerClick(Simulation& sim);      // Image9
void pressureDownClick(Simulation& sim);   // Image11
void pressureUpClick(Simulation& sim);     // Image12
void oxygenDownClick(Simulation& sim);     // Image13
void oxygenUpClick(Simulation& sim);       // Image14
void metabolicDownClick(Simulation& sim);  // Image15
void metabolicUpClick(Simulation& sim);    // Image16
void pressureLabelClick(Simulation& sim);  // Label2 (typed entry)
void oxygenLabelDoubleClick(Simulation& sim);  // Label3 (typed entry)
void metabolicLabelClick(Simulation& sim);     // Label4 (typed entry)

}  // namespace pelasim
