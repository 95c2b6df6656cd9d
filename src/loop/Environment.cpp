// The environment inputs: depth, surface pressure, oxygen analysis and metabolic rate.
#include <cmath>

#include "core/Format.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

constexpr int kMaxDepth = 40;

// Handset screen colour at depth while "Dark at Depth" is applied.
Rgb darkColourAt(int depth) {
  if (depth < 6) return {30, 100, 30};
  if (depth < 16) return {15, 50, 15};
  if (depth < 26) return {10, 30, 10};
  if (depth > 35) return {1, 5, 1};
  return {5, 15, 5};
}

void refreshScreenColour(Simulation& sim) {
  State& st = sim.st;
  if (st.darkAtDepthFault) st.screenBackColour = darkColourAt(st.depthMetres);
  else if (!st.darkAtDepthFault) st.screenBackColour = {30, 100, 30};
  sim.win.setFillColour(element::leftBacklight, st.screenBackColour);
  sim.win.setFillColour(element::rightBacklight, st.screenBackColour);
}

// Compression or expansion of the loop gas between two depths (1 bar at the surface).
void changeDepthVolume(State& st, int oldDepth) {
  const double r = (st.depthMetres / 10.0 + 1) / (oldDepth / 10.0 + 1);
  st.counterlungPercent = st.counterlungPercent / r;
  st.loopPO2 = st.loopPO2 * r;
}

// The largest oxygen percentage the cylinder can hold at the surface pressure.
double maxOxygenPercent(const State& st) { return st.surfacePressureMb / 1000.0 * 100; }

bool ask(Simulation& sim, const char* title, const char* question, const std::string& proposed,
         double& value) {
  return parseTypedNumber(sim.host.prompt(title, question, proposed), value);
}

}  // namespace

bool parseTypedNumber(const std::string& text, double& value) {
  // A trainee may type a decimal point, or the single decimal comma of their language.
  std::string typed = text;
  const auto comma = typed.find(',');
  if (comma != std::string::npos && typed.find(',', comma + 1) == std::string::npos &&
      typed.find('.') == std::string::npos)
    typed[comma] = '.';
  const std::optional<double> v = fmt::parseNumber(typed);
  if (!v) return false;
  value = *v;
  return true;
}

void deeperMouseDown(Simulation& sim) {
  State& st = sim.st;
  // "Battery Bounce": the handsets reset as the diver enters the water.
  if (sim.optionTicked(option::BatteryBounce) && st.depthMetres == 0) {
    sim.record("Battery Bounce");
    st.losePower(Side::Left);
    st.losePower(Side::Right);
  }
}

void deeperClick(Simulation& sim) {
  State& st = sim.st;
  const int old = st.depthMetres;
  // Leaving the surface without breathing from the loop.
  if (st.depthMetres == 0 && !st.breathing) sim.playWarning(SoundChannel::Alarm, "alarm.wav");
  if (st.depthMetres < kMaxDepth) {
    st.depthMetres = st.depthMetres + st.depthStep;
    sim.win.setCaption(element::depthLabel, fmt::whole(st.depthMetres));
  }
  refreshScreenColour(sim);
  for (Main m : {element::pressureDownArrow, element::pressureUpArrow, element::oxygenDownArrow,
                 element::oxygenUpArrow})
    sim.win.setVisible(m, false);
  sim.win.setVisible(element::shallowerArrow, true);
  changeDepthVolume(st, old);
}

void shallowerClick(Simulation& sim) {
  State& st = sim.st;
  const int old = st.depthMetres;
  if (st.depthMetres > 0) {
    st.depthMetres = st.depthMetres - st.depthStep;
    sim.win.setCaption(element::depthLabel, fmt::whole(st.depthMetres));
  }
  refreshScreenColour(sim);
  if (st.depthMetres < 1) {
    st.depthMetres = 0;
    for (Main m : {element::pressureDownArrow, element::pressureUpArrow, element::oxygenDownArrow,
                   element::oxygenUpArrow, element::metabolicDownArrow, element::metabolicUpArrow})
      sim.win.setVisible(m, true);
    sim.win.setVisible(element::shallowerArrow, false);
  }
  changeDepthVolume(st, old);
  const double p = st.ambientBar();
  if (st.loopPO2 > p) st.loopPO2 = p;
  if (st.counterlungPercent > 100) {
    // The excess has vented through the over-pressure valve.
    st.counterlungPercent = 100;
    sim.playIfSoundOn(SoundChannel::General, "bubbles.wav");
  }
}

