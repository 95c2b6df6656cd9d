#pragma once
// The dive record's handlers: the sampling task and the data file's text. The table itself
// lives with the state (core/RecordTable.h).

#include <string>

namespace pelasim {

class Simulation;

// `RecordingTimer`: samples the values of the present second into the next row.
void recordingTick(Simulation& sim);
// The data file's text for the rows recorded so far (rows 1 to recordRow, at most 18000).
std::string dataFileText(const Simulation& sim);

}  // namespace pelasim
