#include "station/qt/StationDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <qrencode.h>

#include "station/qt/StationServer.h"

namespace pelasim::station {

QImage qrCodeImage(const QString& text, int scale) {
  const QByteArray utf8 = text.toUtf8();
  QRcode* code = QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  if (code == nullptr) return {};
  constexpr int kQuiet = 4;
  const int side = (code->width + 2 * kQuiet) * scale;
  QImage image(side, side, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int y = 0; y < code->width; ++y) {
    for (int x = 0; x < code->width; ++x) {
      if ((code->data[y * code->width + x] & 1) == 0) continue;
      for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx)
          image.setPixel((x + kQuiet) * scale + dx, (y + kQuiet) * scale + dy, qRgb(0, 0, 0));
    }
  }
  QRcode_free(code);
  return image;
}

StationDialog::StationDialog(StationServer& server, quint16 preferredPort, QWidget* parent)
    : QDialog(parent), server_(server), port_(preferredPort) {
  setWindowTitle(tr("Instructor station"));
  setObjectName(QStringLiteral("StationDialog"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(tr("Open this address on the instructor's phone, tablet or computer to watch the "
                              "dive and arm failures unseen. Anyone who has it can arm failures."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  qr_ = new QLabel(this);
  qr_->setObjectName(QStringLiteral("qr"));
  qr_->setAlignment(Qt::AlignCenter);
  layout->addWidget(qr_);
  address_ = new QLabel(this);
  address_->setObjectName(QStringLiteral("address"));
  address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  address_->setWordWrap(true);
  address_->setAlignment(Qt::AlignCenter);
  layout->addWidget(address_);
  clients_ = new QLabel(this);
  clients_->setObjectName(QStringLiteral("clients"));
  layout->addWidget(clients_);
  allowOthers_ = new QCheckBox(tr("Allow other devices on this network"), this);
  allowOthers_->setObjectName(QStringLiteral("allowOthers"));
  allowOthers_->setChecked(server_.allowsOtherDevices());
  layout->addWidget(allowOthers_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(allowOthers_, &QCheckBox::toggled, this, [this](bool on) { restart(on); });
  connect(&server_, &StationServer::clientsChanged, this, [this](int) { refresh(); });
  if (!server_.running()) server_.start(port_, allowOthers_->isChecked());
  refresh();
}

void StationDialog::restart(bool allowOthers) {
  // A new address (and a new token) for the new reach; open pages must pair again.
  const quint16 port = server_.running() ? server_.port() : port_;
  server_.stop();
  if (!server_.start(port, allowOthers)) server_.start(0, allowOthers);
  refresh();
}

void StationDialog::refresh() {
  if (!server_.running()) {
    address_->setText(tr("The station could not start: %1").arg(server_.error()));
    qr_->clear();
    clients_->clear();
    return;
  }
  const QString address = server_.address();
  address_->setText(address);
  qr_->setPixmap(QPixmap::fromImage(qrCodeImage(address, 5)));
  clients_->setText(tr("Pages connected: %1").arg(server_.clientCount()));
}

}  // namespace pelasim::station
