#pragma once
// A lesson as the dive's events keep it: the lesson writes notes when it starts and ends, and
// one per objective with its outcome; the dive library keeps them with the dive, so the
// viewer's list and the report read a lesson's result from any kept dive.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DiveLog.h"

namespace pelasim::debrief {

using note::kLessonBriefing;
using note::kLessonEnded;
using note::kLessonObjective;
using note::kLessonStarted;

struct LessonSummary {
  std::string title;
  std::string briefing;
  std::vector<std::string> objectives;  // "Met at 123 s: text (detail)", in the lesson's order
  std::optional<bool> passed;           // none when the lesson never ended
};

// The lesson flown in the dive, if any (the first one).
std::optional<LessonSummary> lessonOf(const std::vector<DiveEvent>& events);

}  // namespace pelasim::debrief
