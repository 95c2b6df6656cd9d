#pragma once
// Keeps one window in front of the program's other windows while it is shown: the "Bailed !"
// dialog must not disappear behind the main window or a dialog the trainee opens meanwhile.
//
// The window also carries the stay-on-top hint, which a window manager honours by itself.
// Without a window manager (a bare X server, a kiosk session) the most recently mapped or
// activated window ends up on top, so whenever one of the watched windows is shown or
// activated this raises the kept window again, once that window has been mapped.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace pelasim {

class KeepInFront : public QObject {
  Q_OBJECT
 public:
  explicit KeepInFront(QWidget* front, QObject* parent = nullptr);

  // Raises the kept window whenever `window` is shown or activated.
  void watch(QWidget* window);
  // Raises the kept window now, when it is shown.
  void raiseFront();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> front_;
  bool raisePending_ = false;
};

}  // namespace pelasim
