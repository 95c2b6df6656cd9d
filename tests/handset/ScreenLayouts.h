#pragma once
// Every text a handset screen shows, with the lines it must read as on the screen label
// (249 px wide, Liberation Sans 18 pt): the words that belong together on one line, the
// answers on the line under the question. Shared by the core test (with a width table of
// the font) and the Qt test (with the real font).

#include <string>
#include <vector>

namespace pelasim::testing {

struct ScreenLayout {
  std::string name;
  std::string text;
  std::vector<std::string> lines;
};

inline std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

inline std::vector<ScreenLayout> screenLayouts() {
  const std::string yesNo14 = "YES" + blanks(21) + "NO";
  return {
      {"off", " ", {""}},
      {"banner", "  K.T.Marine    Pelagrinova  ", {"  K.T.Marine", "Pelagrinova"}},
      {"elapsed", "     Elapsed ON Time     2 hrs 5 mins", {"     Elapsed ON Time", "2 hrs 5 mins"}},
      {"elapsedLong", "     Elapsed ON Time     1666 hrs 39 mins",
       {"     Elapsed ON Time", "1666 hrs 39 mins"}},
      {"diveNow", "       DIVE NOW ?        Confirm    ", {"       DIVE NOW ?", "Confirm"}},
      {"slaveWaiting", "        SLAVE          Waiting for Data    ",
       {"        SLAVE", "Waiting for Data"}},
      {"master", "      MASTER   0.7        0.21       0.20       1.23",
       {"      MASTER   0.7", "0.21       0.20       1.23"}},
      {"masterHigh", "      MASTER   1.3        2.55       2.55       2.55",
       {"      MASTER   1.3", "2.55       2.55       2.55"}},
      {"masterDrifting", "      MASTER   1.3        1.30       -8.88       1.30",
       {"      MASTER   1.3", "1.30       -8.88       1.30"}},
      {"slave", "       SLAVE   0.7        0.21       0.20       1.23",
       {"       SLAVE   0.7", "0.21       0.20       1.23"}},
      {"batteryWarning", " BATTERY WARNING     REPLACE   ", {" BATTERY WARNING", "REPLACE"}},
      {"batteryDiveNow", "        DIVE NOW?    YES                      NO ",
       {"        DIVE NOW?", "YES" + blanks(22) + "NO"}},
      {"lowBattery", "       LOW BATTERY       REPLACE    ", {"       LOW BATTERY", "REPLACE"}},
      {"lowBatteryNoDive", "        NO DIVE    ", {"        NO DIVE"}},
      {"bootCellFailure", blanks(32) + "CELL 2 FAILURE", {"", "CELL 2 FAILURE"}},
      {"bootCellReplace", "      CELL 2 FAILURE      REPLACE", {"      CELL 2 FAILURE", "REPLACE"}},
      {"bootCellNoDive", blanks(40) + "NO DIVE    ", {"", "NO DIVE"}},
      {"checkDiluent", "     CHECK DILUENT!      Confirm    ", {"     CHECK DILUENT!", "Confirm"}},
      {"calibrateQuery", "      CALIBRATE ?      YES                     NO ",
       {"      CALIBRATE ?", yesNo14}},
      {"calibrateQueryNow", "     CALIBRATE ?      YES                     NO ",
       {"     CALIBRATE ?", yesNo14}},
      {"mustCalibrate", "   MUST CALIBRATE!      YES                     NO ",
       {"   MUST CALIBRATE!", yesNo14}},
      {"openValve", "    OPEN O2 VALVE  Confirm", {"    OPEN O2 VALVE", "Confirm"}},
      {"openValveNow", "    OPEN O2 VALVE    Confirm", {"    OPEN O2 VALVE", "Confirm"}},
      {"pressureMenu", "    Ambient Pressure      Down   1013mb     Up ",
       {"    Ambient Pressure", "Down   1013mb     Up"}},
      {"pressureMenuTop", "    Ambient Pressure      Down   1050mb     Up ",
       {"    Ambient Pressure", "Down   1050mb     Up"}},
      {"oxygenMenu", "      OXYGEN %      Down    100%     Up ", {"      OXYGEN %", "Down    100%     Up"}},
      {"openMouthpiece", "    Open Mouthpiece!     Confirm", {"    Open Mouthpiece!", "Confirm"}},
      {"openMouthpieceNow", "   Open Mouthpiece!       Confirm", {"   Open Mouthpiece!", "Confirm"}},
      {"openValveToFlush", "     OPEN O2 VALVE!        Confirm", {"     OPEN O2 VALVE!", "Confirm"}},
      {"flushStart", "   FLUSHING BAG  0.21     0.20     1.23",
       {"   FLUSHING BAG", "0.21     0.20     1.23"}},
      {"flushing", "   FLUSHING BAG  2.55      2.55      2.55",
       {"   FLUSHING BAG", "2.55      2.55      2.55"}},
      {"noOxygen", "          NO OXYGEN            Check Valve  ", {"          NO OXYGEN", "Check Valve"}},
      {"noOxygenNoCalibration", "     NO CALIBRATION   ", {"     NO CALIBRATION"}},
      {"noOxygenNoDive", "       NO DIVE       ", {"       NO DIVE"}},
      {"cellStuck", "      CELL STUCK       ", {"      CELL STUCK"}},
      {"calCellFailure", "      CELL 3 FAILURE      REPLACE", {"      CELL 3 FAILURE", "REPLACE"}},
      {"calOutOfRange", "      OUT OF RANGE     ", {"      OUT OF RANGE"}},
      {"calNoDive", "      NO DIVE       ", {"      NO DIVE"}},
      {"calNoCalibration", "     NO CALIBRATION    ", {"     NO CALIBRATION"}},
      {"calibrating", "   CALIBRATING  ", {"   CALIBRATING"}},
      {"highSetpointMenu", "     HIGH SETPOINT       Down    1.30    UP  ",
       {"     HIGH SETPOINT", "Down    1.30    UP"}},
      {"lowSetpointMenu", "     LOW SETPOINT        Down    0.70     UP  ",
       {"     LOW SETPOINT", "Down    0.70     UP"}},
      {"brightnessMenu", "      BRIGHTNESS       Down   99      UP  ",
       {"      BRIGHTNESS", "Down   99      UP"}},
      {"resetQuery", "      RESET NOW     Yes                         No  ",
       {"      RESET NOW", "Yes" + blanks(25) + "No"}},
      {"cellWarning", "    CELL WARNING            0.21       0.20       1.23",
       {"    CELL WARNING", "0.21       0.20       1.23"}},
      {"lowOxygen", "      LOW OXYGEN         0.21       0.20       1.23",
       {"      LOW OXYGEN", "0.21       0.20       1.23"}},
      {"highOxygen", "      HIGH OXYGEN         2.55       2.55       2.55",
       {"      HIGH OXYGEN", "2.55       2.55       2.55"}},
      {"lowBatteryScreen", "    LOW BATTERY    ", {"    LOW BATTERY"}},
  };
}

}  // namespace pelasim::testing
