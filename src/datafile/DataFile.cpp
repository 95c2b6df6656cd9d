#include "datafile/DataFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelasim::datafile {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string two(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// A whole item text is a number when it is a plain decimal ("12", "-3.5", ".7", "1e3").
bool parseNumber(std::string_view s, double& out) {
  if (s.empty()) return false;
  std::string_view t = s;
  if (t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return false;
  // from_chars does not accept a missing integer digit before the point; add one.
  std::string buf;
  if (t.front() == '.' || (t.size() > 1 && t.front() == '-' && t[1] == '.')) {
    buf = t.front() == '-' ? "-0" + std::string(t.substr(1)) : "0" + std::string(t);
    t = buf;
  }
  const char* first = t.data();
  const char* last = t.data() + t.size();
  auto [ptr, ec] = std::from_chars(first, last, out, std::chars_format::general);
  return ec == std::errc() && ptr == last && std::isfinite(out);
}

}  // namespace

std::string formatNumber(double value) {
  if (!std::isfinite(value)) return "0";
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string s(buf, res.ptr);
  if (s.find('e') == std::string::npos) return s == "-0" ? "0" : s;
  // Too large or too small for %g without an exponent: write it out in full. to_chars, like
  // the line above, writes a period whatever the locale (printf would follow LC_NUMERIC,
  // which a Qt program takes from the desktop, and a decimal comma would split the item).
  const auto sci = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 15);
  const int exp10 = std::atoi(std::string(std::find(buf, sci.ptr, 'e') + 1, sci.ptr).c_str());
  const int decimals = exp10 < 0 ? std::min(15 - exp10, 340) : 0;
  std::vector<char> big(static_cast<std::size_t>(400 + std::max(exp10, 0)));
  const auto fixed = std::to_chars(big.data(), big.data() + big.size(), value,
                                   std::chars_format::fixed, decimals);
  s.assign(big.data(), fixed.ptr);
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

std::string formatItem(const Item& item) {
  switch (item.kind) {
    case Item::Kind::Empty: return {};
    case Item::Kind::Number: return formatNumber(item.number);
    case Item::Kind::Text: {
      // The syntax has no escape for a quote; a quote inside a text would end it early,
      // so it is written as an apostrophe.
      std::string t = item.text;
      for (char& c : t)
        if (c == '"') c = '\'';
        else if (isLineEnd(c)) c = ' ';
      return "\"" + t + "\"";
    }
    case Item::Kind::Date:
    case Item::Kind::Time: return "#" + item.text + "#";
  }
  return {};
}

std::string itemText(const Item& item) {
  return item.kind == Item::Kind::Number ? formatNumber(item.number) : item.text;
}

