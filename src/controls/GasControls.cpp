// The gas control panel: what happens at the moment the trainee uses a control.
#include <algorithm>
#include <cstdint>

#include "controls/Controls.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// A cylinder valve's state, its caption, the caption's hide timer and its record texts.
struct ValveParts {
  Valve State::*state;
  Main label;
  TimerId hideTimer;
  const char* opened;
  const char* closed;
};

ValveParts valveOf(Gas gas) {
  if (gas == Gas::Oxygen)
    return {&State::oxygenValveState, element::oxygenValveCaption, task::oxygenCaptionHide, "O2 Valve Opened",
            "O2 Valve Closed"};
  return {&State::diluentValveState, element::diluentValveCaption, task::diluentCaptionHide,
          "Diluent Valve Opened", "Diluent Valve Closed"};
}

// Shows the valve's state text for three seconds.
void showValveState(Simulation& sim, const ValveParts& v) {
  sim.win.setCaption(v.label, valveText(sim.st.*v.state));
  sim.win.setVisible(v.label, true);
  sim.enable(v.hideTimer);
}

// Milliseconds between two tick counts of one press; a stale pair counts nothing.
double heldMs(std::uint32_t press, std::uint32_t release) {
  return std::max<std::int32_t>(static_cast<std::int32_t>(release - press), 0);
}

}  // namespace

void valveClick(Simulation& sim, Gas gas) {
  State& st = sim.st;
  const ValveParts v = valveOf(gas);
  const char* message;
  if (st.*v.state == Valve::Off) {
    st.*v.state = Valve::Open;
    message = v.opened;
  } else {
    // A continuous flow fed by this cylinder stops hissing with it.
    if (gas == Gas::Oxygen) {
      if (st.o2InjectorStuckOnFault) sim.stop(SoundChannel::GasControl);
      if (st.solenoidFault == Solenoid::StuckOpen) sim.stop(SoundChannel::GasControl);
    } else {
      if (st.advFreeFlowFault) sim.stop(SoundChannel::GasControl);
      if (st.diluentInjectorStuckOnFault) sim.stop(SoundChannel::GasControl);
    }
    st.*v.state = Valve::Off;
    message = v.closed;
  }
  sim.record(message);
  showValveState(sim, v);
}

void valveMouseMove(Simulation& sim, Gas gas) { showValveState(sim, valveOf(gas)); }

void valveCaptionHideTick(Simulation& sim, Gas gas) {
  const ValveParts v = valveOf(gas);
  sim.win.setVisible(v.label, false);
  sim.disable(v.hideTimer);
}

void injectorPress(Simulation& sim, Injector which) {
  State& st = sim.st;
  switch (which) {
    case Injector::Oxygen:
      if (!st.o2InjectorPhysicalFault && !st.o2InjectorFailedFault && st.oxygenValveState == Valve::Open) {
        st.o2InjectorPressTick = sim.tick();
        sim.playIfSoundOn(SoundChannel::GasControl, "shorthiss.wav");
      }
      break;
    case Injector::Diluent:
      if (!st.diluentInjectorPhysicalFault && !st.diluentInjectorFailedFault &&
          st.diluentValveState == Valve::Open) {
        st.diluentPressTick = sim.tick();
        sim.playIfSoundOn(SoundChannel::GasControl, "shorthiss.wav");
      }
      break;
    case Injector::Adv:
      st.diluentPressTick = sim.tick();
      if (st.diluentValveState == Valve::Open && !st.advFailedFault)
        sim.playIfSoundOn(SoundChannel::GasControl, "shorthiss.wav");
      break;
  }
}

