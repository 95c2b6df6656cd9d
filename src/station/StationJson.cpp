#include "station/StationJson.h"

#include <charconv>
#include <cmath>

namespace pelasim::station {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view t) : text_(t) {}

  JsonParse object() {
    JsonObject obj;
    skipBlanks();
    if (!take('{')) return fail("not an object");
    skipBlanks();
    if (take('}')) return finish(std::move(obj));
    for (;;) {
      skipBlanks();
      std::string key;
      if (!string(key)) return fail(error_.empty() ? "a key is not a text" : error_);
      skipBlanks();
      if (!take(':')) return fail("a colon is missing");
      skipBlanks();
      JsonScalar value;
      if (!scalar(value)) return fail(error_);
      if (!obj.emplace(std::move(key), std::move(value)).second) return fail("a key is repeated");
      skipBlanks();
      if (take(',')) continue;
      if (take('}')) return finish(std::move(obj));
      return fail("a comma or closing brace is missing");
    }
  }

 private:
  JsonParse finish(JsonObject obj) {
    skipBlanks();
    if (pos_ != text_.size()) return fail("text follows the object");
    return {std::move(obj), {}};
  }
  JsonParse fail(std::string why) { return {std::nullopt, std::move(why)}; }

  bool take(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void skipBlanks() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }
  bool word(std::string_view w) {
    if (text_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  bool scalar(JsonScalar& out) {
    if (pos_ >= text_.size()) return failed("a value is missing");
    const char c = text_[pos_];
    if (c == '"') {
      std::string s;
      if (!string(s)) return false;
      out = std::move(s);
      return true;
    }
    if (word("true")) return out = true, true;
    if (word("false")) return out = false, true;
    if (c == '-' || (c >= '0' && c <= '9')) return integer(out);
    return failed("only texts, whole numbers and true/false are understood");
  }

  bool integer(JsonScalar& out) {
    const std::size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    const std::size_t digits = pos_;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    if (pos_ == digits) return failed("a number has no digits");
    if (text_[digits] == '0' && pos_ - digits > 1) return failed("a number has a leading zero");
    if (pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E'))
      return failed("only whole numbers are understood");
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text_.data() + start, text_.data() + pos_, v);
    if (ec != std::errc() || end != text_.data() + pos_) return failed("a number is out of range");
    out = v;
    return true;
  }

  bool string(std::string& out) {
    if (!take('"')) return failed("a text is expected");
    while (pos_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[pos_++]);
      if (c == '"') return true;
      if (c < 0x20) return failed("a text holds a control character");
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (pos_ >= text_.size()) break;
      switch (text_[pos_++]) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          if (pos_ + 4 > text_.size()) return failed("a \\u escape is cut short");
          unsigned code = 0;
          const auto [end, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, code, 16);
          if (ec != std::errc() || end != text_.data() + pos_ + 4) return failed("a \\u escape is not hexadecimal");
          pos_ += 4;
          // Surrogate pairs are not needed by any command; refusing them keeps this small.
          if (code >= 0xD800 && code <= 0xDFFF) return failed("a \\u escape is a surrogate");
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default: return failed("a text holds an unknown escape");
      }
    }
    return failed("a text is not closed");
  }

  bool failed(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace

JsonParse parseFlatObject(std::string_view text) { return Reader(text).object(); }

std::string jsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      // "<" escaped so that no text can close a script or markup it is shown in.
      case '<': out += "\\u003c"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

std::string jsonNumber(double value, int decimals) {
  if (!std::isfinite(value)) return "null";
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec != std::errc()) return "null";
  return std::string(buf, end);
}

}  // namespace pelasim::station
