#pragma once
// The recorded dive as the results viewer charts it: one value per second for each curve
// and the status messages with the second they were recorded in. Built from the rows of a
// data file; plain C++, no Qt, so the chart's content is tested without a window.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "datafile/DataFile.h"

namespace pelasim::datafile {

struct DiveTrace {
  struct Message {
    int second = 0;    // 1 for the first data row
    std::string text;  // never empty
  };

  // Element i belongs to second i + 1. A cell that holds no number (empty, a text, a date)
  // gives no value there.
  std::vector<std::optional<double>> realPO2;     // bar
  std::vector<std::optional<double>> handsetPO2;  // bar
  std::vector<std::optional<double>> setpoint;    // bar
  std::vector<std::optional<double>> depth;       // metres below the surface, as recorded
  std::vector<Message> messages;                  // in order of their second

  double highestPO2 = 0;  // the largest real, handset or setpoint value, bar (0 when none)
  double deepest = 0;     // the largest depth, metres (0 when none)

  int seconds() const { return static_cast<int>(realPO2.size()); }
  bool empty() const { return realPO2.empty(); }

  // The messages recorded from time `first` to time `last` (seconds, both included), as the
  // index range [begin, end) into `messages`.
  std::pair<std::size_t, std::size_t> messagesBetween(double first, double last) const;
};

// Every row becomes one second of the trace: rows[i] is second i + 1.
DiveTrace traceOf(const std::vector<Row>& rows);

// The recorded values at one second, for the readout under the mouse.
struct Sample {
  int second = 0;
  std::optional<double> realPO2, handsetPO2, setpoint, depth;
  std::string message;  // the status message of that second, empty when none
};
// The second nearest to time `t` (seconds), kept within the recording; nullopt for an empty
// trace or a time that is not a number.
std::optional<Sample> sampleAt(const DiveTrace& trace, double t);

}  // namespace pelasim::datafile
