#pragma once
// `FRMViewMain`, the results viewer: charts a data file of the simulator. Both programs use
// it: the simulator shows it when the dive ends (it can also load another data file and save
// the loaded data under a new name), the standalone viewer is this window alone.

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "core/DiveLog.h"
#include "datafile/DataFile.h"

class QGroupBox;
class QPushButton;

namespace pelasim {

class DebriefPanel;
class DiveChartView;

class ResultsViewer : public QDialog {
  Q_OBJECT

 public:
  enum class Mode {
    Simulator,   // inside OrvanePelaSim: axis titles, Save, Load, message boxes
    Standalone,  // OrvanePelaSimViewer: the chart and Exit only
  };

  // Caption of the window, both programs.
  static QString caption();
  // Filter of the Load and Save file dialogs.
  static QString dataFileFilter();
  // Client area at start: 10845 x 7635 twips.
  static constexpr int kTwipsPerPixel = 15;
  static constexpr int kStartWidthTwips = 10845;
  static constexpr int kStartHeightTwips = 7635;

  explicit ResultsViewer(Mode mode, QWidget* parent = nullptr);
  ~ResultsViewer() override;

  // Reads `path` and charts every data row in it, replacing whatever was loaded before. When
  // the file cannot be read or is not a data file, returns false and leaves the chart as it
  // was; in Simulator mode a message box names the file and the reason, and while nothing is
  // loaded the chart area says why it is empty.
  bool loadFile(const QString& path);
  // Charts a whole dive, from the dive library or a data file, with every one of its events.
  // Save then writes it in the data file format.
  void showDive(const DiveData& dive);
  // Writes the loaded rows in the data file format, dated now, through a temporary file
  // that replaces `path` only once complete. False on failure (Simulator mode: message box).
  bool saveFile(const QString& path);
  // Saves the chart as a PNG picture at twice the screen resolution. False on failure,
  // reported in a message box.
  bool exportPng(const QString& path);

  // The debrief of a dive (a data file's or the dive library's): the chart with its event
  // lanes and the summary beside it. Drops a compared dive.
  void showDebrief(const DiveData& dive, const QString& caption);
  // Lays `other` over the dive shown, both summaries side by side.
  void compareWith(const DiveData& other);
  // Writes the debrief report of the dive shown (and the compared one) as a PDF. False on
  // failure, reported in a message box.
  bool saveReport(const QString& path);
  // The dive shown: a data file's, or the dive library's with every event.
  const DiveData& dive() const { return dive_; }
  DebriefPanel* debriefPanel() const { return panel_; }

  Mode mode() const { return mode_; }
  // The file the chart shows ("OrvanePelaSimData.csv" until another file is loaded).
  QString dataFileName() const { return dataFileName_; }
  // The rows of the last successful load; rows()[i] is second i + 1.
  const std::vector<datafile::Row>& rows() const { return rows_; }
  bool hasData() const { return loaded_; }
  // Why the last load, save or export failed.
  QString lastError() const { return lastError_; }
  DiveChartView* chartView() const { return chart_; }

  // How the viewer asks for a file name and reports a failure. The defaults open the file
  // dialogs and message boxes; tests replace them.
  struct Prompts {
    // Returns the chosen path, empty when cancelled. `save` picks a save dialog.
    std::function<QString(const QString& title, const QString& filter, const QString& proposed,
                          bool save)>
        choosePath;
    std::function<void(const QString& text)> warn;
  };
  void setPrompts(Prompts prompts);

 public Q_SLOTS:
  // `Command2`: asks for a file name and saves the loaded data there.
  void saveDataAs();
  // `Command3`: asks for a data file and charts it.
  void loadDataFrom();
  // Asks for a file name and saves the chart as a PNG picture.
  void exportChart();
  // "Save report": asks for a file name and writes the PDF report there.
  void saveReportAs();
  // "Print…": the desktop's print dialog, then the report on the chosen printer.
  void printReport();
  // "Compare…": asks for a second data file and lays it over the dive shown.
  void compareFrom();

  // Lists the dives of the dive library; the chosen one is charted.
  void openLibrary();

 public:
  // The dive library's folder the list opens (tests point it elsewhere).
  QString libraryFolder;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // A .csv file dropped on the window is loaded.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void placeControls();
  void failed(const QString& path, const QString& reason, bool notFound);
  QString chartCaption(const datafile::ReadResult& read, const QString& path) const;

  Mode mode_;
  QGroupBox* frame_ = nullptr;
  DiveChartView* chart_ = nullptr;
  QPushButton* exit_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* load_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* resetZoom_ = nullptr;
  QPushButton* library_ = nullptr;
  bool userAsked_ = false;  // a load the user started: its failure gets a message box
  Prompts prompts_;

  QString dataFileName_;
  std::vector<datafile::Row> rows_;
  bool loaded_ = false;
  QString lastError_;
  DebriefPanel* panel_ = nullptr;
  DiveData dive_;
  std::optional<DiveData> compare_;
};

}  // namespace pelasim
