#pragma once
// The dive record: one row per second since start-up (row 0 to 18000) with the sampled values
// and the last status message of that second.

#include <string>
#include <string_view>
#include <vector>

namespace pelasim {

class Simulation;

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
};

// Stores a status message in the current second's row, replacing what is there; does nothing
// once the record is full.
void recordMessage(Simulation& sim, std::string_view text);
// `RecordingTimer`: samples the values of the present second into the next row.
void recordingTick(Simulation& sim);
// The data file's text for the rows recorded so far (rows 1 to recordRow, at most 18000).
std::string dataFileText(const Simulation& sim);

}  // namespace pelasim
