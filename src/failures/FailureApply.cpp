// Applying the chosen failures once the instructor's delay has passed.
#include <cstdint>

#include "core/Format.h"
#include "failures/Failures.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// A cell number drawn at random: round(3.5 r), halves to even, so 0 (no real cell) to 3.
int drawCell(Simulation& sim) {
  const int c = static_cast<int>(fmt::roundHalfEven(3.5 * sim.random()));
  sim.st.randomCellIndex = c;
  return c;
}

Cell& cell(State& st, int c) { return st.cells[static_cast<std::size_t>(c)]; }

// With no powered master the battery options act on the right handset.
Side masterSide(const State& st) { return st.masterSide().value_or(Side::Right); }

void switchOffMaster(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& master = st.handset(side);
  HandsetRecord& slave = st.handset(other(side));
  st.losePower(side);
  master.displayState = ds::Blank;
  // A running slave takes over at once.
  if (slave.displayState == ds::SlaveRunning) {
    slave.displayState = ds::MasterRunning;
    slave.role = 1;
    sim.playIfSoundOn(SoundChannel::General, "lowo2.wav");
  }
}

}  // namespace

void applyFailureOptions(Simulation& sim) {
  State& st = sim.st;
  auto ticked = [&sim](Opt o) { return sim.optionTicked(o); };

  st.darkAtDepthFault = ticked(option::DarkAtDepth);
  st.slowCellNumber = ticked(option::CellSlow) ? drawCell(sim) : 0;
  if (ticked(option::CellDrift)) st.cellDriftRate[static_cast<std::size_t>(drawCell(sim))] = 0.01;
  if (ticked(option::TwoCellDrift)) {
    const int c = drawCell(sim);
    st.cellDriftRate[static_cast<std::size_t>(c)] = 0.01;
    st.cellDriftRate[static_cast<std::size_t>(c >= 3 ? 1 : c + 1)] = 0.01;
  }
  if (!ticked(option::CellDrift) && !ticked(option::TwoCellDrift))
    for (int c = 1; c <= 3; ++c) st.cellDriftRate[static_cast<std::size_t>(c)] = 0;
  if (ticked(option::CellFailure)) {
    cell(st, drawCell(sim)).millivolts = 0;
  } else {
    cell(st, st.randomCellIndex).millivolts = 10;
    // A failed cell is revived even when a later draw moved the cell number elsewhere.
    for (int c = 1; c <= 3; ++c)
      if (cell(st, c).millivolts == 0) cell(st, c).millivolts = 10;
  }

  st.solenoidFault = ticked(option::SolenoidStuckClosed) ? Solenoid::StuckClosed
                     : ticked(option::SolenoidStuckOpen) ? Solenoid::StuckOpen
                                                         : Solenoid::Normal;
  if (ticked(option::MasterBatteryLow)) st.handset(masterSide(st)).batteryVolts = 5.3;
  else if (ticked(option::MasterBatteryExhausted)) st.handset(masterSide(st)).batteryVolts = 4.9;

  st.advFailedFault = ticked(option::AdvFailed);
  st.advFreeFlowFault = ticked(option::AdvFreeFlow);
  st.o2InjectorFailedFault = ticked(option::O2InjectorFailed);
  st.o2InjectorStuckOnFault = ticked(option::O2InjectorStuckOn);
  st.diluentInjectorStuckOnFault = ticked(option::DiluentInjectorStuckOn);
  st.diluentInjectorFailedFault = ticked(option::DiluentInjectorFailed);

  if (ticked(option::SlaveTurnedOff)) {
    for (Side s : {Side::Left, Side::Right}) {
      // The slave is the powered handset without the role; an idle handset is no slave.
      if (st.handset(s).power && st.handset(s).role == 0) {
        st.losePower(s);
        st.handset(s).displayState = ds::Blank;
        break;
      }
    }
    sim.options.setChecked(option::SlaveTurnedOff, false);
  }
  if (ticked(option::MasterTurnedOff)) {
    if (const std::optional<Side> m = st.masterSide()) switchOffMaster(sim, *m);
    sim.options.setChecked(option::MasterTurnedOff, false);
  }

  sim.enable(TimerId::FloodTimer, ticked(option::HandsetFlood));

  st.dumpValvePhysicalFault = ticked(option::DumpValvePhysical);
  sim.win.setPicture(element::dumpValve, st.dumpValvePhysicalFault ? "DumpFail.jpg" : "Dump.jpg");
  st.o2InjectorPhysicalFault = ticked(option::O2InjectorPhysical);
  sim.win.setPicture(element::oxygenInjector,
                     st.o2InjectorPhysicalFault ? "ManualAddMissing.jpg" : "O2Butt.jpg");
  st.diluentInjectorPhysicalFault = ticked(option::DiluentInjectorPhysical);
  sim.win.setPicture(element::diluentInjector,
                     st.diluentInjectorPhysicalFault ? "ManualAddMissing.jpg" : "DiluentButt.jpg");
}

void optionTick(Simulation& sim) {
  // While waiting, the check repeats every ten seconds.
  sim.timers.setInterval(TimerId::OptionTimer, 10000);
  sim.record("Options Changed");
  const std::int64_t delay = std::int64_t{sim.options[Opt::Slider1].value} * 60 * 1000;
  const std::int64_t elapsed = static_cast<std::uint32_t>(sim.tick() - sim.st.optionsChangeTick);
  if (elapsed < delay) return;
  sim.logEvent(EventKind::FailureApplied, "Failures took effect", tickedOptionsText(sim));
  applyFailureOptions(sim);
  sim.disable(TimerId::OptionTimer);
}

}  // namespace pelasim
