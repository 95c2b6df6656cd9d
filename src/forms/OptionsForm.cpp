#include "forms/OptionsForm.h"

#include <array>

#include "forms/MainWindow.h"

namespace pelasim {
namespace {

constexpr int P(Opt o) { return static_cast<int>(o); }
using K = ElementKind;
constexpr double kBoxLeft = 120, kBoxWidth = 2295, kBoxHeight = 255;
constexpr double top(int i) { return 240 + 360 * i; }

constexpr std::array<ElementDef, static_cast<std::size_t>(Opt::Count)> kDefs = {{
    {"FrmOptions", K::Form, -1, 0, 0, 5445, 7665, "Simulator Options"},
    {"FrameGeneral", K::Frame, P(Opt::Form), 120, 120, 2535, 975, "General"},
    {"Check1", K::CheckBox, P(Opt::FrameGeneral), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Must Calibrate", "Force Calibration during handset initialisation"},
    {"Check2", K::CheckBox, P(Opt::FrameGeneral), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "Dark at Depth", "Display darkens at depth forcing user to use backlight"},
    {"FrameCells", K::Frame, P(Opt::Form), 120, 1200, 2535, 1695, "Cells"},
    {"Check4", K::CheckBox, P(Opt::FrameCells), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Cell Drift", "A cells output starts to drop"},
    {"Check3", K::CheckBox, P(Opt::FrameCells), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "Cell Slow", "A cell moves at half the speed of the others"},
    {"Check6", K::CheckBox, P(Opt::FrameCells), kBoxLeft, top(2), kBoxWidth, kBoxHeight,
     "Cell Failure ", "A cell fails and produces no output"},
    {"Check5", K::CheckBox, P(Opt::FrameCells), kBoxLeft, top(3), kBoxWidth, kBoxHeight,
     "2 Cell Concurrent Drift", "2 cells drift at the same time"},
    {"FrameBatteries", K::Frame, P(Opt::Form), 120, 3000, 2535, 1335, "Batteries"},
    {"Check9", K::CheckBox, P(Opt::FrameBatteries), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Master Battery Low", "Battery voltage falls below 5.6 volts"},
    {"Check10", K::CheckBox, P(Opt::FrameBatteries), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "Master Battery Exhausted", "Battery voltage falls below 5.3 volts"},
    {"Check7", K::CheckBox, P(Opt::FrameBatteries), kBoxLeft, top(2), kBoxWidth, kBoxHeight,
     "Battery Bounce", "Handsets reset when you enter water"},
    {"FrameSolenoid", K::Frame, P(Opt::Form), 120, 4440, 2535, 975, "O2 Solenoid"},
    {"Check11", K::CheckBox, P(Opt::FrameSolenoid), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Solenoid Stuck Open", "Solenoid stuck open and continously injecting oxygen"},
    {"Check8", K::CheckBox, P(Opt::FrameSolenoid), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "Solenoid Stuck Closed", "Solenoid stuck closed and unable to inject Oxygen"},
    {"FrameDump", K::Frame, P(Opt::Form), 120, 5520, 2535, 615, "Dump Valve"},
    {"Check22", K::CheckBox, P(Opt::FrameDump), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Physical Failure"},
    {"FrameAdv", K::Frame, P(Opt::Form), 2760, 120, 2535, 975, "ADV"},
    {"Check13", K::CheckBox, P(Opt::FrameAdv), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "ADV Free Flow", "ADV free flows"},
    {"Check12", K::CheckBox, P(Opt::FrameAdv), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "ADV Failed", "ADV fails to function"},
    {"FrameO2Injector", K::Frame, P(Opt::Form), 2760, 1200, 2535, 1335, "Manual Oxygen Injector"},
    {"Check15", K::CheckBox, P(Opt::FrameO2Injector), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Oxygen Injector Stuck On", "Oxygen injector fails open and injecting"},
    {"Check14", K::CheckBox, P(Opt::FrameO2Injector), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "Oxygen Injector Failed", "Oxygen Injector non functional"},
    {"Check21", K::CheckBox, P(Opt::FrameO2Injector), kBoxLeft, top(2), kBoxWidth, kBoxHeight,
     "Physical Failure", "Oxygen Injector non functional"},
    {"FrameDilInjector", K::Frame, P(Opt::Form), 2760, 2640, 2535, 1335, "Manual Diluent Injector"},
    {"Check16", K::CheckBox, P(Opt::FrameDilInjector), kBoxLeft, top(0), kBoxWidth, kBoxHeight,
     "Diluent Injector Stuck On", "Diluent injector fails open and injecting"},
    {"Check17", K::CheckBox, P(Opt::FrameDilInjector), kBoxLeft, top(1), kBoxWidth, kBoxHeight,
     "Diluent Injector Failed", "Diluent Injector non functional"},
    {"Check23", K::CheckBox, P(Opt::FrameDilInjector), kBoxLeft, top(2), kBoxWidth, kBoxHeight,
     "Physical Failure", "Diluent Injector non functional"},
    {"FrameHandsets", K::Frame, P(Opt::Form), 2760, 4080, 2535, 1575, "Handsets"},
    {"Check19", K::CheckBox, P(Opt::FrameHandsets), kBoxLeft, 240, kBoxWidth, 435,
     "Master Accidentally Turned Off", "Masterhandset will turn off as if switch was knocked"},
    {"Check18", K::CheckBox, P(Opt::FrameHandsets), kBoxLeft, 720, kBoxWidth, 435,
     "Slave Accidentally Turned Off", "Slave unit will turn off as if switch was knocked"},
    {"Check20", K::CheckBox, P(Opt::FrameHandsets), kBoxLeft, 1200, kBoxWidth, kBoxHeight,
     "Handset Flood", "Handset perform erratically as if water was in them"},
    {"Slider1", K::Slider, P(Opt::Form), 120, 6240, 3495, 555},
    {"Command1", K::Button, P(Opt::Form), 3840, 6240, 1455, 555, "Change now"},
    {"Command2", K::Button, P(Opt::Form), 120, 6900, 2475, 615, "Refill Scrubber"},
    {"Command3", K::Button, P(Opt::Form), 2820, 6900, 2475, 615, "Change Batteries"},
    // Below the "Handsets" frame, in the free space above the slider row.
    {"CommandStation", K::Button, P(Opt::Form), 2760, 5760, 2535, 375, "Instructor station\u2026",
     "Watch the dive and arm failures from another device"},
}};

}  // namespace

OptionsFormModel::OptionsFormModel() : Form<Opt>("FrmOptions", kDefs) {
  for (int i = 0; i < size(); ++i) {
    Element& e = FormModel::init(i);
    if (e.kind == ElementKind::Form || e.kind == ElementKind::Frame ||
        e.kind == ElementKind::CheckBox) {
      e.backColour = kYellow;
      e.foreColour = kDarkBlue;
    }
  }
  init(Opt::Form).visible = false;
  init(Opt::Slider1).value = 0;
}

}  // namespace pelasim
