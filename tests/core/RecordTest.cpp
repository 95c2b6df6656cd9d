// The dive record, its status messages and the data file written at exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "record/DiveRecord.h"
#include "datafile/DataFile.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

namespace fs = std::filesystem;
using testing::SimTest;

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs a test inside a fresh temporary folder, the current folder of the exit routine.
class InTempDir : public SimTest {
 protected:
  void SetUp() override {
    old = fs::current_path();
    dir = fs::temp_directory_path() /
          ("pelasim-test-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(old);
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }
  fs::path old, dir;
};

TEST_F(SimTest, RecordingSamplesOncePerSecond) {
  host.runFor(3000);
  EXPECT_EQ(st.recordRow, 3);
  const RecordRow& r = st.diveRecord.rows[3];
  EXPECT_TRUE(r.sampled);
  EXPECT_EQ(r.loopVolume, 16);
  EXPECT_EQ(r.setpoint, 0.7);
  EXPECT_EQ(r.handsetPO2, 0);  // no master has voted yet
}

TEST_F(SimTest, TheLastMessageOfASecondWins) {
  host.runFor(1000);
  sim.record("O2 Valve Opened");
  sim.record("Mouthpiece Opened");
  EXPECT_EQ(st.diveRecord.rows[1].message, "Mouthpiece Opened");
}

TEST_F(SimTest, NothingIsRecordedAfterFiveHours) {
  st.recordRow = 17999;
  host.runFor(1000);
  EXPECT_EQ(st.recordRow, 18000);
  sim.record("Options Changed");
  EXPECT_EQ(st.diveRecord.rows[18000].message, "Options Changed");
  host.runFor(5000);
  EXPECT_EQ(st.recordRow, 18001);
  sim.record("Bailed Out");  // dropped, nothing breaks
  EXPECT_EQ(st.diveRecord.rows[18000].message, "Options Changed");
}

TEST_F(SimTest, VotedReadingIsRecorded) {
  st.votedPO2 = 1.3;
  host.runFor(1000);
  EXPECT_EQ(st.diveRecord.rows[1].handsetPO2, 1.3);
}

TEST_F(SimTest, DataFileByteForByte) {
  sim.record("before the first sample");  // row 0: never written
  host.runFor(1000);
  sim.record("Manual O2 Addition");
  st.loopPO2 = 1.28;
  st.votedPO2 = 1.3;
  st.depthMetres = 20;
  st.currentSetpoint = 1.3;
  host.runFor(2000);
  st.loopPO2 = 0.7;
  host.runFor(0);
  const std::string expected =
      "\"Orvane Pelagrinova Simulator\",#2026-12-07#,#09:30:00#\r\n"
      "\r\n"
      "\"Time (secs)\",\"Real PO2\",\"Handset PO2\",\"Depth\",\"Setpoint\",\"loop Volume\","
      "\"Status Messages\"\r\n"
      "\r\n"
      "1,0.21,0,0,0.7,16,\"Manual O2 Addition\"\r\n"
      "2,1.28,1.3,20,1.3,16,\r\n"
      "3,1.28,1.3,20,1.3,16,\r\n"
      "\r\n"
      "\"" + std::string(datafile::kTrailerNotice) + "\"\r\n";
  EXPECT_EQ(dataFileText(sim), expected);
}

TEST_F(InTempDir, ExitSavesSettingsWritesTheFileAndHandsOverToTheViewer) {
  host.runFor(3000);
  exitRoutine(sim);
  EXPECT_TRUE(host.ended);
  EXPECT_EQ(host.resultsShown, "OrvanePelaSimData.csv");
  EXPECT_FALSE(sim.win[Main::Form].visible);
  EXPECT_EQ(host.settings.at("CO2"), "14");
  EXPECT_EQ(host.settings.at("LeftTimer"), "14");
  EXPECT_EQ(host.settings.at("LeftBattery"), "6.2");
  EXPECT_EQ(host.settings.at("RightBattery"), "6.2");
  const std::string text = readAll(dir / "OrvanePelaSimData.csv");
  EXPECT_EQ(text, dataFileText(sim));
  EXPECT_NE(text.find("3,0.21,0,0,0.7,16,\r\n\r\n"), std::string::npos);
  // No temporary file is left behind.
  int files = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1);
  // It runs once: a second exit changes nothing.
  host.settings.clear();
  exitRoutine(sim);
  EXPECT_TRUE(host.settings.empty());
}

TEST_F(InTempDir, ExitReplacesAnOldFileWhole) {
  { std::ofstream(dir / "OrvanePelaSimData.csv") << std::string(100000, 'x'); }
  host.runFor(1000);
  exitRoutine(sim);
  EXPECT_EQ(readAll(dir / "OrvanePelaSimData.csv"), dataFileText(sim));
}

TEST_F(InTempDir, AnUnwritableFolderOffersToSaveElsewhere) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::create_directories(dir / "elsewhere");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  host.runFor(2000);
  host.askAnswers = {true};
  host.savePaths = {(dir / "elsewhere" / "dive.csv").string()};
  exitRoutine(sim);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_NE(host.questions[0].find("OrvanePelaSimData.csv"), std::string::npos);
  EXPECT_NE(host.questions[0].find("Permission denied"), std::string::npos);
  EXPECT_EQ(host.resultsShown, (dir / "elsewhere" / "dive.csv").string());
  EXPECT_EQ(readAll(dir / "elsewhere" / "dive.csv"), dataFileText(sim));
}

TEST_F(InTempDir, AFailedWriteNamesThePathAndTheReason) {
  host.runFor(1000);
  // A folder that does not exist cannot hold the file.
  host.askAnswers = {true, false};
  host.savePaths = {(dir / "missing" / "dive.csv").string()};
  const std::string written = writeDataFileSafely(sim, (dir / "nope" / "OrvanePelaSimData.csv").string());
  EXPECT_EQ(written, "");
  ASSERT_EQ(host.questions.size(), 2u);
  EXPECT_NE(host.questions[0].find((dir / "nope" / "OrvanePelaSimData.csv").string()), std::string::npos);
  EXPECT_NE(host.questions[0].find("No such file or directory"), std::string::npos);
  EXPECT_NE(host.questions[1].find((dir / "missing" / "dive.csv").string()), std::string::npos);
}

TEST_F(InTempDir, SettingsThatCannotBeSavedAreReportedAndTheFileIsStillWritten) {
  host.settingsWritable = false;
  host.runFor(1000);
  exitRoutine(sim);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(fs::exists(dir / "OrvanePelaSimData.csv"));
}

}  // namespace
}  // namespace pelasim
