// The data file at exit: a read-only file or one another simulator wrote during the dive is
// replaced only when the user says so, and an exit without questions never waits for one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "support/SimFixture.h"

namespace pelasim {
namespace {

namespace fs = std::filesystem;

enum class Old { ReadOnly, WrittenMeanwhile, Untouched, FolderUnwritable };
struct ExitCase {
  const char* name;
  Old old;
  bool noQuestions;
  bool answer;          // the answer to the question, when one is asked
  int questions;        // questions asked
  const char* written;  // "same", "beside" or "fallback"
};

class ExitDataFileTest : public testing::SimTest, public ::testing::WithParamInterface<ExitCase> {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("pelasim-exit-" + std::to_string(::getpid()) + "-" + GetParam().name);
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir;
};

TEST_P(ExitDataFileTest, KeepsTheOldFileUnlessTold) {
  const ExitCase& c = GetParam();
  fs::path target = dir / "OrvanePelaSimData.csv";
  ExitOptions options;
  options.noQuestions = c.noQuestions;
  options.fallbackFolder = (dir / "fallback").string();
  if (c.old == Old::FolderUnwritable) {
    std::ofstream(dir / "blocker") << "x";  // a file where the folder should be
    target = dir / "blocker" / "OrvanePelaSimData.csv";
  } else {
    std::ofstream(target) << "old dive";
    options.dataFileStampAtStart = dataFileStamp(target.string());
    if (c.old == Old::ReadOnly) fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    if (c.old == Old::WrittenMeanwhile) {
      fs::last_write_time(target, fs::last_write_time(target) + std::chrono::seconds(5));
    }
  }
  host.runFor(3000);
  host.askAnswers.push_back(c.answer);
  const std::string written = writeDataFileSafely(sim, target.string(), options);
  EXPECT_EQ(static_cast<int>(host.questions.size()), c.questions);
  const std::string where = c.written;
  if (where == "same") {
    EXPECT_EQ(written, target.string());
  } else if (where == "beside") {
    EXPECT_EQ(written, (dir / "OrvanePelaSimData-2026-12-07-093000.csv").string());
    EXPECT_EQ(read(target), "old dive");
  } else {
    EXPECT_EQ(written, (dir / "fallback" / "OrvanePelaSimData-2026-12-07-093000.csv").string());
  }
  EXPECT_NE(read(written).find("Orvane Pelagrinova Simulator"), std::string::npos);
  EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitDataFileTest,
    ::testing::Values(ExitCase{"ReadOnlyReplacedOnYes", Old::ReadOnly, false, true, 1, "same"},
                      ExitCase{"ReadOnlyKeptOnNo", Old::ReadOnly, false, false, 1, "beside"},
                      ExitCase{"ReadOnlyKeptWithoutQuestions", Old::ReadOnly, true, true, 0, "beside"},
                      ExitCase{"OtherSimulatorKeptOnNo", Old::WrittenMeanwhile, false, false, 1, "beside"},
                      ExitCase{"OtherSimulatorKeptWithoutQuestions", Old::WrittenMeanwhile, true, true, 0, "beside"},
                      ExitCase{"UntouchedReplacedWithoutAsking", Old::Untouched, false, false, 0, "same"},
                      ExitCase{"UnwritableFolderFallsBackWithoutQuestions", Old::FolderUnwritable, true, true, 0, "fallback"}),
    [](const ::testing::TestParamInfo<ExitCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace pelasim
