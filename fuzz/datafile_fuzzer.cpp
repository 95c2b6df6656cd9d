// libFuzzer target for the data file reader, the one place where either program takes a
// file from outside. Whatever the bytes, reading must not crash, read out of bounds or hang,
// and what it reads must survive the writer: written and read again, the rows come back
// alike, and a second round changes nothing.
//
// Built and run by fuzz/run.sh (clang++ -fsanitize=fuzzer,address,undefined).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datafile/DataFile.h"
#include "debrief/DiveTrace.h"

namespace {

using namespace pelasim::datafile;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "data file reader property broken: %s\n", what);
  std::abort();
}

void check(bool ok, const char* what) {
  if (!ok) fail(what);
}

// A text as the writer puts it: the syntax has no escape for a double quote, so an unquoted
// text that holds one comes back with an apostrophe in its place.
std::string written(const Item& item) {
  std::string t = item.text;
  if (item.kind == Item::Kind::Text)
    for (char& c : t)
      if (c == '"') c = '\'';
  return t;
}

// Numbers below 1e-4 are written with sixteen significant digits, one more than a double
// always keeps, so the last digit may move once; everything else must match exactly.
bool sameItem(const Item& a, const Item& b) {
  if (a.kind != b.kind || written(a) != written(b)) return false;
  if (a.kind != Item::Kind::Number) return true;
  return a.number == b.number || std::fabs(a.number - b.number) <= 1e-13 * std::fabs(a.number);
}

bool sameRows(const std::vector<Row>& a, const std::vector<Row>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (std::size_t c = 0; c < a[i].size(); ++c)
      if (!sameItem(a[i][c], b[i][c])) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Items: never more than one per separator plus one per line.
  std::size_t separators = 0;
  for (char c : bytes) separators += (c == ',' || c == '\r' || c == '\n') ? 1 : 0;
  check(splitItems(bytes).size() <= separators + 1, "more items than separators allow");
  check(!lineItems(bytes).empty(), "a line without items");

  const ReadResult r = readFile(bytes);
  check(r.rows.size() <= static_cast<std::size_t>(kMaxRows), "more rows than the record holds");
  if (!r.isDataFile) check(r.rows.empty() && !r.sawTrailer, "rows from a file that is no data file");

  // The chart's view of the rows, and the readout anywhere along it.
  const DiveTrace trace = traceOf(r.rows);
  check(trace.seconds() == static_cast<int>(r.rows.size()), "trace and rows differ in length");
  for (double t : {-1.0, 0.0, 1.0, 2.5, 1e9, static_cast<double>(trace.seconds())}) {
    const auto s = sampleAt(trace, t);
    check(s.has_value() == !trace.empty(), "readout missing or invented");
    if (s) check(s->second >= 1 && s->second <= trace.seconds(), "readout outside the record");
  }
  const auto [b, e] = trace.messagesBetween(-1e18, 1e18);
  check(b == 0 && e == trace.messages.size(), "messages lost by the range lookup");

  if (!r.isDataFile) return 0;
  const Stamp stamp{2026, 3, 14, 10, 21, 7};
  const std::string once = formatFile(stamp, r.rows);
  const ReadResult again = readFile(once);
  check(again.isDataFile && again.sawTrailer, "written file not read back as a data file");
  check(again.irregularLines == 0 && !again.truncated, "written file read back as damaged");
  check(sameRows(again.rows, r.rows), "rows changed through write and read");
  const std::string twice = formatFile(stamp, again.rows);
  const ReadResult third = readFile(twice);
  check(sameRows(third.rows, again.rows), "rows changed in a second round");
  return 0;
}
