// The instructor station's server on the loopback address: the pairing token on every path
// and every socket, refused commands that change nothing, failures armed through the socket
// that take effect as from the dialog, several pages, catching up and dropping a stalled page.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QWebSocket>
#include <functional>

#include "app/HeadlessRun.h"
#include "core/DiveObserverList.h"
#include "failures/Failures.h"
#include "station/qt/StationDialog.h"
#include "station/qt/StationServer.h"

namespace pelasim::station {
namespace {

// Runs Qt's events until `done` or two seconds have passed.
bool waitFor(const std::function<bool()>& done, int ms = 2000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

struct HttpReply {
  int status = 0;
  QByteArray head, body;
  QByteArray header(const QByteArray& name) const {
    for (const QByteArray& line : head.split('\n'))
      if (line.toLower().startsWith(name.toLower() + ':')) return line.mid(name.size() + 1).trimmed();
    return {};
  }
};

struct Client {
  QWebSocket socket;
  QStringList messages;
  bool closed = false;
  Client() {
    QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& m) { messages << m; });
    QObject::connect(&socket, &QWebSocket::disconnected, [this] { closed = true; });
  }
  int count(const QString& type) const {
    int n = 0;
    for (const QString& m : messages) n += m.startsWith(QStringLiteral("{\"type\":\"") + type + QLatin1Char('"'));
    return n;
  }
  QString last(const QString& type) const {
    for (auto it = messages.crbegin(); it != messages.crend(); ++it)
      if (it->startsWith(QStringLiteral("{\"type\":\"") + type + QLatin1Char('"'))) return *it;
    return {};
  }
};

class StationServerTest : public ::testing::Test {
 protected:
  StationServerTest() {
    run.sim.observer = &observers;
    EXPECT_TRUE(server.start(0, false)) << server.error().toStdString();
  }
  QString base() const { return QStringLiteral("127.0.0.1:%1").arg(server.port()); }
  QByteArray cookie() const { return "pelasim_station_" + QByteArray::number(server.port()) + "=" + server.token(); }

  HttpReply get(const QByteArray& target, const QByteArray& extraHeaders = {}, const QByteArray& method = "GET") {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, server.port());
    EXPECT_TRUE(waitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }));
    s.write(method + " " + target + " HTTP/1.1\r\nHost: " + base().toLatin1() + "\r\n" + extraHeaders +
            "Connection: close\r\n\r\n");
    QByteArray all;
    waitFor([&] {
      all += s.readAll();
      const qsizetype end = all.indexOf("\r\n\r\n");
      if (end < 0) return s.state() == QAbstractSocket::UnconnectedState;
      const QByteArray len = HttpReply{0, all.left(end), {}}.header("Content-Length");
      return all.size() >= end + 4 + len.toInt() || s.state() == QAbstractSocket::UnconnectedState;
    });
    HttpReply r;
    const qsizetype end = all.indexOf("\r\n\r\n");
    r.head = all.left(end);
    r.body = all.mid(end + 4);
    r.status = r.head.mid(9, 3).toInt();
    return r;
  }

  // Opens a socket with the cookie (or the given one) and waits for the welcome or a close.
  void open(Client& c, const QByteArray& withCookie) {
    QNetworkRequest req(QUrl(QStringLiteral("ws://") + base() + QStringLiteral("/live")));
    if (!withCookie.isEmpty()) req.setRawHeader("Cookie", withCookie);
    c.socket.open(req);
    waitFor([&] { return c.count(QStringLiteral("welcome")) > 0 || c.closed; });
  }
  void sendCommand(Client& c, const QString& text) {
    const int before = c.count(QStringLiteral("reply"));
    c.socket.sendTextMessage(text);
    waitFor([&] { return c.count(QStringLiteral("reply")) > before || c.closed; });
  }
  std::string everything() {
    return tickedOptionsText(run.sim) + "|" + std::to_string(run.sim.options[Opt::Slider1].value) + "|" +
           std::to_string(run.sim.timers.enabled(TimerId::OptionTimer)) + "|" + solenoidText(run.sim.st.solenoidFault);
  }

  HeadlessRun run;
  DiveObserverList observers;
  StationServer server{run.sim, observers, QStringLiteral(PELASIM_PROGRAM_DIR "/station")};
};

struct PathCase {
  const char* name;
  const char* target;
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << c.target; }
class TokenOnEveryPath : public StationServerTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(TokenOnEveryPath, WithoutItTheAnswerIs403) {
  const QByteArray target = GetParam().target;
  EXPECT_EQ(get(target).status, 403);
  EXPECT_EQ(get(target, "Cookie: " + cookie().chopped(1) + "x\r\n").status, 403);
  const QByteArray sep = target.contains('?') ? "&" : "?";
  EXPECT_EQ(get(target + sep + "token=" + server.token().left(31)).status, 403);
  const HttpReply denied = get(target + sep + "token=" + QByteArray(32, '0'));
  EXPECT_EQ(denied.status, 403);
  EXPECT_FALSE(denied.body.contains("<html"));
}

