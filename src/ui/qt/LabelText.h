#pragma once
// Where a label's text is drawn: wrapped at blanks within the label's width, line under line
// from the top. A centred line is centred on its words, not on the blanks around them: the
// handset texts use leading blanks to put words on a line, and two screens that alternate
// with a blank more or less before the same words must show them in the same place.

#include <QFont>
#include <QPointF>
#include <QString>
#include <string>
#include <vector>

namespace pelasim {

struct DrawnLine {
  QString text;   // what is drawn (a centred line without its outer blanks)
  QPointF at;     // baseline start, pixels within the label
  double width;   // drawn width, pixels
};

std::vector<DrawnLine> layoutLabelText(const std::string& text, const QFont& font, double width,
                                       bool centred);

}  // namespace pelasim
