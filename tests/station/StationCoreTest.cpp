// The instructor station's core: its JSON, its commands and the failures it arms, on the
// virtual-time host.
#include <gtest/gtest.h>

#include "core/DiveObserverList.h"
#include "app/Dispatch.h"
#include "failures/Failures.h"
#include "lesson/LessonFile.h"
#include "lesson/LessonRun.h"
#include "station/StationCore.h"
#include "station/StationJson.h"
#include "support/SimFixture.h"

namespace pelasim::station {
namespace {

struct EventLog : DiveObserver {
  std::vector<DiveEvent> events;
  int samples = 0;
  void sampled(const DiveSample&) override { ++samples; }
  void event(const DiveEvent& e) override { events.push_back(e); }
  std::vector<DiveEvent> of(EventKind k) const {
    std::vector<DiveEvent> out;
    for (const auto& e : events)
      if (e.kind == k) out.push_back(e);
    return out;
  }
};

// Everything a command could change, as one comparable text.
std::string optionsAndFaults(const Simulation& sim) {
  const State& st = sim.st;
  return tickedOptionsText(sim) + "|" + std::to_string(sim.options[Opt::Slider1].value) + "|" +
         std::to_string(sim.timers.enabled(TimerId::OptionTimer)) + "|" + solenoidText(st.solenoidFault) + "|" +
         std::to_string(st.scrubberMinutes) + "|" + std::to_string(st.handset(Side::Left).batteryVolts) + "|" +
         std::to_string(st.optionsChangeTick);
}

class StationCoreTest : public testing::SimTest {
 protected:
  StationCoreTest() {
    observers.add(&log);
    observers.add(&station);
    sim.observer = &observers;
    station.broadcast = [this](const std::string& m) { sent.push_back(m); };
  }
  CommandReply cmd(std::string_view text) { return station.command(text); }

