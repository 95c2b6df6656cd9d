#include "ui/qt/App.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>

#include "app/Dispatch.h"
#include "app/Startup.h"
#include "app/Tasks.h"
#include "core/Format.h"
#include "dialogs/Dialogs.h"
#include "dialogs/qt/KeepInFront.h"
#include "lesson/Course.h"
#include "lesson/LessonFile.h"
#include "lesson/qt/LessonWindows.h"
#include "failures/Failures.h"
#include "record/DiveRecord.h"
#include "datafile/DataFile.h"
#include "debrief/qt/DiveChartView.h"
#include "viewer/ResultsViewer.h"
#include "station/qt/StationDialog.h"
#include "station/qt/StationServer.h"
#include "ui/qt/ExitSignals.h"


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
  installTasks(*sim_);
  host_->setSyncCallback([this] { syncAll(); });
  host_->setEndCallback([this](const std::string& f) { endProgram(f); });
  buildMainWindow();
  buildDialogs();
  host_->setDialogParent(main_);
  host_->attach(sim_->timers);
  // Everything the dive records, from the first second on, is kept for the debrief.
  observers_.add(&collected_);
  sim_->observer = &observers_;
}

App::~App() {
  station_.reset();
  if (sim_ && sim_->observer == &observers_) sim_->observer = nullptr;
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
  QMenu* lessons = menuBar_->addMenu(QStringLiteral("&Lessons"));
  QAction* choose = lessons->addAction(QStringLiteral("&Choose a lesson…"));
  connect(choose, &QAction::triggered, this, [this] { chooseLesson(); });
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
    if (!sim_->ended) exitRoutine(*sim_, exitOptions_);
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
  // The time and date panels stay current: one update at every turn of the second.
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
  t->setText(now.time().toString(QStringLiteral("HH:mm:ss")));
  d->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
  clock_->start(1000 - now.time().msec() + 5);
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
    if (o == Opt::CommandStation) {
      if (ev == MouseEvent::Click) showStationDialog();
      return;
    }
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
  // Open station pages see a change as soon as the windows do.
  if (station_) station_->pushState();

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

bool App::startStation(quint16 port, bool allowOtherDevices) {
  if (!station_) {
    station_ = std::make_unique<station::StationServer>(*sim_, observers_,
                                                        host_->programDir() + QStringLiteral("/station"));
    // The instructor may assign a lesson from the page; the trainee starts it from its
    // briefing, as from the Lessons menu.
    station_->onCoreCreated = [this](station::StationCore& core) {
      core.lessons = lesson::listLessons({lesson::bundledLessonsFolder(host_->programDir().toStdString()),
                                          lesson::userLessonsFolder()});
      core.currentLesson = [this]() -> const lesson::LessonRun* { return lesson_ ? &lesson_->run() : nullptr; };
      core.onLessonAssigned = [this](const lesson::CourseEntry& entry) {
        const QString path = QString::fromStdString(entry.path);
        QTimer::singleShot(0, this, [this, path] { startLesson(path); });
      };
    };
  }
  if (!station_->start(port, allowOtherDevices)) {
    std::fprintf(stderr, "Instructor station: %s\n", station_->error().toLocal8Bit().constData());
    return false;
  }
  std::printf("Instructor station: %s\n", station_->address().toLocal8Bit().constData());
  std::fflush(stdout);
  return true;
}

void App::showStationDialog() {
  if (!station_ || !station_->running()) startStation(stationOnStart_.value_or(0));
  if (!station_) return;
  QWidget* parent = optionsDlg_->isVisible() ? static_cast<QWidget*>(optionsDlg_) : main_;
  station::StationDialog dlg(*station_, stationOnStart_.value_or(0), parent);
  dlg.exec();
}

bool App::start() {
  startUp(*sim_);
  if (stationOnStart_) startStation(*stationOnStart_);
  disclaimerLoad(*sim_);
  syncAll();
  splashDlg_->exec();
  if (sim_->splash[SplashId::Form].visible) disclaimerRefuse(*sim_);
  if (!afterDisclaimer(*sim_)) return false;
  syncAll();
  startLibrary();
  if (!lessonOnStart_.isEmpty()) startLesson(lessonOnStart_);
  return true;
}

bool App::startLesson(const QString& path) {
  const lesson::ReadResult read = lesson::readLessonFile(path.toStdString());
  if (!read.lesson) {
    QString text = QStringLiteral("This file is not a lesson the simulator can fly:\n");
    for (const lesson::LessonError& e : read.errors)
      text += QLatin1Char('\n') + QString::fromStdString(lesson::errorLine(path.toStdString(), e));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Lesson"), text, QMessageBox::Ok, main_);
    box.exec();
    return false;
  }
  if (lesson_ && !lesson_->run().finished()) {
    const QString question = QStringLiteral("A lesson is running. End it and start \"%1\"?")
                                 .arg(QString::fromStdString(read.lesson->title));
    const bool yes = confirmLesson ? confirmLesson(question)
                                   : QMessageBox::question(main_, QStringLiteral("Lesson"), question) ==
                                         QMessageBox::Yes;
    if (!yes) return false;
    lesson_->finish();
  }
  lesson::LessonBriefing briefing(*read.lesson, main_);
  if (confirmLesson ? !confirmLesson(briefing.windowTitle()) : briefing.exec() != QDialog::Accepted)
    return false;
  lesson_ = std::make_unique<lesson::LessonSession>(*sim_, observers_, *read.lesson, main_);
  lesson_->run().begin();
  syncAll();
  return true;
}

void App::chooseLesson() {
  lesson::LessonChooser chooser(host_->programDir(), main_);
  if (chooser.exec() != QDialog::Accepted || chooser.chosenPath().isEmpty()) return;
  startLesson(chooser.chosenPath());
}

void App::finishLesson() {
  if (lesson_ && !lesson_->run().finished()) lesson_->finish();
}

QString App::libraryFolder() { return QString::fromStdString(library::defaultFolder()); }

void App::startLibrary() {
  if (recorder_) return;
  exitOptions_.dataFileStampAtStart = dataFileStamp(std::string(datafile::kFileName));
  exitOptions_.fallbackFolder = libraryFolder().toStdString();
  const std::string folder = libraryFolder().toStdString();
  std::string error;
  std::unique_ptr<library::DiveLibrary> lib;
  if (folder.empty())
    error = "the desktop names no folder for the programs' data";
  else
    lib = library::DiveLibrary::open(folder, library::DiveLibrary::Access::ReadWrite, error);

  // Dives an earlier run left unfinished (a crash, a power cut, kill -9) are kept.
  if (lib && !lib->readOnly()) {
    const std::vector<library::DiveSummary> lost = lib->closeInterruptedDives();
    if (!lost.empty()) {
      std::string text = lost.size() == 1 ? "A dive ended unexpectedly: the simulator was stopped "
                                            "without its Exit button.\n\n"
                                          : "Dives ended unexpectedly: the simulator was stopped "
                                            "without its Exit button.\n\n";
      for (const library::DiveSummary& d : lost)
        text += "  " + d.startedAt + ", " + (d.trainee.empty() ? "no trainee named" : d.trainee) +
                ", " + std::to_string(d.seconds) + " s recorded\n";
      text += "\nEvery second up to the interruption is kept in the dive library\n" + lib->path() +
              "\nOpen it with OrvanePelaSimViewer and its \"Dive library\" button.";
      host_->message(text);
    }
  }
  if (sim_->ended) return;  // a signal ended the program while the message was open

  const State& st = sim_->st;
  library::NewDive dive;
  dive.startedAt =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
  dive.programVersion = versionText();
  dive.trainee = library::loginName();
  collected_.dive.info.startedAt = dive.startedAt;
  collected_.dive.info.trainee = dive.trainee;
  collected_.dive.info.programVersion = dive.programVersion;
  dive.environment = "surface pressure " + fmt::shortest(st.surfacePressureMb) +
                     " mbar; cylinder oxygen " + fmt::shortest(st.oxygenAnalysisPercent) +
                     " %; metabolic rate " + fmt::shortest(st.metabolicRate) + "; scrubber " +
                     fmt::shortest(st.scrubberMinutes) + " min; loop capacity " +
                     fmt::shortest(st.loopCapacity) + " l; batteries " +
                     fmt::shortest(st.handset(Side::Left).batteryVolts) + " V and " +
                     fmt::shortest(st.handset(Side::Right).batteryVolts) + " V";
  // The library's trouble is told once, on this thread, and never holds up an exit.
  QPointer<App> self(this);
  recorder_ = std::make_unique<library::DiveRecorder>(
      std::move(lib), error, std::move(dive), [self](const std::string& message) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, message] {
              if (self && !self->exitOptions_.noQuestions) self->host_->message(message);
            },
            Qt::QueuedConnection);
      });
  // The seconds recorded while the disclaimer was open come first.
  const int last = std::min(st.recordRow, DiveRecord::kLastRow);
  for (int r = 1; r <= last; ++r) {
    const RecordRow& row = st.diveRecord.rows[static_cast<std::size_t>(r)];
    if (!row.message.empty())
      recorder_->event({static_cast<std::int64_t>(r) * 1000, r, EventKind::Status, row.message, {}});
    if (!row.sampled) continue;
    DiveSample sample{r, row.realPO2, std::nullopt, row.depth, row.setpoint, row.loopVolume};
    if (row.handsetPO2 != 0) sample.handsetPO2 = row.handsetPO2;
    recorder_->sampled(sample);
  }
  // The library hears the dive beside whatever else listens (the instructor station).
  observers_.add(recorder_.get());
}

