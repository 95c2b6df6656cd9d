// Entry of the Qt tests: one QApplication for the whole run (offscreen platform).
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void defaultEnv(const char* name, const QByteArray& value) {
  if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
}

}  // namespace

int main(int argc, char** argv) {
  defaultEnv("QT_QPA_PLATFORM", "offscreen");
  defaultEnv("SDL_AUDIODRIVER", "dummy");
  defaultEnv("PELASIM_PROGRAM_DIR", PELASIM_PROGRAM_DIR);
  // The simulator keeps every dive in its library: the tests' dives go to a folder of their own.
  QTemporaryDir dataHome;
  qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
