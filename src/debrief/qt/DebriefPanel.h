#pragma once
// The panel beside the chart: the dive's summary (and a compared dive's beside it) and the
// buttons that save the report as a PDF, print it and lay a second dive over the first.

#include <QWidget>

#include "core/DiveLog.h"

class QPushButton;
class QTextBrowser;

namespace pelasim {

class DebriefPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DebriefPanel(QWidget* parent = nullptr);

  // Shows the summary of `dive`; `compare` (may be null) adds a second column.
  void showSummary(const DiveData& dive, const DiveData* compare = nullptr);
  void clear();
  // The summary as plain text, for tests.
  QString summaryText() const;

  QPushButton* saveReportButton() const { return saveReport_; }
  QPushButton* printButton() const { return print_; }
  QPushButton* compareButton() const { return compare_; }

 Q_SIGNALS:
  void saveReportClicked();
  void printClicked();
  void compareClicked();

 private:
  QTextBrowser* text_ = nullptr;
  QPushButton* saveReport_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* compare_ = nullptr;
};

}  // namespace pelasim
