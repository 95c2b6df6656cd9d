#include "access/Keyboard.h"

#include <algorithm>
#include <array>

#include "app/Dispatch.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

using A = KeyAction;

constexpr std::array kBindings = {
    // Left handset: its three buttons in a row, the two pairs and the switch under them.
    KeyBinding{"Q", element::leftLeftButton, A::Press, "Left handset: left button (YES, Down, power up)"},
    KeyBinding{"W", element::leftMiddleButton, A::Press, "Left handset: middle button (Confirm, next menu)"},
    KeyBinding{"E", element::leftRightButton, A::Press, "Left handset: right button (NO, Up)"},
    KeyBinding{"A", element::leftOuterPair, A::Press, "Left handset: both outer buttons (menus)"},
    KeyBinding{"Shift+Q", element::leftLeftButton, A::PartnerPress,
               "Left handset: both outer buttons (menus)"},
    KeyBinding{"Shift+E", element::leftRightButton, A::PartnerPress,
               "Left handset: both outer buttons (menus)"},
    KeyBinding{"S", element::leftRightPair, A::Press,
               "Left handset: both right buttons (hold to switch off)"},
    KeyBinding{"Shift+W", element::leftMiddleButton, A::PartnerPress,
               "Left handset: both right buttons (hold to switch off)"},
    KeyBinding{"Z", element::leftSwitch, A::Press, "Left handset: hardware switch"},
    // Right handset, the same shape further right on the keyboard.
    KeyBinding{"U", element::rightLeftButton, A::Press, "Right handset: left button (YES, Down, power up)"},
    KeyBinding{"I", element::rightMiddleButton, A::Press,
               "Right handset: middle button (Confirm, next menu)"},
    KeyBinding{"O", element::rightRightButton, A::Press, "Right handset: right button (NO, Up)"},
    KeyBinding{"J", element::rightOuterPair, A::Press, "Right handset: both outer buttons (menus)"},
    KeyBinding{"Shift+U", element::rightLeftButton, A::PartnerPress,
               "Right handset: both outer buttons (menus)"},
    KeyBinding{"Shift+O", element::rightRightButton, A::PartnerPress,
               "Right handset: both outer buttons (menus)"},
    KeyBinding{"K", element::rightRightPair, A::Press,
               "Right handset: both right buttons (hold to switch off)"},
    KeyBinding{"Shift+I", element::rightMiddleButton, A::PartnerPress,
               "Right handset: both right buttons (hold to switch off)"},
    KeyBinding{"M", element::rightSwitch, A::Press, "Right handset: hardware switch"},
    // Environment.
    KeyBinding{"Down", element::deeperArrow, A::Press, "Deeper by 1 m (held: 1 m every half second)"},
    KeyBinding{"PgDown", element::deeperArrow, A::Press, "Deeper by 1 m (held: 1 m every half second)"},
    KeyBinding{"Up", element::shallowerArrow, A::Press, "Shallower by 1 m (held: 1 m every half second)"},
    KeyBinding{"PgUp", element::shallowerArrow, A::Press, "Shallower by 1 m (held: 1 m every half second)"},
    KeyBinding{"Ctrl+Down", element::pressureDownArrow, A::Press,
               "Ambient pressure down 1 mb (at the surface)"},
    KeyBinding{"Ctrl+Up", element::pressureUpArrow, A::Press, "Ambient pressure up 1 mb (at the surface)"},
    KeyBinding{"P", element::pressureLabel, A::Press, "Type the ambient pressure (at the surface)"},
    KeyBinding{"Shift+Down", element::oxygenDownArrow, A::Press, "Oxygen analysis down 1 % (at the surface)"},
    KeyBinding{"Shift+Up", element::oxygenUpArrow, A::Press, "Oxygen analysis up 1 % (at the surface)"},
    KeyBinding{"Y", element::oxygenLabel, A::DoubleClick, "Type the oxygen analysis (at the surface)"},
    KeyBinding{"Left", element::metabolicDownArrow, A::Press, "Metabolic rate down 0.1 lpm"},
    KeyBinding{"Right", element::metabolicUpArrow, A::Press, "Metabolic rate up 0.1 lpm"},
    KeyBinding{"L", element::metabolicLabel, A::Press, "Type the metabolic rate"},
    // Gas control, in the order of the pictures from left to right.
    KeyBinding{"B", element::bailOutPicture, A::Press, "Bail out"},
    KeyBinding{"D", element::diluentValve, A::Press, "Diluent cylinder valve: open or close"},
    KeyBinding{"F", element::diluentInjector, A::Press, "Inject diluent (hold)"},
    KeyBinding{"C", element::mouthpiece, A::Press, "Mouthpiece: open or close"},
    KeyBinding{"R", element::breathingPicture, A::Press, "Breathing from the loop: on or off"},
    KeyBinding{"G", element::oxygenInjector, A::Press, "Inject oxygen (hold)"},
    KeyBinding{"H", element::oxygenValve, A::Press, "Oxygen cylinder valve: open or close"},
    // Volume.
    KeyBinding{"V", element::dumpValve, A::Press, "Dump valve (hold)"},
    KeyBinding{"X", element::advButton, A::Press, "ADV manual button (hold)"},
    KeyBinding{"T", element::advEnabledBox, A::CheckBox, "ADV Enabled: tick or clear"},
};

}  // namespace

