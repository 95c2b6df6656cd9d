#pragma once
// A lesson flown on virtual time through the handlers a mouse reaches: the trainee's moves
// as short verbs (prepare, descend, switch to the high setpoint, add oxygen, bail out...).

#include <string>

#include "app/Dispatch.h"
#include "app/HeadlessRun.h"
#include "app/Startup.h"
#include "core/DiveObserverList.h"
#include "lesson/LessonFile.h"
#include "lesson/LessonRun.h"

namespace pelasim::lesson::test {

class Flight {
 public:
  explicit Flight(const Lesson& lesson) : lessonRun(run.sim, lesson) {
    observers.add(&lessonRun);
    observers.add(&collected);
    run.sim.observer = &observers;
    run.sim.st.disclaimerAnswer = true;
    afterDisclaimer(run.sim);
    lessonRun.begin();
  }

  HeadlessRun run;
  LessonRun lessonRun;
  DiveObserverList observers;
  DiveCollector collected;  // the dive's events, as the dive library keeps them

  Simulation& sim() { return run.sim; }
  void seconds(int n) { run.host.runFor(static_cast<std::uint32_t>(n) * 1000); }
  void click(Main id) {
    dispatchMain(sim(), id, MouseEvent::Down);
    dispatchMain(sim(), id, MouseEvent::Up);
    dispatchMain(sim(), id, MouseEvent::Click);
  }
  // One control a second.
  void step(Main id) {
    click(id);
    seconds(1);
  }
  void hold(Main id, int ms) {
    dispatchMain(sim(), id, MouseEvent::Down);
    run.host.runFor(static_cast<std::uint32_t>(ms));
    dispatchMain(sim(), id, MouseEvent::Up);
    dispatchMain(sim(), id, MouseEvent::Click);
  }
  bool waitFor(Side s, int state, int ms) {
    for (int t = 0; t < ms && sim().st.handset(s).displayState != state; t += 100) run.host.runFor(100);
    return sim().st.handset(s).displayState == state;
  }

  // Both handsets on and powered, the checklist answered, with or without calibration,
  // breathing from the loop with both cylinder valves open.
  bool prepare(bool calibrate = true) {
    if (!sim().st.handset(Side::Left).hardwareSwitch) step(element::leftSwitch);
    if (!sim().st.handset(Side::Right).hardwareSwitch) step(element::rightSwitch);
    step(element::leftLeftButton);
    step(element::rightLeftButton);
    if (!waitFor(Side::Left, ds::ScrubberTime, 10000)) return false;
    step(element::leftMiddleButton);  // DIVE NOW ?: Confirm
    step(element::leftMiddleButton);  // CHECK DILUENT!: Confirm
    if (calibrate) {
      step(element::leftLeftButton);  // CALIBRATE ?: YES
      step(element::leftRightButton);  // 1010 mb
      step(element::leftMiddleButton);
      step(element::leftMiddleButton);  // 100 % oxygen
      step(element::mouthpiece);
      step(element::leftMiddleButton);
      step(element::oxygenValve);
      step(element::leftMiddleButton);  // flush and calibrate
    } else {
      step(element::leftRightButton);  // CALIBRATE ?: NO
      step(element::oxygenValve);
      step(element::leftMiddleButton);  // OPEN O2 VALVE: Confirm
      step(element::mouthpiece);
    }
    if (!waitFor(Side::Left, ds::MasterRunning, 60000)) return false;
    step(element::diluentValve);
    step(element::breathingPicture);
    return true;
  }
  // Down the arrow at `secondsPerMetre` (3 s: about 18 m a minute).
  void descendTo(int metres, int secondsPerMetre = 3) {
    while (sim().st.depthMetres < metres) {
      click(element::deeperArrow);
      seconds(secondsPerMetre);
    }
  }
  // Up the arrow at `secondsPerMetre` (7 s: under 9 m a minute).
  void ascendTo(int metres, int secondsPerMetre = 7) {
    while (sim().st.depthMetres > metres) {
      click(element::shallowerArrow);
      seconds(secondsPerMetre);
    }
  }
  void highSetpoint() { hold(element::leftMiddleButton, 2100); }
  void addOxygen(int ms = 400) { hold(element::oxygenInjector, ms); }
  void flushDiluent(int ms = 1500) { hold(element::diluentInjector, ms); }
  void bailOut() { step(element::bailOutPicture); }
  // Waits until the master shows `state` (a warning screen), at most `limit` seconds.
  bool waitForScreen(int state, int limit) {
    for (int s = 0; s < limit; ++s) {
      if (sim().st.handset(Side::Left).displayState == state ||
          sim().st.handset(Side::Right).displayState == state)
        return true;
      seconds(1);
    }
    return false;
  }
  void end() { lessonRun.finish(); }
};

}  // namespace pelasim::lesson::test
