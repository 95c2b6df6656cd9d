// Lesson files as an instructor writes them: a whole lesson read back, and every mistake
// refused with the line it is on.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "lesson/LessonFile.h"

namespace pelasim::lesson {
namespace {

constexpr const char* kPath = "drill.toml";

// A complete, correct lesson; the error cases below change one line of it.
const std::string kLesson = R"(title = "Stuck solenoid"
briefing = "Descend and deal with it."
hints = true
[start]
surface_pressure_mb = 980
oxygen_analysis_percent = 99.5
handsets_on = ["left"]
depth_metres = 5
[[trigger]]
id = "stuck"
at_depth = 20
delay = 90
arm = ["Solenoid Stuck Closed", "Dump Valve Physical Failure"]
message = "Watch the readings."
[[trigger]]
id = "later"
after = "stuck"
wait = 30
hint = "Add oxygen by hand."
[[objective]]
id = "react"
text = "Add oxygen within 60 s of Low O2"
kind = "respond"
event = "Low O2"
actions = ["manual O2 addition", "bail-out"]
[[objective]]
id = "rate"
text = "Ascend slowly"
kind = "ascent_rate"
metres_per_minute = 9
critical = false
)";

TEST(LessonFile, AWholeLessonReadsBackAsWritten) {
  const ReadResult r = readLesson(kLesson, kPath);
  ASSERT_TRUE(r.lesson) << (r.errors.empty() ? "" : errorLine(kPath, r.errors[0]));
  const Lesson& l = *r.lesson;
  EXPECT_EQ(l.title, "Stuck solenoid");
  EXPECT_TRUE(l.hints);
  EXPECT_EQ(l.start.surfacePressureMb, 980);
  EXPECT_EQ(l.start.oxygenAnalysisPercent, 99.5);
  EXPECT_TRUE(l.start.leftHandsetOn);
  EXPECT_FALSE(l.start.rightHandsetOn);
  EXPECT_EQ(l.start.depthMetres, 5);
  EXPECT_FALSE(l.start.metabolicRate);
  ASSERT_EQ(l.triggers.size(), 2u);
  EXPECT_EQ(l.triggers[0].when.kind, Condition::Kind::AtDepth);
  EXPECT_EQ(l.triggers[0].when.depthMetres, 20);
  EXPECT_EQ(l.triggers[0].delaySeconds, 90);
  EXPECT_EQ(l.triggers[0].arm,
            (std::vector<Opt>{option::SolenoidStuckClosed, option::DumpValvePhysical}));
  EXPECT_EQ(l.triggers[0].line, 9);
  EXPECT_EQ(l.triggers[1].when.kind, Condition::Kind::After);
  EXPECT_EQ(l.triggers[1].when.seconds, 30);
  ASSERT_EQ(l.objectives.size(), 2u);
  EXPECT_EQ(l.objectives[0].withinSeconds, 60);  // the usual response window
  EXPECT_TRUE(l.objectives[0].critical);
  EXPECT_EQ(l.objectives[0].actions, (std::vector<std::string>{"manual O2 addition", "bail-out"}));
  EXPECT_FALSE(l.objectives[1].critical);
}

struct Mistake {
  const char* name;
  const char* replace;  // a line of kLesson
  const char* with;
  const char* expected; // the first error, as --check-lesson prints it
};

const Mistake kMistakes[] = {
    {"SyntaxError", "hints = true", "hints = ", "drill.toml:3: "},
    {"UnknownSection", "[start]", "[begin]", "drill.toml:4: unknown key \"begin\" in the lesson"},
    {"UnknownKey", "delay = 90", "delays = 90", "drill.toml:12: unknown key \"delays\" in [[trigger]]"},
    {"UnknownFailure", "arm = [\"Solenoid Stuck Closed\", \"Dump Valve Physical Failure\"]",
     "arm = [\"Solenoid Stuck Shut\"]", "drill.toml:13: unknown failure \"Solenoid Stuck Shut\""},
    {"UnknownEvent", "event = \"Low O2\"", "event = \"Low Oxygen\"",
     "drill.toml:24: unknown event \"Low Oxygen\""},
    {"UnknownAction", "actions = [\"manual O2 addition\", \"bail-out\"]", "actions = [\"panic\"]",
     "drill.toml:25: unknown action \"panic\""},
    {"UnknownKind", "kind = \"ascent_rate\"", "kind = \"ascent_speed\"",
     "drill.toml:29: unknown objective kind \"ascent_speed\""},
    {"ImpossiblePressure", "surface_pressure_mb = 980", "surface_pressure_mb = 2000",
     "drill.toml:5: \"surface_pressure_mb\" is 2000 mb; it must be from 750 to 1050 mb"},
    {"ImpossibleDepth", "at_depth = 20", "at_depth = 400",
     "drill.toml:11: \"at_depth\" is 400 m; it must be from 1 to 40 m"},
    {"TextForANumber", "depth_metres = 5", "depth_metres = \"5\"",
     "drill.toml:8: \"depth_metres\" must be a whole number of m"},
    {"TwoConditions", "delay = 90", "at_time = 60",
     "drill.toml:9: trigger \"stuck\" needs exactly one of at_time, at_depth, on_event, "
     "po2_below, po2_above or after"},
    {"AfterAMissingTrigger", "after = \"stuck\"", "after = \"stack\"",
     "drill.toml:15: trigger \"later\" starts after \"stack\", which is no trigger of this lesson"},
    {"MissingTitle", "title = \"Stuck solenoid\"", "", "drill.toml: \"title\" is missing"},
    {"NoHandsetName", "handsets_on = [\"left\"]", "handsets_on = [\"middle\"]",
     "drill.toml:7: unknown handset (left or right) \"middle\""},
};

class LessonFileMistake : public ::testing::TestWithParam<Mistake> {};

TEST_P(LessonFileMistake, IsRefusedWithItsLine) {
  std::string text = kLesson;
  const std::string from = GetParam().replace;
  const std::size_t at = text.find(from + "\n");
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), GetParam().with);
  const ReadResult r = readLesson(text, kPath);
  EXPECT_FALSE(r.lesson);
  ASSERT_FALSE(r.errors.empty());
  EXPECT_EQ(errorLine(kPath, r.errors[0]).substr(0, std::string(GetParam().expected).size()),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Each, LessonFileMistake, ::testing::ValuesIn(kMistakes),
                         [](const ::testing::TestParamInfo<Mistake>& c) { return std::string(c.param.name); });

