#include "debrief/qt/DebriefReport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cstdio>
#include <map>
#include <numeric>
#include <optional>

#include "debrief/Debrief.h"
#include "debrief/LessonRecord.h"
#include "library/DiveLibrary.h"
#include "debrief/qt/DiveChartView.h"

namespace pelasim {
namespace {

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const char* kindName(EventKind k) {
  switch (k) {
    case EventKind::Status: return "Status";
    case EventKind::FailureArmed: return "Failure armed";
    case EventKind::FailureApplied: return "Failure";
    case EventKind::Note: return "Note";
  }
  return "";
}

// Draws on one device page by page, in millimetres from the page's printable corner.
class Pages {
 public:
  Pages(QPagedPaintDevice& device, QPainter& painter) : device_(device), p_(painter) {}
  double dpmm() const { return device_.logicalDpiX() / 25.4; }
  qreal mm(double v) const { return v * dpmm(); }
  QRectF page() const {
    const QRect r = device_.pageLayout().paintRectPixels(device_.logicalDpiX());
    return QRectF(0, 0, r.width(), r.height());
  }
  void newPage(QPageLayout::Orientation o) {
    device_.setPageOrientation(o);
    device_.newPage();
    ++number_;
    y_ = 0;
    footer();
  }
  void footer() {
    QFont f = font(7.5);
    p_.setFont(f);
    p_.setPen(QColor(0x60, 0x60, 0x70));
    const QRectF pg = page();
    p_.drawText(QRectF(0, pg.bottom() - mm(5), pg.width(), mm(5)), Qt::AlignRight | Qt::AlignBottom,
                QStringLiteral("%1   ·   page %2").arg(footerText_).arg(number_));
  }
  QFont font(double points, bool bold = false) const {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
  }
  // Room left above the footer, device pixels.
  qreal left() const { return page().height() - mm(8) - y_; }

