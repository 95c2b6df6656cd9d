#pragma once
// Holding a depth arrow: the arrow steps once when it is clicked, and while it is held down it
// steps again every half second, one metre each time, as a diver descends at about 18 m/min
// reading the gauge. The repeat is `DepthRepeatTimer` of the one scheduler. The arrow's tag
// keeps the hold: "held" while down, "stepped" once the hold has stepped, "done" after the
// release of a hold that stepped, so the click that follows the release adds no step.

#include <cstdint>

namespace pelasim {

class Simulation;

enum class DepthArrow { Deeper, Shallower };

// Milliseconds from the press to the first repeated step, and between steps.
inline constexpr std::uint32_t kDepthRepeatMs = 500;

void depthHoldPress(Simulation& sim, DepthArrow arrow);
void depthHoldRelease(Simulation& sim, DepthArrow arrow);
// True when the click that ends a press is to step (the press did not repeat).
bool depthClickSteps(Simulation& sim, DepthArrow arrow);
// `DepthRepeatTimer`: one more step of the arrow that is held.
void depthRepeatTick(Simulation& sim);

}  // namespace pelasim
