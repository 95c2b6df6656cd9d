#pragma once
// The periodic tasks of the main window: each timer with its designed interval, start state
// and handler.

namespace pelasim {

class Simulation;

// Registers every task in the simulation's scheduler; the ones enabled at start begin
// counting now, as creating the main window starts them.
void installTasks(Simulation& sim);

}  // namespace pelasim
