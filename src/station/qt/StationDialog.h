#pragma once
// "Instructor station…": starts the station when it is off and shows its address as text
// and as a QR code to scan with a phone, with the choice to let other devices connect.

#include <QDialog>
#include <QImage>

class QCheckBox;
class QLabel;

namespace pelasim::station {

class StationServer;

// The QR code of `text`, `scale` pixels a module, with a quiet zone of four modules.
// A null image when the text does not fit a QR code.
QImage qrCodeImage(const QString& text, int scale);

class StationDialog : public QDialog {
 public:
  StationDialog(StationServer& server, quint16 preferredPort, QWidget* parent = nullptr);

 private:
  void restart(bool allowOthers);
  void refresh();

  StationServer& server_;
  quint16 port_;
  QCheckBox* allowOthers_ = nullptr;
  QLabel* address_ = nullptr;
  QLabel* qr_ = nullptr;
  QLabel* clients_ = nullptr;
};

}  // namespace pelasim::station
