// The dive library in the programs: an interrupted dive reported at the next start, the
// viewer's dive list, a library dive charted with every event and exported as a data file.
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QTableWidget>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "gui/GuiFixture.h"
#include "library/DiveLibrary.h"
#include "debrief/qt/DiveChartView.h"
#include "viewer/DiveListDialog.h"
#include "viewer/ResultsViewer.h"

namespace pelasim {
namespace {

using namespace library;

void shot(QWidget* w, const QString& name) {
  saveShot(w, name);
  const QByteArray dir = qgetenv("PELASIM_LIBRARY_SHOTS");
  if (!dir.isEmpty()) w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name);
}

// A dive of a simulator that is gone: its owner is a process that has ended.
std::int64_t interruptedDive(DiveLibrary& lib, const std::string& trainee, const std::string& when) {
  const std::int64_t id = *lib.beginDive({when, "1.0.2", trainee, "surface pressure 1013 mbar"});
  std::vector<DiveSample> samples;
  for (int s = 1; s <= 60; ++s) samples.push_back({s, 0.21 + s * 0.01, s > 5 ? std::optional(0.2 + s * 0.01) : std::nullopt, s / 3, 0.7, 16});
  lib.append(id, samples,
             {{20'100, 20, EventKind::Status, "O2 Valve Opened", ""},
              {20'600, 20, EventKind::Status, "Manual O2 Addition", ""},
              {30'000, 30, EventKind::FailureArmed, "Failures armed", "Cell 1 Fail; delay 0 min; source dialog"},
              {41'000, 41, EventKind::Status, "Warning: High O2", ""}});
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  sqlite3* db = nullptr;
  sqlite3_open(lib.path().c_str(), &db);
  const std::string sql = "UPDATE dives SET owner_pid=" + std::to_string(child) + " WHERE id=" + std::to_string(id);
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return id;
}

class LibraryGuiTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    std::filesystem::remove_all(App::libraryFolder().toStdString());
    std::string error;
    lib = DiveLibrary::open(App::libraryFolder().toStdString(), DiveLibrary::Access::ReadWrite, error);
    ASSERT_TRUE(lib) << error;
  }
  std::unique_ptr<DiveLibrary> lib;
};

TEST_F(LibraryGuiTest, TheNextStartSaysWhichDiveEndedUnexpectedly) {
  const std::int64_t id = interruptedDive(*lib, "anna", "2026-12-07 09:00:00");
  answerDisclaimer(true);
  QString said;
  int boxes = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++boxes;
      said = box->text();
      shot(box, QStringLiteral("library-interrupted.png"));
      box->accept();
    }
  });
  poll.start(50);
  ASSERT_TRUE(app->start());
  poll.stop();
  EXPECT_EQ(boxes, 1);
  EXPECT_TRUE(said.contains(QStringLiteral("A dive ended unexpectedly"))) << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("2026-12-07 09:00:00, anna, 60 s recorded")));
  EXPECT_TRUE(said.contains(QString::fromStdString(lib->path())));
  EXPECT_EQ(lib->summary(id)->state, kEndedUnexpectedly);
  // This run's dive is being kept.
  ASSERT_NE(app->recorder(), nullptr);
  EXPECT_TRUE(app->recorder()->problem().empty());
}

TEST_F(LibraryGuiTest, TheViewerListsOpensAndExportsALibraryDive) {
  const std::int64_t anna = interruptedDive(*lib, "anna", "2026-12-07 09:00:00");
  interruptedDive(*lib, "ben", "2026-12-07 10:00:00");
  lib->closeInterruptedDives();
  ResultsViewer viewer(ResultsViewer::Mode::Standalone);
  viewer.libraryFolder = App::libraryFolder();
  DiveListDialog list(viewer.libraryFolder, &viewer);
  ASSERT_EQ(list.rowCount(), 2);
  EXPECT_EQ(list.table()->item(0, 1)->text(), QStringLiteral("ben"));  // newest first
  EXPECT_EQ(list.table()->item(1, 2)->text(), QStringLiteral("0:01:00"));
  EXPECT_EQ(list.table()->item(1, 3)->text(), QStringLiteral("20"));
  EXPECT_EQ(list.table()->item(1, 4)->text(), QStringLiteral("1"));
  EXPECT_EQ(list.table()->item(1, 5)->text(), QStringLiteral("unexpectedly"));
  list.traineeBox()->setCurrentIndex(list.traineeBox()->findText(QStringLiteral("anna")));
  ASSERT_EQ(list.rowCount(), 1);
  list.show();
  shot(&list, QStringLiteral("library-list.png"));
  // The instructor names the trainee; the filter follows.
  ASSERT_TRUE(list.renameTrainee(0, QStringLiteral("Anna Berg")));
  EXPECT_EQ(lib->summary(anna)->trainee, "Anna Berg");
  EXPECT_EQ(list.traineeBox()->findText(QStringLiteral("anna")), -1);
  list.traineeBox()->setCurrentIndex(list.traineeBox()->findText(QStringLiteral("Anna Berg")));
  ASSERT_EQ(list.rowCount(), 1);

  const QString exported = workDir.filePath(QStringLiteral("export.csv"));
  ASSERT_TRUE(list.exportRow(0, exported));
  std::ifstream in(exported.toStdString(), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const datafile::ReadResult read = datafile::readFile(bytes);
  ASSERT_EQ(read.rows.size(), 60u);
  // One message per second in the data file: the later of second 20.
  EXPECT_EQ(read.rows[19][datafile::kMessage], datafile::Item::str("Manual O2 Addition"));
  EXPECT_EQ(read.rows[0][datafile::kHandsetPO2], datafile::Item::num(0));

  list.onOpen = [&viewer](const DiveData& d) { viewer.showDive(d); };
  ASSERT_TRUE(list.openRow(0));
  EXPECT_EQ(viewer.dive().info.id, anna);
  // Every event is on the chart, both messages of second 20 and the armed failure included.
  const auto& messages = viewer.chartView()->trace().messages;
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].text, "O2 Valve Opened");
  EXPECT_EQ(messages[1].text, "Manual O2 Addition");
  EXPECT_EQ(messages[2].text, "Failures armed: Cell 1 Fail; delay 0 min; source dialog");
  EXPECT_EQ(viewer.rows().size(), 60u);
  viewer.show();
  shot(&viewer, QStringLiteral("library-dive.png"));
}

TEST_F(LibraryGuiTest, ADroppedDataFileIsCharted) {
  const QString path = workDir.filePath(QStringLiteral("dropped.csv"));
  const std::int64_t id = interruptedDive(*lib, "anna", "2026-12-07 09:00:00");
  const auto dive = lib->load(id);
  ASSERT_TRUE(datafile::writeFileAtomically(path.toStdString(), dataFileText(*dive, 2026, 12, 7, 9, 1, 0)).ok);
  ResultsViewer viewer(ResultsViewer::Mode::Standalone);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&viewer, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&viewer, &drop);
  EXPECT_EQ(viewer.dataFileName(), path);
  EXPECT_EQ(viewer.rows().size(), 60u);
}

TEST_F(LibraryGuiTest, WithoutALibraryTheListSaysWhy) {
  lib.reset();
  std::filesystem::remove_all(App::libraryFolder().toStdString());
  DiveListDialog list(App::libraryFolder());
  EXPECT_EQ(list.rowCount(), 0);
  EXPECT_TRUE(list.statusText().startsWith(QStringLiteral("No dive library: there is no dive library yet at")));
}

}  // namespace
}  // namespace pelasim
