// The golden dive flown again and compared with its stored data file and event list. A
// deliberate change of behaviour updates tests/golden/ in the same commit: run this test with
// PELASIM_UPDATE_GOLDEN=1 to rewrite the stored copy, and read the difference before
// committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/GoldenDive.h"

namespace pelasim {
namespace {

std::string goldenPath(const char* name) {
  const char* src = std::getenv("PELASIM_SOURCE_DIR");
  return std::string(src != nullptr ? src : PELASIM_SOURCE_DIR) + "/tests/golden/" + name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first line where two texts differ, for a readable failure.
std::string firstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string la, lb;
  for (int n = 1;; ++n) {
    const bool ma = static_cast<bool>(std::getline(a, la));
    const bool mb = static_cast<bool>(std::getline(b, lb));
    if (!ma && !mb) return "none";
    if (la != lb || ma != mb)
      return "line " + std::to_string(n) + ":\n  stored: " + (ma ? la : "(end)") + "\n  now:    " + (mb ? lb : "(end)");
  }
}

TEST(GoldenDive, FliesAsStored) {
  HeadlessRun run;
  const golden::Result r = golden::fly(run);
  ASSERT_TRUE(r.completed);
  const std::pair<const char*, const std::string*> files[] = {{"golden-dive.csv", &r.dataFile},
                                                              {"golden-dive-events.txt", &r.events}};
  for (const auto& [name, text] : files) {
    const std::string path = goldenPath(name);
    if (std::getenv("PELASIM_UPDATE_GOLDEN") != nullptr) {
      std::ofstream(path, std::ios::binary) << *text;
      continue;
    }
    const std::string stored = readFile(path);
    EXPECT_TRUE(stored == *text) << name << " differs from the stored golden dive at "
                                 << firstDifference(stored, *text);
  }
}

// The dive itself is what the trainee should see: calibrated, warned, bailed out and back.
TEST(GoldenDive, ShowsTheFailureTheWarningAndTheReaction) {
  HeadlessRun run;
  const golden::Result r = golden::fly(run);
  for (const char* expected : {"Calibration ended", "armed Failures armed | Solenoid Stuck Closed; delay 0 min; source dialog",
                               "applied Failures took effect | Solenoid Stuck Closed", "Warning: Low O2",
                               "Bailed Out", "Returned to loop", "Manual O2 Addition"})
    EXPECT_NE(r.events.find(expected), std::string::npos) << expected;
}

}  // namespace
}  // namespace pelasim
