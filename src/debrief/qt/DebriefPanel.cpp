#include "debrief/qt/DebriefPanel.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "debrief/Debrief.h"
#include "debrief/qt/DebriefReport.h"

namespace pelasim {
namespace {

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QPushButton* button(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  b->setEnabled(false);
  return b;
}

// Lines that stand out: trouble in red, the dive's end when unexpected.
bool isTrouble(const debrief::SummaryLine& l) {
  return l.value == "no reaction" || l.value.rfind("unexpectedly", 0) == 0;
}

}  // namespace

DebriefPanel::DebriefPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DebriefPanel"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  text_ = new QTextBrowser(this);
  text_->setObjectName(QStringLiteral("DebriefSummary"));
  text_->setOpenLinks(false);
  QFont f = text_->font();
  f.setPointSizeF(8.5);
  text_->setFont(f);
  layout->addWidget(text_, 1);
  saveReport_ = button(tr("Save report"), "SaveReportButton", this);
  saveReport_->setToolTip(tr("Save the chart, the summary and every event as a PDF report"));
  print_ = button(tr("Print…"), "PrintButton", this);
  compare_ = button(tr("Compare…"), "CompareButton", this);
  compare_->setToolTip(tr("Lay a second dive over this one"));
  for (QPushButton* b : {saveReport_, print_, compare_}) layout->addWidget(b);
  connect(saveReport_, &QPushButton::clicked, this, &DebriefPanel::saveReportClicked);
  connect(print_, &QPushButton::clicked, this, &DebriefPanel::printClicked);
  connect(compare_, &QPushButton::clicked, this, &DebriefPanel::compareClicked);
}

void DebriefPanel::showSummary(const DiveData& dive, const DiveData* compare) {
  const auto lines = debrief::summaryLines(debrief::summarize(dive));
  std::vector<debrief::SummaryLine> other;
  if (compare) other = debrief::summaryLines(debrief::summarize(*compare));
  auto cell = [](const debrief::SummaryLine& l) {
    const QString v = q(l.value).toHtmlEscaped();
    return isTrouble(l) ? QStringLiteral("<span style='color:#c02020'><b>%1</b></span>").arg(v) : v;
  };
  QString html = QStringLiteral("<table cellspacing='0' cellpadding='2' width='100%'>");
  if (compare)
    html += tr("<tr><td><b>This dive</b></td><td><b style='color:#b03090'>Compared dive</b></td></tr>");
  const std::size_t n = std::max(lines.size(), other.size());
  for (std::size_t i = 0; i < n; ++i) {
    const bool shade = i % 2 == 1;
    html += shade ? QStringLiteral("<tr style='background:#f0f0f5'>") : QStringLiteral("<tr>");
    if (compare) {
      // The two dives' lines differ where their warnings and failures differ: each cell
      // carries its own label.
      for (const std::vector<debrief::SummaryLine>* v : {&lines, static_cast<const std::vector<debrief::SummaryLine>*>(&other)})
        html += i < v->size() ? QStringLiteral("<td><span style='color:#505060'>%1</span><br>%2</td>")
                                    .arg(q((*v)[i].label).toHtmlEscaped(), cell((*v)[i]))
                              : QStringLiteral("<td></td>");
    } else {
      html += QStringLiteral("<td style='color:#505060'>%1</td><td>%2</td>")
                  .arg(q(lines[i].label).toHtmlEscaped(), cell(lines[i]));
    }
    html += QStringLiteral("</tr>");
  }
  html += QStringLiteral("</table>");
  text_->setHtml(html);
  for (QPushButton* b : {saveReport_, print_, compare_}) b->setEnabled(true);
}

void DebriefPanel::clear() {
  text_->clear();
  for (QPushButton* b : {saveReport_, print_, compare_}) b->setEnabled(false);
}

QString DebriefPanel::summaryText() const { return text_->toPlainText(); }

}  // namespace pelasim
