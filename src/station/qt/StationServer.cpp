#include "station/qt/StationServer.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QUrlQuery>
#include <QWebSocket>
#include <cstdio>

#include "core/DiveObserverList.h"
#include "sim/Simulation.h"

namespace pelasim::station {
namespace {

// The page may load only its own files and talk only to its own server.
constexpr char kContentPolicy[] =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

struct PageFile {
  const char* path;
  const char* file;
  const char* mime;
};
constexpr PageFile kPageFiles[] = {
    {"/", "index.html", "text/html; charset=utf-8"},
    {"/station.css", "station.css", "text/css; charset=utf-8"},
    {"/station.js", "station.js", "text/javascript; charset=utf-8"},
    {"/chart.min.js", "chart.min.js", "text/javascript; charset=utf-8"},
};

void warn(const QString& text) {
  std::fprintf(stderr, "Instructor station: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

// The HTTP side: every path checks the token first; only the page's own files are served.
class HttpFront : public QAbstractHttpServer {
 public:
  explicit HttpFront(StationServer& station) : station_(station) {}

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
    const QByteArray query = request.url().query(QUrl::FullyEncoded).toLatin1();
    const QByteArray presented = station_.presentedToken(query, request.value("Cookie"));
    if (!StationServer::tokenMatches(presented, station_.token_)) {
      warn(QStringLiteral("refused a request for %1 from %2 without the pairing token")
               .arg(request.url().path(), request.remoteAddress().toString()));
      respond(request, socket, "Forbidden\n", "text/plain; charset=utf-8",
              QHttpServerResponder::StatusCode::Forbidden, {});
      // Not handled: Qt then closes a refused socket handshake instead of upgrading it.
      return !isUpgrade(request);
    }
    // A paired page opening its socket: handled, and Qt's WebSocket server answers the
    // handshake.
    if (isUpgrade(request)) return true;
    if (request.method() != QHttpServerRequest::Method::Get) {
      respond(request, socket, "Only GET is served\n", "text/plain; charset=utf-8",
              QHttpServerResponder::StatusCode::MethodNotAllowed, {});
      return true;
    }
    // A visit with the token in its address keeps it in a cookie for the page's own requests.
    QByteArray cookie;
    if (QUrlQuery(request.url()).hasQueryItem(QStringLiteral("token")))
      cookie = station_.cookieName() + '=' + station_.token_ + "; Path=/; HttpOnly; SameSite=Strict";
    const QString path = request.url().path();
    for (const PageFile& f : kPageFiles) {
      if (path != QLatin1String(f.path)) continue;
      QFile file(station_.webDir_ + QLatin1Char('/') + QLatin1String(f.file));
      if (!file.open(QIODevice::ReadOnly)) break;
      respond(request, socket, file.readAll(), f.mime, QHttpServerResponder::StatusCode::Ok, cookie);
      return true;
    }
    respond(request, socket, "Not found\n", "text/plain; charset=utf-8", QHttpServerResponder::StatusCode::NotFound,
            cookie);
    return true;
  }

  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
    if (isUpgrade(request)) return;
    respond(request, socket, "Not found\n", "text/plain; charset=utf-8", QHttpServerResponder::StatusCode::NotFound,
            {});
  }

 private:
  static bool isUpgrade(const QHttpServerRequest& request) {
    return request.value("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
  }
  static void respond(const QHttpServerRequest& request, QTcpSocket* socket, const QByteArray& body,
                      const char* mime, QHttpServerResponder::StatusCode status, const QByteArray& cookie) {
    QHttpServerResponse response(QByteArray(mime), body, status);
    response.setHeader("Content-Security-Policy", kContentPolicy);
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Referrer-Policy", "no-referrer");
    response.setHeader("Cache-Control", "no-store");
    response.setHeader("X-Frame-Options", "DENY");
    if (!cookie.isEmpty()) response.setHeader("Set-Cookie", cookie);
    response.write(makeResponder(request, socket));
  }

  StationServer& station_;
};

StationServer::StationServer(Simulation& sim, DiveObserverList& observers, QString webDir, QObject* parent)
    : QObject(parent), sim_(sim), observers_(observers), webDir_(std::move(webDir)) {
  poll_.setInterval(kStatePollMs);
  connect(&poll_, &QTimer::timeout, this, [this] { pushState(); });
}

StationServer::~StationServer() { stop(); }

bool StationServer::tokenMatches(const QByteArray& presented, const QByteArray& token) {
  if (token.isEmpty()) return false;
  // Every byte is compared whatever the earlier ones were: the time taken tells nothing.
  unsigned diff = static_cast<unsigned>(presented.size() ^ token.size());
  for (qsizetype i = 0; i < token.size(); ++i) {
    const char p = i < presented.size() ? presented[i] : '\0';
    diff |= static_cast<unsigned>(static_cast<unsigned char>(p) ^ static_cast<unsigned char>(token[i]));
  }
  return diff == 0;
}

QByteArray StationServer::cookieName() const { return "pelasim_station_" + QByteArray::number(port_); }

QByteArray StationServer::presentedToken(const QByteArray& query, const QByteArray& cookieHeader) const {
  const QUrlQuery q(QString::fromLatin1(query));
  if (q.hasQueryItem(QStringLiteral("token"))) return q.queryItemValue(QStringLiteral("token")).toLatin1();
  const QByteArray name = cookieName() + '=';
  for (const QByteArray& part : cookieHeader.split(';')) {
    const QByteArray c = part.trimmed();
    if (c.startsWith(name)) return c.mid(name.size());
  }
  return {};
}

bool StationServer::start(quint16 port, bool allowOtherDevices) {
  if (running()) return true;
  error_.clear();
  QByteArray raw(16, '\0');
  QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(raw.data()), 4);
  token_ = raw.toHex();
  const auto seed = QRandomGenerator::system()->generate64();
  core_ = std::make_unique<StationCore>(sim_, seed);
  core_->broadcast = [this](const std::string& m) { broadcast(m); };
  if (onCoreCreated) onCoreCreated(*core_);

  http_ = std::make_unique<HttpFront>(*this);
  const QHostAddress where = allowOtherDevices ? QHostAddress(QHostAddress::Any) : QHostAddress(QHostAddress::LocalHost);
  const quint16 bound = http_->listen(where, port);
  if (bound == 0) {
    error_ = QStringLiteral("could not listen on port %1").arg(port);
    http_.reset();
    core_.reset();
    token_.clear();
    return false;
  }
  port_ = bound;
  allowOthers_ = allowOtherDevices;
  connect(http_.get(), &QAbstractHttpServer::newWebSocketConnection, this, [this] {
    while (http_ && http_->hasPendingWebSocketConnections()) acceptSocket(http_->nextPendingWebSocketConnection());
  });
  observers_.add(core_.get());
  sim_.logEvent(EventKind::Note, "Instructor station started",
                allowOtherDevices ? "port " + std::to_string(port_) + ", other devices allowed"
                                  : "port " + std::to_string(port_) + ", this computer only");
  return true;
}

void StationServer::stop() {
  if (!running()) return;
  poll_.stop();
  for (QWebSocket* s : std::as_const(clients_)) {
    s->disconnect(this);
    s->abort();
    s->deleteLater();
  }
  clients_.clear();
  observers_.remove(core_.get());
  http_.reset();
  core_.reset();
  token_.clear();
  port_ = 0;
}

QString StationServer::address() const {
  QString host = QStringLiteral("127.0.0.1");
  if (allowOthers_) {
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() && !a.isLinkLocal()) {
        host = a.toString();
        break;
      }
    }
  }
  return QStringLiteral("http://%1:%2/?token=%3").arg(host).arg(port_).arg(QString::fromLatin1(token_));
}