std::string formatFile(const Stamp& st, const std::vector<Row>& rows) {
  std::string out;
  out.reserve(64 * (rows.size() + 8));
  out += formatItem(Item::str(std::string(kTitle)));
  out += ",#" + std::to_string(st.year) + "-" + two(st.month) + "-" + two(st.day) + "#";
  out += ",#" + two(st.hour) + ":" + two(st.minute) + ":" + two(st.second) + "#";
  out += kLineEnd;
  out += kLineEnd;
  for (std::size_t i = 0; i < kHeader.size(); ++i) {
    if (i) out += ',';
    out += formatItem(Item::str(std::string(kHeader[i])));
  }
  out += kLineEnd;
  out += kLineEnd;
  const std::size_t n = std::min<std::size_t>(rows.size(), kMaxRows);
  for (std::size_t r = 0; r < n; ++r) {
    const Row& row = rows[r];
    out += std::to_string(r + 1);
    for (int c : {kRealPO2, kHandsetPO2, kDepth, kSetpoint, kLoopVolume, kMessage}) {
      out += ',';
      out += formatItem(row[static_cast<std::size_t>(c)]);
    }
    out += kLineEnd;
  }
  out += kLineEnd;
  out += formatItem(Item::str(std::string(kTrailerNotice)));
  out += kLineEnd;
  return out;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Cuts text into lines at CR LF, LF or a lone CR. A line end closes its line; text after
// the last line end, if any, is one more line.
class LineCutter {
 public:
  explicit LineCutter(std::string_view text) : s_(text) {}
  bool next(std::string_view& line) {
    if (p_ >= s_.size()) return false;
    std::size_t e = p_;
    while (e < s_.size() && !isLineEnd(s_[e])) ++e;
    line = s_.substr(p_, e - p_);
    if (e < s_.size() && s_[e] == '\r') {
      ++e;
      if (e < s_.size() && s_[e] == '\n') ++e;
    } else if (e < s_.size()) {
      ++e;  // LF
    }
    p_ = e;
    return true;
  }

 private:
  std::string_view s_;
  std::size_t p_ = 0;
};

// Reads the items of one line into `out` (cleared first), at most `maxItems` of them: the
// rest of an overlong line is skipped without being looked at, so a line of millions of
// commas costs no more than a normal one.
void readLineItems(std::string_view line, std::vector<Item>& out,
                   std::size_t maxItems = std::numeric_limits<std::size_t>::max()) {
  out.clear();
  std::size_t p = 0;
  const std::size_t n = line.size();
  for (;;) {
    Item item;
    while (p < n && isBlank(line[p])) ++p;
    if (p < n && line[p] == '"') {
      // A quoted text runs to the closing quote, commas included; without one, to the end
      // of the line. Anything between the closing quote and the next comma is ignored.
      const std::size_t start = ++p;
      const std::size_t close = line.find('"', start);
      const std::size_t end = close == std::string_view::npos ? n : close;
      item.kind = Item::Kind::Text;
      item.text = std::string(line.substr(start, end - start));
      p = end == n ? n : end + 1;
      const std::size_t comma = line.find(',', p);
      p = comma == std::string_view::npos ? n : comma;
    } else if (p < n && line[p] == '#') {
      // A date or time runs to the closing # sign; without one, to the next comma.
      const std::size_t start = ++p;
      std::size_t end = line.find('#', start);
      const bool closed = end != std::string_view::npos;
      if (!closed) end = std::min(line.find(',', start), n);
      const std::string_view body = line.substr(start, end - start);
      item.text = std::string(body);
      item.kind = body.find(':') != std::string_view::npos ? Item::Kind::Time : Item::Kind::Date;
      p = closed ? end + 1 : end;
      const std::size_t comma = line.find(',', p);
      p = comma == std::string_view::npos ? n : comma;
    } else {
      const std::size_t start = p;
      const std::size_t comma = line.find(',', p);
      p = comma == std::string_view::npos ? n : comma;
      std::string_view body = line.substr(start, p - start);
      while (!body.empty() && isBlank(body.back())) body.remove_suffix(1);
      double v = 0;
      if (body.empty()) {
        // an empty item
      } else if (parseNumber(body, v)) {
        item.kind = Item::Kind::Number;
        item.number = v;
      } else {
        item.kind = Item::Kind::Text;
        item.text = std::string(body);
      }
    }
    out.push_back(std::move(item));
    if (p >= n || out.size() >= maxItems) return;
    ++p;  // the comma; an item follows it, empty if nothing does
  }
}

// A line whose items are all empty: nothing but commas and blanks.
bool isBlankLine(std::string_view line) {
  for (char c : line)
    if (c != ',' && !isBlank(c)) return false;
  return true;
}

// A data line holds seven items; reading one more tells a longer line from a right one.
constexpr std::size_t kLineItemsKept = kHeader.size() + 1;

bool isHeader(const std::vector<Item>& items) {
  if (items.size() != kHeader.size()) return false;
  for (std::size_t i = 0; i < kHeader.size(); ++i)
    if (items[i].kind != Item::Kind::Text || items[i].text != kHeader[i]) return false;
  return true;
}

}  // namespace

std::vector<Item> lineItems(std::string_view line) {
  std::vector<Item> out;
  readLineItems(line, out);
  return out;
}