void App::exitWithoutQuestions(bool fromEventLoop) {
  // The desktop waits for no one: whatever happens, the process is gone in two seconds.
  if (fromEventLoop) endProcessAfter(1900);
  exitOptions_.noQuestions = true;
  if (!sim_->ended && sim_->win[Main::Form].visible) {
    exitRoutine(*sim_, exitOptions_);
  } else if (!sim_->ended) {
    // The disclaimer was never accepted: nothing to save.
    sim_->ended = true;
  }
  finishLesson();
  if (recorder_) recorder_->finish(library::kEndedNormally, 1000);
  if (fromEventLoop) QCoreApplication::exit(0);
}

int App::run() {
  // A signal during the disclaimer or the start-up messages has ended the program already.
  if (!start() || sim_->ended) return 0;
  // Where Qt ends the process itself (a broken display connection calls exit()), the dive is
  // saved first. Registered after the start-up so that it runs before the library objects
  // the start-up used (settings) are torn down.
  runAtProcessExit([this] { exitWithoutQuestions(false); });
  const int code = QApplication::exec();
  runAtProcessExit({});
  return code;
}

void App::endProgram(const std::string& resultsFile) {
  // The dive is over: silence the gas and general channels and the loops.
  for (SoundChannel c : {SoundChannel::GasControl, SoundChannel::General, SoundChannel::FreeFlow,
                         SoundChannel::Injector})
    host_->stop(c);
  // The lesson's outcome joins the dive's events, then the dive is closed in the library
  // before anything else can hold the program up.
  finishLesson();
  if (recorder_) {
    observers_.remove(recorder_.get());
    recorder_->finish(library::kEndedNormally);
  }
  rememberWindowSize();
  if (onEnd) {
    onEnd(resultsFile);
    return;
  }
  main_->hide();
  if (exitOptions_.noQuestions) {
    QCoreApplication::exit(0);
    return;
  }
  bailedDlg_->hide();
  if (!resultsFile.empty()) {
    ResultsViewer viewer(ResultsViewer::Mode::Simulator);
    // The data file is what "Save Data as" writes again; the debrief shows every event the
    // dive recorded (which failure took effect, each warning's start and end).
    if (viewer.loadFile(QString::fromStdString(resultsFile)) && !collected_.dive.samples.empty()) {
      collected_.dive.info.source = resultsFile;
      viewer.showDebrief(collected_.dive, viewer.chartView()->caption());
    }
    // The lesson's assessment stays beside the debrief.
    if (lesson_) {
      lesson_->panel()->setParent(&viewer, Qt::Tool);
      lesson_->panel()->move(viewer.frameGeometry().topRight() + QPoint(8, 0));
      lesson_->panel()->show();
    }
    viewer.exec();
  }
  QCoreApplication::exit(0);
}

}  // namespace pelasim
