#pragma once
// A host on virtual time, for tests and headless runs. Time only moves when the host is told
// to run, or inside a handler's wait; it jumps from one due task to the next, so a five-hour
// dive runs in well under a second and every run is the same. It logs sound requests and
// message boxes and answers prompts and questions from scripted queues.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/Scheduler.h"

namespace pelasim {

class VirtualHost : public Host {
 public:
  // Each call that lets events run costs this much virtual time, so loops that step while
  // processing events (the bag flush) end after a fixed number of steps. Tests of a fast or
  // slow machine change it.
  std::uint64_t processEventsCostMicros = 20;
  static constexpr std::uint32_t kStartTick = 100000;

  struct SoundEvent {
    SoundChannel channel;
    std::string file;  // empty for a stop
    std::uint32_t tick;
    bool isStop() const { return file.empty(); }
  };

  void attach(Scheduler& scheduler) { scheduler_ = &scheduler; }

  // Runs the simulation until the tick count has advanced by `ms`.
  void runFor(std::uint32_t ms);
  // Runs until the tick count reaches `tick`.
  void runUntil(std::uint32_t tick);
  // Calls `action` (a click, say) when virtual time reaches `tick`, from inside whatever is
  // running then: the way a user's input arrives in the middle of a long handler.
  void at(std::uint32_t tick, std::function<void()> action);

  // Host.
  std::uint32_t tickCount() override { return static_cast<std::uint32_t>(nowMicros_ / 1000); }
  void processEvents() override;
  void waitProcessingUntil(std::uint32_t tick) override;
  void freezeFor(std::uint32_t ms) override { nowMicros_ += std::uint64_t{ms} * 1000; }
  void play(SoundChannel channel, const std::string& file) override;
  void stop(SoundChannel channel) override;
  std::optional<std::string> readSetting(const std::string& key) override;
  bool writeSetting(const std::string& key, const std::string& value) override;
  std::string prompt(const std::string& title, const std::string& question,
                     const std::string& proposed) override;
  void message(const std::string& text) override { messages.push_back(text); }
  bool ask(const std::string& text) override;
  std::string chooseSavePath(const std::string& proposedPath) override;
  void setClipboard(const std::string& text) override { clipboard = text; }
  bool openMailLink(const std::string& url) override;
  LocalDateTime localDateTime() override { return dateTime; }
  void endProgram(const std::string& resultsFile) override {
    ended = true;
    resultsShown = resultsFile;
  }

  // Scripted answers and what the simulation said.
  std::map<std::string, std::string> settings;
  bool settingsWritable = true;
  std::deque<std::string> promptAnswers;   // empty queue: the prompt is cancelled
  std::deque<bool> askAnswers;             // empty queue: No
  std::deque<std::string> savePaths;       // empty queue: cancelled
  bool mailAccepted = true;
  std::vector<std::string> messages, questions, prompts, mailLinks;
  std::string clipboard;
  std::vector<SoundEvent> sounds;
  LocalDateTime dateTime{2026, 12, 7, 9, 30, 0};
  bool ended = false;
  std::string resultsShown;

 private:
  void runPendingActions();
  void runDueUpTo(std::uint64_t targetMicros);

  Scheduler* scheduler_ = nullptr;
  std::uint64_t nowMicros_ = std::uint64_t{kStartTick} * 1000;
  std::multimap<std::uint32_t, std::function<void()>> actions_;
};

}  // namespace pelasim
