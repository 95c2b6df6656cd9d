#pragma once
// The simulator's lesson commands, answered without a window:
//   --list-lessons        one line per lesson: its file, a tab, its title
//   --check-lesson FILE   "FILE: ok" and exit code 0, or each error as "FILE:LINE: message"
//                         and exit code 2

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pelasim::lesson {

// Runs the lesson command among `args` (the program's arguments without its name), if any;
// returns the exit code, or nullopt when the arguments hold no lesson command.
std::optional<int> runLessonCommand(const std::vector<std::string>& args,
                                    const std::string& programFolder, std::ostream& out,
                                    std::ostream& err);

}  // namespace pelasim::lesson
