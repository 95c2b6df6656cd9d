#include "app/Dispatch.h"

#include "app/Startup.h"
#include "controls/Controls.h"
#include "dialogs/Dialogs.h"
#include "failures/Failures.h"
#include "handset/Handset.h"
#include "loop/DepthHold.h"
#include "loop/Loop.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

struct HandsetArea {
  Main id;
  Side side;
  bool pair;
  Button button;
  ButtonPair buttonPair;
};

constexpr HandsetArea kAreas[] = {
    {element::leftLeftButton, Side::Left, false, Button::Left, {}},
    {element::leftMiddleButton, Side::Left, false, Button::Middle, {}},
    {element::leftRightButton, Side::Left, false, Button::Right, {}},
    {element::leftOuterPair, Side::Left, true, {}, ButtonPair::BothOuter},
    {element::leftRightPair, Side::Left, true, {}, ButtonPair::BothRight},
    {element::rightLeftButton, Side::Right, false, Button::Left, {}},
    {element::rightMiddleButton, Side::Right, false, Button::Middle, {}},
    {element::rightRightButton, Side::Right, false, Button::Right, {}},
    {element::rightOuterPair, Side::Right, true, {}, ButtonPair::BothOuter},
    {element::rightRightPair, Side::Right, true, {}, ButtonPair::BothRight},
};

// Shift with a handset button presses the button together with its partner: an outer button
// with the other outer one, the middle button with the right one. The button's tag remembers
// a press made so until its click has passed, whether or not Shift is still held then.
bool dispatchWithPartner(Simulation& sim, const HandsetArea& a, MouseEvent ev, bool shift) {
  const ButtonPair pair = a.button == Button::Middle ? ButtonPair::BothRight : ButtonPair::BothOuter;
  const std::string& tag = sim.win[a.id].tag;
  if (ev == MouseEvent::Down) {
    sim.win.setTag(a.id, shift ? "pair" : "");
    if (!shift) return false;
    pairPress(sim, a.side, pair);
    return true;
  }
  if (ev == MouseEvent::Up && tag == "pair") {
    sim.win.setTag(a.id, "paired");
    pairRelease(sim, a.side, pair);
    return true;
  }
  if (ev == MouseEvent::Click && tag == "paired") {
    sim.win.setTag(a.id, "");
    return true;
  }
  return tag == "pair";  // moves while the pair is held
}

bool dispatchHandsetArea(Simulation& sim, Main id, MouseEvent ev, bool shift) {
  for (const HandsetArea& a : kAreas) {
    if (a.id != id) continue;
    if (!a.pair && dispatchWithPartner(sim, a, ev, shift)) return true;
    if (a.pair) {
      // The two-button areas know press, move and release only.
      if (ev == MouseEvent::Down) pairPress(sim, a.side, a.buttonPair);
      else if (ev == MouseEvent::Move) pairMove(sim, a.side, a.buttonPair);
      else if (ev == MouseEvent::Up) pairRelease(sim, a.side, a.buttonPair);
    } else {
      if (ev == MouseEvent::Down) buttonPress(sim, a.side, a.button);
      else if (ev == MouseEvent::Up) buttonRelease(sim, a.side, a.button);
      else if (ev == MouseEvent::Click) buttonClick(sim, a.side, a.button);
    }
    return true;
  }
  return false;
}

void injectorEvent(Simulation& sim, Injector which, MouseEvent ev) {
  if (ev == MouseEvent::Down) injectorPress(sim, which);
  else if (ev == MouseEvent::Up) injectorRelease(sim, which);
  else if (ev == MouseEvent::Click) injectorClick(sim, which);
}

}  // namespace

bool takesDoubleClick(Main id) { return id == element::oxygenLabel; }

