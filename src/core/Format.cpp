#include "core/Format.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pelasim::fmt {
namespace {

// The decimal digits of |value| to 15 significant digits: digits and the power of ten of the
// first digit (value = 0.d1d2d3... x 10^(exp10 + 1)).
struct Decimal {
  bool negative = false;
  std::string digits;  // no leading zeros unless the value is zero
  int exp10 = 0;       // exponent of the first digit
};

Decimal toDecimal(double value) {
  Decimal d;
  if (!std::isfinite(value)) value = 0;
  d.negative = std::signbit(value) && value != 0;
  char buf[64];
  // "d.dddddddddddddde+XX", with a period whatever the locale.
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, 14);
  const std::string s(buf, res.ptr);
  const auto e = s.find('e');
  d.digits = s.substr(0, 1) + s.substr(2, e - 2);
  const char* expBegin = s.c_str() + e + 1;
  if (*expBegin == '+') ++expBegin;
  std::from_chars(expBegin, s.c_str() + s.size(), d.exp10);
  if (value == 0) {
    d.digits = "0";
    d.exp10 = 0;
  }
  return d;
}

// Digits of the value rounded half away from zero at `decimals` places: returns the integer
// part and fraction digit strings.
void roundDigits(const Decimal& d, int decimals, std::string& intPart, std::string& fracPart) {
  // Place the digits on a grid: position p has weight 10^p.
  std::string all;  // from 10^top down to 10^-decimals
  const int top = std::max(d.exp10, 0);
  for (int p = top; p >= -decimals; --p) {
    const int idx = d.exp10 - p;  // index into digits
    all += (idx >= 0 && idx < static_cast<int>(d.digits.size())) ? d.digits[static_cast<std::size_t>(idx)] : '0';
  }
  // The first dropped digit decides the rounding.
  const int dropIdx = d.exp10 - (-decimals - 1);
  const bool roundUp = dropIdx >= 0 && dropIdx < static_cast<int>(d.digits.size()) &&
                       d.digits[static_cast<std::size_t>(dropIdx)] >= '5';
  if (roundUp) {
    int i = static_cast<int>(all.size()) - 1;
    while (i >= 0) {
      if (all[static_cast<std::size_t>(i)] == '9') {
        all[static_cast<std::size_t>(i)] = '0';
        --i;
      } else {
        ++all[static_cast<std::size_t>(i)];
        break;
      }
    }
    if (i < 0) all.insert(all.begin(), '1');
  }
  const std::size_t intLen = all.size() - static_cast<std::size_t>(decimals);
  intPart = all.substr(0, intLen);
  fracPart = all.substr(intLen);
  const auto nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
}

std::string build(const Decimal& d, int decimals, bool leadingZero, int minIntDigits) {
  std::string ip, fp;
  roundDigits(d, decimals, ip, fp);
  while (static_cast<int>(ip.size()) < minIntDigits) ip.insert(ip.begin(), '0');
  if (ip.empty() && leadingZero) ip = "0";
  const bool zero = ip.find_first_not_of('0') == std::string::npos &&
                    fp.find_first_not_of('0') == std::string::npos;
  std::string out = (d.negative && !zero) ? "-" : "";
  out += ip;
  if (decimals > 0) out += "." + fp;
  return out;
}

}  // namespace

std::string fixed(double value, int decimals) { return build(toDecimal(value), decimals, true, 1); }

std::string hashDot00(double value) { return build(toDecimal(value), 2, false, 0); }

std::string twoDigits(double value) { return build(toDecimal(value), 0, true, 2); }

std::string shortest(double value) {
  const Decimal d = toDecimal(value);
  std::string digits = d.digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  if (digits == "0") return "0";
  std::string out = d.negative ? "-" : "";
  if (d.exp10 < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-d.exp10 - 1), '0') + digits;
  } else if (static_cast<int>(digits.size()) <= d.exp10 + 1) {
    out += digits + std::string(static_cast<std::size_t>(d.exp10 + 1) - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<std::size_t>(d.exp10 + 1)) + "." +
           digits.substr(static_cast<std::size_t>(d.exp10 + 1));
  }
  return out;
}

std::string whole(long long value) { return std::to_string(value); }

double roundDecimal(double value, int decimals) {
  if (!std::isfinite(value)) return value;
  return parseNumber(fixed(value, decimals)).value_or(value);
}

std::optional<double> parseNumber(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::string digits(text);
  // from_chars takes neither a plus sign nor a point without an integer digit before it.
  std::size_t at = 0;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    at = 1;
  }
  digits = digits.substr(at);
  if (digits.size() > 1 && digits[0] == '.' && digits[1] >= '0' && digits[1] <= '9')
    digits.insert(digits.begin(), '0');
  // Only digits, one point and an exponent: no "inf", "nan" or second sign.
  if (digits.empty() || digits[0] < '0' || digits[0] > '9') return std::nullopt;
  double value = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

long long roundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<long long>(std::nearbyint(value));  // default rounding mode: to even
}

}  // namespace pelasim::fmt
