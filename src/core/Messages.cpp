#include "core/Messages.h"

namespace pelasim {

const std::array<std::string, kHandsetMessageCount>& handsetMessageTable() {
  static const std::array<std::string, kHandsetMessageCount> table = [] {
    std::array<std::string, kHandsetMessageCount> t{};
    t[1] = "  K.T.Marine    Pelagrinova  ";
    t[3] = "       DIVE NOW ?        Confirm    ";
    t[4] = "        SLAVE          Waiting for Data    ";
    t[6] = " BATTERY WARNING     REPLACE   ";
    t[7] = "        DIVE NOW?    YES                      NO ";
    t[8] = "       LOW BATTERY       REPLACE    ";
    t[9] = "        NO DIVE    ";
    t[12] = std::string(40, ' ') + "NO DIVE    ";
    t[13] = "     CHECK DILUENT!      Confirm    ";
    t[14] = "      CALIBRATE ?      YES                     NO ";
    t[15] = "   MUST CALIBRATE!      YES                     NO ";
    t[16] = "    OPEN O2 VALVE  Confirm";
    t[20] = "    Open Mouthpiece!     Confirm";
    t[21] = "     OPEN O2 VALVE!        Confirm";
    t[23] = "          NO OXYGEN            Check Valve  ";
    t[24] = "     NO CALIBRATION   ";
    t[25] = "       NO DIVE       ";
    t[26] = "      CELL STUCK       ";
    t[28] = "      OUT OF RANGE     ";
    t[30] = "      NO DIVE       ";
    t[31] = "     NO CALIBRATION    ";
    t[32] = t[33] = t[34] = "   CALIBRATING  ";
    t[44] = "      RESET NOW     Yes                         No  ";
    t[53] = "  RESET OTHER UNIT  ";
    t[54] = "    LOW BATTERY    ";
    return t;
  }();
  return table;
}

}  // namespace pelasim
