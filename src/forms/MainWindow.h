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
