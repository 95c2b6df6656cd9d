#pragma once
// The instructor station on the network: a small web server (Qt HttpServer) that serves the
// station's page and carries its live state and commands over WebSockets. Off until started;
// it listens on the loopback address unless other devices are allowed. Every request and
// every socket needs the pairing token: from the address on the first visit, then from an
// HttpOnly, SameSite=Strict cookie.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "station/StationCore.h"

class QWebSocket;

namespace pelasim {
class Simulation;
class DiveObserverList;
}

namespace pelasim::station {

class HttpFront;

class StationServer : public QObject {
  Q_OBJECT
 public:
  // A page whose unsent messages pass this many bytes has fallen behind and is dropped.
  static constexpr qint64 kMaxQueuedBytes = 512 * 1024;
  // Larger frames close the socket at once; smaller ones reach the command check (4 kB).
  static constexpr qint64 kMaxIncomingBytes = 64 * 1024;
  static constexpr int kStatePollMs = 100;
  // Pages open at once; a further socket is closed at once.
  static constexpr int kMaxClients = 16;

  // `webDir` holds the page's files; `observers` is the simulation's observer list, which
  // the station joins while it runs.
  StationServer(Simulation& sim, DiveObserverList& observers, QString webDir, QObject* parent = nullptr);
  ~StationServer() override;

  // Starts listening on `port` (0: any free port). False with `error()` set when it could not.
  bool start(quint16 port, bool allowOtherDevices);
  void stop();
  bool running() const { return port_ != 0; }
  quint16 port() const { return port_; }
  bool allowsOtherDevices() const { return allowOthers_; }
  const QString& error() const { return error_; }
  // The pairing token: 32 hexadecimal digits (128 random bits).
  const QByteArray& token() const { return token_; }
  // The address to open, token included ("http://127.0.0.1:8765/?token=…"). With other
  // devices allowed, the first network address of this machine.
  QString address() const;
  int clientCount() const { return static_cast<int>(clients_.size()); }
  StationCore& core() { return *core_; }
  // Told each new core as the station starts (the program gives it the lessons to offer).
  std::function<void(StationCore&)> onCoreCreated;

  // Sends the state to every page when it changed since the last time (also run by a timer).
  void pushState();

  // Constant-time comparison of a presented token with the pairing token.
  static bool tokenMatches(const QByteArray& presented, const QByteArray& token);

 Q_SIGNALS:
  void clientsChanged(int count);

 private:
  friend class HttpFront;
  void acceptSocket(std::unique_ptr<QWebSocket> socket);
  void commandFrom(QWebSocket* socket, const QString& text);
  void sendTo(QWebSocket* socket, const QByteArray& message);
  void broadcast(const std::string& message);
  void drop(QWebSocket* socket, const char* why);
  QByteArray cookieName() const;
  // The token a request or socket handshake presents, from the query or the cookie.
  QByteArray presentedToken(const QByteArray& query, const QByteArray& cookieHeader) const;

  Simulation& sim_;
  DiveObserverList& observers_;
  QString webDir_;
  std::unique_ptr<StationCore> core_;
  std::unique_ptr<HttpFront> http_;
  QList<QWebSocket*> clients_;
  QTimer poll_;
  QByteArray token_;
  std::string lastState_;
  quint16 port_ = 0;
  bool allowOthers_ = false;
  QString error_;
};

}  // namespace pelasim::station
