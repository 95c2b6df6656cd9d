#include "library/DiveRecorder.h"

#include <chrono>
#include <utility>

namespace pelasim::library {

struct DiveRecorder::Shared {
  ProblemHandler onProblem;
  std::mutex mutex;
  std::condition_variable wake, done;
  std::vector<DiveSample> samples;
  std::vector<DiveEvent> events;
  std::string trainee;
  bool traineeChanged = false;
  bool stop = false;
  bool finished = false;
  bool writerDone = false;
  std::string endState{kEndedUnexpectedly};
  std::string problem;
  std::atomic<std::int64_t> diveId{0};
  std::atomic<std::uint64_t> commits{0};

  bool full() const { return samples.size() + events.size() >= kQueueLimit; }

  void report(const std::string& reason) {
    std::string message;
    {
      std::lock_guard lock(mutex);
      if (!problem.empty()) return;
      std::string r = reason;
      if (!r.empty() && r[0] >= 'a' && r[0] <= 'z') r[0] = static_cast<char>(r[0] - 'a' + 'A');
      problem = "This dive cannot be kept in the dive library.\n\n" + r +
                ".\n\nThe simulation goes on, and the data file is still written when you exit.";
      message = problem;
    }
    if (onProblem) onProblem(message);
  }
};

DiveRecorder::DiveRecorder(std::unique_ptr<DiveLibrary> library, const std::string& openError,
                           NewDive dive, ProblemHandler problem)
    : path_(library ? library->path() : std::string()), s_(std::make_shared<Shared>()) {
  s_->onProblem = std::move(problem);
  s_->trainee = dive.trainee;
  writer_ = std::thread(&DiveRecorder::run, s_, std::move(library), openError, std::move(dive));
}

DiveRecorder::~DiveRecorder() {
  bool finished;
  {
    std::lock_guard lock(s_->mutex);
    finished = s_->finished;
  }
  if (!finished) finish(kEndedUnexpectedly);
  if (writer_.joinable()) writer_.join();
}

void DiveRecorder::sampled(const DiveSample& sample) {
  {
    std::lock_guard lock(s_->mutex);
    if (s_->stop || s_->full()) return;
    s_->samples.push_back(sample);
  }
  // A new second: the writer commits everything up to it.
  s_->wake.notify_one();
}

void DiveRecorder::event(const DiveEvent& event) {
  std::lock_guard lock(s_->mutex);
  if (s_->stop || s_->full()) return;
  s_->events.push_back(event);
}

void DiveRecorder::setTrainee(const std::string& name) {
  std::lock_guard lock(s_->mutex);
  s_->trainee = name;
  s_->traineeChanged = true;
}

std::string DiveRecorder::problem() const {
  std::lock_guard lock(s_->mutex);
  return s_->problem;
}

std::int64_t DiveRecorder::diveId() const { return s_->diveId.load(); }
std::uint64_t DiveRecorder::commits() const { return s_->commits.load(); }

bool DiveRecorder::finish(std::string_view state, int waitMs) {
  std::unique_lock lock(s_->mutex);
  if (!s_->finished) {
    s_->finished = true;
    s_->stop = true;
    s_->endState = std::string(state);
  }
  s_->wake.notify_one();
  const bool inTime = s_->done.wait_for(lock, std::chrono::milliseconds(waitMs),
                                        [this] { return s_->writerDone; });
  lock.unlock();
  if (inTime) {
    if (writer_.joinable()) writer_.join();
  } else if (writer_.joinable()) {
    // The disk is stuck: leave the writer to it; the library loses at most this last second.
    writer_.detach();
  }
  return inTime;
}

void DiveRecorder::run(std::shared_ptr<Shared> s, std::unique_ptr<DiveLibrary> lib,
                       std::string openError, NewDive dive) {
  std::int64_t id = 0;
  if (!lib) {
    s->report(openError.empty() ? "The dive library could not be opened" : openError);
  } else if (lib->readOnly()) {
    s->report(openError.empty() ? "the dive library " + lib->path() + " may only be read" : openError);
    lib.reset();
  } else if (const auto got = lib->beginDive(dive)) {
    id = *got;
    s->diveId = id;
  } else {
    s->report(lib->lastError());
    lib.reset();
  }

  // Rows that could not be written yet (a locked or full disk) are tried again each second,
  // up to the queue limit.
  std::vector<DiveSample> samples, carrySamples;
  std::vector<DiveEvent> events, carryEvents;
  for (;;) {
    bool stopping = false, traineeChanged = false;
    std::string endState, trainee;
    {
      std::unique_lock lock(s->mutex);
      s->wake.wait_for(lock, std::chrono::seconds(1), [&s] { return s->stop || !s->samples.empty(); });
      samples.swap(s->samples);
      events.swap(s->events);
      stopping = s->stop;
      endState = s->endState;
      trainee = s->trainee;
      traineeChanged = std::exchange(s->traineeChanged, false);
    }
    if (lib) {
      carrySamples.insert(carrySamples.end(), samples.begin(), samples.end());
      carryEvents.insert(carryEvents.end(), events.begin(), events.end());
      if (!carrySamples.empty() || !carryEvents.empty()) {
        if (lib->append(id, carrySamples, carryEvents)) {
          carrySamples.clear();
          carryEvents.clear();
          ++s->commits;
        } else {
          s->report(lib->lastError());
          if (carrySamples.size() + carryEvents.size() > kQueueLimit) {
            carrySamples.clear();
            carryEvents.clear();
          }
        }
      }
      if (traineeChanged && !lib->setTrainee(id, trainee)) s->report(lib->lastError());
      if (stopping && !lib->endDive(id, endState)) s->report(lib->lastError());
    }
    samples.clear();
    events.clear();
    if (stopping) break;
  }
  std::lock_guard lock(s->mutex);
  s->writerDone = true;
  s->done.notify_all();
}

}  // namespace pelasim::library
