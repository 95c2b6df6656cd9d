#include "loop/DepthHold.h"

#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

Main arrowOf(DepthArrow a) {
  return a == DepthArrow::Deeper ? element::deeperArrow : element::shallowerArrow;
}

}  // namespace

void depthHoldPress(Simulation& sim, DepthArrow arrow) {
  // One arrow at a time: a second arrow pressed takes the repeat over.
  for (DepthArrow a : {DepthArrow::Deeper, DepthArrow::Shallower}) sim.win.setTag(arrowOf(a), "");
  sim.win.setTag(arrowOf(arrow), "held");
  sim.disable(TimerId::DepthRepeatTimer);
  sim.enable(TimerId::DepthRepeatTimer);
}

void depthHoldRelease(Simulation& sim, DepthArrow arrow) {
  const Main id = arrowOf(arrow);
  const std::string& tag = sim.win[id].tag;
  if (tag != "held" && tag != "stepped") return;
  sim.win.setTag(id, tag == "stepped" ? "done" : "");
  sim.disable(TimerId::DepthRepeatTimer);
}

bool depthClickSteps(Simulation& sim, DepthArrow arrow) {
  const Main id = arrowOf(arrow);
  if (sim.win[id].tag != "done") return true;
  sim.win.setTag(id, "");
  return false;
}

void depthRepeatTick(Simulation& sim) {
  for (DepthArrow a : {DepthArrow::Deeper, DepthArrow::Shallower}) {
    const Main id = arrowOf(a);
    const std::string& tag = sim.win[id].tag;
    if (tag != "held" && tag != "stepped") continue;
    // The shallower arrow goes away at the surface, and its hold with it.
    if (!sim.win[id].visible) break;
    sim.win.setTag(id, "stepped");
    if (a == DepthArrow::Deeper) deeperClick(sim);
    else shallowerClick(sim);
    return;
  }
  sim.disable(TimerId::DepthRepeatTimer);
}

}  // namespace pelasim
