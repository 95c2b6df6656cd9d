// The debrief's lanes, summary and reaction times: on data file rows, and on dives flown on
// the virtual-time host with an observer that keeps every sample and every event.
#include <gtest/gtest.h>

#include <algorithm>

#include "../datafile/SampleRows.h"
#include "debrief/Debrief.h"
#include "failures/Failures.h"
#include "handset/HandsetParts.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using debrief::Lane;
using datafile::row;

// Keeps the dive as the dive library would.
struct Collector : DiveObserver {
  DiveData dive;
  void sampled(const DiveSample& s) override { dive.samples.push_back(s); }
  void event(const DiveEvent& e) override { dive.events.push_back(e); }
};

std::string valueOf(const debrief::Summary& s, const std::string& label) {
  for (const auto& l : debrief::summaryLines(s))
    if (l.label == label) return l.value;
  return "(no line " + label + ")";
}

// A running master with healthy cells, breathing from the loop with both valves open.
class ScriptedDive : public testing::SimTest {
 protected:
  Collector log;
  void SetUp() override {
    sim.observer = &log;
    st.cells[1].airMillivolts = 10.5;
    st.cells[2].airMillivolts = 11.5;
    st.cells[3].airMillivolts = 9.5;
    HandsetRecord& m = st.handset(Side::Left);
    m.power = 1;
    m.role = 1;
    m.displayState = ds::MasterRunning;
    st.mouthpieceState = Mouthpiece::Open;
    st.loopPO2 = 0.72;
  }
  void startBreathing(double po2) {
    st.loopPO2 = po2;
    h.click(Main::Image19);
    ASSERT_EQ(st.breathing, 1);
  }
  void openValves() {
    h.click(Main::Image7);
    h.click(Main::Image4);
  }
  const DiveEvent* first(const std::string& text) const {
    for (const DiveEvent& e : log.dive.events)
      if (e.text == text) return &e;
    return nullptr;
  }
};

TEST_F(ScriptedDive, ADiveThatNeverLeavesTheBandHasNoWarningsAndNoReactions) {
  openValves();
  host.runFor(1000);
  startBreathing(0.72);
  for (int m = 0; m < 10; ++m) {
    h.click(Main::Image10);
    host.runFor(6000);
  }
  host.runFor(10 * 60000);
  const debrief::Summary s = debrief::summarize(log.dive);
  EXPECT_EQ(s.maxDepth, 10);
  EXPECT_EQ(s.secondsLow, 0);
  EXPECT_EQ(s.secondsHigh, 0);
  EXPECT_TRUE(s.warnings.empty());
  EXPECT_TRUE(s.reactions.empty());
  EXPECT_TRUE(s.masterRan);
  EXPECT_GT(*s.minPO2, 0.4);
  EXPECT_LT(*s.maxPO2, 1.6);
  EXPECT_EQ(valueOf(s, "Warnings"), "none");
  EXPECT_EQ(valueOf(s, "At or below 0.4 bar"), "never");
  EXPECT_EQ(valueOf(s, "Ended"), "normally");
  const auto marks = debrief::laneMarks(log.dive);
  EXPECT_TRUE(std::none_of(marks.begin(), marks.end(), [](auto& m) { return m.lane != Lane::Actions; }));
}