void pressureDownClick(Simulation& sim) {
  State& st = sim.st;
  if (st.depthMetres != 0) return;
  st.surfacePressureMb = st.surfacePressureMb - 1;
  if (st.surfacePressureMb < 751) st.surfacePressureMb = 750;
  sim.win.setCaption(element::pressureLabel, fmt::whole(st.surfacePressureMb));
}

void pressureUpClick(Simulation& sim) {
  State& st = sim.st;
  if (st.depthMetres != 0) return;
  st.surfacePressureMb = st.surfacePressureMb + 1;
  if (st.surfacePressureMb >= 1050) st.surfacePressureMb = 1050;
  sim.win.setCaption(element::pressureLabel, fmt::whole(st.surfacePressureMb));
}

void pressureLabelClick(Simulation& sim) {
  State& st = sim.st;
  if (st.depthMetres != 0) return;
  double v = 0;
  if (!ask(sim, "Ambient Pressure in Millibars", "Ambient Pressure ?", fmt::whole(st.surfacePressureMb), v))
    return;
  if (v < 750) v = 750;
  if (v > 1050) v = 1050;
  st.surfacePressureMb = static_cast<int>(std::floor(v));
  sim.win.setCaption(element::pressureLabel, fmt::whole(st.surfacePressureMb));
}

void oxygenDownClick(Simulation& sim) {
  State& st = sim.st;
  if (st.depthMetres != 0) return;
  st.oxygenAnalysisPercent = st.oxygenAnalysisPercent - 1;
  if (st.oxygenAnalysisPercent <= 1) st.oxygenAnalysisPercent = 1;
  sim.win.setCaption(element::oxygenLabel, fmt::shortest(st.oxygenAnalysisPercent));
}

void oxygenUpClick(Simulation& sim) {
  State& st = sim.st;
  if (st.depthMetres != 0) return;
  st.oxygenAnalysisPercent = st.oxygenAnalysisPercent + 1;
  const double m = maxOxygenPercent(st);
  if (st.oxygenAnalysisPercent > m) st.oxygenAnalysisPercent = std::floor(m);
  sim.win.setCaption(element::oxygenLabel, fmt::shortest(st.oxygenAnalysisPercent));
}

void oxygenLabelDoubleClick(Simulation& sim) {
  State& st = sim.st;
  if (st.depthMetres != 0) return;
  double v = 0;
  if (!ask(sim, "Oxygen Analysis as a percentage", "Oxygen Percentage ?",
           fmt::shortest(st.oxygenAnalysisPercent), v))
    return;
  const double m = maxOxygenPercent(st);
  if (v < 0) v = 0;
  if (v > m) v = m;
  st.oxygenAnalysisPercent = std::floor(v);
  sim.win.setCaption(element::oxygenLabel, fmt::shortest(st.oxygenAnalysisPercent));
}

void metabolicDownClick(Simulation& sim) {
  State& st = sim.st;
  st.metabolicRate = st.metabolicRate - 0.1;
  if (st.metabolicRate <= 0.1) st.metabolicRate = 0.1;
  sim.win.setCaption(element::metabolicLabel, fmt::shortest(st.metabolicRate));
}

void metabolicUpClick(Simulation& sim) {
  State& st = sim.st;
  st.metabolicRate = st.metabolicRate + 0.1;
  sim.win.setCaption(element::metabolicLabel, fmt::shortest(st.metabolicRate));
}

void metabolicLabelClick(Simulation& sim) {
  State& st = sim.st;
  double v = 0;
  if (!ask(sim, "MetabolicRate in litres per minute", "Metabolic Rate ?", fmt::shortest(st.metabolicRate), v))
    return;
  if (v < 0) v = 0;
  if (v > 20) v = 20;
  st.metabolicRate = fmt::roundDecimal(v, 2);
  sim.win.setCaption(element::metabolicLabel, fmt::fixed(st.metabolicRate, 2));
}

}  // namespace pelasim
