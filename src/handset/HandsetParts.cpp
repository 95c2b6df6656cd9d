#include "handset/HandsetParts.h"

#include "core/Format.h"
#include "sim/Simulation.h"

namespace pelasim {

const HandsetParts& partsOf(Side side) {
  static constexpr HandsetParts kLeft{
      element::leftHandset,   element::leftScreen,      element::leftBacklight,
      element::leftOuterPair, element::leftRightPair,   task::leftDisplayTick,
      TimerId::LHLightTimer,  task::leftPictureRestore, "Left"};
  static constexpr HandsetParts kRight{
      element::rightHandset,   element::rightScreen,      element::rightBacklight,
      element::rightOuterPair, element::rightRightPair,   task::rightDisplayTick,
      TimerId::RHLightTimer,   task::rightPictureRestore, "Right"};
  return side == Side::Left ? kLeft : kRight;
}

namespace screen {
namespace {

std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

std::string running(std::string_view banner, const State& st, const HandsetRecord& h) {
  return std::string(banner) + fmt::fixed(st.currentSetpoint, 1) + blanks(8) + readings(h, 7);
}

}  // namespace

std::string elapsedTime(double minutes) {
  // Whole minutes (halves to even), then hours with the remainder dropped and the minutes
  // left over.
  const long long m = fmt::roundHalfEven(minutes);
  return "     Elapsed ON Time     " + fmt::whole(m / 60) + " hrs " + fmt::whole(m % 60) + " mins";
}

std::string ambientPressureMenu(const State& st) {
  return "    Ambient Pressure      Down   " + fmt::shortest(st.calibrationPressureMb) + "mb     Up ";
}

std::string oxygenMenu(const State& st) {
  return "      OXYGEN %      Down    " + fmt::shortest(st.calibrationOxygenPercent) + "%     Up ";
}

std::string highSetpointMenu(const HandsetRecord& h) {
  return "     HIGH SETPOINT       Down    " + fmt::fixed(h.highSetpoint, 2) + "    UP  ";
}

std::string lowSetpointMenu(const HandsetRecord& h) {
  return "     LOW SETPOINT        Down    " + fmt::fixed(h.lowSetpoint, 2) + "     UP  ";
}

std::string brightnessMenu(const HandsetRecord& h) {
  return "      BRIGHTNESS       Down   " + fmt::whole(h.brightness) + "      UP  ";
}

std::string readings(const HandsetRecord& h, int gap) {
  return fmt::fixed(h.cellPO2[1], 2) + blanks(gap) + fmt::fixed(h.cellPO2[2], 2) + blanks(gap) +
         fmt::fixed(h.cellPO2[3], 2);
}

std::string masterRunning(const State& st, const HandsetRecord& h) {
  return running("      MASTER   ", st, h);
}

std::string slaveRunning(const State& st, const HandsetRecord& h) {
  return running("       SLAVE   ", st, h);
}

std::string cellFailureReplace(std::string_view cellNumber) {
  return "      CELL " + std::string(cellNumber) + " FAILURE      REPLACE";
}

}  // namespace screen

void showScreen(Simulation& sim, Side side, std::string_view text) {
  sim.win.setCaption(partsOf(side).screen, text);
}

void lightScreen(Simulation& sim, Side side, std::uint32_t ms) {
  const HandsetParts& p = partsOf(side);
  sim.win.setFillColour(p.shape, kBacklightColour);
  // Setting the interval restarts the count: the last press decides when the light goes out.
  sim.timers.setInterval(p.light, ms);
  sim.enable(p.light);
}

void enableDisplay(Simulation& sim, Side side) { sim.enable(partsOf(side).display); }

}  // namespace pelasim