std::vector<Item> splitItems(std::string_view text) {
  std::vector<Item> out;
  std::vector<Item> items;
  LineCutter lines(text);
  std::string_view line;
  while (lines.next(line)) {
    readLineItems(line, items);
    for (Item& it : items) out.push_back(std::move(it));
  }
  return out;
}

ReadResult readFile(std::string_view bytes) {
  ReadResult res;
  // A byte order mark, as some editors write, is not part of the first item.
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  LineCutter lines(bytes);
  std::string_view line;
  std::vector<Item> items;

  // Title line: title, date, time.
  if (!lines.next(line)) return res;
  readLineItems(line, items, 3);
  if (items[0].kind == Item::Kind::Text) res.title = items[0].text;
  if (items.size() > 1) res.date = itemText(items[1]);
  if (items.size() > 2) res.time = itemText(items[2]);

  // Header line: the first line after the title that is not blank.
  bool found = false;
  while (!found && lines.next(line)) {
    if (isBlankLine(line)) continue;
    readLineItems(line, items, kLineItemsKept);
    found = true;
  }
  res.isDataFile = found && isHeader(items);
  if (!res.isDataFile) return res;

  // Data lines: the second number (not kept), then columns 1 to 5 and 0.
  static constexpr int kOrder[6] = {kRealPO2, kHandsetPO2, kDepth, kSetpoint, kLoopVolume, kMessage};
  while (lines.next(line)) {
    if (isBlankLine(line)) continue;
    readLineItems(line, items, kLineItemsKept);
    if (items[0].kind == Item::Kind::Text && items[0].text == kTrailerNotice) {
      res.sawTrailer = true;
      break;
    }
    if (static_cast<int>(res.rows.size()) >= kMaxRows) {
      res.truncated = true;
      break;
    }
    if (items.size() != 7) ++res.irregularLines;
    Row row{};
    for (std::size_t k = 0; k < 6 && k + 1 < items.size(); ++k)
      row[static_cast<std::size_t>(kOrder[k])] = std::move(items[k + 1]);
    res.rows.push_back(std::move(row));
  }
  return res;
}

WriteOutcome writeFileAtomically(const std::string& path, std::string_view bytes) {
  namespace fs = std::filesystem;
  WriteOutcome out;
  const fs::path target(path);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    out.error = std::strerror(errno);
    return out;
  }
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      out.error = std::strerror(errno);
      ::close(fd);
      ::unlink(name.data());
      return out;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // mkstemp creates the file readable by its owner only; give it the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fsync(fd) != 0 || ::fchmod(fd, 0666 & ~mask) != 0) {
    out.error = std::strerror(errno);
    ::close(fd);
    ::unlink(name.data());
    return out;
  }
  if (::close(fd) != 0) {
    out.error = std::strerror(errno);
    ::unlink(name.data());
    return out;
  }
  if (::rename(name.data(), path.c_str()) != 0) {
    out.error = std::strerror(errno);
    ::unlink(name.data());
    return out;
  }
  out.ok = true;
  return out;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::size_t maxBytes) {
  bytes.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  // One allocation of the file's size: growing the buffer step by step would need up to
  // three times the file's size at the moment it moves.
  struct stat st {};
  if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes) + 1);
  char buf[65536];
  std::size_t n;
  bool tooLarge = false;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (bytes.size() + n > maxBytes) {
      tooLarge = true;
      break;
    }
    bytes.append(buf, n);
  }
  const bool bad = !tooLarge && std::ferror(f) != 0;
  if (bad) error = std::strerror(errno);
  std::fclose(f);
  if (tooLarge) {
    error = "the file is larger than " +
            (maxBytes >= (std::size_t{1} << 20) ? std::to_string(maxBytes >> 20) + " MB"
                                               : std::to_string(maxBytes) + " bytes") +
            ", far too large for a dive record";
    bytes.clear();
  } else if (bad) {
    bytes.clear();
  }
  return !bad && !tooLarge;
}

}  // namespace pelasim::datafile
