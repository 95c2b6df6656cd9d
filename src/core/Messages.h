#pragma once
// The fixed texts of the handset screens, by index. The screen label wraps text at its
// width, so every blank is part of a text: it places the words on the screen's lines.

#include <array>
#include <string>

namespace pelasim {

inline constexpr int kHandsetMessageCount = 56;
const std::array<std::string, kHandsetMessageCount>& handsetMessageTable();

}  // namespace pelasim
