#pragma once
// The main window `OrvanePelaSim`: every element with its name, caption, tool tip and place.

#include "forms/FormModel.h"

namespace pelasim {

enum class Main : int {
  Form,
  Frame1, Frame5, Label1, Image9, Image10,
  Frame6, Label2, Image12, Image11,
  Frame7, Label3, Image14, Image13,
  Frame8, Label4, Image16, Image15,
  Frame3, Image2, Image3, Shape1, Shape2, Label14, Label15,
  Label8, Label10, Label9, Label18, Label19, LHOO,
  Label11, Label12, Label13, Label20, Label21, RHOO,
  Frame2, Image20, Image4, Label7, Image5, Image18, Image19, Image6, Image7, Label6,
  Frame4, Shape3, ClungVolBar, Image8, Image17, ADVOn,
  Frame9, Command2, Check2, Check1, Command3, Command1,
  Image1, Label16, Label17,
  StatusPanel1, StatusPanel2, StatusPanel3, StatusPanel4, StatusPanel5,
  Count
};

// Names of the elements by what they are, for the handlers; the layout table keeps the
// designed names.
namespace element {
// Environment.
inline constexpr Main depthLabel = Main::Label1;
inline constexpr Main shallowerArrow = Main::Image9;
inline constexpr Main deeperArrow = Main::Image10;
inline constexpr Main pressureFrame = Main::Frame6;
inline constexpr Main pressureLabel = Main::Label2;
inline constexpr Main pressureUpArrow = Main::Image12;
inline constexpr Main pressureDownArrow = Main::Image11;
inline constexpr Main oxygenFrame = Main::Frame7;
inline constexpr Main oxygenLabel = Main::Label3;
inline constexpr Main oxygenUpArrow = Main::Image14;
inline constexpr Main oxygenDownArrow = Main::Image13;
inline constexpr Main metabolicLabel = Main::Label4;
inline constexpr Main metabolicUpArrow = Main::Image16;
inline constexpr Main metabolicDownArrow = Main::Image15;
// Electronics.
inline constexpr Main leftHandset = Main::Image2;
inline constexpr Main rightHandset = Main::Image3;
inline constexpr Main leftBacklight = Main::Shape1;
inline constexpr Main rightBacklight = Main::Shape2;
inline constexpr Main leftScreen = Main::Label14;
inline constexpr Main rightScreen = Main::Label15;
inline constexpr Main leftLeftButton = Main::Label8;
inline constexpr Main leftMiddleButton = Main::Label10;
inline constexpr Main leftRightButton = Main::Label9;
inline constexpr Main leftOuterPair = Main::Label18;
inline constexpr Main leftRightPair = Main::Label19;
inline constexpr Main leftSwitch = Main::LHOO;
inline constexpr Main rightLeftButton = Main::Label11;
inline constexpr Main rightMiddleButton = Main::Label12;
inline constexpr Main rightRightButton = Main::Label13;
inline constexpr Main rightOuterPair = Main::Label20;
inline constexpr Main rightRightPair = Main::Label21;
inline constexpr Main rightSwitch = Main::RHOO;
// Gas control.
inline constexpr Main bailOutPicture = Main::Image20;
inline constexpr Main diluentValve = Main::Image4;
inline constexpr Main diluentValveCaption = Main::Label7;
inline constexpr Main diluentInjector = Main::Image5;
inline constexpr Main mouthpiece = Main::Image18;
inline constexpr Main breathingPicture = Main::Image19;
inline constexpr Main oxygenInjector = Main::Image6;
inline constexpr Main oxygenValve = Main::Image7;
inline constexpr Main oxygenValveCaption = Main::Label6;
// Volume.
inline constexpr Main counterlungScale = Main::Shape3;
inline constexpr Main counterlungCover = Main::ClungVolBar;
inline constexpr Main dumpValve = Main::Image8;
inline constexpr Main advButton = Main::Image17;
inline constexpr Main advEnabledBox = Main::ADVOn;
// Controls.
inline constexpr Main optionsButton = Main::Command2;
inline constexpr Main warningsBox = Main::Check2;
inline constexpr Main soundBox = Main::Check1;
inline constexpr Main reportBugButton = Main::Command3;
inline constexpr Main exitButton = Main::Command1;
// Hidden diagnostic readouts and the status bar.
inline constexpr Main loopPO2Readout = Main::Label16;
inline constexpr Main cellMillivoltReadout = Main::Label17;
inline constexpr Main versionPanel = Main::StatusPanel1;
inline constexpr Main titlePanel = Main::StatusPanel2;
inline constexpr Main noticePanel = Main::StatusPanel3;
}  // namespace element

// Colours of the window: background yellow, text dark blue.
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kDarkBlue{0, 0, 64};

// Font used for the handset screens (the screen labels `Label14` and `Label15`).
inline constexpr const char* kHandsetScreenFont = "Liberation Sans";
inline constexpr double kHandsetScreenPoints = 18;

class MainWindowModel : public Form<Main> {
 public:
  MainWindowModel();
};

}  // namespace pelasim
