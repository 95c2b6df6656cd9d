#include "ui/qt/QtHost.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

namespace pelasim {
namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// Settings of application "PelaSim", section "Settings".
QSettings openSettings() { return QSettings(QStringLiteral("PelaSim"), QStringLiteral("PelaSim")); }
const QString kSection = QStringLiteral("Settings/");

}  // namespace

QtHost::QtHost(const QString& programDir, QObject* parent)
    : QObject(parent),
      programDir_(programDir),
      sound_(std::make_unique<SdlSound>((programDir + QStringLiteral("/Sounds")).toStdString())) {
  clock_.start();
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { fire(); });
}

QtHost::~QtHost() = default;

void QtHost::attach(Scheduler& scheduler) {
  scheduler_ = &scheduler;
  scheduler_->setChangeListener([this] { rearm(); });
  rearm();
}

std::uint32_t QtHost::tickCount() {
  // Counted from an arbitrary start, like the platform's uptime counter.
  return static_cast<std::uint32_t>(clock_.elapsed() + 1000);
}

void QtHost::rearm() {
  if (!scheduler_ || ending_) return;
  const auto due = scheduler_->nextDue();
  if (!due) {
    timer_.stop();
    return;
  }
  const std::int32_t wait = static_cast<std::int32_t>(*due - tickCount());
  timer_.start(std::max(wait, 0));
}

void QtHost::fire() {
  if (!scheduler_ || ending_) return;
  scheduler_->runDue();
  syncNow();
  rearm();
}

void QtHost::syncNow() {
  lastSync_ = clock_.elapsed();
  if (sync_) sync_();
}

void QtHost::processEvents() {
  // A tight loop that lets events run (the bag flush) redraws about sixty times a second.
  if (clock_.elapsed() - lastSync_ >= 16) syncNow();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::waitProcessingUntil(std::uint32_t tick) {
  syncNow();
  const std::int32_t wait = static_cast<std::int32_t>(tick - tickCount());
  if (wait <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  // Sleep on a nested event loop: due tasks and input run meanwhile, nothing spins.
  QEventLoop loop;
  QTimer::singleShot(wait, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void QtHost::freezeFor(std::uint32_t ms) {
  syncNow();
  QThread::msleep(ms);
}

void QtHost::play(SoundChannel channel, const std::string& file) { sound_->play(channel, file); }
void QtHost::stop(SoundChannel channel) { sound_->stop(channel); }

std::optional<std::string> QtHost::readSetting(const std::string& key) {
  QSettings s = openSettings();
  const QVariant v = s.value(kSection + q(key));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

bool QtHost::writeSetting(const std::string& key, const std::string& value) {
  QSettings s = openSettings();
  s.setValue(kSection + q(key), q(value));
  s.sync();
  if (s.status() == QSettings::NoError && s.isWritable()) return true;
  // A file that could not be read at first keeps reporting its format error after it has
  // been rewritten: what counts is whether the value now reads back.
  QSettings check = openSettings();
  return check.status() == QSettings::NoError && check.value(kSection + q(key)).toString() == q(value);
}

std::string QtHost::prompt(const std::string& title, const std::string& question,
                           const std::string& proposed) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(dialogParent_, q(title), q(question), QLineEdit::Normal, q(proposed), &ok);
  syncNow();
  return ok ? text.toStdString() : std::string();
}

void QtHost::message(const std::string& text) {
  QMessageBox::information(dialogParent_, QStringLiteral("Orvane Pelagrinova Simulator"), q(text));
}

bool QtHost::ask(const std::string& text) {
  return QMessageBox::question(dialogParent_, QStringLiteral("Orvane Pelagrinova Simulator"), q(text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
         QMessageBox::Yes;
}

std::string QtHost::chooseSavePath(const std::string& proposedPath) {
  // The dialog opens in a folder that exists and may be written: Documents, else the home
  // folder, else the temporary folder.
  QString dir;
  for (const QString& candidate : {QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                   QDir::homePath(), QDir::tempPath()}) {
    const QFileInfo info(candidate);
    if (!candidate.isEmpty() && info.isDir() && info.isWritable()) {
      dir = candidate;
      break;
    }
  }
  const QString path = QFileDialog::getSaveFileName(
      dialogParent_, QStringLiteral("Save the dive record"), dir + QLatin1Char('/') + q(proposedPath),
      QStringLiteral("Data Files (comma seperated)(*.csv)"));
  return path.toStdString();
}

void QtHost::setClipboard(const std::string& text) {
  QClipboard* cb = QGuiApplication::clipboard();
  cb->clear();
  cb->setText(q(text));
}

bool QtHost::openMailLink(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(q(url), QUrl::StrictMode));
}

LocalDateTime QtHost::localDateTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void QtHost::endProgram(const std::string& resultsFile) {
  syncNow();
  // The simulation is over: its tasks no longer wake the program.
  ending_ = true;
  timer_.stop();
  if (end_) end_(resultsFile);
}

}  // namespace pelasim
