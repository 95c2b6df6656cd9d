// The dive library and its recorder: what is kept, what survives a kill, and how a library
// that cannot be used is reported once without stopping anything.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/HeadlessRun.h"
#include "library/DiveLibrary.h"
#include "library/DiveRecorder.h"
#include "record/DiveRecord.h"
#include "datafile/DataFile.h"

namespace pelasim::library {
namespace {

namespace fs = std::filesystem;

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    dir = fs::temp_directory_path() / ("pelasim-library-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
  }
  std::string folder() const { return dir.string(); }
  std::string dbPath() const { return (dir / kDatabaseName).string(); }
  std::unique_ptr<DiveLibrary> openRW() {
    std::string error;
    auto lib = DiveLibrary::open(folder(), DiveLibrary::Access::ReadWrite, error);
    EXPECT_TRUE(lib) << error;
    return lib;
  }
  static NewDive dive(const std::string& trainee = "anna", const std::string& when = "2026-12-07 09:30:00") {
    return {when, "1.0.2", trainee, "surface pressure 1013 mbar"};
  }
  std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // A recorder whose problems are counted; returns what it reported.
  struct Reported {
    std::mutex m;
    std::vector<std::string> messages;
  };

  fs::path dir;
};

TEST_F(LibraryTest, EveryEventOfASecondIsKeptWhileTheDataFileKeepsTheLaterOne) {
  HeadlessRun run;
  Reported reported;
  std::string error;
  auto recorder = std::make_unique<DiveRecorder>(
      DiveLibrary::open(folder(), DiveLibrary::Access::ReadWrite, error), error, dive(),
      [&](const std::string& m) { std::lock_guard l(reported.m); reported.messages.push_back(m); });
  run.sim.observer = recorder.get();
  run.host.runFor(2100);  // samples of seconds 1 and 2
  run.sim.record("O2 Valve Opened");
  run.sim.record("Manual O2 Addition");
  run.host.runFor(1000);
  const std::string dataFile = dataFileText(run.sim);
  run.sim.observer = nullptr;
  ASSERT_TRUE(recorder->finish());
  EXPECT_TRUE(reported.messages.empty());

  auto lib = openRW();
  const auto d = lib->load(recorder->diveId());
  ASSERT_TRUE(d);
  ASSERT_EQ(d->samples.size(), 3u);
  EXPECT_FALSE(d->samples[0].handsetPO2.has_value());  // no handset has read anything
  ASSERT_EQ(d->events.size(), 2u);
  EXPECT_EQ(d->events[0].text, "O2 Valve Opened");
  EXPECT_EQ(d->events[1].text, "Manual O2 Addition");
  EXPECT_EQ(d->events[0].second, 2);
  EXPECT_TRUE(d->info.endedNormally);
  // The data file keeps only the later message of second 2, and the export agrees byte for byte.
  EXPECT_NE(dataFile.find("\"Manual O2 Addition\""), std::string::npos);
  EXPECT_EQ(dataFile.find("O2 Valve Opened"), std::string::npos);
  const LocalDateTime now = run.host.localDateTime();
  EXPECT_EQ(library::dataFileText(*d, now.year, now.month, now.day, now.hour, now.minute, now.second),
            dataFile);
}

TEST_F(LibraryTest, ListIsNewestFirstFilteredByTraineeWithItsSummary) {
  auto lib = openRW();
  const auto a = *lib->beginDive(dive("anna", "2026-12-07 09:00:00"));
  const auto b = *lib->beginDive(dive("ben", "2026-12-07 10:00:00"));
  const auto c = *lib->beginDive(dive("anna", "2026-12-07 11:00:00"));
  ASSERT_TRUE(lib->append(c, {{1, 0.21, std::nullopt, 3, 0.7, 16}, {2, 0.3, 0.29, 12, 0.7, 16}},
                          {{1500, 1, EventKind::Status, "Warning: Low O2", ""},
                           {1800, 1, EventKind::Status, "O2 Valve Opened", ""},
                           {2500, 2, EventKind::Status, "Warning: Low O2", ""}}));
  ASSERT_TRUE(lib->endDive(c, kEndedNormally));
  const auto all = lib->list();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].id, c);
  EXPECT_EQ(all[1].id, b);
  EXPECT_EQ(all[2].id, a);
  EXPECT_EQ(all[0].seconds, 2);
  EXPECT_EQ(all[0].maxDepth, 12);
  EXPECT_EQ(all[0].warnings, 2);
  EXPECT_TRUE(all[0].endedNormally());
  EXPECT_FALSE(all[1].endedNormally());
  const auto anna = lib->list("anna");
  ASSERT_EQ(anna.size(), 2u);
  EXPECT_EQ(anna[1].id, a);
  EXPECT_EQ(lib->trainees(), (std::vector<std::string>{"anna", "ben"}));
}

TEST_F(LibraryTest, DivesOfAProcessThatIsGoneAreMarkedEndedUnexpectedly) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  auto lib = openRW();
  const auto mine = *lib->beginDive(dive());
  const auto gone = *lib->beginDive(dive("ben"));
  sqlite3* db = nullptr;
  sqlite3_open(dbPath().c_str(), &db);
  const std::string sql = "UPDATE dives SET owner_pid=" + std::to_string(child) + " WHERE id=" + std::to_string(gone);
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  const auto closed = lib->closeInterruptedDives();
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].id, gone);
  EXPECT_EQ(lib->summary(gone)->state, kEndedUnexpectedly);
  EXPECT_EQ(lib->summary(mine)->state, kRunning);  // this process still runs
  EXPECT_TRUE(lib->closeInterruptedDives().empty());
}

