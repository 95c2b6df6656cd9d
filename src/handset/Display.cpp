// The handset display state machine. Every 3 s each handset shows the screen of the state it
// finds and stores the state of its next tick: the boot banner and self-test, the pre-dive
// checklist, the failure cycles, the menus and the warning screens. The running screens of
// the master (17) and the slave (5) are written by the millivolt tick instead.
#include <string>

#include "core/Format.h"
#include "handset/Calibration.h"
#include "handset/Handset.h"
#include "handset/HandsetParts.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// In-air output limits of a healthy cell at power-up, millivolts. Only cell 1 is held to
// the upper limit.
constexpr double kCellAirMin = 7;
constexpr double kCellAirMax = 11;
// Battery limits at power-up, volts: within the band a warning, below it no dive.
constexpr double kBatteryWarnLow = 5.1;
constexpr double kBatteryWarnHigh = 5.7;

std::string numberText(const std::optional<int>& n) { return n ? fmt::whole(*n) : std::string(); }

// State 1: the banner, then the cells and the battery; the first failing test decides.
void selfTest(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  showScreen(sim, side, st.handsetMessages[ds::SelfTest]);
  for (int c = 1; c <= 3; ++c) {
    const double air = st.cells[static_cast<std::size_t>(c)].airMillivolts;
    if (air < kCellAirMin || (c == 1 && air > kCellAirMax)) {
      h.displayState = ds::BootCellFailure;
      st.bootFailedCell = c;
      return;
    }
  }
  if (h.batteryVolts >= kBatteryWarnLow && h.batteryVolts <= kBatteryWarnHigh)
    h.displayState = ds::BatteryWarning;
  else if (h.batteryVolts < kBatteryWarnLow)
    h.displayState = ds::LowBattery;
  else
    h.displayState = h.role == 1 ? ds::ScrubberTime : ds::SlaveWaiting;
}

// State 4: the slave waits for the master to run, or takes over when the master is off.
void slaveWaiting(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  const HandsetRecord& master = st.handset(other(side));
  if (master.displayState == ds::MasterRunning) {
    h.displayState = ds::SlaveRunning;
  } else if (master.power) {
    showScreen(sim, side, st.handsetMessages[ds::SlaveWaiting]);
  } else {
    h.displayState = ds::MasterRunning;
    h.role = 1;
    sim.playIfSoundOn(SoundChannel::General, "LowO2.wav");
  }
}

// Shows a fixed text and moves on to `next`.
void cycle(Simulation& sim, Side side, int message, ds::DisplayState next) {
  showScreen(sim, side, sim.st.handsetMessages[static_cast<std::size_t>(message)]);
  sim.st.handset(side).displayState = next;
}

// The screens that only alternate with the next one of their cycle: each shows its fixed text
// and hands over to the other.
struct Alternation {
  ds::DisplayState state;
  ds::DisplayState next;
};
constexpr Alternation kAlternations[] = {
    {ds::DiveNowConfirm, ds::ScrubberTime},
    {ds::BatteryWarning, ds::BatteryDiveNow},
    {ds::BatteryDiveNow, ds::BatteryWarning},
    {ds::LowBattery, ds::LowBatteryNoDive},
    {ds::LowBatteryNoDive, ds::LowBattery},
    {ds::BootCellNoDive, ds::BootCellFailure},
    {ds::NoOxygen, ds::NoOxygenNoCalibration},
    {ds::NoOxygenNoCalibration, ds::NoOxygenNoDive},
    {ds::NoOxygenNoDive, ds::NoOxygen},
    {ds::CalOutOfRange, ds::CalCellReplace},
    {ds::CalNoDive, ds::CalNoCalibration},
    {ds::CalNoCalibration, ds::CalCellFailure},
    {ds::ResetQuery, ds::OnTimeShow},
};

