// The three buttons of each handset and its two two-button areas: power-up with the left
// button (the first handset powered becomes master), the answers of the pre-dive checklist,
// the calibration, setpoint and brightness menus, the menu chain, the soft switch-off
// request, the pressed-button pictures, the backlight and the held middle button that
// switches the setpoint.
#include <algorithm>
#include <string>

#include "core/Format.h"
#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

constexpr std::uint32_t kShortLightMs = 5000;
constexpr std::uint32_t kLongLightMs = 15000;
constexpr std::uint32_t kPowerUpFreezeMs = 2000;

// Menu limits.
constexpr double kPressureMinMb = 700, kPressureMaxMb = 1050, kPressureStepMb = 10;
constexpr double kOxygenMinPercent = 21, kOxygenMaxPercent = 100;
constexpr double kHighSetpointMin = 1.0, kHighSetpointMax = 1.5;
constexpr double kLowSetpointMin = 0.5, kLowSetpointMax = 1.0;
constexpr double kSetpointStep = 0.1;
constexpr int kBrightnessMin = 0, kBrightnessMax = 99;

std::string prefix(Side side) { return std::string(partsOf(side).word) + " handset"; }

bool calibrating(const HandsetRecord& h) {
  return h.displayState == ds::FlushAndCalibrate || h.displayState == ds::CalibratingHold;
}

// A setpoint step of the menus. The value is kept to the hundredths the menu shows, so a
// Down step undoes an Up step exactly and the setpoint switch and the menu chain, which
// compare setpoints for equality, keep working after the trainee has set a value back.
double stepSetpoint(double value, double step, double lo, double hi) {
  return std::clamp(fmt::roundDecimal(value + step, 2), lo, hi);
}

// Confirming a checklist screen sounds the alarm when the diver has missed something and
// the "Warnings" box is ticked; the checklist moves on in any case.
void alarmIf(Simulation& sim, bool missed) {
  if (missed) sim.playWarning(SoundChannel::Alarm, "alarm.wav");
}

void showPicture(Simulation& sim, Side side, std::string_view file) {
  const HandsetParts& p = partsOf(side);
  sim.win.setPicture(p.picture, file);
  sim.disable(p.restore);
}

void powerUp(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  h.power = true;
  if (!st.handset(other(side)).power) {
    h.role = 1;
    sim.record(prefix(side) + " on as Master");
  } else {
    h.role = 0;
    sim.record(prefix(side) + " on as Slave");
  }
  sim.playIfSoundOn(SoundChannel::General, "Turnonr.wav");
  h.displayState = ds::SelfTest;
  // The electronics boot: the whole window is unresponsive meanwhile.
  sim.host.freezeFor(kPowerUpFreezeMs);
  sim.playIfSoundOn(SoundChannel::General, "CLICK.wav");
  enableDisplay(sim, side);
}

// Left button: power-up, YES, Down.
void leftClick(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  if (!h.power && h.hardwareSwitch) {
    powerUp(sim, side);
    return;
  }
  sim.record(prefix(side) + ": left button");
  switch (h.displayState) {
    case ds::BatteryWarning:  // the battery warning's DIVE NOW? screen: YES
      if (h.role == 1) {
        h.displayState = ds::ScrubberTime;
        showScreen(sim, side, screen::elapsedTime(st.scrubberMinutes));
      } else {
        h.displayState = ds::SlaveWaiting;
      }
      break;
    case ds::CalibrateQuery:
    case ds::MustCalibrate:
      h.displayState = ds::CalPressureMenu;
      showScreen(sim, side, screen::ambientPressureMenu(st));
      break;
    case ds::CalPressureMenu:
      st.calibrationPressureMb = std::max(st.calibrationPressureMb - kPressureStepMb, kPressureMinMb);
      showScreen(sim, side, screen::ambientPressureMenu(st));
      break;
    case ds::CalOxygenMenu:
      st.calibrationOxygenPercent = std::max(st.calibrationOxygenPercent - 1, kOxygenMinPercent);
      showScreen(sim, side, screen::oxygenMenu(st));
      break;
    case ds::HighSetpointMenu:
      h.highSetpoint = stepSetpoint(h.highSetpoint, -kSetpointStep, kHighSetpointMin, kHighSetpointMax);
      showScreen(sim, side, screen::highSetpointMenu(h));
      break;
    case ds::LowSetpointMenu:
      h.lowSetpoint = stepSetpoint(h.lowSetpoint, -kSetpointStep, kLowSetpointMin, kLowSetpointMax);
      showScreen(sim, side, screen::lowSetpointMenu(h));
      break;
    case ds::BrightnessMenu:
      h.brightness = std::max(h.brightness - 1, kBrightnessMin);
      showScreen(sim, side, screen::brightnessMenu(h));
      break;
    case ds::OnTimeShow:  // the RESET NOW screen: Yes
      st.handset(Side::Left).onTimeMinutes = 0;
      h.displayState = ds::OnTimeReset;
      // The right handset shows the cleared time at once; the left one at its next tick.
      if (side == Side::Right) showScreen(sim, side, screen::elapsedTime(0));
      break;
    default: break;
  }
  enableDisplay(sim, side);
}

