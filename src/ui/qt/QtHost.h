#pragma once
// The host of the real program: Qt's event loop, clock and dialogs, QSettings and the SDL
// sound channels. One single-shot timer is armed for the scheduler's next due time, so the
// program sleeps between tasks; waits sleep on the event loop.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/Host.h"
#include "core/Scheduler.h"
#include "ui/qt/SdlSound.h"

class QWidget;

namespace pelasim {

class QtHost : public QObject, public Host {
  Q_OBJECT
 public:
  // `programDir`: the folder that holds the program (its pictures and its "Sounds" folder).
  explicit QtHost(const QString& programDir, QObject* parent = nullptr);
  ~QtHost() override;

  void attach(Scheduler& scheduler);
  // Called after the scheduler ran and after every input event, to mirror the models.
  void setSyncCallback(std::function<void()> sync) { sync_ = std::move(sync); }
  // Shows the results viewer on a file and ends the program when it closes.
  void setEndCallback(std::function<void(const std::string&)> end) { end_ = std::move(end); }
  void setDialogParent(QWidget* w) { dialogParent_ = w; }
  const QString& programDir() const { return programDir_; }

  std::uint32_t tickCount() override;
  void processEvents() override;
  void waitProcessingUntil(std::uint32_t tick) override;
  void freezeFor(std::uint32_t ms) override;
  void play(SoundChannel channel, const std::string& file) override;
  void stop(SoundChannel channel) override;
  std::optional<std::string> readSetting(const std::string& key) override;
  bool writeSetting(const std::string& key, const std::string& value) override;
  std::string prompt(const std::string& title, const std::string& question,
                     const std::string& proposed) override;
  void message(const std::string& text) override;
  bool ask(const std::string& text) override;
  std::string chooseSavePath(const std::string& proposedPath) override;
  void setClipboard(const std::string& text) override;
  bool openMailLink(const std::string& url) override;
  LocalDateTime localDateTime() override;
  void endProgram(const std::string& resultsFile) override;

  // Mirrors the models now (also rate-limited inside tight event-processing loops).
  void syncNow();

 private:
  void rearm();
  void fire();

  QString programDir_;
  QElapsedTimer clock_;
  QTimer timer_;
  Scheduler* scheduler_ = nullptr;
  std::unique_ptr<SdlSound> sound_;
  std::function<void()> sync_;
  std::function<void(const std::string&)> end_;
  QWidget* dialogParent_ = nullptr;
  qint64 lastSync_ = 0;
  bool ending_ = false;
};

}  // namespace pelasim