INSTANTIATE_TEST_SUITE_P(Station, TokenOnEveryPath,
                         ::testing::Values(PathCase{"Page", "/"}, PathCase{"Script", "/station.js"},
                                           PathCase{"Chart", "/chart.min.js"}, PathCase{"Unknown", "/etc/passwd"},
                                           PathCase{"Socket", "/live"}, PathCase{"Query", "/?x=1"}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST_F(StationServerTest, TheFirstVisitSetsAStrictHttpOnlyCookieAndAPolicy) {
  const HttpReply page = get("/?token=" + server.token());
  ASSERT_EQ(page.status, 200);
  EXPECT_TRUE(page.body.contains("<script src=\"/station.js\" defer></script>"));
  EXPECT_FALSE(page.body.contains("<script>"));
  EXPECT_EQ(page.header("Set-Cookie"), cookie() + "; Path=/; HttpOnly; SameSite=Strict");
  EXPECT_TRUE(page.header("Content-Security-Policy").startsWith("default-src 'none'; script-src 'self';"));
  const HttpReply script = get("/station.js", "Cookie: other=1; " + cookie() + "\r\n");
  EXPECT_EQ(script.status, 200);
  EXPECT_TRUE(script.header("Set-Cookie").isEmpty());
  EXPECT_EQ(get("/chart.min.js", "Cookie: " + cookie() + "\r\n").status, 200);
  EXPECT_EQ(get("/../index.html", "Cookie: " + cookie() + "\r\n").status, 404);
  EXPECT_EQ(get("/", "Cookie: " + cookie() + "\r\n", "POST").status, 405);
}

TEST_F(StationServerTest, TheTokenIsComparedWhole) {
  EXPECT_TRUE(StationServer::tokenMatches(server.token(), server.token()));
  EXPECT_FALSE(StationServer::tokenMatches(server.token() + "0", server.token()));
  EXPECT_FALSE(StationServer::tokenMatches({}, server.token()));
  EXPECT_FALSE(StationServer::tokenMatches({}, {}));
  EXPECT_EQ(server.token().size(), 32);  // 128 bits
}

TEST_F(StationServerTest, ASocketWithoutTheTokenIsClosedAndChangesNothing) {
  const std::string before = everything();
  for (const QByteArray& c : {QByteArray(), "pelasim_station_1=" + server.token(), cookie().chopped(2) + "zz"}) {
    Client client;
    open(client, c);
    client.socket.sendTextMessage(QStringLiteral(R"({"cmd":"tick","box":"Check11","ticked":true})"));
    client.socket.sendTextMessage(QStringLiteral(R"({"cmd":"arm"})"));
    waitFor([&] { return client.closed; });
    EXPECT_TRUE(client.closed);
    EXPECT_TRUE(client.messages.isEmpty());
  }
  EXPECT_EQ(server.clientCount(), 0);
  EXPECT_EQ(everything(), before);
}

TEST_F(StationServerTest, ASocketFromAnotherSiteIsClosed) {
  Client client;
  QNetworkRequest req(QUrl(QStringLiteral("ws://") + base() + QStringLiteral("/live")));
  req.setRawHeader("Cookie", cookie());
  req.setRawHeader("Origin", "http://evil.example");
  client.socket.open(req);
  waitFor([&] { return client.closed; });
  EXPECT_TRUE(client.messages.isEmpty());
}

TEST_F(StationServerTest, ArmingThroughTheSocketReachesTheFailureApplication) {
  Client c;
  open(c, cookie());
  ASSERT_EQ(c.count(QStringLiteral("welcome")), 1);
  sendCommand(c, QStringLiteral(R"({"cmd":"tick","box":"Check11","ticked":true})"));
  sendCommand(c, QStringLiteral(R"({"cmd":"delay","minutes":1})"));
  sendCommand(c, QStringLiteral(R"({"cmd":"arm"})"));
  EXPECT_TRUE(c.last(QStringLiteral("reply")).contains(QStringLiteral(R"("ok":true)")));
  EXPECT_TRUE(waitFor([&] { return c.last(QStringLiteral("state")).contains(QStringLiteral(R"("countdown":60)")); }));
  EXPECT_FALSE(run.sim.options[Opt::Form].visible);
  run.host.runFor(71000);
  EXPECT_EQ(run.sim.st.solenoidFault, Solenoid::StuckOpen);
  waitFor([&] { return c.messages.join(QString()).contains(QStringLiteral("Failures took effect")); });
  EXPECT_TRUE(c.messages.join(QString()).contains(QStringLiteral("Solenoid Stuck Open; delay 1 min; source station")));
  EXPECT_TRUE(c.messages.join(QString()).contains(QStringLiteral(R"("kind":"applied","text":"Failures took effect")")));
}

TEST_F(StationServerTest, OversizedAndMalformedCommandsChangeNothing) {
  Client c;
  open(c, cookie());
  const std::string before = everything();
  for (const QString& bad : {QStringLiteral(R"({"cmd":"arm","pad":")") + QString(5000, QLatin1Char('x')) + QStringLiteral("\"}"),
                             QStringLiteral("{\"cmd\":\"arm\""), QStringLiteral(R"({"cmd":"selfDestruct"})"),
                             QStringLiteral(R"({"cmd":"delay","minutes":"5"})")}) {
    sendCommand(c, bad);
    EXPECT_TRUE(c.last(QStringLiteral("reply")).contains(QStringLiteral(R"("ok":false)")));
  }
  c.socket.sendBinaryMessage(QByteArray(R"({"cmd":"arm"})"));
  waitFor([&] { return c.count(QStringLiteral("reply")) == 5; });
  EXPECT_EQ(everything(), before);
  EXPECT_FALSE(c.closed);
  // A frame far beyond any command closes the socket; still nothing changes.
  c.socket.sendTextMessage(QStringLiteral(R"({"cmd":"arm","pad":")") + QString(100000, QLatin1Char('x')) + QStringLiteral("\"}"));
  EXPECT_TRUE(waitFor([&] { return c.closed; }));
  EXPECT_EQ(everything(), before);
}