  EventLog log;
  StationCore station{sim, 42};
  DiveObserverList observers;
  std::vector<std::string> sent;
};

TEST_F(StationCoreTest, ArmingFromTheStationActsAsTheDialogDoes) {
  // The same failure armed from the dialog in a second simulation.
  testing::SimHarness viaDialog;
  EventLog dialogLog;
  viaDialog.sim->observer = &dialogLog;
  viaDialog.sim->options.setChecked(option::SolenoidStuckOpen, true);
  optionSliderChange(*viaDialog.sim, 1);
  dispatchOptions(*viaDialog.sim, Opt::Command1, MouseEvent::Click);

  EXPECT_TRUE(cmd(R"({"cmd":"tick","box":"Check11","ticked":true})").ok);
  EXPECT_TRUE(cmd(R"({"cmd":"delay","minutes":1})").ok);
  EXPECT_TRUE(cmd(R"({"cmd":"arm"})").ok);
  EXPECT_FALSE(sim.options[Opt::Form].visible) << "the trainee's dialog stays closed";
  EXPECT_EQ(station.countdownSeconds(), 60);
  EXPECT_EQ(sim.options[Opt::Command1].caption, "Change in 1 minutes");

  host.runFor(30000);
  viaDialog.host.runFor(30000);
  EXPECT_EQ(station.countdownSeconds(), 30);
  EXPECT_EQ(st.solenoidFault, Solenoid::Normal);
  host.runFor(41000);
  viaDialog.host.runFor(41000);
  EXPECT_EQ(station.countdownSeconds(), std::nullopt);
  EXPECT_EQ(st.solenoidFault, Solenoid::StuckOpen);
  EXPECT_EQ(optionsAndFaults(sim), optionsAndFaults(*viaDialog.sim));

  const auto armed = log.of(EventKind::FailureArmed);
  ASSERT_EQ(armed.size(), 1u);
  EXPECT_EQ(armed[0].detail, "Solenoid Stuck Open; delay 1 min; source station");
  EXPECT_EQ(dialogLog.of(EventKind::FailureArmed)[0].detail, "Solenoid Stuck Open; delay 1 min; source dialog");
  ASSERT_EQ(log.of(EventKind::FailureApplied).size(), 1u);
  EXPECT_EQ(log.of(EventKind::FailureApplied)[0].ms, dialogLog.of(EventKind::FailureApplied)[0].ms);
}

TEST_F(StationCoreTest, ATickUnticksItsPartnerAsInTheDialog) {
  cmd(R"({"cmd":"tick","box":"Check9","ticked":true})");
  cmd(R"({"cmd":"tick","box":"Check10","ticked":true})");
  EXPECT_FALSE(sim.optionTicked(option::MasterBatteryLow));
  EXPECT_TRUE(sim.optionTicked(option::MasterBatteryExhausted));
  EXPECT_NE(station.stateJson().find(R"("ticked":["Check10"])"), std::string::npos);
}

TEST_F(StationCoreTest, ServiceCommandsActAtOnce) {
  st.scrubberMinutes = 90;
  st.handset(Side::Right).batteryVolts = 5.0;
  EXPECT_TRUE(cmd(R"({"cmd":"refillScrubber"})").ok);
  EXPECT_TRUE(cmd(R"({ "cmd" : "changeBatteries" })").ok);
  EXPECT_EQ(st.scrubberMinutes, 0);
  EXPECT_EQ(st.handset(Side::Right).batteryVolts, 6.3);
}

struct BadCommand {
  const char* name;
  std::string text;
};
void PrintTo(const BadCommand& c, std::ostream* os) { *os << c.name; }

class RefusedCommands : public StationCoreTest, public ::testing::WithParamInterface<BadCommand> {};

TEST_P(RefusedCommands, ChangeNothingAndAreLogged) {
  st.scrubberMinutes = 30;
  cmd(R"({"cmd":"tick","box":"Check2","ticked":true})");
  const std::string before = optionsAndFaults(sim);
  const CommandReply reply = cmd(GetParam().text);
  EXPECT_FALSE(reply.ok);
  EXPECT_FALSE(reply.message.empty());
  EXPECT_EQ(optionsAndFaults(sim), before);
  EXPECT_FALSE(station.randomPending());
  const auto notes = log.of(EventKind::Note);
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes.back().text, "Station command refused");
  EXPECT_EQ(notes.back().detail, reply.message);
}

INSTANTIATE_TEST_SUITE_P(
    Station, RefusedCommands,
    ::testing::Values(
        BadCommand{"Empty", ""}, BadCommand{"NotJson", "arm"}, BadCommand{"Array", R"(["arm"])"},
        BadCommand{"UnknownCommand", R"({"cmd":"format"})"}, BadCommand{"NoCmd", R"({"box":"Check2"})"},
        BadCommand{"CmdNotText", R"({"cmd":1})"},
        BadCommand{"ExtraField", R"({"cmd":"refillScrubber","now":true})"},
        BadCommand{"MissingField", R"({"cmd":"tick","box":"Check2"})"},
        BadCommand{"UnknownBox", R"({"cmd":"tick","box":"Slider1","ticked":true})"},
        BadCommand{"TickedAsText", R"({"cmd":"tick","box":"Check2","ticked":"false"})"},
        BadCommand{"DelayTooLong", R"({"cmd":"delay","minutes":16})"},
        BadCommand{"DelayNegative", R"({"cmd":"delay","minutes":-1})"},
        BadCommand{"DelayFraction", R"({"cmd":"delay","minutes":1.5})"},
        BadCommand{"DelayHuge", R"({"cmd":"delay","minutes":99999999999999999999})"},
        BadCommand{"RepeatedKey", R"({"cmd":"arm","cmd":"arm"})"},
        BadCommand{"Nested", R"({"cmd":"arm","x":{}})"}, BadCommand{"Trailing", R"({"cmd":"arm"} x)"},
        BadCommand{"Unclosed", R"({"cmd":"arm")"}, BadCommand{"ControlCharacter", "{\"cmd\":\"ar\x01m\"}"},
        BadCommand{"RandomWindowZero", R"({"cmd":"randomFailure","withinMinutes":0})"},
        BadCommand{"NoSuchLesson", R"({"cmd":"lesson","index":0})"},
        BadCommand{"LessonByPath", R"({"cmd":"lesson","index":"/etc/passwd"})"},
        BadCommand{"Oversized", R"({"cmd":"arm","pad":")" + std::string(4100, 'x') + "\"}"}),
    [](const ::testing::TestParamInfo<BadCommand>& i) { return std::string(i.param.name); });

