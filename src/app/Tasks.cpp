#include "app/Tasks.h"

#include "app/Startup.h"
#include "controls/Controls.h"
#include "failures/Failures.h"
#include "handset/Handset.h"
#include "loop/DepthHold.h"
#include "loop/Loop.h"
#include "record/DiveRecord.h"
#include "sim/Simulation.h"

namespace pelasim {

void installTasks(Simulation& sim) {
  struct Def {
    TimerId id;
    std::uint32_t interval;  // milliseconds
    bool enabled;
    void (*handler)(Simulation&);
  };
  // Every periodic task of the main window with its designed interval and start state.
  // Creating the window starts the enabled ones.
  static constexpr Def kTasks[] = {
      {TimerId::Timer1, 503, true, loopTick},
      {TimerId::BreathTimer, 6003, false, breathTick},
      {TimerId::BreathOffTimer, 3000, false, halfBreathTick},
      {TimerId::CO2Timer, 60000, true, scrubberMinuteTick},
      {TimerId::FreeFlowTimer, 1020, true, freeFlowTick},
      {TimerId::FloodTimer, 5000, false, floodTick},
      {TimerId::DoEventsControl, 200, true, eventPumpTick},
      {TimerId::MakeNoiseSolenoidTimer, 100, false, solenoidNoiseTick},
      {TimerId::CellMillivoltTimer, 502, true, millivoltTick},
      {TimerId::CellDriftTimer, 60000, true, driftTick},
      {TimerId::ComputerTimer, 6001, true, controllerTick},
      {TimerId::SetPointTimer, 2000, false, setpointSwitchTick},
      {TimerId::Timer8, 3000, true, [](Simulation& s) { displayTick(s, Side::Left); }},
      {TimerId::Timer9, 3000, true, [](Simulation& s) { displayTick(s, Side::Right); }},
      {TimerId::SwitchOffTimer, 1000, true, softSwitchOffTick},
      {TimerId::LHLightTimer, 5000, false, [](Simulation& s) { backlightOffTick(s, Side::Left); }},
      {TimerId::RHLightTimer, 5000, false, [](Simulation& s) { backlightOffTick(s, Side::Right); }},
      {TimerId::Timer6, 1000, false, [](Simulation& s) { pictureRestoreTick(s, Side::Left); }},
      {TimerId::Timer7, 1000, false, [](Simulation& s) { pictureRestoreTick(s, Side::Right); }},
      {TimerId::WarningTimer, 1000, true, warningTick},
      {TimerId::Timer2, 3000, false, [](Simulation& s) { valveCaptionHideTick(s, Gas::Oxygen); }},
      {TimerId::Timer3, 3000, false, [](Simulation& s) { valveCaptionHideTick(s, Gas::Diluent); }},
      {TimerId::OptionTimer, 10, false, optionTick},
      {TimerId::RecordingTimer, 1000, true, recordingTick},
      {TimerId::DepthRepeatTimer, kDepthRepeatMs, false, depthRepeatTick},
  };
  for (const Def& d : kTasks) {
    sim.timers.define(d.id, d.interval, d.enabled);
    auto* fn = d.handler;
    sim.timers.setHandler(d.id, [&sim, fn] {
      if (!sim.ended) fn(sim);
    });
  }
}

}  // namespace pelasim
