#include "lesson/qt/LessonWindows.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/DiveObserverList.h"
#include "lesson/Course.h"
#include "sim/Simulation.h"

namespace pelasim::lesson {
namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString clockText(int seconds) {
  if (seconds < 0) seconds = 0;
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QColor outcomeColour(Outcome o) {
  switch (o) {
    case Outcome::Met: return QColor(0, 110, 0);
    case Outcome::Missed: return QColor(190, 0, 0);
    case Outcome::Late: return QColor(190, 90, 0);
    case Outcome::Pending: break;
  }
  return QColor(80, 80, 80);
}

}  // namespace

LessonChooser::LessonChooser(const QString& programFolder, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("LessonChooser"));
  setWindowTitle(tr("Lessons"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(tr("Choose a lesson. Its briefing comes first; the lesson starts when you "
                              "press \"Start lesson\"."), this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  list_ = new QListWidget(this);
  list_->setAccessibleName(tr("Lessons"));
  for (const CourseEntry& e :
       listLessons({bundledLessonsFolder(programFolder.toStdString()), userLessonsFolder()})) {
    auto* item = new QListWidgetItem(qs(e.title) + (e.readable ? QString() : tr(" (has errors)")), list_);
    item->setData(Qt::UserRole, qs(e.path));
    item->setToolTip(qs(e.path));
    if (!e.readable) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
  }
  if (list_->count() > 0) list_->setCurrentRow(0);
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("Choose"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(520, 360);
}

QString LessonChooser::chosenPath() const {
  const QListWidgetItem* item = list_->currentItem();
  return item != nullptr && (item->flags() & Qt::ItemIsEnabled) ? item->data(Qt::UserRole).toString()
                                                                  : QString();
}

QString LessonBriefing::briefingHtml(const Lesson& lesson) {
  QString html = QStringLiteral("<h2>%1</h2><p>%2</p><h3>%3</h3><ul>")
                     .arg(qs(lesson.title).toHtmlEscaped(),
                          qs(lesson.briefing).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")),
                          tr("You will be judged on"));
  for (const Objective& o : lesson.objectives)
    html += QStringLiteral("<li>%1%2</li>")
                .arg(qs(o.text).toHtmlEscaped(), o.critical ? QString() : tr(" (not required to pass)"));
  html += QStringLiteral("</ul>");
  return html;
}

LessonBriefing::LessonBriefing(const Lesson& lesson, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("LessonBriefing"));
  setWindowTitle(tr("Lesson briefing: %1").arg(qs(lesson.title)));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QTextBrowser(this);
  text->setObjectName(QStringLiteral("briefingText"));
  text->setAccessibleName(tr("Briefing"));
  text->setHtml(briefingHtml(lesson));
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* start = buttons->addButton(tr("Start lesson"), QDialogButtonBox::AcceptRole);
  start->setDefault(true);
  QPushButton* print = buttons->addButton(tr("Print…"), QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(print, &QPushButton::clicked, this, [this, lesson] {
    QPrinter printer;
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() != QDialog::Accepted) return;
    QTextDocument doc;
    doc.setHtml(briefingHtml(lesson));
    doc.print(&printer);
  });
  layout->addWidget(buttons);
  resize(560, 420);
}

bool LessonBriefing::writePdf(const Lesson& lesson, const QString& path) {
  QPdfWriter writer(path);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setTitle(qs(lesson.title));
  QTextDocument doc;
  doc.setHtml(briefingHtml(lesson));
  doc.setPageSize(QSizeF(writer.width(), writer.height()));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  doc.drawContents(&painter);
  return painter.end();
}

LessonSession::LessonSession(Simulation& sim, DiveObserverList& observers, Lesson lesson,
                             QWidget* mainWindow)
    : sim_(sim), observers_(observers), run_(std::make_unique<LessonRun>(sim, std::move(lesson))) {
  observers_.add(run_.get());
  panel_ = new QWidget(mainWindow, Qt::Tool);
  panel_->setObjectName(QStringLiteral("LessonPanel"));
  panel_->setWindowTitle(tr("Lesson: %1").arg(qs(run_->lesson().title)));
  panel_->setAccessibleName(tr("Lesson"));
  auto* layout = new QVBoxLayout(panel_);
  heading_ = new QLabel(panel_);
  heading_->setObjectName(QStringLiteral("lessonHeading"));
  heading_->setWordWrap(true);
  message_ = new QLabel(panel_);
  message_->setObjectName(QStringLiteral("lessonMessage"));
  message_->setWordWrap(true);
  message_->setAccessibleName(tr("Lesson message"));
  objectives_ = new QTreeWidget(panel_);
  objectives_->setObjectName(QStringLiteral("lessonObjectives"));
  objectives_->setAccessibleName(tr("Objectives"));
  objectives_->setColumnCount(3);
  objectives_->setHeaderLabels({tr("Objective"), tr("Result"), tr("At")});
  objectives_->setRootIsDecorated(false);
  objectives_->setWordWrap(true);
  objectives_->setUniformRowHeights(false);
  objectives_->header()->setStretchLastSection(false);
  objectives_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  objectives_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  objectives_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  for (const Objective& o : run_->lesson().objectives) {
    auto* item = new QTreeWidgetItem(objectives_);
    item->setText(0, qs(o.text));
    item->setToolTip(0, qs(o.text));
  }
  layout->addWidget(heading_);
  layout->addWidget(message_);
  layout->addWidget(objectives_);
  run_->onMessage = [this](const std::string&) { refresh(); };
  run_->onObjectivesChanged = [this] { refresh(); };
  clock_ = new QTimer(this);
  connect(clock_, &QTimer::timeout, this, &LessonSession::refresh);
  clock_->start(1000);
  refresh();
  panel_->resize(520, 300);
  if (mainWindow != nullptr)
    panel_->move(mainWindow->frameGeometry().topRight() + QPoint(8, 0));
  panel_->show();
}

LessonSession::~LessonSession() { observers_.remove(run_.get()); }

void LessonSession::finish() {
  run_->finish();
  clock_->stop();
  panel_->setWindowTitle(tr("Lesson assessment: %1").arg(qs(run_->lesson().title)));
  refresh();
}

void LessonSession::refresh() {
  const LessonRun& r = *run_;
  if (r.finished()) {
    heading_->setText(QStringLiteral("<b>%1</b> — %2")
                          .arg(qs(r.lesson().title).toHtmlEscaped(),
                               r.passed() ? tr("passed") : tr("not passed")));
  } else {
    heading_->setText(QStringLiteral("<b>%1</b> — %2").arg(qs(r.lesson().title).toHtmlEscaped(),
                                                          clockText(r.elapsedSeconds())));
  }
  message_->setText(r.messages().empty() ? QString() : qs(r.messages().back()));
  message_->setVisible(!r.messages().empty());
  for (int i = 0; i < objectives_->topLevelItemCount(); ++i) {
    const ObjectiveResult& o = r.results()[static_cast<std::size_t>(i)];
    QTreeWidgetItem* item = objectives_->topLevelItem(i);
    item->setText(1, o.outcome == Outcome::Pending ? QString() : QString::fromLatin1(outcomeText(o.outcome)));
    item->setForeground(1, outcomeColour(o.outcome));
    item->setText(2, o.second >= 0 && o.outcome != Outcome::Pending ? clockText(o.second) : QString());
    item->setToolTip(1, qs(o.detail));
  }
  Q_EMIT changed();
}

QString LessonSession::panelText() const {
  QString text = heading_->text() + QLatin1Char('\n');
  if (message_->isVisible()) text += message_->text() + QLatin1Char('\n');
  for (int i = 0; i < objectives_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = objectives_->topLevelItem(i);
    text += item->text(0) + QLatin1Char('\t') + item->text(1) + QLatin1Char('\t') + item->text(2) +
            QLatin1Char('\n');
  }
  return text;
}

}  // namespace pelasim::lesson
