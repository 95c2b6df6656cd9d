#pragma once
// The little JSON the instructor station speaks. Commands are one flat object whose values
// are texts, whole numbers or true/false; anything else (nesting, fractions, duplicate keys,
// control characters, trailing text) is refused. The writer escapes texts and prints numbers
// in the "C" notation whatever the desktop's locale.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pelasim::station {

using JsonScalar = std::variant<std::string, std::int64_t, bool>;
using JsonObject = std::map<std::string, JsonScalar, std::less<>>;

struct JsonParse {
  std::optional<JsonObject> object;  // none when refused
  std::string error;                 // why it was refused
};

// Parses one flat JSON object.
JsonParse parseFlatObject(std::string_view text);

// `text` as a JSON string literal, quotes included.
std::string jsonString(std::string_view text);
// A number with a fixed count of decimals ("0.98"), in the "C" notation.
std::string jsonNumber(double value, int decimals);

}  // namespace pelasim::station
