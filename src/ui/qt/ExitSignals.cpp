#include "ui/qt/ExitSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <csignal>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

namespace pelasim {
namespace {

// The write end for the handler. A signal handler can reach nothing else, so this one
// descriptor is the program's only file-scope variable.
int gSignalFd[2] = {-1, -1};

void onSignal(int number) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  [[maybe_unused]] const auto n = ::write(gSignalFd[0], &byte, 1);
  errno = saved;
}

}  // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalFd) != 0) return;
  notifier_ = new QSocketNotifier(gSignalFd[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::readSignal);
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
}

ExitSignals::~ExitSignals() {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
  delete notifier_;
  notifier_ = nullptr;
  for (int& fd : gSignalFd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void ExitSignals::readSignal() {
  unsigned char byte = 0;
  while (::read(gSignalFd[1], &byte, 1) == 1) Q_EMIT exitRequested(byte);
}

namespace {
// What exit() runs: like the descriptor above, reachable from no object.
std::function<void()>& atProcessExit() {
  static std::function<void()> f;
  return f;
}
}  // namespace

void runAtProcessExit(std::function<void()> atExit) {
  static const bool registered = std::atexit([] {
    if (auto f = std::exchange(atProcessExit(), {})) f();
  }) == 0;
  (void)registered;
  atProcessExit() = std::move(atExit);
}

void endProcessAfter(int ms) {
  std::thread([ms] {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    ::_exit(0);
  }).detach();
}

}  // namespace pelasim