// Middle button: Confirm, next menu.
void middleClick(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  sim.record(prefix(side) + ": middle button");
  switch (h.displayState) {
    case ds::ScrubberTime:  // the DIVE NOW ? screen: Confirm
      h.displayState = ds::CheckDiluent;
      showScreen(sim, side, "     CHECK DILUENT!      Confirm    ");
      break;
    case ds::CheckDiluent:
      alarmIf(sim, st.diluentValveState == Valve::Off);
      if (sim.optionTicked(option::MustCalibrate)) {
        h.displayState = ds::MustCalibrate;
        showScreen(sim, side, "   MUST CALIBRATE!      YES                     NO ");
      } else {
        h.displayState = ds::CalibrateQuery;
        showScreen(sim, side, "     CALIBRATE ?      YES                     NO ");
      }
      break;
    case ds::OpenValve:
      alarmIf(sim, st.oxygenValveState == Valve::Off);
      h.displayState = ds::MasterRunning;
      break;
    case ds::CalPressureMenu:
      h.displayState = ds::CalOxygenMenu;
      showScreen(sim, side, screen::oxygenMenu(st));
      break;
    case ds::CalOxygenMenu:
      h.displayState = ds::OpenMouthpiece;
      showScreen(sim, side, "   Open Mouthpiece!       Confirm");
      break;
    case ds::OpenMouthpiece:
      alarmIf(sim, st.mouthpieceState == Mouthpiece::Closed);
      h.displayState = ds::OpenValveToFlush;
      showScreen(sim, side, "     OPEN O2 VALVE!        Confirm");
      break;
    case ds::OpenValveToFlush:
      alarmIf(sim, st.oxygenValveState == Valve::Off);
      h.displayState = ds::FlushAndCalibrate;
      showScreen(sim, side, "   FLUSHING BAG  " + screen::readings(h, 5));
      break;
    case ds::HighSetpointMenu:
      h.displayState = ds::LowSetpointMenu;
      showScreen(sim, side, screen::lowSetpointMenu(h));
      break;
    case ds::LowSetpointMenu:
      h.displayState = ds::BrightnessMenu;
      showScreen(sim, side, screen::brightnessMenu(h));
      break;
    case ds::BrightnessMenu:
      h.displayState = ds::OnTimeShow;
      showScreen(sim, side, screen::elapsedTime(st.handset(Side::Left).onTimeMinutes.value_or(0)));
      break;
    default: break;
  }
  enableDisplay(sim, side);
}

// Right button: NO, Up.
void rightClick(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  sim.record(prefix(side) + ": right button");
  switch (h.displayState) {
    case ds::CalibrateQuery:
    case ds::MustCalibrate:
      h.displayState = ds::OpenValve;
      showScreen(sim, side, "    OPEN O2 VALVE    Confirm");
      break;
    case ds::CalPressureMenu:
      st.calibrationPressureMb = std::min(st.calibrationPressureMb + kPressureStepMb, kPressureMaxMb);
      showScreen(sim, side, screen::ambientPressureMenu(st));
      break;
    case ds::CalOxygenMenu:
      st.calibrationOxygenPercent = std::min(st.calibrationOxygenPercent + 1, kOxygenMaxPercent);
      showScreen(sim, side, screen::oxygenMenu(st));
      break;
    case ds::HighSetpointMenu:
      h.highSetpoint = stepSetpoint(h.highSetpoint, kSetpointStep, kHighSetpointMin, kHighSetpointMax);
      showScreen(sim, side, screen::highSetpointMenu(h));
      break;
    case ds::LowSetpointMenu:
      h.lowSetpoint = stepSetpoint(h.lowSetpoint, kSetpointStep, kLowSetpointMin, kLowSetpointMax);
      showScreen(sim, side, screen::lowSetpointMenu(h));
      break;
    case ds::BrightnessMenu:
      h.brightness = std::min(h.brightness + 1, kBrightnessMax);
      showScreen(sim, side, screen::brightnessMenu(h));
      break;
    case ds::OnTimeShow:  // the RESET NOW screen: No
      h.displayState = ds::MasterRunning;
      break;
    default: break;
  }
  enableDisplay(sim, side);
}

}  // namespace

