#include "sim/Simulation.h"


namespace pelasim {

Simulation::Simulation(Host& h)
    : host(h), timers([&h] { return h.tickCount(); }), startTick(h.tickCount()) {}

void Simulation::record(std::string_view message) {
  st.diveRecord.storeMessage(st.recordRow, message);
  logEvent(EventKind::Status, message);
}

void Simulation::logEvent(EventKind kind, std::string_view text, std::string_view detail) {
  if (observer == nullptr) return;
  observer->event({elapsedMs(), st.recordRow, kind, std::string(text), std::string(detail)});
}

}  // namespace pelasim
