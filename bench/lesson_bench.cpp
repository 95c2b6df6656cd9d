// What a lesson costs: a five-hour dive on virtual time, with and without a lesson of ten
// triggers and ten objectives listening to it. The triggers only show messages, so the
// figure is the lesson's own cost, not that of the failures a lesson may arm.
#include <benchmark/benchmark.h>

#include <string>

#include "app/HeadlessRun.h"
#include "app/Startup.h"
#include "lesson/LessonFile.h"
#include "lesson/LessonRun.h"

namespace {

using namespace pelasim;

std::string tenByTen() {
  std::string t = "title = \"Ten by ten\"\nbriefing = \"A long lesson.\"\n";
  for (int i = 0; i < 10; ++i) {
    t += "[[trigger]]\nid = \"t" + std::to_string(i) + "\"\nat_time = " + std::to_string(1500 * (i + 1)) +
         "\nmessage = \"Step " + std::to_string(i) + "\"\n";
  }
  const char* objectives[] = {
      "kind = \"respond\"\nevent = \"Low O2\"\nactions = [\"bail-out\", \"manual O2 addition\"]\n",
      "kind = \"respond\"\nevent = \"Cell Warning\"\nactions = [\"manual diluent addition\"]\n",
      "kind = \"before_depth\"\ndepth = 3\nactions = [\"calibration\"]\n",
      "kind = \"setpoint_at_depth\"\ndepth = 10\nsetpoint = 1.3\n",
      "kind = \"po2_limit\"\npo2_at_or_below = 0.4\nmax_seconds = 30\n",
      "kind = \"po2_limit\"\npo2_at_or_above = 1.6\nmax_seconds = 30\n",
      "kind = \"ascent_rate\"\nmetres_per_minute = 9\n",
      "kind = \"respond\"\nevent = \"High O2\"\nactions = [\"O2 valve closed\", \"bail-out\"]\n",
      "kind = \"respond\"\nevent = \"Cell Drift\"\nactions = [\"ascent\"]\n",
      "kind = \"po2_limit\"\npo2_at_or_below = 0.16\nmax_seconds = 0\n",
  };
  for (int i = 0; i < 10; ++i)
    t += "[[objective]]\nid = \"o" + std::to_string(i) + "\"\ntext = \"Objective " + std::to_string(i) +
         "\"\n" + objectives[i];
  return t;
}

void fiveHours(benchmark::State& state, bool withLesson) {
  const lesson::ReadResult read = lesson::readLesson(tenByTen(), "bench.toml");
  if (!read.lesson) {
    state.SkipWithError("the benchmark's lesson does not read");
    return;
  }
  for (auto _ : state) {
    HeadlessRun run;
    run.sim.st.disclaimerAnswer = true;
    afterDisclaimer(run.sim);
    lesson::LessonRun lessonRun(run.sim, *read.lesson);
    if (withLesson) {
      run.sim.observer = &lessonRun;
      lessonRun.begin();
    }
    run.host.runFor(18000u * 1000u);
    lessonRun.finish();
    benchmark::DoNotOptimize(lessonRun.results().size());
  }
}

void BM_FiveHourDiveWithoutLesson(benchmark::State& state) { fiveHours(state, false); }
void BM_FiveHourDiveWithLesson(benchmark::State& state) { fiveHours(state, true); }
BENCHMARK(BM_FiveHourDiveWithoutLesson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveHourDiveWithLesson)->Unit(benchmark::kMillisecond);

}  // namespace
