#pragma once
// The dive library's list for the results viewer: every dive kept by the simulator, newest
// first, filterable by trainee. The chosen dive opens in the viewer with every event, or is
// exported in the data file format.

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

#include "core/DiveLog.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace pelasim {

namespace library {
class DiveLibrary;
}

class DiveListDialog : public QDialog {
  Q_OBJECT
 public:
  // Opens the library in `folder` for reading; when it cannot be opened the list says why.
  explicit DiveListDialog(const QString& folder, QWidget* parent = nullptr);
  ~DiveListDialog() override;

  // Called with the chosen dive when "Open" is pressed or a row double-clicked.
  std::function<void(const DiveData&)> onOpen;
  // Asks for the export's file name; tests replace it. Empty: cancelled.
  std::function<QString(const QString& proposed)> chooseExportPath;

  // Shows the dives of `trainee` (empty: everyone), newest first.
  void refresh(const QString& trainee = {});
  int rowCount() const;
  QTableWidget* table() const { return table_; }
  QComboBox* traineeBox() const { return trainee_; }
  // Every dive, any lesson, the lessons passed or not passed, or one lesson by title.
  QComboBox* lessonBox() const { return lesson_; }
  // What the label above the list says (the library's path, or why there is none).
  QString statusText() const;

  // Loads the dive of list row `row`; nullopt with a message when it cannot be read.
  std::optional<DiveData> diveAt(int row);
  bool openRow(int row);
  // Writes the dive of `row` in the data file format to `path`; false with a message.
  bool exportRow(int row, const QString& path);
  // Names the trainee of the dive of `row` (the login name unless someone typed another).
  bool renameTrainee(int row, const QString& name);
  // Asks for the trainee's name; tests replace it. Empty: cancelled.
  std::function<QString(const QString& current)> askTrainee;

 private:
  void openSelected();
  void exportSelected();

  std::unique_ptr<library::DiveLibrary> lib_;
  QLabel* status_ = nullptr;
  QComboBox* trainee_ = nullptr;
  QComboBox* lesson_ = nullptr;
  QTableWidget* table_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* rename_ = nullptr;
  void fillTrainees();
  std::vector<std::int64_t> ids_;
};

}  // namespace pelasim
