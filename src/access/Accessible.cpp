#include "access/Accessible.h"

#include <array>

#include "access/Keyboard.h"

namespace pelasim {
namespace {

constexpr std::string_view kOuterTip =
    "Both outer buttons together: opens the setpoint and brightness menus of the running "
    "master (Shift-click the left or right button does the same)";
constexpr std::string_view kRightTip =
    "Both right buttons together: hold for a second to switch the handset off (Shift-click "
    "the middle button does the same)";

constexpr std::array<PairZone, 4> kZones = {{
    {element::leftOuterPair, element::leftLeftButton, element::leftRightButton, kOuterTip},
    {element::leftRightPair, element::leftMiddleButton, element::leftRightButton, kRightTip},
    {element::rightOuterPair, element::rightLeftButton, element::rightRightButton, kOuterTip},
    {element::rightRightPair, element::rightMiddleButton, element::rightRightButton, kRightTip},
}};

struct Named {
  Main id;
  std::string_view name;
  std::string_view description;
};

// Elements whose picture or hot spot has no text of its own.
constexpr std::array<Named, 41> kNames = {{
    {element::depthLabel, "Depth (m)", "Depth in metres"},
    {element::shallowerArrow, "Shallower", "Up 1 m; hold to keep rising 1 m every half second"},
    {element::deeperArrow, "Deeper", "Down 1 m; hold to keep descending 1 m every half second"},
    {element::pressureLabel, "Ambient pressure",
     "Surface pressure in millibars at the surface, "
     "ambient pressure in bar at depth; click to type it"},
    {element::pressureUpArrow, "Ambient pressure up", "1 mb higher (at the surface)"},
    {element::pressureDownArrow, "Ambient pressure down", "1 mb lower (at the surface)"},
    {element::oxygenLabel, "Oxygen analysis",
     "Percentage oxygen of the oxygen cylinder at the surface, "
     "the nitrox mix at depth; double-click to type it"},
    {element::oxygenUpArrow, "Oxygen analysis up", "1 % more (at the surface)"},
    {element::oxygenDownArrow, "Oxygen analysis down", "1 % less (at the surface)"},
    {element::metabolicLabel, "Metabolic rate (lpm)", "Oxygen use in litres per minute; click to type it"},
    {element::metabolicUpArrow, "Metabolic rate up", "0.1 lpm more"},
    {element::metabolicDownArrow, "Metabolic rate down", "0.1 lpm less"},
    {element::leftHandset, "Left handset", "Picture of the left handset"},
    {element::rightHandset, "Right handset", "Picture of the right handset"},
    {element::leftBacklight, "Left handset backlight", "Lit while the left screen's backlight is on"},
    {element::rightBacklight, "Right handset backlight", "Lit while the right screen's backlight is on"},
    {element::leftScreen, "Left handset screen", ""},
    {element::rightScreen, "Right handset screen", ""},
    {element::leftLeftButton, "Left handset left button", "YES, Down; powers the handset up"},
    {element::leftMiddleButton, "Left handset middle button", "Confirm, next menu; hold to change setpoint"},
    {element::leftRightButton, "Left handset right button", "NO, Up"},
    {element::leftOuterPair, "Left handset both outer buttons", ""},
    {element::leftRightPair, "Left handset both right buttons", ""},
    {element::leftSwitch, "Left handset hardware switch", "Switches the left handset on or off"},
    {element::rightLeftButton, "Right handset left button", "YES, Down; powers the handset up"},
    {element::rightMiddleButton, "Right handset middle button",
     "Confirm, next menu; hold to change setpoint"},
    {element::rightRightButton, "Right handset right button", "NO, Up"},
    {element::rightOuterPair, "Right handset both outer buttons", ""},
    {element::rightRightPair, "Right handset both right buttons", ""},
    {element::rightSwitch, "Right handset hardware switch", "Switches the right handset on or off"},
    {element::bailOutPicture, "Bail out", "Leave the loop for the bail-out gas"},
    {element::diluentValve, "Diluent cylinder valve", ""},
    {element::diluentInjector, "Diluent injector", ""},
    {element::mouthpiece, "Mouthpiece", ""},
    {element::breathingPicture, "Breathing", ""},
    {element::oxygenInjector, "Oxygen injector", ""},
    {element::oxygenValve, "Oxygen cylinder valve", ""},
    {element::dumpValve, "Dump valve", ""},
    {element::advButton, "ADV button", ""},
    {element::counterlungCover, "Counterlung volume", "The dark part is the empty part of the counterlung"},
    {element::counterlungScale, "Counterlung scale",
     "Green below the dark cover: how full the counterlung is"},
}};

std::string keysOf(Main id) {
  std::string keys;
  for (const KeyBinding& b : keyBindings()) {
    if (b.control != id || b.action == KeyAction::PartnerPress) continue;
    keys += keys.empty() ? "" : " or ";
    keys += b.key;
  }
  return keys;
}

std::string withoutMnemonic(std::string_view caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += c;
  return out;
}

}  // namespace

std::string spokenScreen(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == ' ') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

std::span<const PairZone> pairZones() { return kZones; }

const PairZone* pairZoneOf(Main id) {
  for (const PairZone& z : kZones)
    if (z.zone == id) return &z;
  return nullptr;
}

ElementAccess accessOf(const MainWindowModel& win, Main id) {
  const Element& e = win[id];
  ElementAccess a;
  a.name = withoutMnemonic(e.caption.empty() ? e.name : e.caption);
  a.description = e.toolTip;
  for (const Named& n : kNames) {
    if (n.id != id) continue;
    a.name = n.name;
    if (!n.description.empty()) a.description = n.description;
  }
  if (const PairZone* z = pairZoneOf(id)) a.description = z->toolTip;
  if (id == element::leftScreen || id == element::rightScreen) {
    const std::string shown = spokenScreen(e.caption);
    a.description = shown.empty() ? "blank" : shown;
  } else if (e.kind == ElementKind::Label && !e.caption.empty()) {
    // Value labels: the value is part of what is read.
    a.description = withoutMnemonic(e.caption) + (a.description.empty() ? "" : ". " + a.description);
  }
  if (e.kind == ElementKind::Frame) a.description = "The " + e.caption + " frame";
  const std::string keys = keysOf(id);
  if (!keys.empty()) a.description += (a.description.empty() ? "Key: " : ". Key: ") + keys;
  return a;
}

}  // namespace pelasim