TEST_F(StationServerTest, SeveralPagesSeeTheSameStateAndAReconnectedPageCatchesUp) {
  Client a, b;
  open(a, cookie());
  open(b, cookie());
  EXPECT_EQ(server.clientCount(), 2);
  sendCommand(a, QStringLiteral(R"({"cmd":"tick","box":"Check12","ticked":true})"));
  EXPECT_TRUE(waitFor([&] { return b.last(QStringLiteral("state")).contains(QStringLiteral(R"("ticked":["Check12"])")); }));
  b.socket.close();
  waitFor([&] { return server.clientCount() == 1; });
  run.sim.record("O2 Valve Closed");
  run.host.runFor(3000);
  Client again;
  open(again, cookie());
  const QString welcome = again.last(QStringLiteral("welcome"));
  EXPECT_TRUE(welcome.contains(QStringLiteral("O2 Valve Closed")));
  EXPECT_TRUE(welcome.contains(QStringLiteral(R"("ticked":["Check12"])")));
  EXPECT_TRUE(welcome.contains(QStringLiteral(R"({"type":"sample","second":3,)")));
}

TEST_F(StationServerTest, PagesBeyondTheLimitAreTurnedAway) {
  std::vector<std::unique_ptr<Client>> pages;
  for (int i = 0; i <= StationServer::kMaxClients; ++i) {
    pages.push_back(std::make_unique<Client>());
    open(*pages.back(), cookie());
  }
  EXPECT_EQ(server.clientCount(), StationServer::kMaxClients);
  EXPECT_TRUE(waitFor([&] { return pages.back()->closed; }));
  EXPECT_TRUE(pages.back()->messages.isEmpty());
  EXPECT_EQ(pages.front()->count(QStringLiteral("welcome")), 1);
}

TEST_F(StationServerTest, APageThatFallsBehindIsDroppedWithoutStallingTheSimulation) {
  // A raw connection that completes the handshake and then never reads.
  QTcpSocket stalled;
  stalled.setReadBufferSize(1);
  stalled.connectToHost(QHostAddress::LocalHost, server.port());
  ASSERT_TRUE(waitFor([&] { return stalled.state() == QAbstractSocket::ConnectedState; }));
  stalled.write("GET /live HTTP/1.1\r\nHost: " + base().toLatin1() +
                "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                "Sec-WebSocket-Version: 13\r\nCookie: " + cookie() + "\r\n\r\n");
  ASSERT_TRUE(waitFor([&] { return server.clientCount() == 1; }));
  const std::string big(60000, 'x');
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < 400 && server.clientCount() > 0; ++i) {
    server.core().broadcast("{\"type\":\"note\",\"pad\":\"" + big + "\"}");
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(server.clientCount(), 0);
  EXPECT_LT(t.elapsed(), 5000);
  run.host.runFor(2000);  // the simulation goes on
  EXPECT_GE(run.sim.st.recordRow, 2);
}

TEST_F(StationServerTest, TheAddressCarriesTheTokenAndFitsAQrCode) {
  EXPECT_EQ(server.address(), QStringLiteral("http://127.0.0.1:%1/?token=%2").arg(server.port()).arg(QString::fromLatin1(server.token())));
  const QImage qr = qrCodeImage(server.address(), 4);
  ASSERT_FALSE(qr.isNull());
  EXPECT_EQ(qr.width(), qr.height());
  EXPECT_EQ(qr.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(qr.pixel(16, 16), qRgb(0, 0, 0));  // the finder pattern's corner
}

TEST_F(StationServerTest, StoppingClosesPagesAndTheStationLeavesTheDive) {
  Client c;
  open(c, cookie());
  const quint16 port = server.port();
  server.stop();
  EXPECT_TRUE(waitFor([&] { return c.closed; }));
  EXPECT_FALSE(server.running());
  EXPECT_TRUE(observers.empty());
  QTcpSocket s;  // nobody listens any more
  s.connectToHost(QHostAddress::LocalHost, port);
  EXPECT_FALSE(waitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }, 300));
}

}  // namespace
}  // namespace pelasim::station

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
