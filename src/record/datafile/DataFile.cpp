#include "record/datafile/DataFile.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
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
  std::snprintf(buf, sizeof buf, "%.15g", value);
  std::string s(buf);
  if (s.find('e') == std::string::npos) return s == "-0" ? "0" : s;
  // Too large or too small for %g without an exponent: write it out in full.
  std::snprintf(buf, sizeof buf, "%.15e", value);
  const int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
  const int decimals = exp10 < 0 ? std::min(15 - exp10, 340) : 0;
  std::vector<char> big(static_cast<std::size_t>(400 + std::max(exp10, 0)));
  std::snprintf(big.data(), big.size(), "%.*f", decimals, value);
  s = big.data();
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

class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : s_(text) {}
  bool atEnd() const { return p_ >= s_.size(); }

  // Reads the next item; false at the end of the text.
  bool next(Item& item) {
    item = Item{};
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t')) ++p_;
    if (p_ >= s_.size()) return false;
    const char c = s_[p_];
    if (c == '"') {
      const std::size_t start = ++p_;
      while (p_ < s_.size() && s_[p_] != '"') ++p_;
      item.kind = Item::Kind::Text;
      item.text = std::string(s_.substr(start, p_ - start));
      if (p_ < s_.size()) ++p_;  // closing quote
      skipToSeparator();
      return true;
    }
    if (c == '#') {
      const std::size_t start = ++p_;
      while (p_ < s_.size() && s_[p_] != '#' && !isLineEnd(s_[p_])) ++p_;
      const std::string_view body = s_.substr(start, p_ - start);
      item.text = std::string(body);
      item.kind = body.find(':') != std::string_view::npos ? Item::Kind::Time : Item::Kind::Date;
      if (p_ < s_.size() && s_[p_] == '#') ++p_;
      skipToSeparator();
      return true;
    }
    const std::size_t start = p_;
    while (p_ < s_.size() && s_[p_] != ',' && !isLineEnd(s_[p_])) ++p_;
    std::string_view body = s_.substr(start, p_ - start);
    while (!body.empty() && (body.back() == ' ' || body.back() == '\t')) body.remove_suffix(1);
    consumeSeparator();
    if (body.empty()) return true;  // empty item
    double v = 0;
    if (parseNumber(body, v)) {
      item.kind = Item::Kind::Number;
      item.number = v;
    } else {
      item.kind = Item::Kind::Text;
      item.text = std::string(body);
    }
    return true;
  }

 private:
  void skipToSeparator() {
    while (p_ < s_.size() && s_[p_] != ',' && !isLineEnd(s_[p_])) ++p_;
    consumeSeparator();
  }
  void consumeSeparator() {
    if (p_ >= s_.size()) return;
    if (s_[p_] == ',') {
      ++p_;
    } else if (s_[p_] == '\r') {
      ++p_;
      if (p_ < s_.size() && s_[p_] == '\n') ++p_;
    } else if (s_[p_] == '\n') {
      ++p_;
    }
  }

  std::string_view s_;
  std::size_t p_ = 0;
};

}  // namespace

std::vector<Item> splitItems(std::string_view text) {
  std::vector<Item> out;
  ItemReader r(text);
  Item it;
  while (r.next(it)) out.push_back(it);
  return out;
}

ReadResult readFile(std::string_view bytes) {
  ReadResult res;
  ItemReader r(bytes);
  Item it;
  // Title line (3 items), empty line (1), header line (7), empty line (1).
  std::vector<Item> head;
  for (int i = 0; i < 12 && r.next(it); ++i) head.push_back(it);
  if (!head.empty() && head[0].kind == Item::Kind::Text) res.title = head[0].text;
  res.isDataFile = head.size() == 12;
  for (std::size_t i = 0; res.isDataFile && i < kHeader.size(); ++i)
    res.isDataFile = head[4 + i].kind == Item::Kind::Text && head[4 + i].text == kHeader[i];
  if (!res.isDataFile) return res;

  // Data lines: the second number (discarded), then columns 1 to 5 and 0.
  static constexpr int kOrder[6] = {kRealPO2, kHandsetPO2, kDepth, kSetpoint, kLoopVolume, kMessage};
  while (!r.atEnd() && static_cast<int>(res.rows.size()) < kMaxRows) {
    Row row{};
    if (!r.next(it)) break;  // the second number
    int got = 0;
    for (int k = 0; k < 6 && r.next(it); ++k, ++got) row[static_cast<std::size_t>(kOrder[k])] = it;
    const Item& first = row[kRealPO2];
    if (got >= 1 && first.kind == Item::Kind::Text && first.text == kTrailerNotice) {
      res.sawTrailer = true;
      break;
    }
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

bool readWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  bytes.clear();
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  const bool bad = std::ferror(f) != 0;
  if (bad) error = std::strerror(errno);
  std::fclose(f);
  return !bad;
}

}  // namespace pelasim::datafile
