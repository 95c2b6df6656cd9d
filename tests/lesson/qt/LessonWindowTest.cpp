// A lesson flown in the simulator's real window with the mouse: the briefing, the panel that
// judges as the trainee acts, the assessment at the end, the dive kept in the library with
// its lesson and outcome, listed and filtered in the viewer and printed in the report.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTableWidget>
#include <QTextBrowser>

#include <filesystem>

#include "debrief/LessonRecord.h"
#include "debrief/qt/DebriefReport.h"
#include "gui/GuiFixture.h"
#include "lesson/LessonFile.h"
#include "lesson/qt/LessonWindows.h"
#include "library/DiveLibrary.h"
#include "viewer/DiveListDialog.h"

namespace pelasim {
namespace {

// A short drill that a test can fly in real time: open the oxygen valve, then add oxygen
// by hand within 20 s; the loop never below 0.16 bar.
constexpr const char* kDrill = R"(title = "Quick oxygen drill"
briefing = "Open the oxygen valve, then give one manual oxygen addition."
hints = true
[[trigger]]
id = "go"
at_time = 1
message = "Open the oxygen valve now."
[[objective]]
id = "add"
text = "A manual oxygen addition within 20 s of opening the oxygen valve"
kind = "respond"
event = "O2 Valve Opened"
actions = ["manual O2 addition"]
within = 20
[[objective]]
id = "hypoxia"
text = "The loop never at or below 0.16 bar"
kind = "po2_limit"
po2_at_or_below = 0.16
max_seconds = 0
)";

class LessonWindow : public RunningGuiTest {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(App::libraryFolder().toStdString());
    RunningGuiTest::SetUp();
    drill = workDir.filePath(QStringLiteral("drill.toml"));
    QFile f(drill);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kDrill);
  }
  QString drill;
};

TEST_F(LessonWindow, IsJudgedKeptListedAndReported) {
  QStringList asked;
  app->confirmLesson = [&asked](const QString& q) {
    asked << q;
    return true;
  };
  ASSERT_TRUE(app->startLesson(drill));
  EXPECT_EQ(asked, QStringList{QStringLiteral("Lesson briefing: Quick oxygen drill")});
  lesson::LessonSession* session = app->lesson();
  ASSERT_NE(session, nullptr);
  EXPECT_TRUE(session->panel()->isVisible());
  QTest::qWait(2200);  // the first trigger's message
  EXPECT_TRUE(session->panelText().contains(QStringLiteral("Open the oxygen valve now.")))
      << session->panelText().toStdString();
  click(element::oxygenValve);
  QTest::qWait(1200);
  hold(element::oxygenInjector, 300);
  QTest::qWait(1200);
  EXPECT_TRUE(session->panelText().contains(
      QStringLiteral("A manual oxygen addition within 20 s of opening the oxygen valve\tMet")))
      << session->panelText().toStdString();
  saveShot(session->panel(), QStringLiteral("lesson-panel.png"));

  dispatchMain(app->sim(), element::exitButton, MouseEvent::Click);
  ASSERT_TRUE(ended);
  EXPECT_TRUE(session->run().finished());
  EXPECT_TRUE(session->run().passed());
  EXPECT_TRUE(session->panelText().startsWith(QStringLiteral("<b>Quick oxygen drill</b> — passed")))
      << session->panelText().toStdString();

  // The library keeps the dive with its lesson; the viewer lists and filters it.
  std::string error;
  auto lib = library::DiveLibrary::open(App::libraryFolder().toStdString(),
                                        library::DiveLibrary::Access::Read, error);
  ASSERT_TRUE(lib) << error;
  ASSERT_EQ(lib->lessons().size(), 1u);
  EXPECT_EQ(lib->lessons().begin()->second, "Quick oxygen drill: passed");
  DiveListDialog list(App::libraryFolder(), nullptr);
  ASSERT_EQ(list.rowCount(), 1);
  EXPECT_EQ(list.table()->item(0, 6)->text(), QStringLiteral("Quick oxygen drill: passed"));
  for (const auto& [filter, rows] : {std::pair{"Lessons passed", 1}, std::pair{"Lessons not passed", 0},
                                     std::pair{"Quick oxygen drill", 1}, std::pair{"All dives", 1}}) {
    list.lessonBox()->setCurrentIndex(list.lessonBox()->findText(QString::fromLatin1(filter)));
    EXPECT_EQ(list.rowCount(), rows) << filter;
  }

  // The report names the lesson, its briefing and each objective's outcome.
  const std::optional<DiveData> dive = lib->load(lib->lessons().begin()->first);
  ASSERT_TRUE(dive);
  const QString pdf = workDir.filePath(QStringLiteral("report.pdf"));
  QString why;
  ASSERT_TRUE(writeReportPdf(pdf, *dive, why)) << why.toStdString();
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(20000));
  const QString out = QString::fromUtf8(text.readAllStandardOutput()).simplified();
  for (const char* expected :
       {"Lesson: Quick oxygen drill", "Open the oxygen valve, then give one manual oxygen addition.",
        "A manual oxygen addition within 20 s of opening the oxygen valve", "The loop never at or below 0.16 bar",
        "passed"})
    EXPECT_TRUE(out.contains(QString::fromLatin1(expected))) << expected << "\n" << out.toStdString();
}

TEST_F(LessonWindow, AFileWithErrorsIsRefusedWithEachLine) {
  QFile f(drill);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write("title = \"x\"\nbriefing = \"y\"\n[begin]\n");
  f.close();
  QString shown;
  QTimer::singleShot(0, [&shown] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
        shown = box->text();
        box->accept();
      }
  });
  EXPECT_FALSE(app->startLesson(drill));
  EXPECT_EQ(app->lesson(), nullptr);
  EXPECT_TRUE(shown.contains(drill + QStringLiteral(":3: unknown key \"begin\" in the lesson"))) << shown.toStdString();
}

TEST(LessonBriefingWindow, ShowsTheBriefingAndWhatIsJudged) {
  const lesson::ReadResult r = lesson::readLesson(kDrill, "drill.toml");
  ASSERT_TRUE(r.lesson);
  lesson::LessonBriefing briefing(*r.lesson, nullptr);
  const QString text = briefing.findChild<QTextBrowser*>(QStringLiteral("briefingText"))->toPlainText();
  EXPECT_TRUE(text.contains(QStringLiteral("Quick oxygen drill")));
  EXPECT_TRUE(text.contains(QStringLiteral("You will be judged on")));
  EXPECT_TRUE(text.contains(QStringLiteral("The loop never at or below 0.16 bar")));
  briefing.show();
  saveShot(&briefing, QStringLiteral("lesson-briefing.png"));
}

}  // namespace
}  // namespace pelasim
