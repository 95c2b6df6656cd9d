#include "record/DiveRecord.h"

#include <algorithm>

#include "datafile/DataFile.h"
#include "sim/Simulation.h"

namespace pelasim {

void recordingTick(Simulation& sim) {
  State& st = sim.st;
  // The row counter stops one past the last row: nothing is recorded after five hours.
  if (st.recordRow <= DiveRecord::kLastRow) ++st.recordRow;
  if (st.recordRow > DiveRecord::kLastRow) return;
  RecordRow& row = st.diveRecord.rows[static_cast<std::size_t>(st.recordRow)];
  row.realPO2 = st.loopPO2;
  // The handset column holds the master's displayed two-decimal text as a number; 0 before
  // the master has produced any value.
  row.handsetPO2 = st.votedPO2.value_or(0.0);
  row.depth = st.depthMetres;
  row.setpoint = st.currentSetpoint;
  row.loopVolume = st.loopCapacity;
  row.sampled = true;
  if (sim.observer != nullptr) {
    DiveSample sample{st.recordRow, row.realPO2, std::nullopt, row.depth, row.setpoint,
                      row.loopVolume};
    sample.handsetPO2 = st.votedPO2;
    sim.observer->sampled(sample);
  }
}

std::string dataFileText(const Simulation& sim) {
  using datafile::Item;
  const State& st = sim.st;
  const int last = std::min(st.recordRow, DiveRecord::kLastRow);
  std::vector<datafile::Row> rows;
  rows.reserve(static_cast<std::size_t>(std::max(last, 0)));
  for (int r = 1; r <= last; ++r) {
    const RecordRow& src = st.diveRecord.rows[static_cast<std::size_t>(r)];
    datafile::Row row{};
    if (src.sampled) {
      row[datafile::kRealPO2] = Item::num(src.realPO2);
      row[datafile::kHandsetPO2] = Item::num(src.handsetPO2);
      row[datafile::kDepth] = Item::num(src.depth);
      row[datafile::kSetpoint] = Item::num(src.setpoint);
      row[datafile::kLoopVolume] = Item::num(src.loopVolume);
    }
    if (!src.message.empty()) row[datafile::kMessage] = Item::str(src.message);
    rows.push_back(std::move(row));
  }
  const LocalDateTime now = sim.host.localDateTime();
  return datafile::formatFile({now.year, now.month, now.day, now.hour, now.minute, now.second},
                              rows);
}

}  // namespace pelasim
