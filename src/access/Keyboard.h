#pragma once
// The main window from the keyboard. Every control has a key; a held key is a held button:
// the key going down is the mouse button going down on the control, the key coming up is the
// mouse button coming up over it, followed by its click. The keys reach the handlers through
// the same dispatch as the mouse.

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/MainWindow.h"

namespace pelasim {

class Simulation;

enum class KeyAction : std::uint8_t {
  Press,          // down, then up and click at the release
  PartnerPress,   // as Press, with the handset button's partner (Shift and a button)
  DoubleClick,    // the double click that opens a typed entry
  CheckBox,       // toggles a check box at the release
};

struct KeyBinding {
  std::string_view key;    // as the keyboard names it: "Q", "Shift+Q", "Ctrl+Up", "PgDown"
  Main control;
  KeyAction action;
  std::string_view what;   // what the key does, for the keyboard help
};

// Every key of the main window, in the order of the keyboard help.
std::span<const KeyBinding> keyBindings();
// The binding of a key, or nullptr.
const KeyBinding* bindingOf(std::string_view key);

// The keys that are down. One per window; the window tells it every key that goes down or
// up and every loss of the keyboard focus.
class KeyboardControl {
 public:
  // A key went down. `key` as named in the bindings, `code` any number that stays the same
  // for the physical key while it is held (its release may come without the Shift that
  // came with its press). True when the key belongs to the window. Repeats of a held key are
  // taken and ignored.
  bool press(Simulation& sim, std::string_view key, int code);
  // A key came up; true when it was one of the window's keys.
  bool release(Simulation& sim, int code);
  // The window lost the keyboard: every held key comes up.
  void releaseAll(Simulation& sim);
  bool anyHeld() const { return !held_.empty(); }
  bool held(int code) const {
    for (const auto& h : held_)
      if (h.first == code) return true;
    return false;
  }

 private:
  std::vector<std::pair<int, const KeyBinding*>> held_;
};

// The keyboard help as lines of "key<TAB>what it does", keys that do the same joined.
std::vector<std::pair<std::string, std::string>> keyboardHelp();

}  // namespace pelasim
