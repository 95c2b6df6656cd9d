// The lesson commands of the simulator's command line, answered without a window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "lesson/LessonCommands.h"

namespace pelasim::lesson {
namespace {

struct Answer {
  std::optional<int> code;
  std::string out, err;
};

Answer run(std::vector<std::string> args, const std::string& programFolder) {
  std::ostringstream out, err;
  Answer a;
  a.code = runLessonCommand(args, programFolder, out, err);
  a.out = out.str();
  a.err = err.str();
  return a;
}

TEST(LessonCommands, ListEveryLessonWithItsTitleAndCheckFiles) {
  const std::string program = std::string(PELASIM_SOURCE_DIR);  // holds lessons/
  const Answer list = run({"--list-lessons"}, program);
  ASSERT_EQ(list.code, 0);
  EXPECT_EQ(list.out.rfind(program + "/lessons/01-checklist-and-calibration.toml\tPre-dive checklist and calibration\n", 0), 0u)
      << list.out;
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 8);

  const std::string good = program + "/lessons/05-solenoid-stuck-closed.toml";
  const Answer ok = run({"--check-lesson", good}, program);
  EXPECT_EQ(ok.code, 0);
  EXPECT_EQ(ok.out, good + ": ok\n");

  const std::string bad = (std::filesystem::temp_directory_path() / "pelasim-bad-lesson.toml").string();
  std::ofstream(bad) << "title = \"x\"\nbriefing = \"y\"\n[start]\ndepth_metres = 99\n[[objective]]\nid = 1\n";
  const Answer refused = run({"--check-lesson", bad}, program);
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err, bad + ":4: \"depth_metres\" is 99 m; it must be from 0 to 40 m\n" + bad +
                             ":5: \"text\" is missing\n" + bad + ":5: \"kind\" is missing\n" + bad +
                             ":6: \"id\" must be text in double quotes\n");
  std::filesystem::remove(bad);

  EXPECT_EQ(run({"--check-lesson"}, program).code, 2);
  EXPECT_FALSE(run({"--station"}, program).code);  // not a lesson command: the window starts
}

}  // namespace
}  // namespace pelasim::lesson
