#pragma once
// The failure options dialog `FrmOptions`: 23 option boxes in nine frames, the delay slider,
// the arm button and the two service buttons. The ticks are the instructor's failure
// selection; the dialog is only ever hidden, so they stay between openings.

#include "forms/FormModel.h"

namespace pelasim {

enum class Opt : int {
  Form,
  FrameGeneral, Check1, Check2,
  FrameCells, Check4, Check3, Check6, Check5,
  FrameBatteries, Check9, Check10, Check7,
  FrameSolenoid, Check11, Check8,
  FrameDump, Check22,
  FrameAdv, Check13, Check12,
  FrameO2Injector, Check15, Check14, Check21,
  FrameDilInjector, Check16, Check17, Check23,
  FrameHandsets, Check19, Check18, Check20,
  Slider1, Command1, Command2, Command3,
  CommandStation,  // "Instructor station…": opens the station's address and QR code
  Count
};

// Names of the options by what they do (the box that carries each).
namespace option {
inline constexpr Opt MustCalibrate = Opt::Check1;
inline constexpr Opt DarkAtDepth = Opt::Check2;
inline constexpr Opt CellSlow = Opt::Check3;
inline constexpr Opt CellDrift = Opt::Check4;
inline constexpr Opt TwoCellDrift = Opt::Check5;
inline constexpr Opt CellFailure = Opt::Check6;
inline constexpr Opt BatteryBounce = Opt::Check7;
inline constexpr Opt SolenoidStuckClosed = Opt::Check8;
inline constexpr Opt MasterBatteryLow = Opt::Check9;
inline constexpr Opt MasterBatteryExhausted = Opt::Check10;
inline constexpr Opt SolenoidStuckOpen = Opt::Check11;
inline constexpr Opt AdvFailed = Opt::Check12;
inline constexpr Opt AdvFreeFlow = Opt::Check13;
inline constexpr Opt O2InjectorFailed = Opt::Check14;
inline constexpr Opt O2InjectorStuckOn = Opt::Check15;
inline constexpr Opt DiluentInjectorStuckOn = Opt::Check16;
inline constexpr Opt DiluentInjectorFailed = Opt::Check17;
inline constexpr Opt SlaveTurnedOff = Opt::Check18;
inline constexpr Opt MasterTurnedOff = Opt::Check19;
inline constexpr Opt HandsetFlood = Opt::Check20;
inline constexpr Opt O2InjectorPhysical = Opt::Check21;
inline constexpr Opt DumpValvePhysical = Opt::Check22;
inline constexpr Opt DiluentInjectorPhysical = Opt::Check23;
}  // namespace option

class OptionsFormModel : public Form<Opt> {
 public:
  OptionsFormModel();
};

}  // namespace pelasim
