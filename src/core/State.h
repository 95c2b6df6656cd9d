#pragma once
// The shared state of the simulation: every variable that the handlers read and write, with
// its unit and start value. The start-up routine gives them their values in a fixed order;
// from then on the handlers change them until the program ends. Variables that start "empty"
// are held so that they read as 0 (or as the empty text) until first written.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/RecordTable.h"
#include "core/Types.h"

namespace pelasim {

// A cylinder valve; the screens call the states "OFF" and "OPEN".
enum class Valve : std::uint8_t { Off, Open };
// The mouthpiece; the record calls the states "Closed" and "Open".
enum class Mouthpiece : std::uint8_t { Closed, Open };
// The oxygen solenoid: working, or failed stuck open or stuck closed.
enum class Solenoid : std::uint8_t { Normal, StuckOpen, StuckClosed };

// "OPEN" or "OFF", as the valve's state caption shows it.
inline const char* valveText(Valve v) { return v == Valve::Open ? "OPEN" : "OFF"; }
// "Open" or "Closed", as the status messages name the mouthpiece.
inline const char* mouthpieceText(Mouthpiece m) { return m == Mouthpiece::Open ? "Open" : "Closed"; }
// "Normal", "Open" (stuck open) or "Closed" (stuck closed).
inline const char* solenoidText(Solenoid s) {
  return s == Solenoid::StuckOpen ? "Open" : s == Solenoid::StuckClosed ? "Closed" : "Normal";
}

// The screen a handset shows next, by name; the numbers are the designed state numbers
// (0 blank, 17 master running, 22 flush and calibration, 50 to 54 warning screens).
namespace ds {
enum DisplayState : int {
  Blank = 0,
  SelfTest = 1,
  ScrubberTime = 2,
  DiveNowConfirm = 3,
  SlaveWaiting = 4,
  SlaveRunning = 5,
  BatteryWarning = 6,
  BatteryDiveNow = 7,
  LowBattery = 8,
  LowBatteryNoDive = 9,
  BootCellFailure = 10,
  BootCellReplace = 11,
  BootCellNoDive = 12,
  CheckDiluent = 13,
  CalibrateQuery = 14,
  MustCalibrate = 15,
  OpenValve = 16,
  MasterRunning = 17,
  CalPressureMenu = 18,
  CalOxygenMenu = 19,
  OpenMouthpiece = 20,
  OpenValveToFlush = 21,
  FlushAndCalibrate = 22,
  NoOxygen = 23,
  NoOxygenNoCalibration = 24,
  NoOxygenNoDive = 25,
  CellStuck = 26,
  CalCellFailure = 27,
  CalOutOfRange = 28,
  CalCellReplace = 29,
  CalNoDive = 30,
  CalNoCalibration = 31,
  CalibratingHold = 32,
  HighSetpointMenu = 40,
  LowSetpointMenu = 41,
  BrightnessMenu = 42,
  OnTimeShow = 43,
  ResetQuery = 44,
  OnTimeReset = 45,
  CellWarningScreen = 50,
  LowOxygenScreen = 51,
  HighOxygenScreen = 52,
  LowBatteryScreen = 54,
};
}  // namespace ds

// One handset's electronics (the record's fields are numbered 1 to 16; the names are
// used here). Cell arrays are indexed by cell number 1 to 3; index 0 is unused.
struct HandsetRecord {
  bool power = false;                          // electronics on
  std::array<double, 4> cellPO2{};             // reading per cell, bar
  std::array<double, 4> cellCalibration{};     // factor per cell, bar per millivolt
  std::optional<double> onTimeMinutes;         // minutes on; counted on the left record only
  double highSetpoint = 1.3;                   // bar
  double lowSetpoint = 0.7;                    // bar
  int role = 0;                                // 1 = master
  bool hardwareSwitch = false;                 // switch on (starts off)
  ds::DisplayState displayState = ds::Blank;   // screen state (starts empty, read as 0)
  int brightness = 30;                         // backlight level
  double batteryVolts = 6.2;                   // volts
};

// One oxygen cell; the table is indexed by cell number 1 to 3.
struct Cell {
  double airMillivolts = 0;   // output in air (PO2 0.21 bar), millivolts
  double millivolts = 5;      // present output, millivolts; exactly 0 marks a failed cell
  float offsetMillivolts = 0; // fixed error, millivolts, in (-1, 1)
};

struct State {
  // Environment.
  int depthMetres = 0;               // metres, 0 to 40
  int depthStep = 1;                 // metres per click of a depth arrow
  int surfacePressureMb = 1013;      // millibars
  double oxygenAnalysisPercent = 100;  // percent oxygen in the oxygen cylinder
  double metabolicRate = 1;          // litres of oxygen per minute

