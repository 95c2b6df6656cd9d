#include "viewer/ResultsViewer.h"

#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>

#include <cmath>

#include <QPrintDialog>
#include <QPrinter>

#include "core/Version.h"
#include "debrief/Debrief.h"
#include "library/DiveLibrary.h"
#include "debrief/DiveTrace.h"
#include "debrief/qt/DebriefPanel.h"
#include "debrief/qt/DebriefReport.h"
#include "debrief/qt/DiveChartView.h"
#include "viewer/DiveListDialog.h"

namespace pelasim {


namespace {

// Layout, in twips (15 twips to the pixel). W and H stand for the outer size of the window;
// its border and caption add 2m across and 540 twips down to the client area.
constexpr int kMargin = 60;          // m
constexpr int kCaptionAndBorder = 540;
constexpr int kBorderAcross = 2 * kMargin;
constexpr int kButtonWidth = 1800;
constexpr int kButtonHeight = 450;

int px(int twips) {
  return static_cast<int>(std::lround(twips / static_cast<double>(ResultsViewer::kTwipsPerPixel)));
}

QString fromStd(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }

std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// "1 h 02 min 03 s", "12 min 05 s" or "45 s".
QString lengthText(int seconds) {
  const int h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (h > 0)
    return QStringLiteral("%1 h %2 min %3 s").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
  if (m > 0) return QStringLiteral("%1 min %2 s").arg(m).arg(s, 2, 10, QLatin1Char('0'));
  return QStringLiteral("%1 s").arg(s);
}

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

QString ResultsViewer::caption() { return QStringLiteral("Orvane Pelagrinova Simulator  Results Viewer"); }

QString ResultsViewer::dataFileFilter() { return QStringLiteral("Data Files (comma seperated)(*.csv)"); }

ResultsViewer::ResultsViewer(Mode mode, QWidget* parent)
    : QDialog(parent),
      mode_(mode),
      dataFileName_(QString::fromUtf8(datafile::kFileName.data(),
                                      static_cast<qsizetype>(datafile::kFileName.size()))) {
  setObjectName(QStringLiteral("FRMViewMain"));
  setWindowTitle(caption());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setProperty("programVersion", mode == Mode::Simulator ? QString::fromStdString(longVersionText())
                                                        : QStringLiteral("0.00.0001"));

  frame_ = new QGroupBox(tr("Data"), this);
  frame_->setObjectName(QStringLiteral("Frame1"));
  chart_ = new DiveChartView(frame_);
  chart_->setAxisTitles(mode == Mode::Simulator);
  panel_ = new DebriefPanel(frame_);
  connect(panel_, &DebriefPanel::saveReportClicked, this, &ResultsViewer::saveReportAs);
  connect(panel_, &DebriefPanel::printClicked, this, &ResultsViewer::printReport);
  connect(panel_, &DebriefPanel::compareClicked, this, &ResultsViewer::compareFrom);

  exit_ = button(tr("E&xit"), "Command1", this);
  connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
  if (mode == Mode::Simulator) {
    save_ = button(tr("&Save Data as"), "Command2", this);
    load_ = button(tr("&Load data from"), "Command3", this);
    save_->setEnabled(false);  // nothing loaded yet
    connect(save_, &QPushButton::clicked, this, &ResultsViewer::saveDataAs);
  } else {
    // The standalone viewer opens any data file and any dive of the dive library (whose
    // list also exports a dive as a data file).
    load_ = button(tr("&Open..."), "OpenButton", this);
    load_->setToolTip(tr("Open a data file (or drop one on this window)"));
    library_ = button(tr("Dive &library"), "LibraryButton", this);
    library_->setToolTip(tr("Every dive the simulator kept, newest first"));
    connect(library_, &QPushButton::clicked, this, &ResultsViewer::openLibrary);
  }
  connect(load_, &QPushButton::clicked, this, &ResultsViewer::loadDataFrom);
  libraryFolder = QString::fromStdString(library::defaultFolder());
  setAcceptDrops(true);
  export_ = button(tr("Export &PNG"), "ExportPngButton", this);
  export_->setToolTip(tr("Save the chart as a PNG picture"));
  export_->setEnabled(false);
  connect(export_, &QPushButton::clicked, this, &ResultsViewer::exportChart);
  resetZoom_ = button(tr("&Reset zoom"), "ResetZoomButton", this);
  resetZoom_->setToolTip(tr("Show the whole dive again (also a right click or a double click "
                            "on the chart). Drag across the chart to zoom into a stretch of time."));
  resetZoom_->setEnabled(false);
  connect(resetZoom_, &QPushButton::clicked, chart_, &DiveChartView::resetZoom);
  connect(chart_, &DiveChartView::zoomChanged, resetZoom_, &QPushButton::setEnabled);

  prompts_.choosePath = [this](const QString& title, const QString& filter,
                               const QString& proposed, bool save) {
    QFileDialog dialog(this, title, proposed, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QRegularExpressionMatch suffix =
        QRegularExpression(QStringLiteral("\\*\\.(\\w+)\\)$")).match(filter);
    if (suffix.hasMatch()) dialog.setDefaultSuffix(suffix.captured(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  prompts_.warn = [this](const QString& text) { QMessageBox::warning(this, caption(), text); };

  const int buttonsAcross = 5;
  setMinimumSize(px(buttonsAcross * kButtonWidth + (buttonsAcross + 2) * kMargin), 300);
  resize(px(kStartWidthTwips), px(kStartHeightTwips));
  placeControls();
}

ResultsViewer::~ResultsViewer() = default;

void ResultsViewer::setPrompts(Prompts prompts) {
  if (prompts.choosePath) prompts_.choosePath = std::move(prompts.choosePath);
  if (prompts.warn) prompts_.warn = std::move(prompts.warn);
}

void ResultsViewer::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  placeControls();
}

void ResultsViewer::placeControls() {
  const int m = kMargin, bw = kButtonWidth, bh = kButtonHeight;
  const int W = width() * kTwipsPerPixel + kBorderAcross;
  const int H = height() * kTwipsPerPixel + kCaptionAndBorder;

  const int frameTop = m;
  const int frameHeight = std::max(H - 2 * m - bh - frameTop - kCaptionAndBorder, 8 * m);
  frame_->setGeometry(px(m), px(frameTop), px(W - 4 * m), px(frameHeight));

  const int buttonTop = H - bh - m - kCaptionAndBorder;
  exit_->setGeometry(px(W - bw - 3 * m), px(buttonTop), px(bw), px(bh));
  int left = m;
  for (QPushButton* b : {save_, load_, library_, export_, resetZoom_}) {
    if (!b) continue;
    b->setGeometry(px(left), px(buttonTop), px(bw), px(bh));
    left += bw + m;
  }

  // The chart fills the frame 2m in from its edges, below the frame's caption.
  const QRect inside = frame_->rect();
  const int inset = px(2 * m);
  const int top = std::max(inset, frame_->contentsRect().top());
  // The debrief panel stands at the frame's right, the chart takes the rest.
  const int panelWidth = std::clamp(inside.width() / 4, 170, 300);
  const QRect area(QPoint(inset, top), QPoint(inside.right() - inset, inside.bottom() - inset));
  chart_->setGeometry(area.adjusted(0, 0, -panelWidth - inset, 0));
  panel_->setGeometry(QRect(QPoint(area.right() - panelWidth + 1, area.top()), area.bottomRight()));
}

QString ResultsViewer::chartCaption(const datafile::ReadResult& read, const QString& path) const {
  QStringList parts;
  parts << QFileInfo(path).fileName();
  const QString date = QString::fromUtf8(read.date.data(), static_cast<qsizetype>(std::min<std::size_t>(read.date.size(), 40)));
  const QString time = QString::fromUtf8(read.time.data(), static_cast<qsizetype>(std::min<std::size_t>(read.time.size(), 40)));
  const QString when = QStringList{date, time}.join(QLatin1Char(' ')).trimmed();
  if (!when.isEmpty()) parts << when;
  parts << tr("%1 (%2 s)").arg(lengthText(static_cast<int>(rows_.size()))).arg(rows_.size());
  if (read.truncated) parts << tr("only the first %1 seconds are read").arg(datafile::kMaxRows);
  if (read.irregularLines > 0) parts << tr("%n damaged line(s)", nullptr, read.irregularLines);
  return parts.join(QStringLiteral("   \u00b7   "));
}

bool ResultsViewer::loadFile(const QString& path) {
  // Only plain files: a folder cannot be read, and opening a pipe or a device could wait
  // for ever.
  const QFileInfo info(path);
  if (!path.isEmpty() && info.exists() && !info.isFile()) {
    failed(path, info.isDir() ? tr("it is a folder, not a file") : tr("it is not a plain file"),
           false);
    return false;
  }
  std::string bytes, error;
  if (path.isEmpty() || !datafile::readWholeFile(toPath(path), bytes, error)) {
    const bool notFound = path.isEmpty() || !QFileInfo::exists(path);
    failed(path, notFound ? tr("the file does not exist") : fromStd(error), notFound);
    return false;
  }
  datafile::ReadResult read = datafile::readFile(bytes);
  std::string().swap(bytes);
  if (!read.isDataFile) {
    failed(path,
           tr("it is not a data file of the Orvane Pelagrinova Simulator (its line of column "
              "titles, \"Time (secs)\", \"Real PO2\" and so on, is missing)"),
           false);
    return false;
  }

  rows_ = std::move(read.rows);
  loaded_ = true;
  dataFileName_ = path;
  lastError_.clear();
  DiveInfo diveInfo;
  diveInfo.source = toPath(path);
  diveInfo.startedAt = QStringList{fromStd(read.date), fromStd(read.time)}.join(QLatin1Char(' ')).trimmed().toStdString();
  DiveData dive = debrief::diveFromRows(rows_, std::move(diveInfo));
  if (rows_.empty()) {
    dive_ = std::move(dive);
    compare_.reset();
    panel_->clear();
    chart_->showEmpty(tr("The data file\n%1\nholds no recorded seconds.")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
  } else {
    showDebrief(dive, chartCaption(read, path));
  }
  if (save_) save_->setEnabled(true);
  export_->setEnabled(!chart_->isEmptyState());
  return true;
}

void ResultsViewer::failed(const QString& path, const QString& reason, bool notFound) {
  lastError_ = reason;
  const QFileInfo info(path);
  const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
  if (!loaded_) {
    QString text;
    if (notFound) {
      const QString folder = QDir::toNativeSeparators(info.absolutePath());
      const bool here = info.absoluteDir() == QDir::current();
      text = (here ? tr("No dive to show.\n\n\"%1\" was not found in the current folder\n%2")
                   : tr("No dive to show.\n\n\"%1\" was not found in the folder\n%2"))
                 .arg(info.fileName(), folder);
      if (mode_ == Mode::Standalone)
        text += tr("\n\nThe simulator writes it when a dive ends; start the viewer in the "
                   "folder that holds it.");
    } else {
      text = tr("No dive to show.\n\n\"%1\" could not be read:\n%2.").arg(shown, reason);
    }
    chart_->showEmpty(text);
    export_->setEnabled(false);
  }
  if (mode_ == Mode::Simulator || userAsked_) {
    const QString kept =
        loaded_ ? tr("The chart still shows %1.").arg(QFileInfo(dataFileName_).fileName())
                : tr("The chart stays empty.");
    prompts_.warn(tr("The data file\n%1\ncould not be loaded: %2.\n\n%3").arg(shown, reason, kept));
  }
}

bool ResultsViewer::saveFile(const QString& path) {
  const QDateTime now = QDateTime::currentDateTime();
  const datafile::Stamp stamp{now.date().year(), now.date().month(), now.date().day(),
                              now.time().hour(), now.time().minute(), now.time().second()};
  const std::string text = datafile::formatFile(stamp, rows_);
  const datafile::WriteOutcome out = datafile::writeFileAtomically(toPath(path), text);
  if (out.ok) {
    lastError_.clear();
    return true;
  }
  lastError_ = fromStd(out.error);
  if (mode_ == Mode::Simulator || userAsked_)
    prompts_.warn(tr("The data could not be saved to\n%1\n\nReason: %2.\n\nNothing was written; "
                     "a file already there is unchanged.")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), lastError_));
  return false;
}

bool ResultsViewer::exportPng(const QString& path) {
  const QImage picture = chart_->renderImage(2.0);
  QSaveFile file(path);
  bool ok = file.open(QIODevice::WriteOnly);
  if (ok && !picture.save(&file, "PNG")) {
    ok = false;
    lastError_ = file.error() != QFileDevice::NoError ? file.errorString()
                                                      : tr("the picture could not be encoded");
  } else if (!ok) {
    lastError_ = file.errorString();
  }
  if (ok && !file.commit()) {
    ok = false;
    lastError_ = file.errorString();
  }
  if (ok) {
    lastError_.clear();
    return true;
  }
  prompts_.warn(tr("The chart could not be saved to\n%1\n\nReason: %2.")
                    .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), lastError_));
  return false;
}

void ResultsViewer::showDebrief(const DiveData& dive, const QString& caption) {
  dive_ = dive;
  compare_.reset();
  if (dive_.samples.empty()) {
    chart_->showEmpty(tr("This dive holds no recorded seconds."));
    panel_->clear();
  } else {
    chart_->setDive(dive_, caption);
    panel_->showSummary(dive_);
  }
  export_->setEnabled(!chart_->isEmptyState());
}

void ResultsViewer::compareWith(const DiveData& other) {
  if (chart_->isEmptyState()) return;
  compare_ = other;
  chart_->setCompareDive(*compare_, tr("Compared dive: %1").arg(diveCaption(*compare_)));
  panel_->showSummary(dive_, &*compare_);
}

bool ResultsViewer::saveReport(const QString& path) {
  QString error;
  if (writeReportPdf(path, dive_, error, compare_ ? &*compare_ : nullptr)) {
    lastError_.clear();
    return true;
  }
  lastError_ = error;
  prompts_.warn(tr("The report could not be saved to\n%1\n\nReason: %2.")
                    .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), error));
  return false;
}

