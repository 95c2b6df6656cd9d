#include "ui/qt/App.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "core/Startup.h"
#include "dialogs/Dialogs.h"
#include "dialogs/qt/KeepInFront.h"
#include "failures/Failures.h"
#include "ui/Dispatch.h"

#if __has_include("record/qt/ResultsViewer.h")
#include "record/qt/ResultsViewer.h"
#define PELASIM_HAVE_VIEWER 1
#endif

namespace pelasim {
namespace {

constexpr int kStatusBarHeight = kStatusBarPixels;
// The window's own size, kept beside the simulator's settings.
const QString kWindowSizeKey = QStringLiteral("Window/Size");

// The windows' own font: a small sans serif, like the labels of the equipment.
QFont windowFont() {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPointSizeF(8.25);
  return f;
}

}  // namespace

void ModelWindow::closeEvent(QCloseEvent* e) {
  if (onClose && !onClose()) e->ignore();
  else e->accept();
}

void ModelWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (onResize) onResize();
}

void ModelDialog::closeEvent(QCloseEvent* e) {
  if (onClose && !onClose()) e->ignore();
  else e->accept();
}

void ModelDialog::reject() {
  // Escape and the close box both ask the model first.
  if (onClose && !onClose()) return;
  QDialog::reject();
}

App::App(const QString& programDir, QObject* parent)
    : QObject(parent), host_(std::make_unique<QtHost>(programDir)) {
  // Creating the window starts its periodic tasks.
  sim_ = std::make_unique<Simulation>(*host_);
  host_->setSyncCallback([this] { syncAll(); });
  host_->setEndCallback([this](const std::string& f) { endProgram(f); });
  buildMainWindow();
  buildDialogs();
  host_->setDialogParent(main_);
  host_->attach(sim_->timers);
}

App::~App() {
  aids_.reset();
  mainView_.reset();
  splashView_.reset();
  optionsView_.reset();
  bailedView_.reset();
  bugView_.reset();
  // Dialogs are top-level windows of their own.
  delete splashDlg_;
  delete optionsDlg_;
  delete bailedDlg_;
  delete bugDlg_;
  delete main_;
}

void App::buildMainWindow() {
  main_ = new ModelWindow;
  main_->setFont(windowFont());
  // The form is drawn on a canvas that scales with the window; the yellow of the window
  // shows beside it when the window's proportions differ from the form's.
  QPalette pal = main_->palette();
  pal.setColor(QPalette::Window, QColor(kYellow.r, kYellow.g, kYellow.b));
  main_->setPalette(pal);
  main_->setAutoFillBackground(true);
  menuBar_ = new QMenuBar(main_);
  QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
  QAction* keyboard = help->addAction(QStringLiteral("&Keyboard"));
  keyboard->setShortcut(QKeySequence(Qt::Key_F1));
  keyboard->setShortcutContext(Qt::WindowShortcut);
  main_->addAction(keyboard);
  connect(keyboard, &QAction::triggered, this, [this] { showKeyboardHelp(); });
  canvas_ = new QWidget(main_);
  canvas_->setFont(windowFont());
  mainView_ = std::make_unique<FormView>(sim_->win, canvas_, host_->programDir());
  mainView_->setEventHandler([this](int id, MouseEvent ev, const MouseArgs& a) {
    const Main m = static_cast<Main>(id);
    if (sim_->win[m].kind == ElementKind::CheckBox && ev == MouseEvent::Click) clickCheckBox(*sim_, m);
    else dispatchMain(*sim_, m, ev, a);
  });
  mainView_->setAfterEvent([this] { syncAll(); });
  main_->onClose = [this] {
    // Closing the window runs the exit routine, exactly as the Exit button does.
    if (!sim_->ended) exitRoutine(*sim_);
    return sim_->ended;
  };

  status_ = new QStatusBar(main_);
  status_->setSizeGripEnabled(true);
  for (Main p : {Main::StatusPanel1, Main::StatusPanel2, Main::StatusPanel3}) {
    auto* l = static_cast<QLabel*>(mainView_->widget(static_cast<int>(p)));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->addWidget(l, p == Main::StatusPanel3 ? 1 : 0);
  }
  for (Main p : {Main::StatusPanel4, Main::StatusPanel5}) {
    auto* l = static_cast<QLabel*>(mainView_->widget(static_cast<int>(p)));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(80);
    status_->addPermanentWidget(l);
  }
  // The time and date panels stay current: one update at every turn of the minute.
  clock_ = new QTimer(this);
  clock_->setSingleShot(true);
  connect(clock_, &QTimer::timeout, this, [this] { updateClock(); });
  updateClock();

  aids_ = std::make_unique<WindowAids>(*sim_, *mainView_, main_, [this] { syncAll(); });
  const int fixed = menuBar_->sizeHint().height() + kStatusBarHeight;
  main_->setMinimumSize(static_cast<int>(kDesignedContent.width() * kSmallestScale),
                        static_cast<int>(kDesignedContent.height() * kSmallestScale) + fixed);
  // Opens at the size it had last time, or as designed, as far as the screen has room.
  const QSize remembered = QSettings(QStringLiteral("PelaSim"), QStringLiteral("PelaSim"))
                               .value(kWindowSizeKey).toSize();
  QScreen* screen = main_->screen() ? main_->screen() : QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
  // The window frame is not known before the window is shown: room for a title bar.
  const QSize frame(8, 38);
  const QSize size = openingSize(remembered, available.size(), frame, menuBar_->sizeHint().height());
  main_->resize(size);
  // In the middle of the screen's free area, frame and all.
  main_->move(available.topLeft() + QPoint(std::max(0, (available.width() - size.width() - frame.width()) / 2),
                                           std::max(0, (available.height() - size.height() - frame.height()) / 2)));
  main_->onResize = [this] { layoutMainWindow(); };
  layoutMainWindow();
}

