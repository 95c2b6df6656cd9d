#pragma once
// Routes the mouse events of every window element to its handler. The Qt widgets call these
// and nothing else; tests may call them as a mouse would, or call the handlers directly.

#include "forms/DialogForms.h"
#include "forms/MainWindow.h"
#include "forms/OptionsForm.h"

namespace pelasim {

class Simulation;

enum class MouseEvent { Down, Up, Click, DoubleClick, Move };

struct MouseArgs {
  int button = 1;         // 1 left, 2 right, 4 middle
  double x = 0, y = 0;    // twips within the element
  bool shift = false;     // Shift held: a handset button is pressed together with its partner
};

// True when the element has a double-click handler of its own. For the others a double click
// is delivered as a second press, release and click, so quick clicks are never lost.
bool takesDoubleClick(Main id);

// A check box's tick has already been toggled in the model when its Click arrives.
void dispatchMain(Simulation& sim, Main id, MouseEvent ev, const MouseArgs& args = {});
void dispatchOptions(Simulation& sim, Opt id, MouseEvent ev);
void dispatchSplash(Simulation& sim, SplashId id, MouseEvent ev);
void dispatchBailed(Simulation& sim, BailedId id, MouseEvent ev);
void dispatchBugReport(Simulation& sim, BugId id, MouseEvent ev);
// Clicks on a check box: toggles the tick in the model and delivers the click.
void clickCheckBox(Simulation& sim, Main id);
void clickOptionBox(Simulation& sim, Opt id);

}  // namespace pelasim
