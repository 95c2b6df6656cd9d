#include "lesson/Course.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "lesson/LessonFile.h"
#include "library/DiveLibrary.h"

namespace pelasim::lesson {

std::string userLessonsFolder() { return library::defaultFolder() + "/lessons"; }

std::string bundledLessonsFolder(const std::string& programFolder) {
  return programFolder + "/lessons";
}

std::vector<CourseEntry> listLessons(const std::vector<std::string>& folders) {
  namespace fs = std::filesystem;
  std::vector<CourseEntry> out;
  for (const std::string& folder : folders) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      if (it->path().extension() == ".toml" && it->is_regular_file(ec)) files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
      const ReadResult r = readLessonFile(f.string());
      out.push_back({f.string(), r.lesson ? r.lesson->title : f.filename().string(),
                     r.lesson.has_value()});
    }
  }
  return out;
}

}  // namespace pelasim::lesson
