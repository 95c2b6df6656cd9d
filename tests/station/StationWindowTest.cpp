// "Instructor station…" in the simulator's options dialog: the station starts, its dialog
// shows the address with the token and its QR code, and the station stops with the program.
#include <QCheckBox>
#include <QLabel>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include "gui/GuiFixture.h"
#include "station/qt/StationServer.h"

namespace pelasim {
namespace {

TEST_F(RunningGuiTest, TheOptionsDialogStartsTheStationAndShowsItsAddress) {
  bool seen = false;
  QTimer::singleShot(50, [&] {
    ModelDialog* options = app->optionsDialog();
    ASSERT_TRUE(options->isVisible());
    QPushButton* open = nullptr;
    for (QPushButton* b : options->findChildren<QPushButton*>())
      if (b->text() == QStringLiteral("Instructor station\u2026")) open = b;
    ASSERT_NE(open, nullptr);
    saveShot(options, QStringLiteral("options-station.png"));
    QTimer::singleShot(50, [&, options] {
      auto* dlg = options->findChild<QDialog*>(QStringLiteral("StationDialog"));
      ASSERT_NE(dlg, nullptr);
      const QString address = dlg->findChild<QLabel*>(QStringLiteral("address"))->text();
      EXPECT_TRUE(address.startsWith(QStringLiteral("http://127.0.0.1:%1/?token=").arg(app->station()->port())));
      EXPECT_EQ(address.size() - address.indexOf(QLatin1Char('=')) - 1, 32);
      EXPECT_FALSE(dlg->findChild<QLabel*>(QStringLiteral("qr"))->pixmap().isNull());
      auto* others = dlg->findChild<QCheckBox*>(QStringLiteral("allowOthers"));
      EXPECT_EQ(others->text(), QStringLiteral("Allow other devices on this network"));
      EXPECT_FALSE(others->isChecked());
      saveShot(dlg, QStringLiteral("station-dialog.png"));
      seen = true;
      dlg->reject();
      options->close();
    });
    QTest::mouseClick(open, Qt::LeftButton);
  });
  click(Main::Command2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return seen && !app->optionsDialog()->isVisible(); }, 5000));
  ASSERT_NE(app->station(), nullptr);
  EXPECT_TRUE(app->station()->running());
  EXPECT_FALSE(app->sim().timers.enabled(TimerId::OptionTimer)) << "opening the station arms nothing";

  const quint16 port = app->station()->port();
  app.reset();  // the program ends: the station with it
  QTcpSocket s;
  s.connectToHost(QHostAddress::LocalHost, port);
  EXPECT_FALSE(s.waitForConnected(300));
}

}  // namespace
}  // namespace pelasim
