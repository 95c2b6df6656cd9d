// Engine speed on virtual time and the data file writer.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/HeadlessRun.h"
#include "app/Startup.h"
#include "app/Tasks.h"
#include "core/VirtualHost.h"
#include "record/DiveRecord.h"
#include "datafile/DataFile.h"
#include "sim/Simulation.h"
#include "support/GoldenDive.h"

namespace {

using namespace pelasim;

// A five-hour dive with nobody at the controls: every task that runs from start-up.
void BM_IdleFiveHourDive(benchmark::State& state) {
  for (auto _ : state) {
    HeadlessRun run;
    run.host.runFor(18000u * 1000u);
    benchmark::DoNotOptimize(run.sim.st.recordRow);
  }
}
BENCHMARK(BM_IdleFiveHourDive)->Unit(benchmark::kMillisecond);

// The tests' golden dive: checklist, calibration, descent, a failure, bail-out and ascent.
void BM_GoldenDive(benchmark::State& state) {
  for (auto _ : state) {
    HeadlessRun run;
    benchmark::DoNotOptimize(golden::fly(run));
  }
}
BENCHMARK(BM_GoldenDive)->Unit(benchmark::kMillisecond);

Simulation& fullRecord(VirtualHost& host) {
  static Simulation* sim = [&host] {
    auto* s = new Simulation(host);
    installTasks(*s);
    host.attach(s->timers);
    startUp(*s);
    for (int r = 1; r <= 18000; ++r) {
      RecordRow& row = s->st.diveRecord.rows[static_cast<std::size_t>(r)];
      row = {r % 97 == 0 ? "Manual O2 Addition" : "", 1.2345678901 + r * 1e-5, 1.23, r % 40, 1.3, 16, true};
    }
    s->st.recordRow = 18000;
    return s;
  }();
  return *sim;
}

void BM_WriteFiveHourDataFile(benchmark::State& state) {
  static VirtualHost host;
  Simulation& sim = fullRecord(host);
  const std::string path =
      (std::filesystem::temp_directory_path() / "pelasim-bench-OrvanePelaSimData.csv").string();
  for (auto _ : state) {
    const std::string text = dataFileText(sim);
    const auto out = datafile::writeFileAtomically(path, text);
    if (!out.ok) state.SkipWithError(out.error.c_str());
    benchmark::DoNotOptimize(text.data());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteFiveHourDataFile)->Unit(benchmark::kMillisecond);

}  // namespace