  // Breathing loop.
  double loopPO2 = 0.21;             // true oxygen partial pressure, bar
  double counterlungPercent = 20;    // fill, percent of loopCapacity (not limited)
  double loopCapacity = 16;          // litres at 100 % fill
  bool breathing = false;            // the diver breathes from the loop
  Mouthpiece mouthpieceState = Mouthpiece::Closed;
  double scrubberMinutes = 14;       // minutes breathed on this scrubber (persisted)

  // Diver's gas controls.
  Valve oxygenValveState = Valve::Off;
  Valve diluentValveState = Valve::Off;
  std::uint32_t o2InjectorPressTick = 0, o2InjectorReleaseTick = 0;  // ms ticks
  std::uint32_t diluentPressTick = 0, diluentReleaseTick = 0;        // ms ticks
  std::uint32_t dumpPressTick = 0;                                   // ms tick

  // Electronics.
  std::array<HandsetRecord, 2> handsets{};  // indexed by Side
  std::array<Cell, 4> cells{};              // cells 1 to 3
  double currentSetpoint = 0.7;             // bar
  std::optional<double> votedPO2;           // voted PO2 as the master shows it (two decimals), bar; none at start
  std::optional<double> cellSpread;         // bar; unset until the first controller tick
  std::optional<Side> setpointSwitchSide;   // handset whose middle button went down last
  std::optional<Side> switchOffSide;        // handset whose two right buttons were pressed last
  Rgb screenBackColour{30, 100, 30};
  double calibrationPressureMb = 1000;      // millibars
  double calibrationOxygenPercent = 100;    // percent
  std::optional<int> bootFailedCell;        // 1 to 3
  double flushClampCount = 0;               // consecutive clamped flush steps
  std::array<std::string, 56> handsetMessages{};  // fixed screen texts, filled at start-up

  // Failure-mode training.
  bool darkAtDepthFault = false;
  Solenoid solenoidFault = Solenoid::Normal;
  bool advFailedFault = false;
  bool advFreeFlowFault = false;
  bool o2InjectorFailedFault = false;
  bool o2InjectorStuckOnFault = false;
  bool diluentInjectorFailedFault = false;
  bool diluentInjectorStuckOnFault = false;
  bool o2InjectorPhysicalFault = false;
  bool diluentInjectorPhysicalFault = false;
  bool dumpValvePhysicalFault = false;
  std::array<double, 4> cellDriftRate{};    // millivolts per cell 1 to 3; 0 = no drift
  int slowCellNumber = 0;                   // 0 = none
  int randomCellIndex = 0;                  // 0 to 3
  std::uint32_t optionsChangeTick = 0;      // ms tick

  // Recording: the per-second dive record and its current row (seconds since start-up).
  DiveRecord diveRecord;
  int recordRow = 0;

  // Program settings.
  bool soundOn = true;                      // sounds enabled ("Sound" box)
  bool disclaimerAnswer = false;            // the start-up warning was accepted

  HandsetRecord& handset(Side s) { return handsets[static_cast<std::size_t>(s)]; }
  // The handset that acts as master: powered and holding the role, the left one first. A
  // handset without power is never the master, whatever its record says.
  std::optional<Side> masterSide() const {
    for (Side s : {Side::Left, Side::Right})
      if (handset(s).power && handset(s).role == 1) return s;
    return std::nullopt;
  }
  // The electronics go off: a handset without power gives up the master role, so the next
  // handset powered on its own becomes master and two handsets never both hold the role.
  void losePower(Side s) {
    handset(s).power = false;
    handset(s).role = 0;
  }
  const HandsetRecord& handset(Side s) const { return handsets[static_cast<std::size_t>(s)]; }

  // Ambient pressure, bar; derived, never stored.
  double ambientBar() const { return surfacePressureMb / 1000.0 + depthMetres / 10.0; }
  // Loop gas volume, litres; derived, never stored.
  double loopLitres() const { return counterlungPercent * loopCapacity / 100.0; }
};

}  // namespace pelasim