void injectorRelease(Simulation& sim, Injector which) {
  State& st = sim.st;
  switch (which) {
    case Injector::Oxygen:
      if (!st.o2InjectorFailedFault) {
        st.o2InjectorReleaseTick = sim.tick();
        if (st.oxygenValveState == Valve::Open) sim.stopIfSoundOn(SoundChannel::GasControl);
      }
      break;
    case Injector::Diluent:
      if (!st.diluentInjectorFailedFault) {
        st.diluentReleaseTick = sim.tick();
        if (st.diluentValveState == Valve::Open) sim.stopIfSoundOn(SoundChannel::GasControl);
      }
      break;
    case Injector::Adv:
      if (!st.advFailedFault) {
        st.diluentReleaseTick = sim.tick();
        sim.stopIfSoundOn(SoundChannel::GasControl);
      }
      break;
  }
  refreshCounterlungBar(sim);
}

void injectorClick(Simulation& sim, Injector which) {
  State& st = sim.st;
  double litresPerMs = 0, o2Fraction = 0.21, held = 0;
  const char* message = nullptr;
  switch (which) {
    case Injector::Oxygen:
      if (st.o2InjectorPhysicalFault || st.o2InjectorFailedFault || st.oxygenValveState != Valve::Open) return;
      litresPerMs = 0.5 / 100;  // 5 litres a second held
      o2Fraction = st.oxygenAnalysisPercent / 100;
      held = heldMs(st.o2InjectorPressTick, st.o2InjectorReleaseTick);
      message = "Manual O2 Addition";
      break;
    case Injector::Diluent:
      if (st.diluentInjectorPhysicalFault || st.diluentInjectorFailedFault ||
          st.diluentValveState != Valve::Open)
        return;
      litresPerMs = 0.5 / 100;
      held = heldMs(st.diluentPressTick, st.diluentReleaseTick);
      message = "Manual Diluent Addition";
      break;
    case Injector::Adv:
      if (!sim.ticked(element::advEnabledBox) || st.advFailedFault ||
          st.diluentValveState != Valve::Open)
        return;
      litresPerMs = 0.2 / 100;  // 2 litres a second held
      held = heldMs(st.diluentPressTick, st.diluentReleaseTick);
      message = "ADV Manually operated";
      break;
  }
  const double saved = st.counterlungPercent;
  addGas(st, litresPerMs * held, o2Fraction, st.ambientBar());
  sim.record(message);
  // With the mouthpiece open and nobody breathing, the added gas escapes through it.
  if (st.mouthpieceState == Mouthpiece::Open && !st.breathing) st.counterlungPercent = saved;
}

void dumpPress(Simulation& sim) {
  State& st = sim.st;
  st.dumpPressTick = sim.tick();
  sim.record("Dump Valve Operated");
  sim.playIfSoundOn(SoundChannel::GasControl, "bubbles.wav");
}

void dumpRelease(Simulation& sim) {
  State& st = sim.st;
  sim.stopIfSoundOn(SoundChannel::GasControl);
  // Twenty percentage points for every second held.
  st.counterlungPercent = st.counterlungPercent - 20 * heldMs(st.dumpPressTick, sim.tick()) / 1000;
  if (st.counterlungPercent < 0) st.counterlungPercent = 0;
  refreshCounterlungBar(sim);
}

void advEnabledClick(Simulation& sim) {
  sim.win.setVisible(element::advButton, sim.ticked(element::advEnabledBox));
}

void mouthpieceClick(Simulation& sim) {
  State& st = sim.st;
  const char* message;
  if (st.mouthpieceState == Mouthpiece::Closed) {
    sim.win.setPicture(element::mouthpiece, "MouthO.jpg");
    st.mouthpieceState = Mouthpiece::Open;
    if (st.breathing) sim.enable(TimerId::BreathTimer);
    message = "Mouthpiece Opened";
  } else {
    sim.win.setPicture(element::mouthpiece, "MouthC.jpg");
    st.mouthpieceState = Mouthpiece::Closed;
    sim.disable(TimerId::BreathTimer);
    message = "Mouthpiece Closed";
  }
  sim.record(message);
}

}  // namespace pelasim
