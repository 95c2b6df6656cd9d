// Bailing out to open circuit: the alarm, the breathing picture, the dive record and the
// "Bailed !" dialog, and the two ways out of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "app/Startup.h"
#include "dialogs/Dialogs.h"
#include "datafile/DataFile.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimHarness;
using testing::SimTest;

// The diver breathing from an open loop: large breathing picture, breaths running.
void breatheFromOpenLoop(SimHarness& h) {
  h.st().mouthpieceState = Mouthpiece::Open;
  h.st().breathing = 1;
  h.sim->win.setGeometry(Main::Image19, 6120, 1200, 1080, 1800);
  h.sim->enable(TimerId::BreathTimer);
}

std::string messageAt(const Simulation& sim, int row) {
  return sim.st.diveRecord.rows[static_cast<std::size_t>(row)].message;
}

// Mouthpiece open, "Warnings" ticked, "Sound" ticked.
using AlarmCase = std::tuple<bool, bool, bool>;

class BailOutAlarm : public ::testing::TestWithParam<AlarmCase> {};

TEST_P(BailOutAlarm, SoundsOnlyWithOpenMouthpieceWarningsAndSound) {
  const auto [open, warnings, sound] = GetParam();
  SimHarness h;
  Simulation& sim = *h.sim;
  breatheFromOpenLoop(h);
  if (!open) h.st().mouthpieceState = Mouthpiece::Closed;
  if (!warnings) clickCheckBox(sim, Main::Check2);
  if (!sound) clickCheckBox(sim, Main::Check1);
  ASSERT_EQ(sim.ticked(Main::Check2), warnings);
  ASSERT_EQ(h.st().soundOn, sound ? 1 : 0);

  const std::size_t before = h.host.sounds.size();
  h.click(Main::Image20);

  if (open && warnings && sound)
    EXPECT_EQ(h.soundsSince(before), std::vector<std::string>{"0:alarm.wav"});  // General channel
  else
    EXPECT_TRUE(h.soundsSince(before).empty());

  // Whatever the boxes say, the diver has left the loop.
  EXPECT_EQ(h.st().breathing, 0);
  EXPECT_FALSE(sim.timers.enabled(TimerId::BreathTimer));
  const Element& pic = sim.win[Main::Image19];
  EXPECT_EQ(pic.left, 6360);
  EXPECT_EQ(pic.top, 2160);
  EXPECT_EQ(pic.width, 600);
  EXPECT_EQ(pic.height, 480);
  EXPECT_TRUE(sim.bailed[BailedId::Form].visible);
  EXPECT_EQ(h.st().mouthpieceState, open ? Mouthpiece::Open : Mouthpiece::Closed);
}

INSTANTIATE_TEST_SUITE_P(AllBoxes, BailOutAlarm,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<AlarmCase>& i) {
                           return std::string(std::get<0>(i.param) ? "Open" : "Closed") +
                                  (std::get<1>(i.param) ? "Warnings" : "NoWarnings") +
                                  (std::get<2>(i.param) ? "Sound" : "NoSound");
                         });

TEST_F(SimTest, BailingOutTwiceAlarmsTwiceAndKeepsOneDialog) {
  breatheFromOpenLoop(h);
  h.click(Main::Image20);
  h.click(Main::Image20);
  EXPECT_EQ(h.soundsSince(), (std::vector<std::string>{"0:alarm.wav", "0:alarm.wav"}));
  EXPECT_TRUE(sim.bailed[BailedId::Form].visible);
}

TEST_F(SimTest, RecordShowsBailOutAndReturnInTheirSeconds) {
  breatheFromOpenLoop(h);
  host.runFor(5000);
  ASSERT_EQ(st.recordRow, 5);
  h.click(Main::Image20);
  host.runFor(3000);
  ASSERT_EQ(st.recordRow, 8);
  dispatchBailed(sim, BailedId::Command2, MouseEvent::Click);

  EXPECT_EQ(messageAt(sim, 5), "Bailed Out");
  EXPECT_EQ(messageAt(sim, 8), "Returned to loop");
  for (int r : {4, 6, 7}) EXPECT_EQ(messageAt(sim, r), "") << "row " << r;
  EXPECT_FALSE(sim.bailed[BailedId::Form].visible);

  // Returning does not restore breathing: the trainee starts it again with the picture.
  EXPECT_EQ(st.breathing, 0);
  EXPECT_FALSE(sim.timers.enabled(TimerId::BreathTimer));
  EXPECT_EQ(sim.win[Main::Image19].left, 6360);
}