void showState(Simulation& sim, Side side) {
  State& st = sim.st;
  HandsetRecord& h = st.handset(side);
  const auto show = [&](const std::string& text) { showScreen(sim, side, text); };
  const auto message = [&](int i) -> const std::string& {
    return st.handsetMessages[static_cast<std::size_t>(i)];
  };
  for (const Alternation& a : kAlternations) {
    if (h.displayState != a.state) continue;
    cycle(sim, side, a.state, a.next);
    return;
  }
  switch (h.displayState) {
    case ds::Blank: show(message(0)); break;
    case ds::SelfTest: selfTest(sim, side); break;
    case ds::ScrubberTime:
      show(screen::elapsedTime(st.scrubberMinutes));
      h.displayState = ds::DiveNowConfirm;
      break;
    case ds::SlaveWaiting: slaveWaiting(sim, side); break;
    case ds::SlaveRunning: break;
    case ds::BootCellFailure:
      show("                                CELL " + numberText(st.bootFailedCell) + " FAILURE");
      h.displayState = ds::BootCellReplace;
      break;
    case ds::BootCellReplace:
      show(screen::cellFailureReplace(numberText(st.bootFailedCell)));
      h.displayState = ds::BootCellNoDive;
      break;
    case ds::CheckDiluent:
    case ds::CalibrateQuery:
    case ds::MustCalibrate:
    case ds::OpenValve:
    case ds::OpenMouthpiece:
    case ds::OpenValveToFlush:
    case ds::CellStuck:
    case ds::LowBatteryScreen: show(message(h.displayState)); break;
    case ds::MasterRunning: break;
    case ds::CalPressureMenu: show(screen::ambientPressureMenu(st)); break;
    case ds::CalOxygenMenu: show(screen::oxygenMenu(st)); break;
    case ds::FlushAndCalibrate: flushAndCalibrate(sim, side); break;
    case ds::CalCellFailure:
      show(screen::cellFailureReplace(fmt::whole(st.randomCellIndex)));
      h.displayState = ds::CalOutOfRange;
      break;
    case ds::CalCellReplace:
      show(screen::cellFailureReplace(fmt::whole(st.randomCellIndex)));
      h.displayState = ds::CalNoDive;
      break;
    case ds::CalibratingHold: calibrationHold(sim, side); break;
    case ds::HighSetpointMenu: show(screen::highSetpointMenu(h)); break;
    case ds::LowSetpointMenu: show(screen::lowSetpointMenu(h)); break;
    case ds::BrightnessMenu: show(screen::brightnessMenu(h)); break;
    case ds::OnTimeShow:
      show(screen::elapsedTime(st.handset(Side::Left).onTimeMinutes.value_or(0)));
      h.displayState = ds::ResetQuery;
      break;
    case ds::OnTimeReset:
      show(screen::elapsedTime(st.handset(Side::Left).onTimeMinutes.value_or(0)));
      h.displayState = ds::MasterRunning;
      break;
    case ds::CellWarningScreen:
      show("    CELL WARNING    " + std::string(8, ' ') + screen::readings(h, 7));
      break;
    case ds::LowOxygenScreen:
      show("      LOW OXYGEN    " + std::string(5, ' ') + screen::readings(h, 7));
      break;
    case ds::HighOxygenScreen:
      show("      HIGH OXYGEN    " + std::string(5, ' ') + screen::readings(h, 7));
      break;
    default:
      // A state with no screen blanks it and stays.
      show(message(0));
      break;
  }
}

}  // namespace

void displayTick(Simulation& sim, Side side) {
  const TimerId timer = partsOf(side).display;
  // The timer stays off for the whole tick, so a tick that waits (the flush, the
  // calibration hold) is never entered again by its own timer.
  sim.disable(timer);
  HandsetRecord& h = sim.st.handset(side);
  if (!h.power) {
    h.displayState = ds::Blank;
    showScreen(sim, side, " ");
  } else {
    if (h.displayState == ds::Blank) showScreen(sim, side, sim.st.handsetMessages[0]);
    showState(sim, side);
  }
  // The last act of every tick: the next one comes a full interval after this one ends,
  // also when a button enabled the timer while this tick was waiting.
  sim.disable(timer);
  sim.enable(timer);
}

}  // namespace pelasim
