#pragma once
// Wraps a handset screen text into lines the way the screen's label does: words (runs of
// non-blanks) are kept whole and a line breaks at the blanks where the next word would pass
// the screen's width. Blanks are part of the texts: they place the words on the screen's
// lines. The blanks after the last word of a line stay on it as far as the line has room
// (a centred line counts them, so a text padded on both sides sits in the middle); the rest
// of the blanks at a break are dropped. Leading blanks that leave no room for the first word
// leave the first line empty, and the word starts the next one.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelasim {

// `width(text)` gives the drawn width of a text in the same unit as `maxWidth`.
std::vector<std::string> wrapScreenText(std::string_view text,
                                        const std::function<double(std::string_view)>& width,
                                        double maxWidth);

}  // namespace pelasim
