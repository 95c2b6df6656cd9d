// Entry of the screen tests: the offscreen platform with the screen of a laptop, 1366 × 768
// pixels at 125 % scaling (about 1093 × 614 logical pixels), unless another platform is named.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  std::filesystem::path config;
  if (platform.isEmpty() || platform == "offscreen") {
    config = std::filesystem::temp_directory_path() /
             ("pelasim-laptop-screen-" + std::to_string(::getpid()) + ".json");
    std::ofstream(config) << R"({"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": 1366,
      "height": 768, "logicalDpi": 120, "logicalBaseDpi": 96, "dpr": 1}]})";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.string().c_str());
  }
  if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
  if (qEnvironmentVariableIsEmpty("PELASIM_PROGRAM_DIR")) qputenv("PELASIM_PROGRAM_DIR", PELASIM_PROGRAM_DIR);
  // The simulator keeps every dive in its library: the tests' dives go to a folder of their
  // own, never into the user's library (where a dive another run left would greet them).
  QTemporaryDir dataHome;
  qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
  int result = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (!config.empty()) std::filesystem::remove(config);
  return result;
}
