#include "dialogs/qt/KeepInFront.h"

#include <QEvent>
#include <QTimer>

namespace pelasim {

KeepInFront::KeepInFront(QWidget* front, QObject* parent) : QObject(parent), front_(front) {
  front->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  front->installEventFilter(this);
}

void KeepInFront::watch(QWidget* window) {
  if (window) window->installEventFilter(this);
}

void KeepInFront::raiseFront() {
  if (front_ && front_->isVisible()) front_->raise();
}

bool KeepInFront::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type t = event->type();
  const bool own = watched == front_;
  if ((own && t == QEvent::Show) ||
      (!own && (t == QEvent::Show || t == QEvent::WindowActivate))) {
    // The show event comes before the window is mapped: raise once the window system has
    // placed the other window, so the kept one ends up above it.
    if (!raisePending_) {
      raisePending_ = true;
      QTimer::singleShot(0, this, [this] {
        raisePending_ = false;
        raiseFront();
      });
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pelasim
