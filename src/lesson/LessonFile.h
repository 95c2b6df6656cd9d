#pragma once
// Lesson files: one TOML file a lesson, written by an instructor with a text editor
// (docs/lessons.md describes every key). Reading checks everything an instructor can get
// wrong, each error naming the file and the line: unknown sections and keys, unknown
// failures, events and actions, impossible values, triggers that wait for a trigger that
// does not exist.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lesson/Lesson.h"

namespace pelasim::lesson {

struct LessonError {
  int line = 0;         // 0 when the error concerns the whole file
  std::string message;
};

struct ReadResult {
  std::optional<Lesson> lesson;      // set when there is no error
  std::vector<LessonError> errors;   // in the order of the file
};

// Reads lesson text; `path` names it in the result and the errors.
ReadResult readLesson(std::string_view text, const std::string& path);
// Reads a lesson file; a file that cannot be read is one error.
ReadResult readLessonFile(const std::string& path);
// "FILE:LINE: message" (or "FILE: message" without a line), as --check-lesson prints it.
std::string errorLine(const std::string& path, const LessonError& error);

// The vocabulary of lesson files.
// Failures by name ("Solenoid Stuck Closed"); nullopt for an unknown name.
std::optional<Opt> failureByName(std::string_view name);
std::string_view failureName(Opt box);
const std::vector<std::string_view>& failureNames();
// Events a trigger or an objective may wait for: the dive's status messages ("Breathing
// Started"), the warnings by their name ("Low O2") and the failures by name (when they take
// effect).
bool knownEvent(std::string_view name);
const std::vector<std::string_view>& eventNames();
// The trainee's actions an objective accepts ("manual O2 addition", "bail-out", "ascent").
bool knownAction(std::string_view name);
const std::vector<std::string_view>& actionNames();

}  // namespace pelasim::lesson
