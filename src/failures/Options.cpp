// The failure options dialog: the instructor's selection, the delay and the arm button.
#include <string>

#include "failures/Failures.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// Boxes that exclude each other: ticking one unticks its partner.
constexpr std::pair<Opt, Opt> kExclusivePairs[] = {
    {option::MasterBatteryLow, option::MasterBatteryExhausted},
    {option::SolenoidStuckClosed, option::SolenoidStuckOpen},
    {option::CellDrift, option::TwoCellDrift},
};

}  // namespace

void optionBoxClick(Simulation& sim, Opt box) {
  if (!sim.optionTicked(box)) return;
  for (auto [a, b] : kExclusivePairs) {
    if (box == a) sim.options.setChecked(b, false);
    if (box == b) sim.options.setChecked(a, false);
  }
}

void optionSliderChange(Simulation& sim, int value) {
  sim.options.setValue(Opt::Slider1, value);
  sim.options.setCaption(Opt::Command1,
                         value == 0 ? std::string("Change Now") : "Change in " + std::to_string(value) + " minutes");
}

std::string tickedOptionsText(const Simulation& sim) {
  std::string text;
  for (int id = 0; id < static_cast<int>(Opt::Count); ++id) {
    const Element& e = sim.options.at(id);
    if (e.kind != ElementKind::CheckBox || !e.checked) continue;
    if (!text.empty()) text += ", ";
    // Captions may carry a trailing blank ("Cell Failure "); the list reads without it.
    std::string_view caption = e.caption;
    while (!caption.empty() && caption.back() == ' ') caption.remove_suffix(1);
    text += caption;
  }
  return text.empty() ? std::string("none") : text;
}

void armFailures(Simulation& sim, std::string_view source) {
  sim.stopIfSoundOn(SoundChannel::GasControl);
  sim.st.optionsChangeTick = sim.tick();
  sim.timers.setInterval(TimerId::OptionTimer, 10);
  sim.enable(TimerId::OptionTimer);
  const int minutes = sim.options[Opt::Slider1].value;
  sim.logEvent(EventKind::FailureArmed, "Failures armed",
               tickedOptionsText(sim) + "; delay " + std::to_string(minutes) + " min; source " +
                   std::string(source));
}

void armButtonClick(Simulation& sim) {
  armFailures(sim, "dialog");
  sim.options.setVisible(Opt::Form, false);
}

void refillScrubberClick(Simulation& sim) { sim.st.scrubberMinutes = 0; }

void changeBatteriesClick(Simulation& sim) {
  sim.st.handset(Side::Left).batteryVolts = 6.3;
  sim.st.handset(Side::Right).batteryVolts = 6.3;
}

void optionsCloseBox(Simulation& sim) {
  // Closing the dialog keeps the instructor's selection, as hiding it does: a pending
  // application still sees every tick. Only the arm button applies anything.
  sim.options.setVisible(Opt::Form, false);
}

}  // namespace pelasim
