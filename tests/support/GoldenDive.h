#pragma once
// The golden dive: one scripted dive through the handlers a mouse reaches, on virtual time,
// shared by the tests and the benchmarks. Both handsets on, the checklist with calibration,
// breathing, a descent to 20 m, the switch to the high setpoint, "Solenoid Stuck Closed" armed
// from the options dialog, the low-oxygen warning it brings, a bail-out and the return to the
// loop, the ascent and the exit. Every run gives the same data file and the same event list;
// tests/golden/ keeps a copy of both, and a deliberate change of behaviour updates that copy.

#include <cstdio>
#include <string>
#include <vector>

#include "app/Dispatch.h"
#include "app/HeadlessRun.h"
#include "app/Startup.h"
#include "core/DiveLog.h"
#include "handset/HandsetParts.h"
#include "record/DiveRecord.h"

namespace pelasim::golden {

// Collects every event the simulation reports, one line each.
class EventLog : public DiveObserver {
 public:
  void sampled(const DiveSample&) override {}
  void event(const DiveEvent& e) override {
    static constexpr const char* kKinds[] = {"status", "armed", "applied", "note"};
    text += std::to_string(e.ms) + " " + std::to_string(e.second) + " " +
            kKinds[static_cast<int>(e.kind)] + " " + e.text;
    if (!e.detail.empty()) text += " | " + e.detail;
    text += "\n";
  }
  std::string text;
};

struct Result {
  std::string dataFile;  // the data file's text at exit
  std::string events;    // one line per event: ms, record row, kind, text, detail
  bool completed = false;  // every step reached the state it waits for
};

// Flies the dive on `run`, which must be freshly started.
inline Result fly(HeadlessRun& run) {
  Simulation& sim = run.sim;
  VirtualHost& host = run.host;
  EventLog log;
  sim.observer = &log;
  Result result;
  auto click = [&](Main id) {
    dispatchMain(sim, id, MouseEvent::Down);
    dispatchMain(sim, id, MouseEvent::Up);
    dispatchMain(sim, id, MouseEvent::Click);
  };
  // One control a second, so each status message keeps its own row.
  auto step = [&](Main id) {
    click(id);
    host.runFor(1000);
  };
  auto waitFor = [&](Side s, int state, std::uint32_t ms) {
    for (std::uint32_t t = 0; t < ms && sim.st.handset(s).displayState != state; t += 100) host.runFor(100);
    return sim.st.handset(s).displayState == state;
  };
  auto finish = [&] {
    result.dataFile = dataFileText(sim);
    result.events = log.text;
    sim.observer = nullptr;
    return result;
  };

  sim.st.disclaimerAnswer = 1;
  afterDisclaimer(sim);
  step(Main::LHOO);
  step(Main::RHOO);
  step(Main::Label8);   // left handset powered: master
  step(Main::Label11);  // right handset powered: slave
  if (!waitFor(Side::Left, ds::ScrubberTime, 10000)) return finish();
  step(Main::Label10);  // DIVE NOW ?: Confirm
  step(Main::Label10);  // CHECK DILUENT!: Confirm
  step(Main::Label8);   // CALIBRATE ?: YES
  step(Main::Label9);   // 1010 mb
  step(Main::Label10);
  step(Main::Label10);  // 100 % oxygen
  step(Main::Image18);  // mouthpiece open
  step(Main::Label10);
  step(Main::Image7);   // oxygen valve open
  step(Main::Label10);  // flush and calibrate
  if (!waitFor(Side::Left, ds::MasterRunning, 60000)) return finish();
  if (!waitFor(Side::Right, ds::SlaveRunning, 10000)) return finish();

  step(Main::Image4);   // diluent valve open
  step(Main::Image19);  // breathing
  for (int m = 0; m < 20; ++m) {
    click(Main::Image10);
    host.runFor(3000);
  }
  // Hold the master's middle button for two seconds: the high setpoint.
  dispatchMain(sim, Main::Label10, MouseEvent::Down);
  host.runFor(2100);
  dispatchMain(sim, Main::Label10, MouseEvent::Up);
  dispatchMain(sim, Main::Label10, MouseEvent::Click);
  host.runFor(5 * 60000);

  // The instructor arms a stuck-closed solenoid to take effect at once.
  step(Main::Command2);
  clickOptionBox(sim, option::SolenoidStuckClosed);
  dispatchOptions(sim, Opt::Command1, MouseEvent::Click);  // "Change Now"
  // The loop breathes down until the low-oxygen warning; the trainee bails out.
  for (int s = 0; s < 30 * 60 && sim.st.handset(Side::Left).displayState != ds::LowOxygenScreen; ++s)
    host.runFor(1000);
  if (sim.st.handset(Side::Left).displayState != ds::LowOxygenScreen) return finish();
  host.runFor(10000);
  step(Main::Image20);
  host.runFor(60000);
  dispatchBailed(sim, BailedId::Command2, MouseEvent::Click);  // Return to Loop
  host.runFor(1000);
  step(Main::Image6);  // a manual oxygen addition
  for (int m = 0; m < 20; ++m) {
    click(Main::Image9);
    host.runFor(6000);
  }
  result.completed = true;
  return finish();
}

}  // namespace pelasim::golden