TEST(LessonFile, AMissingFileIsOneErrorWithoutALine) {
  const ReadResult r = readLessonFile("/nonexistent/drill.toml");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(errorLine("/nonexistent/drill.toml", r.errors[0]), "/nonexistent/drill.toml: cannot be read");
}

}  // namespace
}  // namespace pelasim::lesson

namespace pelasim::lesson {
namespace {

// The guide's complete example is a lesson the simulator accepts as it stands.
TEST(LessonGuide, TheCompleteExampleReadsClean) {
  std::ifstream in(std::string(PELASIM_SOURCE_DIR) + "/docs/lessons.md");
  const std::string guide{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::size_t section = guide.find("## A complete example");
  ASSERT_NE(section, std::string::npos);
  const std::size_t start = guide.find("```toml\n", section);
  ASSERT_NE(start, std::string::npos);
  const std::size_t end = guide.find("```", start + 8);
  const ReadResult r = readLesson(guide.substr(start + 8, end - start - 8), "lessons.md");
  for (const LessonError& e : r.errors) ADD_FAILURE() << errorLine("lessons.md", e);
  ASSERT_TRUE(r.lesson);
  EXPECT_EQ(r.lesson->triggers.size(), 2u);
  EXPECT_EQ(r.lesson->objectives.size(), 2u);
}

}  // namespace
}  // namespace pelasim::lesson
