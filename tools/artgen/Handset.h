#pragma once
// The rebreather handset: one body, drawn in the states the simulator shows.

#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

namespace artgen {

// Which pair of buttons the pointer hovers over: the highlight pictures mark it.
enum class Pair { None, Outers, Rights };

struct HandsetLook {
  bool switchOn = true;
  bool leftPressed = false, middlePressed = false, rightPressed = false;
  Pair highlight = Pair::None;
  // Text lit on the screen (only the small renderings for the splash and the icon use it;
  // in the simulator the screen text is a label drawn over the picture).
  QString screenText;
};

// Size of a handset picture file: twice the 412 x 320 pixels (6180 x 4800 twips) that the
// main window gives each handset picture.
inline constexpr QSize kHandsetSize(824, 640);

// Places on the picture, in picture pixels; see Handset.cpp for where they come from.
QRectF handsetScreen();
QRectF handsetLeftButton();
QRectF handsetMiddleButton();
QRectF handsetRightButton();
QRectF handsetSwitch();

// Paints the handset filling kHandsetSize, on the shared backdrop unless `withBackdrop` is
// false (small renderings placed on a picture of their own).
void paintHandset(QPainter& p, const HandsetLook& look, bool withBackdrop = true);

}  // namespace artgen
