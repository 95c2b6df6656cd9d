// A dive flown on the virtual-time host through the handlers the mouse reaches: down to 20 m,
// a cell failure armed from the options dialog, the trainee's diluent flush some seconds into
// the cell warning, a bail-out and the return to the loop, the ascent. Writes its debrief
// report, to look at on paper.
//   pelasim_flown_dive OUT.pdf
#include <QApplication>

#include <cstdio>

#include "app/Dispatch.h"
#include "app/HeadlessRun.h"
#include "failures/Failures.h"
#include "handset/HandsetParts.h"
#include "debrief/qt/DebriefReport.h"

using namespace pelasim;

namespace {

struct Collector : DiveObserver {
  DiveData dive;
  void sampled(const DiveSample& s) override { dive.samples.push_back(s); }
  void event(const DiveEvent& e) override { dive.events.push_back(e); }
  bool saw(const std::string& text) const {
    for (const DiveEvent& e : dive.events)
      if (e.text == text) return true;
    return false;
  }
};

void click(Simulation& sim, Main id) {
  dispatchMain(sim, id, MouseEvent::Down);
  dispatchMain(sim, id, MouseEvent::Up);
  dispatchMain(sim, id, MouseEvent::Click);
}

void hold(HeadlessRun& run, Main id, std::uint32_t ms) {
  dispatchMain(run.sim, id, MouseEvent::Down);
  run.host.runFor(ms);
  dispatchMain(run.sim, id, MouseEvent::Up);
  dispatchMain(run.sim, id, MouseEvent::Click);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: pelasim_flown_dive OUT.pdf\n");
    return 64;
  }
  HeadlessRun run;
  Simulation& sim = run.sim;
  Collector log;
  sim.observer = &log;
  log.dive.info.trainee = "Dana Example";
  log.dive.info.startedAt = "2026-12-07 09:30:00";
  // A running master with healthy cells on the low setpoint.
  sim.st.cells[1].airMillivolts = 10.5;
  sim.st.cells[2].airMillivolts = 11.5;
  sim.st.cells[3].airMillivolts = 9.5;
  sim.st.loopPO2 = 0.72;
  HandsetRecord& master = sim.st.handset(Side::Left);
  master.power = 1;
  master.role = 1;
  master.displayState = ds::MasterRunning;
  sim.st.mouthpieceState = Mouthpiece::Open;

  click(sim, Main::Image7);  // oxygen valve
  run.host.runFor(2000);
  click(sim, Main::Image4);  // diluent valve
  run.host.runFor(2000);
  click(sim, Main::Image19);  // breathing
  for (int m = 0; m < 20; ++m) {
    click(sim, Main::Image10);
    run.host.runFor(6000);
  }
  run.host.runFor(4 * 60000);

  // The instructor arms a cell failure with a one-minute delay.
  clickOptionBox(sim, option::CellFailure);
  sim.options.setValue(Opt::Slider1, 1);
  optionSliderChange(sim, 1);
  armFailures(sim, "dialog");
  for (int i = 0; i < 600 && !log.saw("Warning: Cell Warning"); ++i) run.host.runFor(1000);
  run.host.runFor(25000);
  hold(run, Main::Image5, 2000);  // a diluent flush to check the cells
  run.host.runFor(90000);
  click(sim, Main::Image20);  // bail out
  run.host.runFor(60000);
  dispatchBailed(sim, BailedId::Command2, MouseEvent::Click);  // back to the loop
  run.host.runFor(2000);
  click(sim, Main::Image19);
  for (int m = 0; m < 20; ++m) {
    click(sim, Main::Image9);
    run.host.runFor(9000);
  }
  run.host.runFor(30000);

  QString error;
  if (!writeReportPdf(QString::fromLocal8Bit(argv[1]), log.dive, error)) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 2;
  }
  std::printf("%zu samples, %zu events\n", log.dive.samples.size(), log.dive.events.size());
  return 0;
}
