#include "ui/qt/LabelText.h"

#include <QFontMetricsF>

#include "handset/ScreenWrap.h"

namespace pelasim {

std::vector<DrawnLine> layoutLabelText(const std::string& text, const QFont& font, double width,
                                       bool centred) {
  const QFontMetricsF fm(font);
  const auto measure = [&fm](std::string_view s) {
    return fm.horizontalAdvance(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
  };
  std::vector<DrawnLine> out;
  double y = fm.ascent();
  for (const std::string& line : wrapScreenText(text, measure, width)) {
    QString l = QString::fromStdString(line);
    if (centred) l = l.trimmed();
    const double w = fm.horizontalAdvance(l);
    out.push_back({l, QPointF(centred ? (width - w) / 2.0 : 0.0, y), w});
    y += fm.lineSpacing();
  }
  return out;
}

}  // namespace pelasim
