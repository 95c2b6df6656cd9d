#include "core/VirtualHost.h"

#include <algorithm>

namespace pelasim {

void VirtualHost::at(std::uint32_t tick, std::function<void()> action) {
  actions_.emplace(tick, std::move(action));
}

void VirtualHost::runPendingActions() {
  while (!actions_.empty() && tickAtOrBefore(actions_.begin()->first, tickCount())) {
    auto fn = std::move(actions_.begin()->second);
    actions_.erase(actions_.begin());
    fn();
  }
}

// Moves time forward to `targetMicros`, stopping at every due task and scripted action on
// the way and running it at its due time.
void VirtualHost::runDueUpTo(std::uint64_t targetMicros) {
  for (;;) {
    runPendingActions();
    if (scheduler_) scheduler_->runDue();
    if (nowMicros_ >= targetMicros) break;
    std::uint64_t next = targetMicros;
    if (scheduler_)
      if (auto due = scheduler_->nextDue()) next = std::min(next, std::uint64_t{*due} * 1000);
    if (!actions_.empty()) next = std::min(next, std::uint64_t{actions_.begin()->first} * 1000);
    nowMicros_ = std::max(nowMicros_, next);
  }
}

void VirtualHost::runFor(std::uint32_t ms) { runUntil(tickCount() + ms); }

void VirtualHost::runUntil(std::uint32_t tick) {
  if (tickAtOrBefore(tick, tickCount())) {
    runPendingActions();
    if (scheduler_) scheduler_->runDue();
    return;
  }
  runDueUpTo(std::uint64_t{tick} * 1000);
}

void VirtualHost::processEvents() {
  nowMicros_ += processEventsCostMicros;
  runPendingActions();
  if (scheduler_) scheduler_->runDue();
}

void VirtualHost::waitProcessingUntil(std::uint32_t tick) {
  if (tickAtOrBefore(tick, tickCount())) {
    processEvents();
    return;
  }
  runDueUpTo(std::uint64_t{tick} * 1000);
}

void VirtualHost::play(SoundChannel channel, const std::string& file) {
  sounds.push_back({channel, file, tickCount()});
}

void VirtualHost::stop(SoundChannel channel) { sounds.push_back({channel, {}, tickCount()}); }

std::optional<std::string> VirtualHost::readSetting(const std::string& key) {
  auto it = settings.find(key);
  if (it == settings.end()) return std::nullopt;
  return it->second;
}

bool VirtualHost::writeSetting(const std::string& key, const std::string& value) {
  if (!settingsWritable) return false;
  settings[key] = value;
  return true;
}

std::string VirtualHost::prompt(const std::string& title, const std::string& question,
                                const std::string& proposed) {
  prompts.push_back(title + "|" + question + "|" + proposed);
  if (promptAnswers.empty()) return {};
  std::string a = promptAnswers.front();
  promptAnswers.pop_front();
  return a;
}

bool VirtualHost::ask(const std::string& text) {
  questions.push_back(text);
  if (askAnswers.empty()) return false;
  const bool a = askAnswers.front();
  askAnswers.pop_front();
  return a;
}

std::string VirtualHost::chooseSavePath(const std::string&) {
  if (savePaths.empty()) return {};
  std::string p = savePaths.front();
  savePaths.pop_front();
  return p;
}

bool VirtualHost::openMailLink(const std::string& url) {
  mailLinks.push_back(url);
  return mailAccepted;
}

}  // namespace pelasim