void App::layoutMainWindow() {
  const int w = main_->width();
  const int h = main_->height();
  const int menu = menuBar_->sizeHint().height();
  menuBar_->setGeometry(0, 0, w, menu);
  status_->setGeometry(0, h - kStatusBarHeight, w, kStatusBarHeight);
  const QSize room(w, h - menu - kStatusBarHeight);
  const double scale = fittingScale(kDesignedContent, QSize(0, 0), room, 8.0);
  const QSize content(static_cast<int>(kDesignedContent.width() * scale + 0.5),
                      static_cast<int>(kDesignedContent.height() * scale + 0.5));
  canvas_->setGeometry((w - content.width()) / 2, menu + std::max(0, (room.height() - content.height()) / 2),
                       content.width(), content.height());
  mainView_->setScale(scale);
  if (aids_) aids_->relayout();
}

void App::rememberWindowSize() {
  if (!mainShown_) return;  // refused at the disclaimer: nothing is saved
  QSettings(QStringLiteral("PelaSim"), QStringLiteral("PelaSim")).setValue(kWindowSizeKey, main_->size());
}

KeyboardWindow* App::showKeyboardHelp() {
  if (!keyboardHelp_) {
    keyboardHelp_ = new KeyboardWindow(main_);
    keyboardHelp_->setAttribute(Qt::WA_DeleteOnClose);
  }
  keyboardHelp_->show();
  keyboardHelp_->raise();
  return keyboardHelp_;
}

void App::updateClock() {
  const QDateTime now = QDateTime::currentDateTime();
  auto* t = static_cast<QLabel*>(mainView_->widget(static_cast<int>(Main::StatusPanel4)));
  auto* d = static_cast<QLabel*>(mainView_->widget(static_cast<int>(Main::StatusPanel5)));
  t->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
  d->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
  const int msToNextMinute = 60000 - (now.time().second() * 1000 + now.time().msec()) + 50;
  clock_->start(msToNextMinute);
}

