#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface thread. The signal
// handler only writes the signal's number into a socket pair (the one thing it may safely
// do); a QSocketNotifier reads it in the event loop, where the exit routine can run.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace pelasim {

class ExitSignals : public QObject {
  Q_OBJECT
 public:
  // Installs the handlers; one object per program.
  explicit ExitSignals(QObject* parent = nullptr);
  ~ExitSignals() override;

 Q_SIGNALS:
  void exitRequested(int signalNumber);

 private:
  void readSignal();
  QSocketNotifier* notifier_ = nullptr;
};

// Runs `atExit` when the process ends through exit() while the program is still running:
// Qt's X11 back end does that when the display connection breaks. An empty function (set
// before the objects it uses are gone) cancels it.
void runAtProcessExit(std::function<void()> atExit);

// Ends the process after `ms` milliseconds whatever it is doing: the bound on an exit the
// desktop asked for, should the disk or a nested wait hold it up.
void endProcessAfter(int ms);

}  // namespace pelasim