void ResultsViewer::saveReportAs() {
  const QFileInfo source(dataFileName_);
  const QString proposed =
      source.absoluteDir().filePath(source.completeBaseName() + QStringLiteral(" report.pdf"));
  const QString path =
      prompts_.choosePath(tr("Save report"), tr("PDF documents (*.pdf)"), proposed, true);
  if (!path.isEmpty()) saveReport(path);
}

void ResultsViewer::printReport() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(tr("Print report"));
  if (dialog.exec() != QDialog::Accepted) return;
  paintReport(printer, dive_, compare_ ? &*compare_ : nullptr);
}

void ResultsViewer::compareFrom() {
  const QString path = prompts_.choosePath(tr("Compare with"), dataFileFilter(),
                                           QFileInfo(dataFileName_).absolutePath(), false);
  if (path.isEmpty()) return;
  std::string error;
  std::optional<DiveData> other;
  if (QFileInfo(path).isFile()) other = debrief::readDiveFile(toPath(path), error);
  else error = tr("it is not a plain file").toStdString();
  if (!other) {
    prompts_.warn(tr("The dive to compare could not be read from\n%1\n\nReason: %2.")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), fromStd(error)));
    return;
  }
  compareWith(*other);
}

void ResultsViewer::saveDataAs() {
  const QString path = prompts_.choosePath(tr("Save Data as"), dataFileFilter(),
                                           QFileInfo(dataFileName_).absoluteFilePath(), true);
  userAsked_ = true;
  if (!path.isEmpty()) saveFile(path);
  userAsked_ = false;
}

