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
    {Main::Label18, Main::Label8, Main::Label9, kOuterTip},
    {Main::Label19, Main::Label10, Main::Label9, kRightTip},
    {Main::Label20, Main::Label11, Main::Label13, kOuterTip},
    {Main::Label21, Main::Label12, Main::Label13, kRightTip},
}};

struct Named {
  Main id;
  std::string_view name;
  std::string_view description;
};

// Elements whose picture or hot spot has no text of its own.
constexpr std::array<Named, 41> kNames = {{
    {Main::Label1, "Depth (m)", "Depth in metres"},
    {Main::Image9, "Shallower", "Up 1 m; hold to keep rising 1 m every half second"},
    {Main::Image10, "Deeper", "Down 1 m; hold to keep descending 1 m every half second"},
    {Main::Label2, "Ambient pressure", "Surface pressure in millibars at the surface, "
                                       "ambient pressure in bar at depth; click to type it"},
    {Main::Image12, "Ambient pressure up", "1 mb higher (at the surface)"},
    {Main::Image11, "Ambient pressure down", "1 mb lower (at the surface)"},
    {Main::Label3, "Oxygen analysis", "Percentage oxygen of the oxygen cylinder at the surface, "
                                      "the nitrox mix at depth; double-click to type it"},
    {Main::Image14, "Oxygen analysis up", "1 % more (at the surface)"},
    {Main::Image13, "Oxygen analysis down", "1 % less (at the surface)"},
    {Main::Label4, "Metabolic rate (lpm)", "Oxygen use in litres per minute; click to type it"},
    {Main::Image16, "Metabolic rate up", "0.1 lpm more"},
    {Main::Image15, "Metabolic rate down", "0.1 lpm less"},
    {Main::Image2, "Left handset", "Picture of the left handset"},
    {Main::Image3, "Right handset", "Picture of the right handset"},
    {Main::Shape1, "Left handset backlight", "Lit while the left screen's backlight is on"},
    {Main::Shape2, "Right handset backlight", "Lit while the right screen's backlight is on"},
    {Main::Label14, "Left handset screen", ""},
    {Main::Label15, "Right handset screen", ""},
    {Main::Label8, "Left handset left button", "YES, Down; powers the handset up"},
    {Main::Label10, "Left handset middle button", "Confirm, next menu; hold to change setpoint"},
    {Main::Label9, "Left handset right button", "NO, Up"},
    {Main::Label18, "Left handset both outer buttons", ""},
    {Main::Label19, "Left handset both right buttons", ""},
    {Main::LHOO, "Left handset hardware switch", "Switches the left handset on or off"},
    {Main::Label11, "Right handset left button", "YES, Down; powers the handset up"},
    {Main::Label12, "Right handset middle button", "Confirm, next menu; hold to change setpoint"},
    {Main::Label13, "Right handset right button", "NO, Up"},
    {Main::Label20, "Right handset both outer buttons", ""},
    {Main::Label21, "Right handset both right buttons", ""},
    {Main::RHOO, "Right handset hardware switch", "Switches the right handset on or off"},
    {Main::Image20, "Bail out", "Leave the loop for the bail-out gas"},
    {Main::Image4, "Diluent cylinder valve", ""},
    {Main::Image5, "Diluent injector", ""},
    {Main::Image18, "Mouthpiece", ""},
    {Main::Image19, "Breathing", ""},
    {Main::Image6, "Oxygen injector", ""},
    {Main::Image7, "Oxygen cylinder valve", ""},
    {Main::Image8, "Dump valve", ""},
    {Main::Image17, "ADV button", ""},
    {Main::ClungVolBar, "Counterlung volume", "The dark part is the empty part of the counterlung"},
    {Main::Shape3, "Counterlung scale", "Green below the dark cover: how full the counterlung is"},
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
  if (id == Main::Label14 || id == Main::Label15) {
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