TEST_F(StationCoreTest, AFloodOfRefusedCommandsIsLoggedOnlyUpToItsLimit) {
  for (int i = 0; i < 3 * StationCore::kMaxLoggedRefusals; ++i) EXPECT_FALSE(cmd("rubbish").ok);
  const auto notes = log.of(EventKind::Note);
  ASSERT_EQ(notes.size(), static_cast<std::size_t>(StationCore::kMaxLoggedRefusals) + 1);
  EXPECT_EQ(notes.back().detail, "further refused commands are not logged");
  EXPECT_TRUE(cmd(R"({"cmd":"refillScrubber"})").ok);
}

TEST_F(StationCoreTest, ACommandOfExactlyTheLimitIsRead) {
  std::string text = R"({"cmd":"refillScrubber")";
  text += std::string(StationCore::kMaxCommandBytes - text.size() - 1, ' ') + "}";
  ASSERT_EQ(text.size(), StationCore::kMaxCommandBytes);
  EXPECT_TRUE(cmd(text).ok);
}

TEST_F(StationCoreTest, ARandomFailureNeedsATickedBox) {
  EXPECT_FALSE(cmd(R"({"cmd":"randomFailure","withinMinutes":5})").ok);
  EXPECT_FALSE(station.randomPending());
}

TEST_F(StationCoreTest, ARandomFailureIsOneOfTheTickedWithinTheWindowAndLeavesTheSimulationsDraws) {
  testing::SimHarness untouched;
  cmd(R"({"cmd":"tick","box":"Check11","ticked":true})");
  cmd(R"({"cmd":"tick","box":"Check12","ticked":true})");
  cmd(R"({"cmd":"tick","box":"Check16","ticked":true})");
  const std::uint32_t asked = host.tickCount();
  EXPECT_TRUE(cmd(R"({"cmd":"randomFailure","withinMinutes":2})").ok);
  EXPECT_TRUE(station.randomPending());
  EXPECT_EQ(station.countdownSeconds(), std::nullopt) << "the moment is not shown";

  host.runFor(2 * 60000 + 1100);
  untouched.host.runFor(2 * 60000 + 1100);
  EXPECT_FALSE(station.randomPending());
  const auto armed = log.of(EventKind::FailureArmed);
  ASSERT_EQ(armed.size(), 1u);
  EXPECT_LE(armed[0].ms, std::int64_t{asked - VirtualHost::kStartTick} + 2 * 60000 + 1000);
  const int faults = (st.solenoidFault == Solenoid::StuckOpen) + st.advFailedFault + st.diluentInjectorStuckOnFault;
  EXPECT_EQ(faults, 1);
  EXPECT_EQ(armed[0].detail.find(';'), tickedOptionsText(sim).size()) << "exactly the drawn box is armed";
  EXPECT_NE(armed[0].detail.find("delay 0 min; source station"), std::string::npos);
  EXPECT_EQ(sim.rng.state(), untouched.sim->rng.state());
}

TEST_F(StationCoreTest, DifferentSeedsDrawDifferentMoments) {
  std::set<std::int64_t> moments;
  for (std::uint64_t seed = 1; seed <= 4; ++seed) {
    testing::SimHarness run;
    EventLog l;
    StationCore s(*run.sim, seed);
    DiveObserverList both;
    both.add(&l);
    both.add(&s);
    run.sim->observer = &both;
    run.sim->options.setChecked(option::AdvFailed, true);
    s.command(R"({"cmd":"randomFailure","withinMinutes":15})");
    run.host.runFor(16 * 60000);
    ASSERT_EQ(l.of(EventKind::FailureArmed).size(), 1u);
    moments.insert(l.of(EventKind::FailureArmed)[0].ms / 1000);
  }
  EXPECT_GT(moments.size(), 1u);
}

TEST_F(StationCoreTest, CancellingARandomFailureKeepsItFromFiring) {
  cmd(R"({"cmd":"tick","box":"Check12","ticked":true})");
  cmd(R"({"cmd":"randomFailure","withinMinutes":1})");
  EXPECT_TRUE(cmd(R"({"cmd":"cancelRandom"})").ok);
  host.runFor(70000);
  EXPECT_TRUE(log.of(EventKind::FailureArmed).empty());
  EXPECT_EQ(st.advFailedFault, 0);
}

