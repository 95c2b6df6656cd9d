#pragma once
// The simulator program: the Qt host, the simulation, the main window and the dialogs that
// mirror their models, the start-up disclaimer and the hand-over to the results viewer.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/Startup.h"
#include "core/DiveObserverList.h"
#include "library/DiveRecorder.h"
#include "sim/Simulation.h"
#include "ui/qt/FormView.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/WindowAids.h"

class QMenuBar;
class QStatusBar;
class QLabel;
class QTimer;

namespace pelasim {
namespace lesson {
class LessonSession;
}

namespace station {
class StationServer;
}

// A top-level window whose close box asks first.
class ModelWindow : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<bool()> onClose;  // true: the window may close
  std::function<void()> onResize;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
};

class ModelDialog : public QDialog {
 public:
  using QDialog::QDialog;
  std::function<bool()> onClose;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
};

class App : public QObject {
  Q_OBJECT
 public:
  explicit App(const QString& programDir, QObject* parent = nullptr);
  ~App() override;

  // Start-up routine, disclaimer; returns false when the disclaimer was refused. The main
  // window is shown when it returns true.
  bool start();
  // start() and then the event loop until the program ends.
  int run();

  Simulation& sim() { return *sim_; }
  QtHost& host() { return *host_; }
  ModelWindow* mainWindow() { return main_; }
  ModelDialog* splashDialog() { return splashDlg_; }
  ModelDialog* optionsDialog() { return optionsDlg_; }
  ModelDialog* bailedDialog() { return bailedDlg_; }
  ModelDialog* bugReportDialog() { return bugDlg_; }
  FormView& mainView() { return *mainView_; }
  // The keyboard, accessibility and two-button zone aids of the main window.
  WindowAids& aids() { return *aids_; }
  // The main window's content (the form drawn at its present scale) and its menu bar.
  QWidget* mainContent() { return canvas_; }
  QMenuBar* menuBar() { return menuBar_; }
  // Opens the Help → Keyboard window (F1).
  KeyboardWindow* showKeyboardHelp();
  // Mirrors every model into its widgets and shows or hides the windows as the models say.
  void syncAll();
  // What happens when the program ends (tests replace it to keep the process alive).
  std::function<void(const std::string& resultsFile)> onEnd;

  // The dive library's folder: the platform's application data folder
  // ($XDG_DATA_HOME/OrvanePelaSim).
  static QString libraryFolder();
  // Keeps this dive in the library from now on (called when the main window opens); tells
  // the user of dives that an earlier run left unfinished.
  void startLibrary();
  library::DiveRecorder* recorder() { return recorder_.get(); }
  // A signal or the end of the desktop session: runs the exit routine without asking
  // anything and ends the program, the results viewer unshown.
  // `fromEventLoop` false: the process is ending already (exit() was called); only the
  // saving is done.
  void exitWithoutQuestions(bool fromEventLoop = true);
  // The instructor station: started by start() when a port was given (`--station[=PORT]`,
  // 0 for any free port), or by "Instructor station…" in the options dialog. Prints the
  // address on standard output when it starts; stops with the program.
  void setStationOnStart(quint16 port) { stationOnStart_ = port; }
  bool startStation(quint16 port, bool allowOtherDevices = false);
  void showStationDialog();
  station::StationServer* station() { return station_.get(); }

  // Lessons: `--lesson FILE` starts that lesson once the disclaimer is accepted; the
  // "Lessons" menu lets the trainee choose one. Each begins with its briefing.
  void setLessonOnStart(const QString& path) { lessonOnStart_ = path; }
  // Reads the lesson file, shows its briefing and starts it when the trainee says so.
  // Returns false (with a message naming every error) when the file is not a lesson.
  bool startLesson(const QString& path);
  void chooseLesson();
  lesson::LessonSession* lesson() { return lesson_.get(); }
  // Asks before a lesson replaces the running one; tests replace it. True: go on.
  std::function<bool(const QString& question)> confirmLesson;

 private:
  void buildMainWindow();
  // Places the menu bar, the scaled content and the status bar in the window's present size.
  void layoutMainWindow();
  void rememberWindowSize();
  void buildDialogs();
  void updateClock();
  void endProgram(const std::string& resultsFile);

  std::unique_ptr<library::DiveRecorder> recorder_;
  ExitOptions exitOptions_;
  std::unique_ptr<QtHost> host_;
  std::unique_ptr<Simulation> sim_;
  ModelWindow* main_ = nullptr;
  QWidget* canvas_ = nullptr;
  QMenuBar* menuBar_ = nullptr;
  std::unique_ptr<WindowAids> aids_;
  QPointer<KeyboardWindow> keyboardHelp_;
  QStatusBar* status_ = nullptr;
  QTimer* clock_ = nullptr;
  ModelDialog* splashDlg_ = nullptr;
  ModelDialog* optionsDlg_ = nullptr;
  ModelDialog* bailedDlg_ = nullptr;
  ModelDialog* bugDlg_ = nullptr;
  std::unique_ptr<FormView> mainView_, splashView_, optionsView_, bailedView_, bugView_;
  bool syncing_ = false;
  bool mainShown_ = false;
  bool modalPending_ = false;
  DiveObserverList observers_;
  // The dive as recorded, for the debrief at exit.
  DiveCollector collected_;
  std::unique_ptr<station::StationServer> station_;
  std::optional<quint16> stationOnStart_;
  std::unique_ptr<lesson::LessonSession> lesson_;
  QString lessonOnStart_;
  // Ends the lesson (its outcome goes into the dive's events) before the dive is closed.
  void finishLesson();
};

}  // namespace pelasim
