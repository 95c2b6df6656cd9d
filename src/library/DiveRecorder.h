#pragma once
// Keeps a dive in the dive library as it is recorded. The simulator attaches a DiveRecorder
// to `Simulation::observer`: every sample and every event is handed through a bounded queue
// to a writer thread that commits once a second, so nothing the trainee does waits on the
// disk and a crash or power cut loses at most the last second. When the library cannot be
// opened or written, the recorder reports it once and goes on without it: the simulation
// never stops for the library.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/DiveLog.h"
#include "library/DiveLibrary.h"

namespace pelasim::library {

class DiveRecorder : public DiveObserver {
 public:
  // Called at most once, on the writer thread, with a message for the user.
  using ProblemHandler = std::function<void(const std::string& message)>;
  // Most items (samples and events) waiting for the disk; beyond it new items are dropped.
  static constexpr std::size_t kQueueLimit = 200000;

  // Starts the dive in `library` (which the recorder takes over; null when it could not be
  // opened, `openError` then says why).
  DiveRecorder(std::unique_ptr<DiveLibrary> library, const std::string& openError, NewDive dive,
               ProblemHandler problem);
  // Closes the dive as "ended unexpectedly" unless finish() has run.
  ~DiveRecorder() override;
  DiveRecorder(const DiveRecorder&) = delete;
  DiveRecorder& operator=(const DiveRecorder&) = delete;

  void sampled(const DiveSample& sample) override;
  void event(const DiveEvent& event) override;
  // The trainee's name of this dive, when someone types another.
  void setTrainee(const std::string& name);

  // Writes what is left, closes the dive with `state` and stops the writer; waits at most
  // `waitMs` milliseconds for the disk. True when everything was written in time.
  bool finish(std::string_view state = kEndedNormally, int waitMs = 1500);

  // The dive's id in the library once it has been added (0 before, or without a library).
  std::int64_t diveId() const;
  const std::string& libraryPath() const { return path_; }
  // The problem reported, empty when all went well so far.
  std::string problem() const;
  // Commits made so far (for tests and benchmarks).
  std::uint64_t commits() const;

 private:
  // What the simulation's thread and the writer share. The writer holds it too, so a writer
  // left behind on a stuck disk never outlives what it uses.
  struct Shared;
  static void run(std::shared_ptr<Shared> s, std::unique_ptr<DiveLibrary> library,
                  std::string openError, NewDive dive);

  std::string path_;
  std::shared_ptr<Shared> s_;
  std::thread writer_;
};

}  // namespace pelasim::library
