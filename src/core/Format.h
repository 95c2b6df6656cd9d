#pragma once
// The number formats of the screens, readouts and data file. Rounding is decimal: the value
// is taken to 15 significant digits and then rounded half away from zero, so 0.125 shows as
// "0.13" on a screen whatever its binary neighbour is.

#include <optional>
#include <string>
#include <string_view>

namespace pelasim::fmt {

// Fixed decimals with at least one integer digit: "0.00" -> fixed(x, 2), "0.0" -> fixed(x, 1).
std::string fixed(double value, int decimals);
// "#.00": two decimals and no integer digit below 1 (0 shows as ".00", 0.5 as ".50").
std::string hashDot00(double value);
// "00": rounded to a whole number, at least two digits ("05", "21", "100").
std::string twoDigits(double value);
// Shortest plain decimal text with up to 15 significant digits, trailing zeros dropped
// ("2.013", "1.1", "20"); never uses an exponent.
std::string shortest(double value);
// A whole number as text ("1013").
std::string whole(long long value);
// Rounds half away from zero to `decimals` places, decimally (as the formats above do).
double roundDecimal(double value, int decimals);
// Reads a plain decimal number ("1013", "-0.5", ".7", "+2.5", "1e3"), with a period as the
// decimal point whatever the desktop's locale; blanks around it are allowed. Anything else
// (empty text, other characters, hexadecimal, "inf", "nan", a value out of range) gives none.
std::optional<double> parseNumber(std::string_view text);
// Rounds to the nearest whole number, halves to the even neighbour.
long long roundHalfEven(double value);

}  // namespace pelasim::fmt