TEST_F(LibraryTest, AKilledDiveKeepsEverySecondButTheLast) {
  constexpr int kSeconds = 3;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string error;
    DiveRecorder rec(DiveLibrary::open(folder(), DiveLibrary::Access::ReadWrite, error), error, dive(), {});
    for (int s = 1; s < 100; ++s) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1000));
      rec.event({s * 1000 - 10, s - 1, EventKind::Status, "Breathing Started", ""});
      rec.sampled({s, 0.21, 0.2, s, 0.7, 16});
    }
    ::_exit(0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(kSeconds * 1000 + 300));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  auto lib = openRW();
  const auto closed = lib->closeInterruptedDives();
  ASSERT_EQ(closed.size(), 1u);
  const auto d = lib->load(closed[0].id);
  ASSERT_TRUE(d);
  EXPECT_GE(static_cast<int>(d->samples.size()), kSeconds - 1);
  // Every event up to the last kept second is there.
  EXPECT_EQ(d->events.size(), d->samples.size());
  EXPECT_FALSE(d->info.endedNormally);
}

// A library that cannot be used: the recorder says so once and takes every later call.
enum class Trouble { UnwritableFolder, FullDisk, CorruptFile, NewerSchema };
struct TroubleCase {
  Trouble trouble;
  const char* name;
  const char* words;  // what the message says
};

class LibraryTroubleTest : public LibraryTest, public ::testing::WithParamInterface<TroubleCase> {};

TEST_P(LibraryTroubleTest, IsReportedOnceAndTheDiveGoesOn) {
  const TroubleCase& c = GetParam();
  std::string folderUsed = folder();
  if (c.trouble == Trouble::UnwritableFolder) {
    // A file where the folder's parent should be: no folder can be made there, even by root.
    std::ofstream(dir / "blocker") << "x";
    folderUsed = (dir / "blocker" / "OrvanePelaSim").string();
  } else if (c.trouble == Trouble::CorruptFile) {
    std::ofstream(dbPath(), std::ios::binary) << std::string(8192, 'x');
  } else if (c.trouble == Trouble::NewerSchema) {
    sqlite3* db = nullptr;
    sqlite3_open(dbPath().c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE future(x); PRAGMA user_version=7;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  const std::string before = bytesOf(dbPath());

  std::string error;
  auto lib = DiveLibrary::open(folderUsed, DiveLibrary::Access::ReadWrite, error);
  if (c.trouble == Trouble::FullDisk) {
    ASSERT_TRUE(lib);
    lib->simulateFullDisk();
  }
  Reported reported;
  {
    HeadlessRun run;
    DiveRecorder rec(std::move(lib), error, dive(), [&](const std::string& m) {
      std::lock_guard l(reported.m);
      reported.messages.push_back(m);
    });
    run.sim.observer = &rec;
    for (int i = 0; i < 300; ++i) run.sim.record("Warning: Low O2");
    run.host.runFor(3500);
    run.sim.observer = nullptr;
    rec.finish();
    EXPECT_EQ(run.sim.st.recordRow, 3);  // the simulation went on
  }
  ASSERT_EQ(reported.messages.size(), 1u);
  EXPECT_NE(reported.messages[0].find(c.words), std::string::npos) << reported.messages[0];
  EXPECT_NE(reported.messages[0].find("data file is still written"), std::string::npos);
  if (c.trouble == Trouble::CorruptFile || c.trouble == Trouble::NewerSchema) {
    EXPECT_EQ(bytesOf(dbPath()), before);  // never damaged further
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibraryTroubleTest,
    ::testing::Values(TroubleCase{Trouble::UnwritableFolder, "UnwritableFolder", "could not be made"},
                      TroubleCase{Trouble::FullDisk, "FullDisk", "disk is full"},
                      TroubleCase{Trouble::CorruptFile, "CorruptFile", "damaged"},
                      TroubleCase{Trouble::NewerSchema, "NewerSchema", "newer version"}),
    [](const ::testing::TestParamInfo<TroubleCase>& i) { return std::string(i.param.name); });

TEST_F(LibraryTest, ANewerLibraryIsReadButNeverWritten) {
  {
    auto lib = openRW();
    const auto id = *lib->beginDive(dive());
    ASSERT_TRUE(lib->append(id, {{1, 0.21, 0.21, 0, 0.7, 16}}, {}));
  }
  sqlite3* db = nullptr;
  sqlite3_open(dbPath().c_str(), &db);
  sqlite3_exec(db, "PRAGMA user_version=2; PRAGMA wal_checkpoint(TRUNCATE);", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  const std::string before = bytesOf(dbPath());
  std::string error;
  auto lib = DiveLibrary::open(folder(), DiveLibrary::Access::ReadWrite, error);
  ASSERT_TRUE(lib);
  EXPECT_TRUE(lib->readOnly());
  EXPECT_NE(error.find("newer version"), std::string::npos);
  EXPECT_EQ(lib->list().size(), 1u);
  EXPECT_FALSE(lib->beginDive(dive()));
  EXPECT_TRUE(lib->closeInterruptedDives().empty());
  lib.reset();
  EXPECT_EQ(bytesOf(dbPath()), before);
}

}  // namespace
}  // namespace pelasim::library