TEST_F(ScriptedDive, ALowOxygenEpisodeIsOneSpanWithTheTraineesReactionTime) {
  // The oxygen valve stays shut: breathing takes the loop under 0.4 bar.
  h.click(Main::Image4);
  startBreathing(0.45);
  for (int i = 0; i < 600 && !first("Warning: Low O2"); ++i) host.runFor(1000);
  const DiveEvent* warned = first("Warning: Low O2");
  ASSERT_NE(warned, nullptr);
  const std::int64_t warnedMs = warned->ms;
  host.runFor(17000);
  const std::int64_t reactedMs = sim.elapsedMs();
  h.click(Main::Image7);  // "O2 Valve Opened"
  // The controller and a few manual additions bring the loop back up.
  for (int i = 0; i < 6; ++i) {
    dispatchMain(sim, Main::Image6, MouseEvent::Down);
    host.runFor(1500);
    dispatchMain(sim, Main::Image6, MouseEvent::Up);
    host.runFor(1500);
  }
  host.runFor(120000);
  ASSERT_GT(st.loopPO2, 0.4);

  const debrief::Summary s = debrief::summarize(log.dive);
  ASSERT_EQ(s.warnings.size(), 1u);
  EXPECT_EQ(s.warnings[0].kind, "Low O2");
  EXPECT_EQ(s.warnings[0].episodes, 1);
  ASSERT_EQ(s.reactions.size(), 1u);
  EXPECT_EQ(s.reactions[0].trigger, "Low O2 warning");
  ASSERT_TRUE(s.reactions[0].after);
  EXPECT_DOUBLE_EQ(*s.reactions[0].after, static_cast<double>(reactedMs - warnedMs) / 1000.0);
  EXPECT_EQ(s.reactions[0].action, "O2 Valve Opened");
  EXPECT_GE(s.secondsLow, 17);
  EXPECT_LE(*s.minPO2, 0.4);

  const auto marks = debrief::laneMarks(log.dive);
  std::vector<debrief::LaneMark> warnings;
  std::copy_if(marks.begin(), marks.end(), std::back_inserter(warnings),
               [](auto& m) { return m.lane == Lane::Warnings; });
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_DOUBLE_EQ(warnings[0].start, static_cast<double>(warnedMs) / 1000.0);
  EXPECT_GE(warnings[0].end - warnings[0].start, 17);
  EXPECT_EQ(warnings[0].label.rfind("Low O2 " + std::to_string(warnedMs / 1000) + "–", 0), 0u)
      << warnings[0].label;
}

TEST_F(ScriptedDive, AFailureWithoutAReactionSaysSo) {
  openValves();
  startBreathing(0.72);
  host.runFor(60000);
  clickOptionBox(sim, option::SolenoidStuckOpen);
  sim.options.setValue(Opt::Slider1, 0);
  optionSliderChange(sim, 0);
  armFailures(sim, "dialog");
  host.runFor(3 * 60000);  // the loop fills with oxygen; nobody closes the valve

  const debrief::Summary s = debrief::summarize(log.dive);
  ASSERT_EQ(s.failuresApplied.size(), 1u);
  EXPECT_EQ(s.failuresApplied[0].text, "Solenoid Stuck Open");
  ASSERT_EQ(s.failuresArmed.size(), 1u);
  EXPECT_EQ(s.failuresArmed[0].text, "Solenoid Stuck Open; delay 0 min; source dialog");
  const auto r = std::find_if(s.reactions.begin(), s.reactions.end(),
                              [](auto& x) { return x.trigger == "Solenoid Stuck Open"; });
  ASSERT_NE(r, s.reactions.end());
  EXPECT_FALSE(r->after);
  EXPECT_EQ(valueOf(s, "Reaction to Solenoid Stuck Open at " +
                           std::to_string(static_cast<int>(r->at)) + " s"),
            "no reaction");
  const auto marks = debrief::laneMarks(log.dive);
  EXPECT_EQ(std::count_if(marks.begin(), marks.end(), [](auto& m) { return m.lane == Lane::Failures; }), 2);
}

TEST_F(ScriptedDive, ADiveThatEndsUnexpectedlyKeepsItsOpenBailOut) {
  openValves();
  startBreathing(0.72);
  host.runFor(30000);
  h.click(Main::Image20);
  host.runFor(20000);
  log.dive.info.endedNormally = false;  // the program stopped here: no exit routine ran

  const debrief::Summary s = debrief::summarize(log.dive);
  EXPECT_FALSE(s.endedNormally);
  EXPECT_EQ(valueOf(s, "Ended"), "unexpectedly (the simulator did not reach its exit)");
  ASSERT_EQ(s.bailOuts.size(), 1u);
  EXPECT_TRUE(s.returns.empty());
  const auto marks = debrief::laneMarks(log.dive);
  const auto bail = std::find_if(marks.begin(), marks.end(), [](auto& m) { return m.lane == Lane::BailOut; });
  ASSERT_NE(bail, marks.end());
  EXPECT_DOUBLE_EQ(bail->end, log.dive.samples.back().second);
  EXPECT_EQ(bail->label, "Bailed out " + std::to_string(static_cast<int>(bail->start)) + " s, not returned");
}

