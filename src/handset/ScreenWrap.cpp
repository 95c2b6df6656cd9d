#include "handset/ScreenWrap.h"

namespace pelasim {
namespace {

// The line with as many of `blanks` after it as still fit.
std::string withHangingBlanks(std::string line, std::string_view blanks,
                              const std::function<double(std::string_view)>& width,
                              double maxWidth) {
  for (std::size_t n = 0; n < blanks.size(); ++n) {
    if (width(line + ' ') > maxWidth) break;
    line += ' ';
  }
  return line;
}

}  // namespace

std::vector<std::string> wrapScreenText(std::string_view text,
                                        const std::function<double(std::string_view)>& width,
                                        double maxWidth) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t i = 0;
  while (i < text.size()) {
    // The next piece: a run of blanks followed by a word.
    std::size_t j = i;
    while (j < text.size() && text[j] == ' ') ++j;
    std::size_t k = j;
    while (k < text.size() && text[k] != ' ') ++k;
    const std::string_view blanks = text.substr(i, j - i);
    const std::string_view word = text.substr(j, k - j);
    if (word.empty()) {
      // The blanks that end the text stay on the last line as far as it has room.
      if (!line.empty() || !lines.empty()) line = withHangingBlanks(line, blanks, width, maxWidth);
      break;
    }
    const std::string candidate = line + std::string(blanks) + std::string(word);
    if (width(candidate) <= maxWidth) {
      line = candidate;
    } else if (line.empty()) {
      // The first piece of the text does not fit. Leading blanks that leave no room for the
      // word leave the first line empty; a word wider than the screen stands alone.
      if (!blanks.empty()) lines.emplace_back();
      line = std::string(word);
    } else {
      lines.push_back(withHangingBlanks(line, blanks, width, maxWidth));
      line = std::string(word);
    }
    i = k;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

}  // namespace pelasim