void ResultsViewer::loadDataFrom() {
  const QString path = prompts_.choosePath(tr("Load data from"), dataFileFilter(),
                                           QFileInfo(dataFileName_).absolutePath(), false);
  userAsked_ = true;
  if (!path.isEmpty()) loadFile(path);
  userAsked_ = false;
}

void ResultsViewer::showDive(const DiveData& dive) {
  // "Save Data as" writes the dive in the data file format, one message per second.
  rows_ = library::dataFileRows(dive);
  loaded_ = true;
  lastError_.clear();
  const QString when = QString::fromStdString(dive.info.startedAt);
  dataFileName_ = QStringLiteral("OrvanePelaSimData-%1.csv")
                      .arg(QString(when).replace(QLatin1Char(':'), QString()).replace(QLatin1Char(' '), QLatin1Char('-')));
  QStringList parts;
  parts << (dive.info.trainee.empty() ? tr("Dive") : tr("Dive of %1").arg(QString::fromStdString(dive.info.trainee)));
  if (!when.isEmpty()) parts << when;
  parts << tr("%1 (%2 s)").arg(lengthText(static_cast<int>(rows_.size()))).arg(rows_.size());
  parts << tr("%n event(s)", nullptr, static_cast<int>(dive.events.size()));
  parts << (dive.info.endedNormally ? tr("ended normally") : tr("ended unexpectedly"));
  // Every event of the dive is charted and tabled, not only the last message of each second.
  showDebrief(dive, parts.join(QStringLiteral("   \u00b7   ")));
  if (save_) save_->setEnabled(true);
}

void ResultsViewer::openLibrary() {
  DiveListDialog list(libraryFolder, this);
  list.onOpen = [this](const DiveData& d) { showDive(d); };
  list.exec();
}

void ResultsViewer::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.size() == 1 && urls.first().isLocalFile() &&
      urls.first().toLocalFile().endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
    event->acceptProposedAction();
}

void ResultsViewer::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty()) return;
  event->acceptProposedAction();
  userAsked_ = true;
  loadFile(urls.first().toLocalFile());
  userAsked_ = false;
}

void ResultsViewer::exportChart() {
  const QFileInfo source(dataFileName_);
  const QString proposed =
      source.absoluteDir().filePath(source.completeBaseName() + QStringLiteral(".png"));
  const QString path =
      prompts_.choosePath(tr("Export PNG"), tr("PNG pictures (*.png)"), proposed, true);
  if (!path.isEmpty()) exportPng(path);
}

}  // namespace pelasim