  QPagedPaintDevice& device_;
  QPainter& p_;
  QString footerText_;
  int number_ = 1;
  qreal y_ = 0;
};

void heading(Pages& pg, const QString& text) {
  pg.p_.setFont(pg.font(12, true));
  pg.p_.setPen(QColor(0x20, 0x20, 0x30));
  const QRectF r(0, pg.y_, pg.page().width(), pg.mm(8));
  pg.p_.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
  pg.y_ += pg.mm(9);
}

// A row of cells of the given widths (mm); its height in device pixels. Most cells hold one
// line: only those wider than their column are measured for wrapping.
qreal rowHeight(Pages& pg, const QFontMetricsF& fm, const QList<double>& widths, const QStringList& cells) {
  qreal h = fm.height();
  for (int i = 0; i < cells.size(); ++i) {
    const qreal w = pg.mm(widths[i] - 2);
    if (fm.horizontalAdvance(cells[i]) <= w) continue;
    h = std::max(h, fm.boundingRect(QRectF(0, 0, w, 1e6), Qt::TextWordWrap, cells[i]).height());
  }
  return h + pg.mm(1.6);
}

void drawRow(Pages& pg, const QList<double>& widths, const QStringList& cells, const QFont& f, qreal h, bool shade) {
  if (shade) pg.p_.fillRect(QRectF(0, pg.y_, pg.mm(std::accumulate(widths.begin(), widths.end(), 0.0)), h),
                            QColor(0xf0, 0xf0, 0xf5));
  pg.p_.setFont(f);
  const QFontMetricsF fm(f, &pg.device_);
  qreal x = 0;
  for (int i = 0; i < cells.size(); ++i) {
    const qreal w = pg.mm(widths[i] - 2);
    // One line is drawn at its baseline; only a longer text goes through the wrapping layout.
    if (fm.horizontalAdvance(cells[i]) <= w)
      pg.p_.drawText(QPointF(x + pg.mm(1), pg.y_ + pg.mm(0.8) + fm.ascent()), cells[i]);
    else
      pg.p_.drawText(QRectF(x + pg.mm(1), pg.y_ + pg.mm(0.8), w, h), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                     cells[i]);
    x += pg.mm(widths[i]);
  }
  pg.y_ += h;
}

// A table that starts a new portrait page when the next row does not fit, repeating its head.
void table(Pages& pg, const QList<double>& widths, const QStringList& head, const QList<QStringList>& rows) {
  const QFont headFont = pg.font(8.5, true), bodyFont = pg.font(8.5);
  const QFontMetricsF headMetrics(headFont, &pg.device_), bodyMetrics(bodyFont, &pg.device_);
  const qreal width = pg.mm(std::accumulate(widths.begin(), widths.end(), 0.0));
  auto drawHead = [&] {
    pg.p_.setPen(QColor(0x20, 0x20, 0x30));
    drawRow(pg, widths, head, headFont, rowHeight(pg, headMetrics, widths, head), false);
    pg.p_.setPen(QPen(QColor(0x90, 0x90, 0xa0), 0));
    pg.p_.drawLine(QPointF(0, pg.y_), QPointF(width, pg.y_));
  };
  drawHead();
  bool shade = false;
  for (const QStringList& r : rows) {
    const qreal h = rowHeight(pg, bodyMetrics, widths, r);
    if (h > pg.left()) {
      pg.newPage(QPageLayout::Portrait);
      drawHead();
    }
    pg.p_.setPen(QColor(0x20, 0x20, 0x30));
    drawRow(pg, widths, r, bodyFont, h, shade);
    shade = !shade;
  }
  pg.y_ += pg.mm(4);
}

}  // namespace

QString diveCaption(const DiveData& dive) {
  QStringList parts;
  parts << (dive.info.trainee.empty() ? QObject::tr("Trainee not named") : q(dive.info.trainee));
  if (!dive.info.startedAt.empty()) parts << q(dive.info.startedAt);
  const int seconds = dive.samples.empty() ? 0 : dive.samples.back().second;
  parts << q(debrief::lengthText(seconds));
  return parts.join(QStringLiteral("   ·   "));
}

void paintReport(QPagedPaintDevice& device, const DiveData& dive, const DiveData* compare) {
  device.setPageSize(QPageSize(QPageSize::A4));
  device.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
  device.setPageOrientation(QPageLayout::Landscape);
  QPainter painter(&device);
  Pages pg(device, painter);
  pg.footerText_ = QObject::tr("Dive debrief") + QStringLiteral(": ") + diveCaption(dive);
  pg.footer();

  // Title: who, when, how long, from where.
  painter.setFont(pg.font(16, true));
  painter.setPen(QColor(0x20, 0x20, 0x30));
  const QString trainee = dive.info.trainee.empty() ? QObject::tr("trainee not named") : q(dive.info.trainee);
  painter.drawText(QRectF(0, 0, pg.page().width(), pg.mm(9)), Qt::AlignLeft | Qt::AlignVCenter,
                   QObject::tr("Dive debrief: %1").arg(trainee));
  pg.y_ = pg.mm(10);
  painter.setFont(pg.font(9.5));
  const int seconds = dive.samples.empty() ? 0 : dive.samples.back().second;
  QStringList facts;
  facts << QObject::tr("Date: %1").arg(dive.info.startedAt.empty() ? QObject::tr("not recorded")
                                                                    : q(dive.info.startedAt));
  facts << QObject::tr("Dive length: %1").arg(q(debrief::lengthText(seconds)));
  if (!dive.info.source.empty()) facts << QObject::tr("Source: %1").arg(QFileInfo(q(dive.info.source)).fileName());
  if (!dive.info.endedNormally) facts << QObject::tr("ended unexpectedly");
  painter.drawText(QRectF(0, pg.y_, pg.page().width(), pg.mm(6)), Qt::AlignLeft | Qt::AlignVCenter,
                   facts.join(QStringLiteral("   ·   ")));
  pg.y_ += pg.mm(8);

  // The chart, drawn as vectors at a size where its labels read well on paper.
  {
    DiveChartView view;
    view.setAttribute(Qt::WA_DontShowOnScreen, true);
    view.setAxisTitles(true);
    const QRectF area(0, pg.y_, pg.page().width(), pg.left() - pg.mm(2));
    const double pxPerMm = 3.9;  // a little above the screen's 96 dpi: 8 pt labels print at about 7 pt
    view.resize(static_cast<int>(area.width() / pg.dpmm() * pxPerMm), static_cast<int>(area.height() / pg.dpmm() * pxPerMm));
    view.setDive(dive, QString());
    if (compare) view.setCompareDive(*compare, QObject::tr("Compared dive: %1").arg(diveCaption(*compare)));
    view.show();
    QApplication::processEvents();
    view.renderTo(painter, area);
  }

  // Summary, beside the compared dive's when there is one.
  pg.newPage(QPageLayout::Portrait);
  heading(pg, QObject::tr("Summary"));
  const auto lines = debrief::summaryLines(debrief::summarize(dive));
  QList<QStringList> rows;
  if (compare) {
    const auto other = debrief::summaryLines(debrief::summarize(*compare));
    for (std::size_t i = 0; i < std::max(lines.size(), other.size()); ++i) {
      QStringList r;
      r << (i < lines.size() ? q(lines[i].label) + QStringLiteral(": ") + q(lines[i].value) : QString());
      r << (i < other.size() ? q(other[i].label) + QStringLiteral(": ") + q(other[i].value) : QString());
      rows << r;
    }
    table(pg, {93, 93}, {QObject::tr("This dive"), QObject::tr("Compared dive: %1").arg(diveCaption(*compare))}, rows);
  } else {
    for (const auto& l : lines) rows << QStringList{q(l.label), q(l.value)};
    table(pg, {70, 116}, {QObject::tr("Item"), QObject::tr("Value")}, rows);
  }

  // The lesson flown, its briefing and each objective's outcome.
  if (const auto lesson = debrief::lessonOf(dive.events)) {
    if (pg.left() < pg.mm(40)) pg.newPage(QPageLayout::Portrait);
    heading(pg, QObject::tr("Lesson: %1").arg(q(lesson->title)));
    QList<QStringList> lessonRows;
    lessonRows << QStringList{QObject::tr("Briefing"), q(lesson->briefing).simplified()};
    for (const std::string& o : lesson->objectives) {
      const std::size_t colon = o.find(": ");
      lessonRows << QStringList{q(o.substr(0, colon)), q(colon == std::string::npos ? o : o.substr(colon + 2))};
    }
    lessonRows << QStringList{QObject::tr("Result"), !lesson->passed     ? QObject::tr("not ended")
                                                     : *lesson->passed ? QObject::tr("passed")
                                                                       : QObject::tr("not passed")};
    table(pg, {40, 146}, {QObject::tr("Objective"), QObject::tr("Outcome")}, lessonRows);
  }

  // Every event of the dive.
  if (pg.left() < pg.mm(30)) pg.newPage(QPageLayout::Portrait);
  heading(pg, QObject::tr("Events (%1)").arg(dive.events.size()));
  rows.clear();
  // A warning the handset repeats every second is one row with its count and its last time,
  // as on the chart's lane; every other event has a row of its own.
  struct Run {
    qsizetype row = 0;
    double last = 0;
    int count = 0;
  };
  std::map<std::string, Run> runs;
  auto finish = [&](const std::string& text, const Run& r) {
    if (r.count > 1)
      rows[r.row][3] = QObject::tr("%1, repeated until %2 (%3), %4 times in all")
                           .arg(q(text), q(debrief::secondsText(r.last)), q(debrief::clockText(r.last)))
                           .arg(r.count);
  };
  for (const DiveEvent& e : dive.events) {
    const double t = debrief::secondsOf(e);
    if (e.kind == EventKind::Status && !debrief::warningKind(e.text).empty()) {
      auto it = runs.find(e.text);
      if (it != runs.end() && t - it->second.last <= debrief::kWarningJoin) {
        it->second.last = t;
        ++it->second.count;
        continue;
      }
      if (it != runs.end()) finish(e.text, it->second);
      runs[e.text] = Run{rows.size(), t, 1};
    }
    rows << QStringList{q(debrief::secondsText(t)), q(debrief::clockText(t)), QObject::tr(kindName(e.kind)),
                        q(debrief::eventText(e))};
  }
  for (const auto& [text, r] : runs) finish(text, r);
  if (rows.isEmpty()) rows << QStringList{QString(), QString(), QString(), QObject::tr("no events recorded")};
  table(pg, {22, 18, 26, 120}, {QObject::tr("Time"), QObject::tr("Clock"), QObject::tr("Kind"), QObject::tr("Event")},
        rows);
}

bool writeReportPdf(const QString& path, const DiveData& dive, QString& error, const DiveData* compare) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setResolution(300);
    writer.setTitle(QObject::tr("Dive debrief: %1").arg(diveCaption(dive)));
    writer.setCreator(QStringLiteral("Orvane Pelagrinova Simulator"));
    paintReport(writer, dive, compare);
  }
  if (!file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

bool isReportCommand(const QStringList& args) { return args.contains(QStringLiteral("--report")); }

int runReportCommand(const QStringList& args) {
  const qsizetype at = args.indexOf(QStringLiteral("--report"));
  if (at < 0 || at + 2 >= args.size()) {
    std::fprintf(stderr, "usage: OrvanePelaSimViewer --report OUT.pdf FILE.csv | --dive ID\n");
    return 64;
  }
  const QString out = args[at + 1], in = args[at + 2];
  // "--report OUT.pdf --dive ID": a dive of the dive library, with every event it recorded.
  if (in == QLatin1String("--dive")) {
    bool ok = false;
    const qlonglong id = at + 3 < args.size() ? args[at + 3].toLongLong(&ok) : 0;
    if (!ok || id <= 0) {
      std::fprintf(stderr, "usage: OrvanePelaSimViewer --report OUT.pdf --dive ID\n");
      return 64;
    }
    std::string error;
    const std::unique_ptr<library::DiveLibrary> lib = library::DiveLibrary::open(
        library::defaultFolder(), library::DiveLibrary::Access::Read, error);
    if (!lib) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    const std::optional<DiveData> dive = lib->load(id);
    if (!dive) {
      std::fprintf(stderr, "The dive library %s holds no dive %lld.\n", lib->path().c_str(), id);
      return 1;
    }
    return writeReportFor(out, *dive);
  }
  if (QFileInfo::exists(in) && !QFileInfo(in).isFile()) {
    std::fprintf(stderr, "%s: it is not a plain file\n", qPrintable(in));
    return 1;
  }
  std::string error;
  const std::optional<DiveData> dive = debrief::readDiveFile(QFile::encodeName(in).toStdString(), error);
  if (!dive) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(in), error.c_str());
    return 1;
  }
  return writeReportFor(out, *dive);
}

int writeReportFor(const QString& out, const DiveData& dive) {
  QString error;
  if (!writeReportPdf(out, dive, error)) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(out), qPrintable(error));
    return 2;
  }
  return 0;
}

}  // namespace pelasim
