#pragma once
// What the main window adds for the keyboard, screen readers and a wandering pointer: every
// key of the window goes to the keyboard control (a held key is a held button); accessible
// names and descriptions follow the model; with the pointer over a two-button zone, the two
// buttons it stands for are outlined on the handset picture. Also the window's size: it
// scales as a whole, keeping its proportions, and opens at a size that fits its screen.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>

#include "access/Keyboard.h"
#include "forms/MainWindow.h"

namespace pelasim {

class FormView;
class Simulation;

// The designed size of the main window's content in pixels at 96 dpi, without the menu bar
// and the status bar.
inline constexpr QSize kDesignedContent{1016, 680};
inline constexpr int kStatusBarPixels = 24;
// The smallest scale the window may be shrunk to: texts stay readable.
inline constexpr double kSmallestScale = 0.5;

// The largest scale, up to `ceiling`, at which content of `designed` pixels plus `extra`
// pixels of fixed parts (menu bar, status bar, window frame) fits into `available`.
double fittingScale(QSize designed, QSize extra, QSize available, double ceiling = 1.0);

// The window size to open at: the remembered one (or the designed one at scale 1) where it
// fits into `available`, otherwise the largest that fits, keeping the proportions.
QSize openingSize(QSize remembered, QSize available, QSize frame, int menuBarHeight);

// Outlines the two buttons of the two-button zone under the pointer.
class PairHighlight : public QWidget {
 public:
  PairHighlight(FormView& view, QWidget* parent);
  // The zone outlined now, or Main::Count for none.
  Main zone() const { return zone_; }
  void setZone(Main zone);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  FormView& view_;
  Main zone_ = Main::Count;
};

// The Help → Keyboard window: every key of the main window and what it does.
class KeyboardWindow : public QDialog {
 public:
  explicit KeyboardWindow(QWidget* parent = nullptr);
};

class WindowAids : public QObject {
 public:
  // `after` runs after every key the window takes (the owner mirrors the models then).
  WindowAids(Simulation& sim, FormView& view, QWidget* window, std::function<void()> after);
  // Brings accessible names and descriptions up to date with the model; `textsOnly` looks at
  // the labels alone (value readouts, handset screens), the only elements whose text changes.
  void refresh(bool textsOnly = true);
  PairHighlight* highlight() const { return highlight_; }
  KeyboardControl& keys() { return keys_; }
  // Lays the highlight over the handsets again after the window was scaled.
  void relayout();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool keyEvent(QWidget* target, QEvent* event);
  Simulation& sim_;
  FormView& view_;
  QWidget* window_;
  std::function<void()> after_;
  KeyboardControl keys_;
  PairHighlight* highlight_;
};

}  // namespace pelasim