TEST_F(StationCoreTest, StateShowsReadingsScreensAndControls) {
  sim.win.setCaption(Main::Label14, "MASTER \"1.30\"\n0.98 0.97 0.99");
  st.oxygenValveState = Valve::Open;
  st.depthMetres = 12;
  st.counterlungPercent = 45.4;
  const std::string j = station.stateJson();
  for (const char* part : {R"("left":"MASTER \"1.30\"\n0.98 0.97 0.99")", R"("oxygenValve":"OPEN")",
                           R"("depth":12)", R"("counterlung":45)", R"("loopPO2":0.21)", R"("masterPO2":null)",
                           R"("bailout":false)", R"("countdown":null)"})
    EXPECT_NE(j.find(part), std::string::npos) << part << " in " << j;
}

TEST_F(StationCoreTest, APageCatchesUpWithSamplesAndEvents) {
  host.runFor(5500);
  sim.record("O2 Valve Opened");
  const std::string w = station.welcomeJson();
  EXPECT_NE(w.find(R"({"box":"Check11","caption":"Solenoid Stuck Open","group":"O2 Solenoid"})"), std::string::npos);
  EXPECT_NE(w.find(R"("samples":[{"type":"sample","second":1,)"), std::string::npos);
  EXPECT_NE(w.find(R"("text":"O2 Valve Opened")"), std::string::npos);
  EXPECT_EQ(sent.size(), 6u) << "five samples and one event were sent as they came";
}

TEST_F(StationCoreTest, AnAssignedLessonIsOfferedAndItsObjectivesShowLive) {
  const lesson::ReadResult read = lesson::readLesson(R"(title = "Drill"
briefing = "Open the oxygen valve."
[[objective]]
id = "valve"
text = "Open the oxygen valve before 3 m"
kind = "before_depth"
depth = 3
actions = ["O2 valve opened"]
)", "drill.toml");
  ASSERT_TRUE(read.lesson);
  station.lessons = {{"/lessons/a.toml", "First", true}, {"/lessons/b.toml", "Broken", false}};
  std::vector<std::string> offered;
  std::unique_ptr<lesson::LessonRun> run;
  station.currentLesson = [&run]() -> const lesson::LessonRun* { return run.get(); };
  station.onLessonAssigned = [&](const lesson::CourseEntry& e) { offered.push_back(e.path); };
  EXPECT_NE(station.welcomeJson().find(R"("lessons":["First","Broken"])"), std::string::npos);
  EXPECT_NE(station.stateJson().find(R"("lesson":null)"), std::string::npos);
  EXPECT_FALSE(cmd(R"({"cmd":"lesson","index":1})").ok);  // a file with errors is not offered
  const CommandReply reply = cmd(R"({"cmd":"lesson","index":0})");
  EXPECT_TRUE(reply.ok);
  EXPECT_EQ(reply.message, "Lesson \"First\" offered to the trainee");
  EXPECT_EQ(offered, std::vector<std::string>{"/lessons/a.toml"});
  EXPECT_EQ(log.of(EventKind::Note).back().detail, "First; source station");

  // The trainee accepted: the page sees the objective turn met.
  run = std::make_unique<lesson::LessonRun>(sim, *read.lesson);
  observers.add(run.get());
  run->begin();
  EXPECT_NE(station.stateJson().find(R"("objectives":[{"text":"Open the oxygen valve before 3 m","outcome":"Pending","second":null}])"),
            std::string::npos) << station.stateJson();
  dispatchMain(sim, element::oxygenValve, MouseEvent::Click);
  EXPECT_NE(station.stateJson().find(R"("outcome":"Met")"), std::string::npos) << station.stateJson();
  observers.remove(run.get());
}

TEST(StationJson, EscapesTextsAndWritesNumbersInTheCNotation) {
  EXPECT_EQ(jsonString("a\"b\\c\n</script>\x01"), R"("a\"b\\c\n\u003c/script>\u0001")");
  EXPECT_EQ(jsonNumber(0.975, 2), "0.97");
  EXPECT_EQ(jsonNumber(1.3, 2), "1.30");
  const JsonParse p = parseFlatObject(R"({"a":"\u00e9\/","b":-3,"c":false})");
  ASSERT_TRUE(p.object);
  EXPECT_EQ(std::get<std::string>(p.object->at("a")), "\xC3\xA9/");
  EXPECT_EQ(std::get<std::int64_t>(p.object->at("b")), -3);
  EXPECT_FALSE(std::get<bool>(p.object->at("c")));
}

}  // namespace
}  // namespace pelasim::station