void StationServer::acceptSocket(std::unique_ptr<QWebSocket> owned) {
  QWebSocket* socket = owned.release();
  const QNetworkRequest req = socket->request();
  const QByteArray presented =
      presentedToken(req.url().query(QUrl::FullyEncoded).toLatin1(), req.rawHeader("Cookie"));
  // A page of another site may not open a socket here, even with the cookie.
  bool sameOrigin = true;
  if (!socket->origin().isEmpty()) {
    const QUrl origin(socket->origin());
    const QByteArray host = req.rawHeader("Host");
    sameOrigin = host == (origin.host() + QLatin1Char(':') + QString::number(origin.port(80))).toLatin1() ||
                 (origin.port(80) == 80 && host == origin.host().toLatin1());
  }
  if (!tokenMatches(presented, token_) || !sameOrigin) {
    warn(QStringLiteral("refused a connection from %1 without the pairing token")
             .arg(socket->peerAddress().toString()));
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("403 Forbidden"));
    socket->deleteLater();
    return;
  }
  if (clients_.size() >= kMaxClients) {
    warn(QStringLiteral("refused a page: %1 are open already").arg(kMaxClients));
    socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("Too many pages"));
    socket->deleteLater();
    return;
  }
  socket->setParent(this);
  socket->setMaxAllowedIncomingMessageSize(kMaxIncomingBytes);
  socket->setMaxAllowedIncomingFrameSize(kMaxIncomingBytes);
  clients_.append(socket);
  connect(socket, &QWebSocket::textMessageReceived, this, [this, socket](const QString& t) { commandFrom(socket, t); });
  connect(socket, &QWebSocket::binaryMessageReceived, this,
          [this, socket](const QByteArray&) { commandFrom(socket, QStringLiteral("binary message")); });
  connect(socket, &QWebSocket::disconnected, this, [this, socket] {
    if (clients_.removeOne(socket)) {
      socket->deleteLater();
      if (clients_.isEmpty()) poll_.stop();
      Q_EMIT clientsChanged(clientCount());
    }
  });
  sendTo(socket, QByteArray::fromStdString(core_->welcomeJson()));
  lastState_ = core_->stateJson();
  if (!poll_.isActive()) poll_.start();
  Q_EMIT clientsChanged(clientCount());
}

void StationServer::commandFrom(QWebSocket* socket, const QString& text) {
  if (!core_ || !clients_.contains(socket)) return;
  const CommandReply reply = core_->command(text.toStdString());
  if (!reply.ok) warn(QStringLiteral("refused a command: %1").arg(QString::fromStdString(reply.message)));
  sendTo(socket, QByteArray::fromStdString(StationCore::replyJson(reply)));
  pushState();
}

void StationServer::sendTo(QWebSocket* socket, const QByteArray& message) {
  if (socket->bytesToWrite() > kMaxQueuedBytes) {
    drop(socket, "fell behind");
    return;
  }
  socket->sendTextMessage(QString::fromUtf8(message));
}

void StationServer::broadcast(const std::string& message) {
  const QByteArray bytes = QByteArray::fromStdString(message);
  for (QWebSocket* s : QList<QWebSocket*>(clients_)) sendTo(s, bytes);
}

void StationServer::drop(QWebSocket* socket, const char* why) {
  if (!clients_.removeOne(socket)) return;
  warn(QStringLiteral("dropped a page that %1").arg(QLatin1String(why)));
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  if (clients_.isEmpty()) poll_.stop();
  Q_EMIT clientsChanged(clientCount());
}

void StationServer::pushState() {
  if (!core_ || clients_.isEmpty()) return;
  std::string state = core_->stateJson();
  if (state == lastState_) return;
  lastState_ = std::move(state);
  broadcast(lastState_);
}

}  // namespace pelasim::station
