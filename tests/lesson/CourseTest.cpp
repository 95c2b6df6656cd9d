// Every bundled lesson flown twice on virtual time: a model flight that meets every objective,
// and a careless flight that misses the objectives the lesson is about (and only those).
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>

#include "debrief/LessonRecord.h"
#include "lesson/Course.h"
#include "lesson/LessonFlight.h"

namespace pelasim::lesson::test {
namespace {

using Fly = std::function<void(Flight&)>;

struct CourseCase {
  const char* file;
  Fly model;
  Fly careless;
  // Outcomes of the careless flight by objective id; the others must be met.
  std::map<std::string, Outcome> carelessMisses;
};

std::string lessonPath(const char* file) {
  return std::string(PELASIM_SOURCE_DIR) + "/lessons/" + file;
}

// At depth on the high setpoint, as most drills begin.
void downOnHigh(Flight& f, int metres) {
  ASSERT_TRUE(f.prepare());
  f.descendTo(10);
  f.highSetpoint();
  f.descendTo(metres);
}

const CourseCase kCourse[] = {
    {"01-checklist-and-calibration.toml",
     [](Flight& f) {
       ASSERT_TRUE(f.prepare());
       f.descendTo(10);
       f.seconds(120);
     },
     [](Flight& f) {
       ASSERT_TRUE(f.prepare(false));
       f.descendTo(10);
       f.seconds(120);
     },
     {{"calibrate", Outcome::Missed}}},
    {"02-setpoint-on-the-descent.toml",
     [](Flight& f) {
       ASSERT_TRUE(f.prepare());
       f.descendTo(11);
       f.highSetpoint();
       f.descendTo(20);
       f.seconds(120);
     },
     [](Flight& f) {
       ASSERT_TRUE(f.prepare());
       f.descendTo(20);
       f.seconds(180);
     },
     {{"high-setpoint", Outcome::Missed}}},
    {"03-drifting-cell.toml",
     [](Flight& f) {
       downOnHigh(f, 15);
       ASSERT_TRUE(f.waitForScreen(ds::CellWarningScreen, 40 * 60));
       f.seconds(20);
       f.flushDiluent();
       f.seconds(60);
     },
     [](Flight& f) {
       downOnHigh(f, 15);
       ASSERT_TRUE(f.waitForScreen(ds::CellWarningScreen, 40 * 60));
       f.seconds(300);
     },
     {{"flush", Outcome::Missed}}},
    {"04-failed-cell.toml",
     [](Flight& f) {
       downOnHigh(f, 20);
       ASSERT_TRUE(f.waitForScreen(ds::CellWarningScreen, 10 * 60));
       f.seconds(15);
       f.flushDiluent();
       f.seconds(60);
     },
     [](Flight& f) {
       downOnHigh(f, 20);
       ASSERT_TRUE(f.waitForScreen(ds::CellWarningScreen, 10 * 60));
       f.seconds(300);
     },
     {{"flush", Outcome::Missed}}},
    {"05-solenoid-stuck-closed.toml",
     [](Flight& f) {
       downOnHigh(f, 20);
       ASSERT_TRUE(f.waitForScreen(ds::LowOxygenScreen, 60 * 60));
       f.seconds(5);
       f.bailOut();
       f.seconds(60);
     },
     [](Flight& f) {
       downOnHigh(f, 20);
       ASSERT_TRUE(f.waitForScreen(ds::LowOxygenScreen, 60 * 60));
       f.seconds(240);
     },
     {{"react", Outcome::Missed}, {"hypoxia", Outcome::Missed}}},
    {"06-solenoid-stuck-open.toml",
     [](Flight& f) {
       downOnHigh(f, 20);
       f.seconds(90);
       f.step(element::oxygenValve);
       f.flushDiluent(3000);
       f.seconds(120);
     },
     [](Flight& f) {
       downOnHigh(f, 20);
       f.seconds(400);
     },
     {{"shut", Outcome::Missed}, {"high", Outcome::Missed}}},
    {"07-master-battery.toml",
     [](Flight& f) {
       downOnHigh(f, 15);
       f.seconds(120);
       f.ascendTo(0);
     },
     [](Flight& f) {
       downOnHigh(f, 15);
       f.seconds(420);
       f.ascendTo(0, 1);
     },
     {{"ascend", Outcome::Late}, {"rate", Outcome::Missed}}},
    {"08-free-flow-bail-out.toml",
     [](Flight& f) {
       downOnHigh(f, 25);
       f.seconds(90);
       f.bailOut();
       f.seconds(30);
       f.ascendTo(0);
     },
     [](Flight& f) {
       downOnHigh(f, 25);
       f.seconds(500);
       f.ascendTo(0, 2);
     },
     {{"bail-out", Outcome::Missed}, {"ascent", Outcome::Late}, {"rate", Outcome::Missed}}},
};

class Course : public ::testing::TestWithParam<CourseCase> {
 protected:
  static Lesson load(const char* file) {
    const ReadResult r = readLessonFile(lessonPath(file));
    for (const LessonError& e : r.errors) ADD_FAILURE() << errorLine(lessonPath(file), e);
    return r.lesson.value_or(Lesson{});
  }
  static std::string report(const LessonRun& run) {
    std::string text;
    for (std::size_t i = 0; i < run.results().size(); ++i)
      text += run.lesson().objectives[i].id + ": " + outcomeText(run.results()[i].outcome) + " (" +
              run.results()[i].detail + ")\n";
    return text;
  }
};

TEST_P(Course, TheModelFlightMeetsEveryObjective) {
  const Lesson lesson = load(GetParam().file);
  Flight flight(lesson);
  GetParam().model(flight);
  flight.end();
  EXPECT_TRUE(flight.lessonRun.passed()) << report(flight.lessonRun);
  if (getenv("LESSON_REPORT")) std::cout << report(flight.lessonRun);
  for (const ObjectiveResult& r : flight.lessonRun.results()) EXPECT_EQ(r.outcome, Outcome::Met);
}

TEST_P(Course, TheCarelessFlightMissesWhatTheLessonIsAbout) {
  const Lesson lesson = load(GetParam().file);
  Flight flight(lesson);
  GetParam().careless(flight);
  flight.end();
  EXPECT_FALSE(flight.lessonRun.passed());
  if (getenv("LESSON_REPORT")) std::cout << report(flight.lessonRun);
  // The dive's events keep the lesson and its outcome for the library and the report.
  const auto kept = debrief::lessonOf(flight.collected.dive.events);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->title, lesson.title);
  EXPECT_EQ(kept->briefing, lesson.briefing);
  EXPECT_EQ(kept->passed, false);
  ASSERT_EQ(kept->objectives.size(), lesson.objectives.size());
  for (std::size_t i = 0; i < lesson.objectives.size(); ++i)
    EXPECT_EQ(kept->objectives[i].rfind(outcomeText(flight.lessonRun.results()[i].outcome), 0), 0u)
        << kept->objectives[i];
  for (std::size_t i = 0; i < lesson.objectives.size(); ++i) {
    const auto it = GetParam().carelessMisses.find(lesson.objectives[i].id);
    const Outcome expected = it == GetParam().carelessMisses.end() ? Outcome::Met : it->second;
    EXPECT_EQ(outcomeText(flight.lessonRun.results()[i].outcome), std::string(outcomeText(expected)))
        << lesson.objectives[i].id << "\n" << report(flight.lessonRun);
  }
}

INSTANTIATE_TEST_SUITE_P(Bundled, Course, ::testing::ValuesIn(kCourse),
                         [](const ::testing::TestParamInfo<CourseCase>& c) {
                           std::string n = c.param.file;
                           std::string out;
                           for (char ch : n.substr(0, n.size() - 5))
                             out += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return out;
                         });

TEST(CourseList, EveryBundledLessonIsListedWithItsTitle) {
  const auto entries = listLessons({std::string(PELASIM_SOURCE_DIR) + "/lessons"});
  ASSERT_EQ(entries.size(), std::size(kCourse));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_TRUE(entries[i].readable) << entries[i].path;
    EXPECT_EQ(entries[i].path, lessonPath(kCourse[i].file));
    EXPECT_FALSE(entries[i].title.empty());
  }
}

}  // namespace
}  // namespace pelasim::lesson::test
