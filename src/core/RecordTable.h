#pragma once
// The dive record's table: one row per second since start-up (row 0 to 18000) with the sampled
// values and the last status message of that second.

#include <string>
#include <string_view>
#include <vector>

namespace pelasim {

struct RecordRow {
  std::string message;     // column 0: the status message of that second, or empty
  double realPO2 = 0;      // column 1: true loop PO2, bar
  double handsetPO2 = 0;   // column 2: the master handset's voted PO2, bar
  int depth = 0;           // column 3: metres
  double setpoint = 0;     // column 4: bar
  double loopVolume = 0;   // column 5: litres (the loop capacity)
  bool sampled = false;    // columns 1 to 5 hold a sample
};

struct DiveRecord {
  static constexpr int kLastRow = 18000;
  std::vector<RecordRow> rows = std::vector<RecordRow>(kLastRow + 1);

  // Stores a status message in row `row`, replacing what is there; a row outside the record
  // (before start-up or after five hours) keeps nothing.
  void storeMessage(int row, std::string_view text) {
    if (row < 0 || row > kLastRow) return;
    rows[static_cast<std::size_t>(row)].message = std::string(text);
  }
};

}  // namespace pelasim