std::span<const KeyBinding> keyBindings() { return kBindings; }

const KeyBinding* bindingOf(std::string_view key) {
  for (const KeyBinding& b : kBindings)
    if (b.key == key) return &b;
  return nullptr;
}

bool KeyboardControl::press(Simulation& sim, std::string_view key, int code) {
  for (const auto& h : held_)
    if (h.first == code) return true;  // the keyboard's own repeat of a held key
  const KeyBinding* b = bindingOf(key);
  if (!b || sim.ended) return false;
  held_.emplace_back(code, b);
  MouseArgs args;
  args.shift = b->action == KeyAction::PartnerPress;
  switch (b->action) {
    case KeyAction::Press:
    case KeyAction::PartnerPress: dispatchMain(sim, b->control, MouseEvent::Down, args); break;
    case KeyAction::DoubleClick: dispatchMain(sim, b->control, MouseEvent::DoubleClick, args); break;
    case KeyAction::CheckBox: break;
  }
  return true;
}

bool KeyboardControl::release(Simulation& sim, int code) {
  const auto it = std::find_if(held_.begin(), held_.end(), [code](const auto& h) { return h.first == code; });
  if (it == held_.end()) return false;
  const KeyBinding* b = it->second;
  held_.erase(it);
  MouseArgs args;
  args.shift = b->action == KeyAction::PartnerPress;
  switch (b->action) {
    case KeyAction::Press:
    case KeyAction::PartnerPress:
      dispatchMain(sim, b->control, MouseEvent::Up, args);
      dispatchMain(sim, b->control, MouseEvent::Click, args);
      break;
    case KeyAction::DoubleClick: break;
    case KeyAction::CheckBox: clickCheckBox(sim, b->control); break;
  }
  return true;
}

void KeyboardControl::releaseAll(Simulation& sim) {
  while (!held_.empty()) {
    // A key let go while the window was not listening: the button comes up, but nothing is
    // clicked that the trainee did not finish.
    const auto [code, b] = held_.back();
    held_.pop_back();
    if (b->action == KeyAction::Press || b->action == KeyAction::PartnerPress) {
      MouseArgs args;
      args.shift = b->action == KeyAction::PartnerPress;
      dispatchMain(sim, b->control, MouseEvent::Up, args);
    }
  }
}

std::vector<std::pair<std::string, std::string>> keyboardHelp() {
  std::vector<std::pair<std::string, std::string>> lines;
  for (const KeyBinding& b : kBindings) {
    auto same = std::find_if(lines.begin(), lines.end(), [&b](const auto& l) { return l.second == b.what; });
    if (same != lines.end()) same->first += ", " + std::string(b.key);
    else lines.emplace_back(std::string(b.key), std::string(b.what));
  }
  lines.emplace_back("Alt+O", "Options (failure modes)");
  lines.emplace_back("Alt+B", "Report Bug");
  lines.emplace_back("Alt+X", "Exit");
  lines.emplace_back("Tab, Space", "Move to the Warnings and Sound boxes and tick them");
  lines.emplace_back("F1", "This list of keys");
  return lines;
}

}  // namespace pelasim
