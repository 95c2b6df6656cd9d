// A five-hour dive with a random set of failures armed every few minutes: no crash, no NaN or
// infinity anywhere in the state, the record complete to its last row, memory flat.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <sys/resource.h>

#include "app/Dispatch.h"
#include "app/HeadlessRun.h"
#include "app/Startup.h"
#include "core/VirtualHost.h"
#include "failures/Failures.h"
#include "sim/Simulation.h"

namespace {

using namespace pelasim;

long peakRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

bool finite(const State& st) {
  bool ok = std::isfinite(st.loopPO2) && std::isfinite(st.counterlungPercent) &&
            std::isfinite(st.metabolicRate) && std::isfinite(st.scrubberMinutes);
  for (const HandsetRecord& h : st.handsets) {
    for (double v : h.cellPO2) ok = ok && std::isfinite(v);
    for (double v : h.cellCalibration) ok = ok && std::isfinite(v);
    ok = ok && std::isfinite(h.batteryVolts);
  }
  for (const Cell& c : st.cells) ok = ok && std::isfinite(c.millivolts);
  for (double d : st.cellDriftRate) ok = ok && std::isfinite(d);
  if (st.cellSpread) ok = ok && std::isfinite(*st.cellSpread);
  return ok;
}

void BM_SoakFiveHoursWithFailures(benchmark::State& state) {
  for (auto _ : state) {
    HeadlessRun run;
    VirtualHost& host = run.host;
    Simulation& sim = run.sim;
    // A diver who is set up and breathing: both handsets running, valves and mouthpiece open.
    State& st = sim.st;
    for (Side s : {Side::Left, Side::Right}) {
      st.handset(s).hardwareSwitch = 1;
      st.handset(s).power = 1;
    }
    st.handset(Side::Left).role = 1;
    st.handset(Side::Left).displayState = ds::MasterRunning;
    st.handset(Side::Right).displayState = ds::SlaveRunning;
    st.oxygenValveState = st.diluentValveState = Valve::Open;
    dispatchMain(sim, Main::Image18, MouseEvent::Click);
    dispatchMain(sim, Main::Image19, MouseEvent::Click);
    for (int m = 0; m < 15; ++m) dispatchMain(sim, Main::Image10, MouseEvent::Click);

    bool allFinite = true;
    long rssAfterHour = 0;
    int armed = 0;
    for (int minute = 0; minute < 300; ++minute) {
      if (minute % 4 == 0) {
        // A random selection of the 23 options, armed with no delay.
        for (int i = 0; i < sim.options.size(); ++i)
          if (sim.options.at(i).kind == ElementKind::CheckBox)
            sim.options.FormModel::setChecked(i, sim.random() < 0.2);
        sim.options.setValue(Opt::Slider1, 0);
        armButtonClick(sim);
        ++armed;
      }
      // Now and then a trainee's hand: change depth, and bring failed handsets back.
      if (minute % 7 == 0) dispatchMain(sim, sim.random() < 0.5 ? Main::Image9 : Main::Image10, MouseEvent::Click);
      if (minute % 11 == 0) dispatchMain(sim, Main::Command3, MouseEvent::Click);
      for (int s = 0; s < 60; ++s) {
        host.runFor(1000);
        allFinite = allFinite && finite(st);
      }
      if (minute == 60) rssAfterHour = peakRssKb();
    }
    state.counters["rows"] = st.recordRow > 18000 ? 18000 : st.recordRow;
    state.counters["last_row_sampled"] = st.diveRecord.rows[18000].sampled ? 1 : 0;
    state.counters["all_finite"] = allFinite ? 1 : 0;
    state.counters["armed"] = armed;
    state.counters["rss_growth_kb"] = static_cast<double>(peakRssKb() - rssAfterHour);
    state.counters["peak_rss_kb"] = static_cast<double>(peakRssKb());
  }
}
BENCHMARK(BM_SoakFiveHoursWithFailures)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
