#pragma once
// Several observers of one dive: the simulation has one observer pointer; this passes every
// sample and event on to each observer in the list, in the order they were added.

#include <algorithm>
#include <vector>

#include "core/DiveLog.h"

namespace pelasim {

class DiveObserverList : public DiveObserver {
 public:
  void add(DiveObserver* observer) {
    if (observer != nullptr && std::find(list_.begin(), list_.end(), observer) == list_.end())
      list_.push_back(observer);
  }
  void remove(DiveObserver* observer) { std::erase(list_, observer); }
  bool empty() const { return list_.empty(); }

  void sampled(const DiveSample& sample) override {
    // A copy: an observer may add or remove observers while it is told.
    const auto observers = list_;
    for (DiveObserver* o : observers) o->sampled(sample);
  }
  void event(const DiveEvent& event) override {
    const auto observers = list_;
    for (DiveObserver* o : observers) o->event(event);
  }

 private:
  std::vector<DiveObserver*> list_;
};

}  // namespace pelasim
