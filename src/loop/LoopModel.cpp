// The loop gas model: the one mixing rule and the loop tick `Timer1`.
#include <cmath>

#include "core/Format.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {

void addGas(State& st, double litres, double o2Fraction, double ambientBar) {
  const double before = st.loopLitres();
  st.counterlungPercent = st.counterlungPercent + litres * 100.0 / st.loopCapacity;
  const double after = st.loopLitres();
  // An empty loop after the addition cannot be mixed: the PO2 keeps its value.
  const auto po2 = mixedPO2(st.loopPO2, before, ambientBar * o2Fraction * litres, after);
  if (!po2) return;
  // A partial pressure is never negative (a loop filled from below empty can compute one).
  st.loopPO2 = std::max(*po2, 0.0);
}

void refreshCounterlungBar(Simulation& sim) {
  double h = 4800 - 48 * sim.st.counterlungPercent;
  if (h > 4800) h = 4800;
  if (h < 0) h = 0;
  sim.win.setHeight(element::counterlungCover, static_cast<float>(h));
}

void loopTick(Simulation& sim) {
  State& st = sim.st;
  MainWindowModel& win = sim.win;
  win.setCaption(element::loopPO2Readout, fmt::fixed(st.loopPO2, 2));
  win.setCaption(element::depthLabel, fmt::whole(st.depthMetres));

  // Other handlers may run here, in the middle of the tick.
  sim.host.processEvents();
  if (sim.ended) return;

  // The loop gas cannot hold more oxygen than the ambient pressure.
  const double p = st.ambientBar();
  if (st.loopPO2 > p) st.loopPO2 = p;

  if (st.depthMetres == 0) {
    win.setCaption(element::pressureLabel, fmt::whole(st.surfacePressureMb));
    win.setCaption(element::pressureFrame, "Ambient Pressure (mb)");
    win.setCaption(element::oxygenLabel, fmt::shortest(st.oxygenAnalysisPercent));
    win.setCaption(element::oxygenFrame, "Oxygen Analysis (%)");
  } else {
    win.setCaption(element::pressureLabel, fmt::shortest(p));
    win.setCaption(element::pressureFrame, "Ambient Pressure (bar)");
    win.setCaption(element::oxygenLabel, fmt::twoDigits(st.loopPO2 / p * 100) + "%");
    win.setCaption(element::oxygenFrame, "Nitrox mix (% O2)");
  }

  // Counterlung colour: red when nearly empty or over-full, yellow on the way, green between.
  const double fill = st.counterlungPercent;
  static constexpr Rgb kLightRed{255, 128, 128}, kLightYellow{255, 255, 128}, kLightGreen{128, 255, 128};
  if (fill < 15) win.setFillColour(element::counterlungScale, kLightRed);
  else if (fill < 25) win.setFillColour(element::counterlungScale, kLightYellow);
  else if (fill < 45) win.setFillColour(element::counterlungScale, kLightGreen);
  else if (fill > 65) win.setFillColour(element::counterlungScale, kLightRed);
  else win.setFillColour(element::counterlungScale, kLightYellow);

  if (fill <= 5) {
    win.setBorderColour(element::counterlungScale, {255, 0, 0});
    win.setBorderWidth(element::counterlungScale, 5);
    win.setBorderColour(element::counterlungCover, {255, 0, 0});
  } else {
    win.setBorderColour(element::counterlungScale, {255, 255, 0});
    win.setBorderColour(element::counterlungCover, {255, 255, 0});
    win.setBorderWidth(element::counterlungScale, 1);
  }

  // Automatic diluent valve: tops up a loop that runs low.
  if (st.counterlungPercent < 25 && st.diluentValveState == Valve::Open && !st.advFailedFault &&
      sim.ticked(element::advEnabledBox) && !st.diluentInjectorPhysicalFault &&
      !st.o2InjectorPhysicalFault) {
    sim.playIfSoundOn(SoundChannel::General, "shorthiss.wav");
    addGas(st, 0.5, 0.21, st.ambientBar());
  }

  // Over-pressure valve: vents a nearly full loop without changing its gas.
  if (st.counterlungPercent > 95 && !st.advFailedFault) {
    st.counterlungPercent = st.counterlungPercent - 20;
    sim.playIfSoundOn(SoundChannel::Bubbles, "bubbles.wav");
  }

  refreshCounterlungBar(sim);
}

}  // namespace pelasim
