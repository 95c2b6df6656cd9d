#include "forms/MainWindow.h"

#include <array>

namespace pelasim {
namespace {

constexpr int P(Main m) { return static_cast<int>(m); }
using K = ElementKind;

constexpr const char* kDilTip = "Click to open and close diluent valve";
constexpr const char* kO2Tip = "Click to open and close O2 valve";
constexpr const char* kSoundTip = "Select this button to enable sound. No tick, no sounds";

constexpr std::array<ElementDef, static_cast<std::size_t>(Main::Count)> kDefs = {{
    {"OrvanePelaSim", K::Form, -1, 0, 0, 15240, 10560, "Orvane Pelagrinova Simulator"},
    // Environment.
    {"Frame1", K::Frame, P(Main::Form), 120, 0, 12495, 1695, "Environment"},
    {"Frame5", K::Frame, P(Main::Frame1), 240, 240, 2655, 1335, "Depth (m)"},
    {"Label1", K::Label, P(Main::Frame5), 120, 360, 1815, 735, "0", "Depth in Metres"},
    {"Image9", K::Picture, P(Main::Frame5), 2040, 240, 480, 480, {}, {}, "ArrowUp.jpg"},
    {"Image10", K::Picture, P(Main::Frame5), 2040, 720, 480, 480, {}, {}, "ArrowDown.jpg"},
    {"Frame6", K::Frame, P(Main::Frame1), 3360, 240, 2655, 1335, "Ambient Pressure (mb)"},
    {"Label2", K::Label, P(Main::Frame6), 120, 360, 1815, 735, "1013",
     "Actual Ambient pressure in millibars"},
    {"Image12", K::Picture, P(Main::Frame6), 2040, 240, 480, 480, {}, {}, "ArrowUp.jpg"},
    {"Image11", K::Picture, P(Main::Frame6), 2040, 720, 480, 480, {}, {}, "ArrowDown.jpg"},
    {"Frame7", K::Frame, P(Main::Frame1), 6480, 240, 2655, 1335, "Oxygen Analysis (%)"},
    {"Label3", K::Label, P(Main::Frame7), 120, 360, 1815, 735, "21",
     "Percentage Oxygen in O2 cylinder when Analysed"},
    {"Image14", K::Picture, P(Main::Frame7), 2040, 240, 480, 480, {}, {}, "ArrowUp.jpg"},
    {"Image13", K::Picture, P(Main::Frame7), 2040, 720, 480, 480, {}, {}, "ArrowDown.jpg"},
    {"Frame8", K::Frame, P(Main::Frame1), 9600, 240, 2655, 1335, "Metabolic Rate (lpm)"},
    {"Label4", K::Label, P(Main::Frame8), 120, 360, 1815, 735, "1",
     "Metabolic O2 consumption in litres per minute"},
    {"Image16", K::Picture, P(Main::Frame8), 2040, 240, 480, 480, {}, {}, "ArrowUp.jpg"},
    {"Image15", K::Picture, P(Main::Frame8), 2040, 720, 480, 480, {}, {}, "ArrowDown.jpg"},
    // Electronics: handset pictures at the back, then screens, then the hot spots.
    {"Frame3", K::Frame, P(Main::Form), 120, 1800, 12495, 5175, "Electronics"},
    {"Image2", K::Picture, P(Main::Frame3), 120, 240, 6180, 4800, {}, {}, "HSOff.jpg"},
    {"Image3", K::Picture, P(Main::Frame3), 6240, 240, 6180, 4800, {}, {}, "HSOff.jpg"},
    {"Shape1", K::Shape, P(Main::Frame3), 1320, 1730, 3960, 1095},
    {"Shape2", K::Shape, P(Main::Frame3), 7440, 1725, 3960, 1095},
    {"Label14", K::Label, P(Main::Frame3), 1440, 1800, 3735, 975},
    {"Label15", K::Label, P(Main::Frame3), 7560, 1800, 3735, 975},
    {"Label8", K::HotSpot, P(Main::Frame3), 1080, 2880, 495, 1335},
    {"Label10", K::HotSpot, P(Main::Frame3), 2760, 2880, 1215, 1095},
    {"Label9", K::HotSpot, P(Main::Frame3), 4680, 2880, 615, 1455},
    {"Label18", K::HotSpot, P(Main::Frame3), 1800, 3120, 855, 855},
    {"Label19", K::HotSpot, P(Main::Frame3), 4080, 3240, 495, 855},
    {"LHOO", K::HotSpot, P(Main::Frame3), 1920, 4080, 1335, 615},
    {"Label11", K::HotSpot, P(Main::Frame3), 7200, 2880, 495, 1335},
    {"Label12", K::HotSpot, P(Main::Frame3), 8880, 3000, 1215, 975},
    {"Label13", K::HotSpot, P(Main::Frame3), 10800, 2880, 615, 1335},
    {"Label20", K::HotSpot, P(Main::Frame3), 7920, 3120, 855, 855},
    {"Label21", K::HotSpot, P(Main::Frame3), 10200, 3240, 495, 855},
    {"RHOO", K::HotSpot, P(Main::Frame3), 8040, 4080, 1335, 615},
    // Gas control.
    {"Frame2", K::Frame, P(Main::Form), 120, 7080, 12495, 3015, "Gas Control"},
    {"Image20", K::Picture, P(Main::Frame2), 240, 360, 1245, 960, {}, {}, "Bailout.jpg"},
    {"Image4", K::Picture, P(Main::Frame2), 1080, 960, 2085, 1980, {}, kDilTip, "DiluentValve.jpg"},
    {"Label7", K::Label, P(Main::Frame2), 1200, 1800, 1815, 495, "CLOSED", kDilTip},
    {"Image5", K::Picture, P(Main::Frame2), 3000, 240, 1905, 1965, {},
     "Press to manually inject diluent", "DiluentButt.jpg"},
    {"Image18", K::Picture, P(Main::Frame2), 4920, 240, 3390, 2055, {},
     "Click to open and close mouthpiece", "MouthC.jpg"},
    {"Image19", K::Picture, P(Main::Frame2), 6360, 2160, 600, 480, {},
     "Large = breath from loop. Small = not breathing. Click to change", "Breathing.jpg"},
    {"Image6", K::Picture, P(Main::Frame2), 8400, 240, 1965, 1965, {},
     "Press to manually inject Oxygen", "O2Butt.jpg"},
    {"Image7", K::Picture, P(Main::Frame2), 10320, 960, 2085, 1980, {}, kO2Tip, "O2Valve.jpg"},
    {"Label6", K::Label, P(Main::Frame2), 10440, 1800, 1815, 495, "CLOSED", kO2Tip},
    // Volume.
    {"Frame4", K::Frame, P(Main::Form), 12720, 1800, 2415, 5175, "Volume"},
    {"Shape3", K::Shape, P(Main::Frame4), 2040, 240, 255, 4800},
    {"ClungVolBar", K::Shape, P(Main::Frame4), 2040, 240, 255, 3000},
    {"Image8", K::Picture, P(Main::Frame4), 120, 480, 1800, 2295, {}, "Press to pull dump ",
     "Dump.jpg"},
    {"Image17", K::Picture, P(Main::Frame4), 240, 3120, 1500, 1440, {},
     "Press to manually operate ADV", "ADVButt.jpg"},
    {"ADVOn", K::CheckBox, P(Main::Frame4), 240, 4680, 1575, 255, "ADV Enabled"},
    // Controls.
    {"Frame9", K::Frame, P(Main::Form), 12720, 7080, 2415, 3015, "Controls"},
    {"Command2", K::Button, P(Main::Frame9), 360, 360, 1695, 495, "&Options",
     "Click on this button to select failure modes"},
    {"Check2", K::CheckBox, P(Main::Frame9), 840, 1020, 1035, 255, "Warnings", kSoundTip},
    {"Check1", K::CheckBox, P(Main::Frame9), 840, 1320, 855, 255, "Sound", kSoundTip},
    {"Command3", K::Button, P(Main::Frame9), 600, 1740, 1215, 375, "Report &Bug",
     "Click this button to send a bug report"},
    {"Command1", K::Button, P(Main::Frame9), 240, 2280, 1935, 495, "E&xit",
     "Click this button to exit and close the Simulator"},
    // Logo and the hidden diagnostic readouts.
    {"Image1", K::Picture, P(Main::Form), 13440, 120, 1080, 1635, {},
     "Orvane Diving Club: www.orvane-diving.example", "Logo.jpg"},
    {"Label16", K::Label, P(Main::Form), 14640, 120, 555, 375, "0.21"},
    {"Label17", K::Label, P(Main::Form), 14640, 600, 555, 255, "10      10      10"},
    // Status bar panels (placed by the status bar itself).
    {"StatusPanel1", K::StatusPanel, P(Main::Form), 0, 0, 0, 0, " Beta: Not for Distribution ",
     " Beta: Not for Distribution "},
    {"StatusPanel2", K::StatusPanel, P(Main::Form), 0, 0, 0, 0,
     "Pelagrinova Closed Circuit Rebreather Simulator",
     "Pelagrinova Closed Circuit Rebreather Simulator"},
    {"StatusPanel3", K::StatusPanel, P(Main::Form), 0, 0, 0, 0,
     "(c) 2002-2026 Orvane Simulator Authors", "(c) 2002-2026 Orvane Simulator Authors"},
    {"StatusPanel4", K::StatusPanel, P(Main::Form), 0, 0, 0, 0},
    {"StatusPanel5", K::StatusPanel, P(Main::Form), 0, 0, 0, 0},
}};

}  // namespace

MainWindowModel::MainWindowModel() : Form<Main>("OrvanePelaSim", kDefs) {
  for (int i = 0; i < size(); ++i) {
    Element& e = FormModel::init(i);
    switch (e.kind) {
      case ElementKind::Form:
      case ElementKind::Frame:
      case ElementKind::CheckBox:
        e.backColour = kYellow;
        e.foreColour = kDarkBlue;
        break;
      case ElementKind::Label:
        e.transparent = true;
        e.foreColour = kDarkBlue;
        break;
      default:
        break;
    }
  }
  for (Main m : {Main::Label1, Main::Label2, Main::Label3, Main::Label4}) {
    init(m).font = {"Liberation Sans", 27.75, false};
    init(m).align = Align::Centre;
  }
  for (Main m : {Main::Label6, Main::Label7}) {
    init(m).font = {"Liberation Sans", 21.75, false};
    init(m).align = Align::Centre;
  }
  for (Main m : {Main::Label14, Main::Label15}) {
    init(m).font = {kHandsetScreenFont, kHandsetScreenPoints, false};
    init(m).align = Align::Centre;
    init(m).foreColour = {0, 0, 0};
  }
  init(Main::Label16).font = {"Liberation Sans", 14.25, false};
  init(Main::Label16).visible = false;
  init(Main::Label17).visible = false;
  for (Main m : {Main::Shape1, Main::Shape2}) {
    init(m).fillColour = {0, 64, 0};
    init(m).borderColour = {0, 0, 0};
  }
  init(Main::Shape3).fillColour = {128, 255, 128};
  init(Main::Shape3).borderColour = {255, 255, 0};
  init(Main::ClungVolBar).fillColour = kDarkBlue;
  init(Main::ClungVolBar).borderColour = {255, 255, 0};
  init(Main::ADVOn).backColour = {255, 255, 255};
  for (Main m : {Main::ADVOn, Main::Check1, Main::Check2}) init(m).checked = true;
  // The window appears once the start-up disclaimer has been accepted.
  init(Main::Form).visible = false;
}

}  // namespace pelasim
