#pragma once
// Small plain types shared by the state and the window models.

#include <cstdint>

namespace pelasim {

enum class Side : int { Left = 0, Right = 1 };
constexpr Side other(Side s) { return s == Side::Left ? Side::Right : Side::Left; }

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace pelasim
