#pragma once
// The simulator program on the offscreen platform, with its settings and current folder in
// temporary places, for tests that use the real widgets.

#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/Startup.h"
#include "dialogs/Dialogs.h"
#include "ui/qt/App.h"

namespace pelasim {

inline QString programDir() {
  const QByteArray d = qgetenv("PELASIM_PROGRAM_DIR");
  return d.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(d);
}

// Screenshots go to PELASIM_SCREENSHOT_DIR when it is set.
inline void saveShot(QWidget* w, const QString& name) {
  const QByteArray dir = qgetenv("PELASIM_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name);
}

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    ASSERT_TRUE(workDir.isValid());
    oldCwd = QDir::currentPath();
    QDir::setCurrent(workDir.path());
    app = std::make_unique<App>(programDir());
    app->onEnd = [this](const std::string& f) { endedWith = f; ended = true; };
  }
  void TearDown() override {
    app.reset();
    QDir::setCurrent(oldCwd);
  }
  // Answers the disclaimer with one of its buttons as soon as it is open.
  void answerDisclaimer(bool accept) {
    QTimer::singleShot(0, [this, accept] {
      auto* dlg = app->splashDialog();
      const int id = static_cast<int>(accept ? SplashId::Command1 : SplashId::Command2);
      const auto buttons = dlg->findChildren<QPushButton*>();
      for (QPushButton* b : buttons) {
        if (b->text().replace(QLatin1Char('\n'), QLatin1Char(' ')) == QString::fromStdString(app->sim().splash.at(id).caption)) {
          saveShot(dlg, QStringLiteral("disclaimer.png"));
          QTest::mouseClick(b, Qt::LeftButton);
          return;
        }
      }
      FAIL() << "disclaimer button not found";
    });
  }

  QTemporaryDir settingsDir, workDir;
  QString oldCwd;
  std::unique_ptr<App> app;
  bool ended = false;
  std::string endedWith;
};


// The simulator with its disclaimer accepted and the main window shown.
class RunningGuiTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    answerDisclaimer(true);
    ASSERT_TRUE(app->start());
  }
  // A left click on a main-window element, as the mouse gives it.
  void click(Main id) { QTest::mouseClick(app->mainView().widget(static_cast<int>(id)), Qt::LeftButton); }
  // Presses an element, holds it for `ms` and releases it over it.
  void hold(Main id, int ms) {
    QWidget* w = app->mainView().widget(static_cast<int>(id));
    QTest::mousePress(w, Qt::LeftButton);
    QTest::qWait(ms);
    QTest::mouseRelease(w, Qt::LeftButton);
  }
  State& st() { return app->sim().st; }
};

}  // namespace pelasim
