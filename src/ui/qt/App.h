#pragma once
// The simulator program: the Qt host, the simulation, the main window and the dialogs that
// mirror their models, the start-up disclaimer and the hand-over to the results viewer.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/Simulation.h"
#include "ui/qt/FormView.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/WindowAids.h"

class QMenuBar;
class QStatusBar;
class QLabel;
class QTimer;

namespace pelasim {

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

 private:
  void buildMainWindow();
  // Places the menu bar, the scaled content and the status bar in the window's present size.
  void layoutMainWindow();
  void rememberWindowSize();
  void buildDialogs();
  void updateClock();
  void endProgram(const std::string& resultsFile);

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
};

}  // namespace pelasim
