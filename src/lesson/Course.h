#pragma once
// The course: the lessons bundled with the simulator (the "lessons" folder beside the
// program) and the instructor's own ($XDG_DATA_HOME/OrvanePelaSim/lessons), listed by title.

#include <string>
#include <vector>

namespace pelasim::lesson {

struct CourseEntry {
  std::string path;   // the lesson file
  std::string title;  // its title; the file name when it cannot be read
  bool readable = true;  // false: the file has errors (`--check-lesson` tells which)
};

// The folder of the instructor's own lessons.
std::string userLessonsFolder();
// The bundled lessons beside the program in `programFolder`.
std::string bundledLessonsFolder(const std::string& programFolder);
// Every "*.toml" file of the folders, in the order of the folders, each folder by file name.
// A folder that does not exist adds nothing.
std::vector<CourseEntry> listLessons(const std::vector<std::string>& folders);

}  // namespace pelasim::lesson
