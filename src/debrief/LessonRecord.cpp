#include "debrief/LessonRecord.h"

namespace pelasim::debrief {

std::optional<LessonSummary> lessonOf(const std::vector<DiveEvent>& events) {
  std::optional<LessonSummary> lesson;
  for (const DiveEvent& e : events) {
    if (e.kind != EventKind::Note) continue;
    if (e.text == kLessonStarted) {
      if (lesson) break;  // a second lesson: the first one's record is complete
      lesson.emplace();
      lesson->title = e.detail.substr(0, e.detail.find("; file "));
    } else if (!lesson) {
      continue;
    } else if (e.text == kLessonBriefing) {
      lesson->briefing = e.detail;
    } else if (e.text == kLessonObjective) {
      lesson->objectives.push_back(e.detail);
    } else if (e.text == kLessonEnded) {
      lesson->passed = e.detail.size() >= 8 && e.detail.compare(e.detail.size() - 8, 8, ": passed") == 0;
    }
  }
  return lesson;
}

}  // namespace pelasim::debrief
