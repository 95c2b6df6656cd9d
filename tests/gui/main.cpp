// Entry of the Qt tests: one QApplication for the whole run (offscreen platform).
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

void defaultEnv(const char* name, const QByteArray& value) {
  if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
}

}  // namespace

int main(int argc, char** argv) {
  defaultEnv("QT_QPA_PLATFORM", "offscreen");
  // A desktop screen of 1920 × 1080 at 100 %, where the main window opens at its designed
  // size (the offscreen platform's own screen is smaller).
  std::filesystem::path screen;
  if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
    screen = std::filesystem::temp_directory_path() /
             ("pelasim-desktop-screen-" + std::to_string(::getpid()) + ".json");
    std::ofstream(screen) << R"({"screens": [{"name": "Desktop", "x": 0, "y": 0, "width": 1920,
      "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + screen.string().c_str());
  }
  defaultEnv("SDL_AUDIODRIVER", "dummy");
  defaultEnv("PELASIM_PROGRAM_DIR", PELASIM_PROGRAM_DIR);
  // The simulator keeps every dive in its library: the tests' dives go to a folder of their own.
  QTemporaryDir dataHome;
  qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
  int result = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (!screen.empty()) std::filesystem::remove(screen);
  return result;
}
