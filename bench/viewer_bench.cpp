// The viewer's Qt-free half on a five-hour record: reading the data file's bytes into rows
// and turning the rows into the chart's curves and message flags. The window's own timing
// (charting and painting) is measured by pelasim_viewer_tool (bench/qt).
#include <benchmark/benchmark.h>

#include <string>

#include "SampleDive.h"
#include "datafile/DataFile.h"
#include "debrief/DiveTrace.h"

namespace {

using namespace pelasim;

const std::string& fiveHourFile() {
  static const std::string text =
      datafile::formatFile({2026, 3, 14, 10, 21, 7}, bench::sampleDive(datafile::kMaxRows));
  return text;
}

void BM_ReadFiveHourDataFile(benchmark::State& state) {
  const std::string& text = fiveHourFile();
  for (auto _ : state) {
    const datafile::ReadResult r = datafile::readFile(text);
    if (r.rows.size() != static_cast<std::size_t>(datafile::kMaxRows)) state.SkipWithError("rows lost");
    benchmark::DoNotOptimize(r.rows.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadFiveHourDataFile)->Unit(benchmark::kMillisecond);

void BM_TraceOfFiveHourRecord(benchmark::State& state) {
  const datafile::ReadResult r = datafile::readFile(fiveHourFile());
  for (auto _ : state) {
    const datafile::DiveTrace t = datafile::traceOf(r.rows);
    benchmark::DoNotOptimize(t.realPO2.data());
  }
}
BENCHMARK(BM_TraceOfFiveHourRecord)->Unit(benchmark::kMillisecond);

// Garbage of the same size: one long line with no structure at all.
void BM_ReadGarbageOfTheSameSize(benchmark::State& state) {
  std::string junk(fiveHourFile().size(), 'x');
  for (std::size_t i = 0; i < junk.size(); i += 7) junk[i] = i % 3 ? '"' : '#';
  for (auto _ : state) benchmark::DoNotOptimize(datafile::readFile(junk).isDataFile);
}
BENCHMARK(BM_ReadGarbageOfTheSameSize)->Unit(benchmark::kMillisecond);

}  // namespace
