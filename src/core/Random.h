#pragma once
// The program's one uniform random generator in [0, 1). It is never seeded from the clock,
// so every run draws the same sequence: a 24-bit linear congruential generator
// x <- (1140671485 x + 12820163) mod 2^24, starting from x = 327680, r = x / 2^24.

#include <cstdint>

namespace pelasim {

class Random {
 public:
  static constexpr std::uint32_t kSeed = 327680;

  double next() {
    state_ = (kMultiplier * state_ + kIncrement) & kMask;
    return static_cast<double>(state_) / static_cast<double>(kModulus);
  }
  std::uint32_t state() const { return state_; }

 private:
  static constexpr std::uint32_t kMultiplier = 1140671485u;
  static constexpr std::uint32_t kIncrement = 12820163u;
  static constexpr std::uint32_t kModulus = 1u << 24;
  static constexpr std::uint32_t kMask = kModulus - 1;
  std::uint32_t state_ = kSeed;
};

}  // namespace pelasim