TEST_F(SimTest, CloseBoxLeavesTheBailedDialogOpen) {
  h.click(Main::Image20);
  EXPECT_FALSE(bailedCloseRequest(sim));
  EXPECT_TRUE(sim.bailed[BailedId::Form].visible);
  // Clicks elsewhere on the dialog do nothing either.
  dispatchBailed(sim, BailedId::Label1, MouseEvent::Click);
  EXPECT_TRUE(sim.bailed[BailedId::Form].visible);
}

// Runs a test body in a fresh temporary folder and goes back to the previous one after.
class InTemporaryFolder : public SimTest {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    folder_ = std::filesystem::temp_directory_path() /
              ("pelasim-bailout-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  std::string readDataFile() const {
    std::ifstream in(folder_ / std::string(datafile::kFileName), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path previous_, folder_;
};

TEST_F(InTemporaryFolder, ExitFromTheBailedDialogSavesSettingsAndTheDiveRecord) {
  st.scrubberMinutes = 47;
  st.handset(Side::Left).onTimeMinutes = 21;
  st.handset(Side::Left).batteryVolts = 5.9;
  st.handset(Side::Right).batteryVolts = 6.1;
  host.runFor(3000);
  h.click(Main::Image20);
  host.runFor(1000);
  dispatchBailed(sim, BailedId::Command1, MouseEvent::Click);

  // The settings are stored as the main window's Exit button stores them.
  EXPECT_EQ(host.settings["CO2"], "47");
  EXPECT_EQ(host.settings["LeftTimer"], "21");
  EXPECT_EQ(host.settings["LeftBattery"], "5.9");
  EXPECT_EQ(host.settings["RightBattery"], "6.1");

  // The dive record is written to the current folder and handed to the results viewer.
  const std::string file = readDataFile();
  ASSERT_FALSE(file.empty());
  EXPECT_NE(file.find("\r\n3,"), std::string::npos);
  EXPECT_NE(file.find("\"Bailed Out\"\r\n"), std::string::npos);
  EXPECT_NE(file.find("\r\n4,"), std::string::npos);
  EXPECT_TRUE(host.ended);
  EXPECT_EQ(host.resultsShown, std::string(datafile::kFileName));
  EXPECT_TRUE(sim.ended);
  EXPECT_FALSE(sim.win[Main::Form].visible);
  // The dialog does not float over the results.
  EXPECT_FALSE(sim.bailed[BailedId::Form].visible);

  // Nothing runs after the end, and the exit is not repeated.
  const auto settings = host.settings;
  dispatchBailed(sim, BailedId::Command1, MouseEvent::Click);
  exitRoutine(sim);
  EXPECT_EQ(host.settings, settings);
}

TEST_F(InTemporaryFolder, MainWindowExitWhileBailedTakesTheDialogAway) {
  h.click(Main::Image20);
  host.runFor(2000);
  h.click(Main::Command1);
  EXPECT_TRUE(host.ended);
  EXPECT_EQ(host.resultsShown, std::string(datafile::kFileName));
  // The results viewer comes next; the stay-in-front dialog must not cover it.
  EXPECT_FALSE(sim.bailed[BailedId::Form].visible);
}

TEST_F(InTemporaryFolder, ExitWithAnUnwritableFolderStillOffersToSaveTheRecord) {
  host.runFor(2000);
  h.click(Main::Image20);
  // The data file's name is taken by a folder: the file cannot be created there.
  std::filesystem::create_directory(folder_ / std::string(datafile::kFileName));
  host.askAnswers = {true};
  host.savePaths = {(folder_ / "elsewhere.csv").string()};
  dispatchBailed(sim, BailedId::Command1, MouseEvent::Click);

  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.resultsShown, (folder_ / "elsewhere.csv").string());
  EXPECT_TRUE(std::filesystem::is_regular_file(folder_ / "elsewhere.csv"));
}

}  // namespace
}  // namespace pelasim
