#pragma once
// What the main window tells a screen reader and a pointer that hovers: an accessible name and
// description for every element, the spoken form of the handset screens, and the two-button
// zones of the handsets with the buttons each stands for.

#include <span>
#include <string>
#include <string_view>

#include "forms/MainWindow.h"

namespace pelasim {

struct ElementAccess {
  std::string name;          // short: what the element is
  std::string description;   // what it does or shows, and its key
};

// The accessible name and description of an element as the model has it now (value labels
// and handset screens read their present text).
ElementAccess accessOf(const MainWindowModel& win, Main id);

// A handset screen text as it reads: the words with single blanks between them.
std::string spokenScreen(std::string_view text);

// A two-button zone of a handset: pressing it presses `first` and `second` together.
struct PairZone {
  Main zone;
  Main first, second;
  std::string_view toolTip;
};
std::span<const PairZone> pairZones();
// The zone, or nullptr when `id` is not a two-button zone.
const PairZone* pairZoneOf(Main id);

}  // namespace pelasim