TEST(DiveFromRows, LeadingHandsetZerosAreAGapAndMessagesStartTheirSecond) {
  const std::vector<datafile::Row> rows = {row(0.21, 0, 0, 0.7), row(0.21, 0, 0, 0.7, "O2 Valve Opened"),
                                           row(0.8, 0.79, 1, 0.7), row(0.8, 0, 1, 0.7)};
  const DiveData d = debrief::diveFromRows(rows, {});
  ASSERT_EQ(d.samples.size(), 4u);
  EXPECT_FALSE(d.samples[0].handsetPO2);
  EXPECT_FALSE(d.samples[1].handsetPO2);
  EXPECT_EQ(d.samples[2].handsetPO2, 0.79);
  EXPECT_EQ(d.samples[3].handsetPO2, 0.0);  // a reading of 0 once it runs is a reading
  ASSERT_EQ(d.events.size(), 1u);
  EXPECT_EQ(d.events[0].ms, 2000);
  EXPECT_EQ(d.events[0].second, 2);
  EXPECT_EQ(d.events[0].text, "O2 Valve Opened");
}

// Warnings of a data file: repeated seconds, a masked second and a pause that splits them.
TEST(DiveFromRows, WarningSecondsMergeIntoSpansAndOptionsChangedStandsForTheFailure) {
  std::vector<datafile::Row> rows(700, row(1.0, 1.0, 20, 1.3));
  // Armed at 240 s with a one-minute delay: checked every ten seconds, in effect at 300 s.
  for (int s = 240; s <= 300; s += 10)
    rows[static_cast<std::size_t>(s - 1)][datafile::kMessage] = datafile::Item::str("Options Changed");
  for (int s = 368; s <= 586; ++s) rows[static_cast<std::size_t>(s - 1)][datafile::kMessage] =
      datafile::Item::str(s == 400 ? "Manual Diluent Addition" : "Warning: Cell Warning");
  rows[619][datafile::kMessage] = datafile::Item::str("Warning: Cell Warning");
  const DiveData d = debrief::diveFromRows(rows, {});
  const auto marks = debrief::laneMarks(d);
  std::vector<std::string> labels;
  for (const auto& m : marks)
    if (m.lane != Lane::Actions) labels.push_back(m.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Cell Warning 368–586 s", "Cell Warning 620 s", "Armed",
                                              "Failures took effect 300 s"}));
  const debrief::Summary s = debrief::summarize(d);
  EXPECT_EQ(valueOf(s, "Cell Warning warnings"), "2 (3 min 40 s in all)");
  EXPECT_EQ(valueOf(s, "Failures took effect"), "Failures (not named in a data file), at 300 s (5:00)");
  EXPECT_EQ(valueOf(s, "Failures armed"), "Failures armed (not named in a data file), at 240 s (4:00)");
  EXPECT_EQ(s.failuresApplied.size(), 1u);
  EXPECT_EQ(valueOf(s, "Reaction to Cell Warning warning at 368 s"), "32 s (Manual Diluent Addition)");
  EXPECT_EQ(valueOf(s, "Reaction to Failures (not named in a data file) at 300 s"),
            "100 s (Manual Diluent Addition)");
  EXPECT_EQ(valueOf(s, "Reaction to Cell Warning warning at 620 s"), "no reaction");
}

TEST(CorrectiveRules, EveryTriggerIsListedOnceWithAtLeastOneAction) {
  const auto& rules = debrief::correctiveRules();
  for (std::size_t i = 0; i < rules.size(); ++i) {
    EXPECT_FALSE(rules[i].actions.empty()) << rules[i].trigger;
    for (std::size_t j = i + 1; j < rules.size(); ++j) EXPECT_NE(rules[i].trigger, rules[j].trigger);
  }
}

}  // namespace
}  // namespace pelasim
