#pragma once
// The data file "OrvanePelaSimData.csv": the per-second dive record written by the simulator
// at exit and read by the results viewer of both programs. Plain C++, no Qt.
//
// Every line is a list of items separated by commas, ending with CR LF: texts in double
// quotes (no escaping; the texts hold no quotes), numbers in plain decimal notation with a
// period whatever the locale, dates as #yyyy-mm-dd#, times of day as #hh:mm:ss#, and an empty
// item as nothing at all between its commas. The file is: a title line (title, date, time),
// an empty line, the header line, an empty line, one line per recorded second, an empty line
// and the trailer line.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelasim::datafile {

inline constexpr std::string_view kFileName = "OrvanePelaSimData.csv";
inline constexpr std::string_view kTitle = "Orvane Pelagrinova Simulator";
inline constexpr std::array<std::string_view, 7> kHeader = {
    "Time (secs)", "Real PO2", "Handset PO2", "Depth", "Setpoint", "loop Volume",
    "Status Messages"};
inline constexpr std::string_view kTrailerNotice =
    "Orvane Pelagrinova Simulator data file. (c) 2002-2026 Orvane Simulator Authors";
// At most 18000 recorded seconds (five hours).
inline constexpr int kMaxRows = 18000;

// Columns of a record row, as in the dive record.
enum Column : int {
  kMessage = 0,     // status message of that second, or empty
  kRealPO2 = 1,     // true loop PO2, bar
  kHandsetPO2 = 2,  // the master handset's voted PO2, bar
  kDepth = 3,       // metres
  kSetpoint = 4,    // bar
  kLoopVolume = 5,  // litres
};

struct Item {
  enum class Kind { Empty, Number, Text, Date, Time };
  Kind kind = Kind::Empty;
  double number = 0;  // for Number
  std::string text;   // for Text, and the text between the # signs for Date and Time

  static Item empty() { return {}; }
  static Item num(double v) { return {Kind::Number, v, {}}; }
  static Item str(std::string s) { return {Kind::Text, 0, std::move(s)}; }
  bool isNumber() const { return kind == Kind::Number; }
  friend bool operator==(const Item&, const Item&) = default;
};

using Row = std::array<Item, 6>;  // indexed by Column

struct Stamp {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// A number in plain decimal notation, up to 15 significant digits, with a leading zero
// ("0.7", "1.28", "20", "-20"); never an exponent.
std::string formatNumber(double value);
// What an item says, as plain text: a number in plain decimal notation, the text of a text,
// date or time item, nothing for an empty item.
std::string itemText(const Item& item);
// One item in the line syntax.
std::string formatItem(const Item& item);
// The whole file for data rows 1 .. rows.size() (row i of the span is second i + 1).
std::string formatFile(const Stamp& stamp, const std::vector<Row>& rows);

struct ReadResult {
  bool isDataFile = false;    // the header line was found where it belongs
  bool sawTrailer = false;    // reading stopped at the trailer line
  bool truncated = false;     // more data lines followed the last row that fits (kMaxRows)
  int irregularLines = 0;     // data lines that did not hold exactly seven items
  std::string title;          // first item of the title line
  std::string date, time;     // the title line's date and time of day, as written (no # signs)
  std::vector<Row> rows;      // data rows in order; rows[i] is second i + 1
};

// The items of one line (without its line end): an empty line, or nothing between two
// commas, gives one empty item; a line ending in a comma ends with an empty item.
std::vector<Item> lineItems(std::string_view line);
// Splits text into items in the line syntax: the items of every line in turn (exposed for
// tests and the fuzz target). Line ends are CR LF, LF or a lone CR.
std::vector<Item> splitItems(std::string_view text);
// Reads a data file from its bytes; whatever the bytes, it never fails, reads out of
// bounds or takes more than linear time. The file is read line by line: the title line,
// then the header line (the first line after it that is not blank), then one row per data
// line until the trailer line. Blank lines are skipped; a data line with missing items
// leaves those cells empty and one with extra items ignores them, so a damaged line never
// shifts the rows after it. At most kMaxRows rows are read.
ReadResult readFile(std::string_view bytes);

struct WriteOutcome {
  bool ok = false;
  std::string error;  // the reason when not ok
};
// Writes `bytes` to `path` through a temporary file in the same folder that is renamed over
// the old file only when it has been written completely, so a failed write never destroys
// the previous file or leaves a half-written one.
WriteOutcome writeFileAtomically(const std::string& path, std::string_view bytes);
// The largest file readWholeFile takes by default: a full five-hour record with long status
// messages is a few megabytes, so anything far bigger is not a dive record.
inline constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;
// Reads a whole file; false with `error` set when it cannot be read or holds more than
// `maxBytes` bytes (it then stops reading there, so a device or endless stream cannot hang it).
bool readWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::size_t maxBytes = kMaxFileBytes);

}  // namespace pelasim::datafile
