// SIGTERM, SIGINT and SIGHUP end a running simulator through its exit routine within two
// seconds: the data file written, the dive closed in the library as ended normally.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "library/DiveLibrary.h"
#include "datafile/DataFile.h"

namespace pelasim::library {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct SignalCase {
  int number;
  const char* name;
};

class ExitSignalTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(ExitSignalTest, RunsTheExitRoutineAndEndsWithinTwoSeconds) {
  const fs::path dir = fs::temp_directory_path() /
                       ("pelasim-signal-" + std::to_string(::getpid()) + "-" + GetParam().name);
  fs::remove_all(dir);
  fs::create_directories(dir / "data");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(3);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::execl(PELASIM_SIGNAL_CHILD, PELASIM_SIGNAL_CHILD, static_cast<char*>(nullptr));
    ::_exit(4);
  }
  // Wait until the dive has a few seconds in the library.
  const std::string folder = (dir / "data" / "OrvanePelaSim").string();
  std::int64_t diveId = 0;
  for (int i = 0; i < 100 && diveId == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::string error;
    if (auto lib = DiveLibrary::open(folder, DiveLibrary::Access::Read, error)) {
      const auto dives = lib->list();
      if (!dives.empty() && dives[0].seconds >= 2) diveId = dives[0].id;
    }
  }
  ASSERT_NE(diveId, 0) << "the simulator kept no dive";
  const auto sent = Clock::now();
  ::kill(child, GetParam().number);
  int status = 0;
  pid_t done = 0;
  while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && Clock::now() - sent < std::chrono::seconds(5))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (done == 0) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    FAIL() << "the simulator did not end";
  }
  EXPECT_LT(Clock::now() - sent, std::chrono::seconds(2));
  EXPECT_TRUE(WIFEXITED(status)) << "ended by a signal instead of its exit routine";
  EXPECT_TRUE(fs::exists(dir / std::string(datafile::kFileName)));
  std::string error;
  auto lib = DiveLibrary::open(folder, DiveLibrary::Access::Read, error);
  ASSERT_TRUE(lib) << error;
  EXPECT_EQ(lib->summary(diveId)->state, kEndedNormally);
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Signals, ExitSignalTest,
                         ::testing::Values(SignalCase{SIGTERM, "SIGTERM"}, SignalCase{SIGINT, "SIGINT"},
                                           SignalCase{SIGHUP, "SIGHUP"}),
                         [](const ::testing::TestParamInfo<SignalCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace pelasim::library
