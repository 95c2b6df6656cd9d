#include "viewer/DiveListDialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <map>

#include <algorithm>

#include "library/DiveLibrary.h"
#include "datafile/DataFile.h"

namespace pelasim {
namespace {

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString duration(int seconds) {
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

DiveListDialog::DiveListDialog(const QString& folder, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DiveListDialog"));
  setWindowTitle(tr("Dive library"));
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(status_);

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(new QLabel(tr("Trainee:"), this));
  trainee_ = new QComboBox(this);
  trainee_->setObjectName(QStringLiteral("TraineeFilter"));
  filterRow->addWidget(trainee_, 1);
  filterRow->addWidget(new QLabel(tr("Lesson:"), this));
  lesson_ = new QComboBox(this);
  lesson_->setObjectName(QStringLiteral("LessonFilter"));
  lesson_->setAccessibleName(tr("Lesson"));
  filterRow->addWidget(lesson_, 1);
  layout->addLayout(filterRow);

  table_ = new QTableWidget(0, 7, this);
  table_->setHorizontalHeaderLabels({tr("Date"), tr("Trainee"), tr("Duration"), tr("Max depth (m)"),
                                     tr("Warnings"), tr("Ended"), tr("Lesson")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  open_ = new QPushButton(tr("&Open"), this);
  export_ = new QPushButton(tr("&Export data file..."), this);
  auto* close = new QPushButton(tr("&Close"), this);
  buttons->addWidget(open_);
  buttons->addWidget(export_);
  rename_ = new QPushButton(tr("&Trainee..."), this);
  rename_->setToolTip(tr("Name the trainee of the chosen dive"));
  buttons->addWidget(rename_);
  connect(rename_, &QPushButton::clicked, this, [this] {
    const int row = table_->currentRow();
    if (row < 0) return;
    const QString name = askTrainee(table_->item(row, 1)->text()).trimmed();
    if (!name.isEmpty()) renameTrainee(row, name);
  });
  buttons->addStretch(1);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(open_, &QPushButton::clicked, this, &DiveListDialog::openSelected);
  connect(export_, &QPushButton::clicked, this, &DiveListDialog::exportSelected);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });

  chooseExportPath = [this](const QString& proposed) {
    return QFileDialog::getSaveFileName(this, tr("Export data file"), proposed,
                                        QStringLiteral("Data Files (comma seperated)(*.csv)"));
  };

  askTrainee = [this](const QString& current) {
    return QInputDialog::getText(this, tr("Trainee"), tr("Name of the trainee of this dive:"),
                                 QLineEdit::Normal, current);
  };

  std::string error;
  lib_ = library::DiveLibrary::open(folder.toStdString(), library::DiveLibrary::Access::Read, error);
  if (!lib_) {
    status_->setText(tr("No dive library: %1.").arg(q(error)));
  } else {
    status_->setText(error.empty() ? tr("Dive library: %1").arg(QDir::toNativeSeparators(q(lib_->path())))
                                   : q(error) + QLatin1Char('.'));
    fillTrainees();
  }
  connect(trainee_, &QComboBox::currentIndexChanged, this,
          [this](int i) { refresh(trainee_->itemData(i).toString()); });
  connect(lesson_, &QComboBox::currentIndexChanged, this,
          [this](int) { refresh(trainee_->currentData().toString()); });
  resize(720, 420);
  refresh();
}

DiveListDialog::~DiveListDialog() = default;

void DiveListDialog::fillTrainees() {
  const QString chosen = trainee_->currentData().toString();
  const QSignalBlocker quiet(trainee_);
  trainee_->clear();
  trainee_->addItem(tr("All trainees"), QString());
  for (const std::string& t : lib_->trainees()) trainee_->addItem(q(t), q(t));
  trainee_->setCurrentIndex(std::max(0, trainee_->findData(chosen)));
  // The lesson filter: every dive, the lessons by result, or one lesson by its title.
  const QString lesson = lesson_->currentData().toString();
  const QSignalBlocker quietLesson(lesson_);
  lesson_->clear();
  lesson_->addItem(tr("All dives"), QString());
  lesson_->addItem(tr("Any lesson"), QStringLiteral("*"));
  lesson_->addItem(tr("Lessons passed"), QStringLiteral("*passed"));
  lesson_->addItem(tr("Lessons not passed"), QStringLiteral("*not passed"));
  QStringList titles;
  for (const auto& [id, outcome] : lib_->lessons()) {
    const QString title = q(outcome.substr(0, outcome.rfind(": ")));
    if (!titles.contains(title)) titles.push_back(title);
  }
  titles.sort();
  for (const QString& t : titles) lesson_->addItem(t, t);
  lesson_->setCurrentIndex(std::max(0, lesson_->findData(lesson)));
}

bool DiveListDialog::renameTrainee(int row, const QString& name) {
  if (!lib_ || row < 0 || row >= static_cast<int>(ids_.size())) return false;
  if (lib_->readOnly() || !lib_->setTrainee(ids_[static_cast<std::size_t>(row)], name.toStdString())) {
    QMessageBox::warning(this, windowTitle(),
                         lib_->readOnly() ? tr("The dive library may only be read here.")
                                          : q(lib_->lastError()) + QLatin1Char('.'));
    return false;
  }
  fillTrainees();
  refresh(trainee_->currentData().toString());
  return true;
}

QString DiveListDialog::statusText() const { return status_->text(); }

int DiveListDialog::rowCount() const { return table_->rowCount(); }

void DiveListDialog::refresh(const QString& trainee) {
  ids_.clear();
  table_->setRowCount(0);
  const bool any = lib_ != nullptr;
  open_->setEnabled(any);
  export_->setEnabled(any);
  rename_->setEnabled(any);
  if (!lib_) return;
  const std::map<std::int64_t, std::string> lessons = lib_->lessons();
  const QString lessonFilter = lesson_->currentData().toString();
  std::vector<library::DiveSummary> dives;
  for (library::DiveSummary& d : lib_->list(trainee.toStdString())) {
    const auto it = lessons.find(d.id);
    const QString outcome = it == lessons.end() ? QString() : q(it->second);
    const bool keep = lessonFilter.isEmpty() ||
                      (lessonFilter == QLatin1String("*") && !outcome.isEmpty()) ||
                      (lessonFilter == QLatin1String("*passed") && outcome.endsWith(QLatin1String(": passed"))) ||
                      (lessonFilter == QLatin1String("*not passed") && outcome.endsWith(QLatin1String(": not passed"))) ||
                      (!lessonFilter.startsWith(QLatin1Char('*')) && !outcome.isEmpty() &&
                       (outcome == lessonFilter || outcome.startsWith(lessonFilter + QStringLiteral(": "))));
    if (keep) dives.push_back(std::move(d));
  }
  table_->setRowCount(static_cast<int>(dives.size()));
  for (int r = 0; r < static_cast<int>(dives.size()); ++r) {
    const library::DiveSummary& d = dives[static_cast<std::size_t>(r)];
    ids_.push_back(d.id);
    const auto lesson = lessons.find(d.id);
    const QString cells[] = {q(d.startedAt), q(d.trainee), duration(d.seconds),
                             QString::number(d.maxDepth), QString::number(d.warnings),
                             d.state == library::kEndedNormally ? tr("normally")
                             : d.state == library::kRunning    ? tr("still running")
                                                                : tr("unexpectedly"),
                             lesson == lessons.end() ? QString() : q(lesson->second)};
    for (int c = 0; c < 7; ++c) table_->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  table_->resizeColumnsToContents();
  if (!dives.empty()) table_->selectRow(0);
}

std::optional<DiveData> DiveListDialog::diveAt(int row) {
  if (!lib_ || row < 0 || row >= static_cast<int>(ids_.size())) return std::nullopt;
  std::optional<DiveData> d = lib_->load(ids_[static_cast<std::size_t>(row)]);
  if (!d) QMessageBox::warning(this, windowTitle(), q(lib_->lastError()) + QLatin1Char('.'));
  return d;
}

bool DiveListDialog::openRow(int row) {
  const std::optional<DiveData> d = diveAt(row);
  if (!d) return false;
  if (onOpen) onOpen(*d);
  accept();
  return true;
}

bool DiveListDialog::exportRow(int row, const QString& path) {
  const std::optional<DiveData> d = diveAt(row);
  if (!d) return false;
  const QDateTime now = QDateTime::currentDateTime();
  const std::string text = library::dataFileText(*d, now.date().year(), now.date().month(), now.date().day(),
                                                 now.time().hour(), now.time().minute(), now.time().second());
  const datafile::WriteOutcome out = datafile::writeFileAtomically(QFile::encodeName(path).toStdString(), text);
  if (!out.ok)
    QMessageBox::warning(this, windowTitle(),
                         tr("The dive could not be exported to\n%1\n\nReason: %2.")
                             .arg(QDir::toNativeSeparators(path), q(out.error)));
  return out.ok;
}

void DiveListDialog::openSelected() { openRow(table_->currentRow()); }

void DiveListDialog::exportSelected() {
  const int row = table_->currentRow();
  if (row < 0) return;
  const QString when = table_->item(row, 0)->text().replace(QLatin1Char(':'), QString()).replace(QLatin1Char(' '), QLatin1Char('-'));
  const QString path = chooseExportPath(QDir::home().filePath(QStringLiteral("OrvanePelaSimData-%1.csv").arg(when)));
  if (!path.isEmpty()) exportRow(row, path);
}

}  // namespace pelasim
