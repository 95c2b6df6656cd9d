// The dive library's costs: the per-second commit, the size of a five-hour dive, listing
// 1,000 dives; and the data file reader on one line of 62.9 million commas.
//   cmake --build build --target pelasim_library_bench && build/bin/pelasim_library_bench
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "library/DiveLibrary.h"
#include "library/DiveRecorder.h"
#include "datafile/DataFile.h"

namespace {

namespace fs = std::filesystem;
using namespace pelasim;
using namespace pelasim::library;

fs::path freshFolder(const char* name) {
  const fs::path dir = fs::temp_directory_path() / ("pelasim-bench-" + std::to_string(::getpid()) + "-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::unique_ptr<DiveLibrary> openLib(const fs::path& dir) {
  std::string error;
  return DiveLibrary::open(dir.string(), DiveLibrary::Access::ReadWrite, error);
}

NewDive newDive(int i) {
  char when[32];
  std::snprintf(when, sizeof when, "2026-%02d-%02d %02d:%02d:00", 1 + i % 12, 1 + i % 28, i % 24, i % 60);
  return {when, "1.0.2", i % 3 == 0 ? "anna" : "ben", "surface pressure 1013 mbar"};
}

// One second of a dive as the recorder's writer stores it: a sample and a status message,
// in one transaction with the disk flushed (synchronous FULL).
void BM_PerSecondCommit(benchmark::State& state) {
  const fs::path dir = freshFolder("second");
  auto lib = openLib(dir);
  const std::int64_t id = *lib->beginDive(newDive(0));
  int second = 0;
  for (auto _ : state) {
    ++second;
    lib->append(id, {{second, 1.1, 1.08, 20, 1.3, 16}},
                {{second * 1000 + 250, second, EventKind::Status, "Warning: Low O2", ""}});
  }
  lib.reset();
  fs::remove_all(dir);
}
BENCHMARK(BM_PerSecondCommit)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// What the simulation's thread pays for one second: the sample and a status message handed
// to the recorder's queue (the writer thread commits them).
void BM_RecorderHandOver(benchmark::State& state) {
  const fs::path dir = freshFolder("handover");
  {
    std::string error;
    DiveRecorder rec(DiveLibrary::open(dir.string(), DiveLibrary::Access::ReadWrite, error), error,
                     newDive(0), {});
    int second = 0;
    for (auto _ : state) {
      ++second;
      rec.event({second * 1000LL + 250, second, EventKind::Status, "Warning: Low O2", ""});
      rec.sampled({second, 1.1, 1.08, 20, 1.3, 16});
    }
    rec.finish();
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_RecorderHandOver)->Unit(benchmark::kMicrosecond)->Iterations(18000);

// A five-hour dive (18,000 seconds) with a warning every second of its last hour and a
// status message every ten seconds: the library file's size when it is closed.
void BM_FiveHourDiveSize(benchmark::State& state) {
  for (auto _ : state) {
    const fs::path dir = freshFolder("fivehours");
    auto lib = openLib(dir);
    const std::int64_t id = *lib->beginDive(newDive(0));
    std::vector<DiveSample> samples;
    std::vector<DiveEvent> events;
    for (int s = 1; s <= 18000; ++s) {
      samples.push_back({s, 1.0 + (s % 50) * 0.01, 1.0 + (s % 40) * 0.01, s % 40, 1.3, 16});
      if (s > 14400) events.push_back({s * 1000LL + 10, s, EventKind::Status, "Warning: High O2", ""});
      if (s % 10 == 0) events.push_back({s * 1000LL + 500, s, EventKind::Status, "Manual O2 Addition", ""});
      if (s % 60 == 0) {  // a commit a minute: the size does not depend on it
        lib->append(id, samples, events);
        samples.clear();
        events.clear();
      }
    }
    lib->endDive(id, kEndedNormally);
    lib.reset();  // the last connection checkpoints the journal into the file
    std::uintmax_t bytes = 0;
    for (const auto& f : fs::directory_iterator(dir)) bytes += f.file_size();
    state.counters["library_MB"] = static_cast<double>(bytes) / (1 << 20);
    fs::remove_all(dir);
  }
}
BENCHMARK(BM_FiveHourDiveSize)->Unit(benchmark::kMillisecond)->Iterations(1);

// The viewer's list of 1,000 dives, newest first.
void BM_ListThousandDives(benchmark::State& state) {
  const fs::path dir = freshFolder("list");
  {
    auto lib = openLib(dir);
    for (int i = 0; i < 1000; ++i) {
      const std::int64_t id = *lib->beginDive(newDive(i));
      std::vector<DiveSample> samples;
      for (int s = 1; s <= 60; ++s) samples.push_back({s, 1.0, 1.0, s % 30, 1.3, 16});
      lib->append(id, samples, {{1000, 1, EventKind::Status, "Warning: Low O2", ""}});
      lib->endDive(id, kEndedNormally);
    }
  }
  for (auto _ : state) {
    std::string error;
    auto lib = DiveLibrary::open(dir.string(), DiveLibrary::Access::Read, error);
    auto list = lib->list();
    benchmark::DoNotOptimize(list);
    if (list.size() != 1000) state.SkipWithError("not 1000 dives");
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_ListThousandDives)->Unit(benchmark::kMillisecond);

// A file just under the 64 MB cap whose data line is 62.9 million commas: read from the
// disk and parsed as the viewer does. peak_MB is the process's peak resident size.
void BM_OverlongLine(benchmark::State& state) {
  const fs::path dir = freshFolder("commas");
  const fs::path file = dir / "OrvanePelaSimData.csv";
  {
    std::ofstream out(file, std::ios::binary);
    out << "\"Orvane Pelagrinova Simulator\",#2026-12-07#,#09:30:00#\r\n\r\n"
           "\"Time (secs)\",\"Real PO2\",\"Handset PO2\",\"Depth\",\"Setpoint\",\"loop Volume\","
           "\"Status Messages\"\r\n\r\n1";
    const std::string chunk(1 << 20, ',');
    for (int i = 0; i < 59; ++i) out << chunk;
    out << std::string(62'900'000 - 59 * (1 << 20), ',') << "\r\n";
  }
  for (auto _ : state) {
    std::string bytes, error;
    if (!datafile::readWholeFile(file.string(), bytes, error)) state.SkipWithError(error.c_str());
    const datafile::ReadResult r = datafile::readFile(bytes);
    benchmark::DoNotOptimize(r);
  }
  rusage use{};
  ::getrusage(RUSAGE_SELF, &use);
  state.counters["peak_MB"] = static_cast<double>(use.ru_maxrss) / 1024;
  state.counters["file_MB"] = static_cast<double>(fs::file_size(file)) / (1 << 20);
  fs::remove_all(dir);
}
BENCHMARK(BM_OverlongLine)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