void dispatchMain(Simulation& sim, Main id, MouseEvent ev, const MouseArgs& args) {
  if (sim.ended) return;
  if (ev == MouseEvent::DoubleClick && !takesDoubleClick(id)) ev = MouseEvent::Down;
  // Press and release handlers react to any mouse button; clicks come from the left one.
  if (ev == MouseEvent::Click && args.button != 1) return;
  if (dispatchHandsetArea(sim, id, ev, args.shift)) return;
  const bool click = ev == MouseEvent::Click;
  switch (id) {
    // Environment.
    // A held depth arrow steps again every half second (loop/DepthHold.h).
    case element::deeperArrow:
      if (ev == MouseEvent::Down) {
        deeperMouseDown(sim);
        depthHoldPress(sim, DepthArrow::Deeper);
      } else if (ev == MouseEvent::Up) {
        depthHoldRelease(sim, DepthArrow::Deeper);
      } else if (click && depthClickSteps(sim, DepthArrow::Deeper)) {
        deeperClick(sim);
      }
      break;
    case element::shallowerArrow:
      if (ev == MouseEvent::Down) depthHoldPress(sim, DepthArrow::Shallower);
      else if (ev == MouseEvent::Up) depthHoldRelease(sim, DepthArrow::Shallower);
      else if (click && depthClickSteps(sim, DepthArrow::Shallower)) shallowerClick(sim);
      break;
    case element::pressureDownArrow: if (click) pressureDownClick(sim); break;
    case element::pressureUpArrow: if (click) pressureUpClick(sim); break;
    case element::oxygenDownArrow: if (click) oxygenDownClick(sim); break;
    case element::oxygenUpArrow: if (click) oxygenUpClick(sim); break;
    case element::metabolicDownArrow: if (click) metabolicDownClick(sim); break;
    case element::metabolicUpArrow: if (click) metabolicUpClick(sim); break;
    case element::pressureLabel: if (click) pressureLabelClick(sim); break;
    case element::oxygenLabel: if (ev == MouseEvent::DoubleClick) oxygenLabelDoubleClick(sim); break;
    case element::metabolicLabel: if (click) metabolicLabelClick(sim); break;
    // Handset switches.
    case element::leftSwitch: if (click) hardwareSwitchClick(sim, Side::Left); break;
    case element::rightSwitch: if (click) hardwareSwitchClick(sim, Side::Right); break;
    // Gas control.
    // A valve's state caption lies over its cylinder: clicking it works the valve.
    case element::oxygenValve:
    case element::oxygenValveCaption:
      if (click) valveClick(sim, Gas::Oxygen);
      else if (ev == MouseEvent::Move) valveMouseMove(sim, Gas::Oxygen);
      break;
    case element::diluentValve:
    case element::diluentValveCaption:
      if (click) valveClick(sim, Gas::Diluent);
      else if (ev == MouseEvent::Move) valveMouseMove(sim, Gas::Diluent);
      break;
    case element::oxygenInjector: injectorEvent(sim, Injector::Oxygen, ev); break;
    case element::diluentInjector: injectorEvent(sim, Injector::Diluent, ev); break;
    case element::advButton: injectorEvent(sim, Injector::Adv, ev); break;
    case element::dumpValve:
      if (ev == MouseEvent::Down) dumpPress(sim);
      else if (ev == MouseEvent::Up) dumpRelease(sim);
      break;
    case element::advEnabledBox: if (click) advEnabledClick(sim); break;
    case element::mouthpiece: if (click) mouthpieceClick(sim); break;
    case element::breathingPicture: if (click) breathingToggleClick(sim); break;
    case element::bailOutPicture: if (click) bailOutClick(sim); break;
    // Controls.
    case element::soundBox: if (click) soundBoxClick(sim); break;
    case element::exitButton: if (click) exitRoutine(sim); break;
    case element::optionsButton: if (click) optionsButtonClick(sim); break;
    case element::reportBugButton: if (click) reportBugButtonClick(sim); break;
    default: break;
  }
}

void clickCheckBox(Simulation& sim, Main id) {
  if (sim.ended) return;
  sim.win.setChecked(id, !sim.win.checked(id));
  dispatchMain(sim, id, MouseEvent::Click);
}

void clickOptionBox(Simulation& sim, Opt id) {
  if (sim.ended) return;
  sim.options.setChecked(id, !sim.options.checked(id));
  dispatchOptions(sim, id, MouseEvent::Click);
}

void dispatchOptions(Simulation& sim, Opt id, MouseEvent ev) {
  if (sim.ended || ev != MouseEvent::Click) return;
  switch (id) {
    case Opt::Command1: armButtonClick(sim); break;
    case Opt::Command2: refillScrubberClick(sim); break;
    case Opt::Command3: changeBatteriesClick(sim); break;
    default:
      if (sim.options[id].kind == ElementKind::CheckBox) optionBoxClick(sim, id);
      break;
  }
}

void dispatchSplash(Simulation& sim, SplashId id, MouseEvent ev) {
  if (ev != MouseEvent::Click) return;
  if (id == SplashId::Command1) disclaimerAccept(sim);
  else if (id == SplashId::Command2) disclaimerRefuse(sim);
}

void dispatchBailed(Simulation& sim, BailedId id, MouseEvent ev) {
  if (sim.ended || ev != MouseEvent::Click) return;
  if (id == BailedId::Command2) bailedReturnClick(sim);
  else if (id == BailedId::Command1) {
    // Ending the program from here goes through the same exit as the main window's Exit
    // button, so the settings are saved and the dive record is written and shown.
    bailedExitClick(sim);
    exitRoutine(sim);
  }
}

void dispatchBugReport(Simulation& sim, BugId id, MouseEvent ev) {
  if (sim.ended || ev != MouseEvent::Click) return;
  if (id == BugId::Command1) bugReportSendMail(sim);
  else if (id == BugId::Command2) bugReportManualSend(sim);
}

}  // namespace pelasim