void App::buildDialogs() {
  const QString dir = host_->programDir();
  auto makeDialog = [&](FormModel& model, std::unique_ptr<FormView>& view) {
    auto* dlg = new ModelDialog(nullptr);
    dlg->setFont(windowFont());
    const Element& form = model.at(0);
    dlg->setFixedSize(px(form.width), px(form.height));
    view = std::make_unique<FormView>(model, dlg, dir);
    view->setAfterEvent([this] { syncAll(); });
    return dlg;
  };

  splashDlg_ = makeDialog(sim_->splash, splashView_);
  // The disclaimer and "Bailed !" have no caption of their own; the task bar names them.
  splashView_->setUntitledName(QStringLiteral("Orvane Pelagrinova Simulator: Disclaimer"));
  splashDlg_->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  splashView_->setEventHandler([this](int id, MouseEvent ev, const MouseArgs&) {
    dispatchSplash(*sim_, static_cast<SplashId>(id), ev);
  });
  splashDlg_->onClose = [this] {
    if (sim_->splash[SplashId::Form].visible) disclaimerRefuse(*sim_);
    return true;
  };

  optionsDlg_ = makeDialog(sim_->options, optionsView_);
  optionsDlg_->setModal(true);
  optionsView_->setEventHandler([this](int id, MouseEvent ev, const MouseArgs&) {
    const Opt o = static_cast<Opt>(id);
    if (sim_->options[o].kind == ElementKind::CheckBox && ev == MouseEvent::Click) clickOptionBox(*sim_, o);
    else dispatchOptions(*sim_, o, ev);
  });
  optionsView_->setValueHandler([this](int id, int v) {
    sim_->options.setValue(static_cast<Opt>(id), v);
    optionSliderChange(*sim_, v);
  });
  optionsDlg_->onClose = [this] {
    if (sim_->options[Opt::Form].visible) optionsCloseBox(*sim_);
    sim_->options.setVisible(Opt::Form, false);
    return true;
  };

  bailedDlg_ = makeDialog(sim_->bailed, bailedView_);
  bailedView_->setUntitledName(QStringLiteral("Bailed out"));
  bailedDlg_->setModal(false);
  bailedDlg_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  bailedView_->setEventHandler([this](int id, MouseEvent ev, const MouseArgs&) {
    dispatchBailed(*sim_, static_cast<BailedId>(id), ev);
  });
  bailedDlg_->onClose = [this] { return !sim_->bailed[BailedId::Form].visible || bailedCloseRequest(*sim_); };

  bugDlg_ = makeDialog(sim_->bugReport, bugView_);
  bugDlg_->setModal(true);
  bugView_->setEventHandler([this](int id, MouseEvent ev, const MouseArgs&) {
    dispatchBugReport(*sim_, static_cast<BugId>(id), ev);
  });
  bugView_->setValueHandler([this](int id, int v) { sim_->bugReport.setValue(static_cast<BugId>(id), v); });
  bugView_->setTextHandler([this](int id, const std::string& t) {
    sim_->bugReport.setCaption(static_cast<BugId>(id), t);
    sim_->bugReport.takeChanged();  // typed by the user: the widget already shows it
  });
  bugDlg_->onClose = [this] {
    bugView_->flushTypedText();
    // Closing the form with its window button sends nothing.
    sim_->bugReport.setVisible(BugId::Form, false);
    return true;
  };

  // "Bailed !" stays in front of the main window and of any form opened while it is shown.
  auto* bailedInFront = new KeepInFront(bailedDlg_, this);
  for (QWidget* w : {static_cast<QWidget*>(main_), static_cast<QWidget*>(optionsDlg_),
                     static_cast<QWidget*>(bugDlg_)})
    bailedInFront->watch(w);
}

void App::syncAll() {
  if (syncing_) return;
  syncing_ = true;
  mainView_->sync();
  if (aids_) aids_->refresh();
  splashView_->sync();
  optionsView_->sync();
  bailedView_->sync();
  bugView_->sync();

  // Windows follow the visibility of their form element.
  const bool mainVisible = sim_->win[Main::Form].visible;
  if (mainVisible != main_->isVisible()) main_->setVisible(mainVisible);
  mainShown_ = mainShown_ || mainVisible;
  if (!sim_->splash[SplashId::Form].visible && splashDlg_->isVisible()) splashDlg_->done(QDialog::Accepted);
  if (sim_->bailed[BailedId::Form].visible) {
    if (!bailedDlg_->isVisible()) {
      bailedDlg_->show();
      bailedDlg_->raise();
    }
  } else if (bailedDlg_->isVisible()) {
    bailedDlg_->hide();
  }
  for (auto [dlg, visible] : {std::pair{optionsDlg_, sim_->options[Opt::Form].visible},
                              std::pair{bugDlg_, sim_->bugReport[BugId::Form].visible}}) {
    if (!visible && dlg->isVisible()) dlg->done(QDialog::Accepted);
    if (visible && !dlg->isVisible() && !modalPending_) {
      // Modal dialogs run their own event loop: start it once the current handler is done.
      modalPending_ = true;
      QTimer::singleShot(0, this, [this, d = dlg] {
        modalPending_ = false;
        d->exec();
        syncAll();
      });
    }
  }
  syncing_ = false;
}

bool App::start() {
  startUp(*sim_);
  disclaimerLoad(*sim_);
  syncAll();
  splashDlg_->exec();
  if (sim_->splash[SplashId::Form].visible) disclaimerRefuse(*sim_);
  if (!afterDisclaimer(*sim_)) return false;
  syncAll();
  return true;
}

int App::run() {
  if (!start()) return 0;
  return QApplication::exec();
}

void App::endProgram(const std::string& resultsFile) {
  // The dive is over: silence the gas and general channels and the loops.
  for (SoundChannel c : {SoundChannel::GasControl, SoundChannel::General, SoundChannel::FreeFlow,
                         SoundChannel::Injector})
    host_->stop(c);
  rememberWindowSize();
  if (onEnd) {
    onEnd(resultsFile);
    return;
  }
  main_->hide();
  bailedDlg_->hide();
#ifdef PELASIM_HAVE_VIEWER
  if (!resultsFile.empty()) {
    ResultsViewer viewer(ResultsViewer::Mode::Simulator);
    viewer.loadFile(QString::fromStdString(resultsFile));
    viewer.exec();
  }
#endif
  QCoreApplication::exit(0);
}

}  // namespace pelasim
