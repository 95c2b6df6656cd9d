#include "lesson/LessonCommands.h"

#include "lesson/Course.h"
#include "lesson/LessonFile.h"

namespace pelasim::lesson {

std::optional<int> runLessonCommand(const std::vector<std::string>& args,
                                    const std::string& programFolder, std::ostream& out,
                                    std::ostream& err) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--list-lessons") {
      for (const CourseEntry& e :
           listLessons({bundledLessonsFolder(programFolder), userLessonsFolder()}))
        out << e.path << '\t' << e.title << (e.readable ? "" : " (has errors)") << '\n';
      return 0;
    }
    if (args[i] == "--check-lesson") {
      if (i + 1 >= args.size()) {
        err << "--check-lesson needs a lesson file\n";
        return 2;
      }
      const std::string& path = args[i + 1];
      const ReadResult r = readLessonFile(path);
      if (r.lesson) {
        out << path << ": ok\n";
        return 0;
      }
      for (const LessonError& e : r.errors) err << errorLine(path, e) << '\n';
      return 2;
    }
  }
  return std::nullopt;
}

}  // namespace pelasim::lesson