void buttonPress(Simulation& sim, Side side, Button b) {
  State& st = sim.st;
  const HandsetRecord& h = st.handset(side);
  const HandsetParts& p = partsOf(side);
  switch (b) {
    case Button::Left:
      if (h.hardwareSwitch) {
        showPicture(sim, side, picture::Left);
        if (!calibrating(h)) {
          lightScreen(sim, side, kShortLightMs);
        } else if (side == Side::Right) {
          // The right handset lights its screen also while calibrating, without the timer.
          sim.win.setFillColour(p.shape, kBacklightColour);
        }
      }
      break;
    case Button::Middle:
      if (h.hardwareSwitch) {
        showPicture(sim, side, picture::Mid);
        if (h.power && !calibrating(h)) lightScreen(sim, side, kLongLightMs);
      }
      // Held for the timer's interval, the middle button switches the master's setpoint.
      st.setpointSwitchSide = side;
      sim.enable(TimerId::SetPointTimer);
      break;
    case Button::Right:
      if (h.hardwareSwitch) {
        showPicture(sim, side, picture::Right);
        if (h.power && !calibrating(h)) lightScreen(sim, side, kLongLightMs);
      }
      break;
  }
}

void buttonRelease(Simulation& sim, Side side, Button b) {
  if (sim.st.handset(side).hardwareSwitch) sim.win.setPicture(partsOf(side).picture, picture::On);
  if (b == Button::Middle) sim.disable(TimerId::SetPointTimer);
}

void buttonClick(Simulation& sim, Side side, Button b) {
  switch (b) {
    case Button::Left: leftClick(sim, side); break;
    case Button::Middle: middleClick(sim, side); break;
    case Button::Right: rightClick(sim, side); break;
  }
}

void pairPress(Simulation& sim, Side side, ButtonPair pair) {
  State& st = sim.st;
  const HandsetRecord& h = st.handset(side);
  const HandsetParts& p = partsOf(side);
  const bool outer = pair == ButtonPair::BothOuter;
  sim.record(prefix(side) + (outer ? ": both outer buttons" : ": both right buttons"));
  sim.win.setTag(outer ? p.outerPair : p.rightPair, "1");
  if (!outer) {
    // Held for a second, the two right buttons switch the electronics off.
    sim.enable(TimerId::SwitchOffTimer);
    st.switchOffSide = side;
  }
  if (h.hardwareSwitch) {
    showPicture(sim, side, outer ? picture::BothOuter : picture::BothRight);
    if (h.power) lightScreen(sim, side, kShortLightMs);
  }
}

void pairMove(Simulation& sim, Side side, ButtonPair pair) {
  const HandsetParts& p = partsOf(side);
  const bool outer = pair == ButtonPair::BothOuter;
  // The pointer over a pair that is not held highlights the pair for a second.
  if (sim.win[outer ? p.outerPair : p.rightPair].tag.empty() &&
      sim.st.handset(side).hardwareSwitch) {
    sim.win.setPicture(p.picture, outer ? picture::LineOuters : picture::LineRights);
    sim.enable(p.restore);
  }
}

void pairRelease(Simulation& sim, Side side, ButtonPair pair) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  const HandsetParts& p = partsOf(side);
  if (pair == ButtonPair::BothOuter) {
    if (!h.hardwareSwitch) return;
    sim.win.setPicture(p.picture, picture::On);
    // The menu chain opens from the running master while the low setpoint is active.
    if (h.displayState == ds::MasterRunning && st.currentSetpoint == h.lowSetpoint) {
      h.displayState = ds::HighSetpointMenu;
      showScreen(sim, side, screen::highSetpointMenu(h));
    }
    sim.win.setTag(p.outerPair, "");
  } else {
    sim.disable(TimerId::SwitchOffTimer);
    if (h.hardwareSwitch) sim.win.setPicture(p.picture, picture::On);
    sim.win.setTag(p.rightPair, "");
  }
}

}  // namespace pelasim
