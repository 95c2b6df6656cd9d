// The bail-out dialog and the bug report form as the trainee sees them.
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>

#include "app/Startup.h"
#include "dialogs/BugReport.h"
#include "dialogs/Dialogs.h"
#include "gui/GuiFixture.h"
#include "ui/qt/App.h"

namespace pelasim {
namespace {

// Screenshots of what a window system shows (not only what a widget draws).
void saveImage(const QImage& image, const QString& name) {
  const QByteArray dir = qgetenv("PELASIM_SCREENSHOT_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  image.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name);
}

QPushButton* buttonCaptioned(QWidget* window, const std::string& caption) {
  const auto buttons = window->findChildren<QPushButton*>();
  for (QPushButton* b : buttons)
    if (b->text().replace(QLatin1Char('\n'), QLatin1Char(' ')) == QString::fromStdString(caption)) return b;
  return nullptr;
}

bool xcb() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// Share of the pixels of `window`'s area on the screen that show the window's own drawing:
// near 1 when nothing covers it. Only a real window system can tell.
double shareShownOnScreen(QWidget* window) {
  QCoreApplication::processEvents();
  QTest::qWait(300);
  const QImage own = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QPoint at = window->mapToGlobal(QPoint(0, 0));
  const QImage screen = window->screen()
                            ->grabWindow(0, at.x(), at.y(), own.width(), own.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
  if (screen.size() != own.size()) return 0;
  long same = 0;
  for (int y = 0; y < own.height(); ++y)
    for (int x = 0; x < own.width(); ++x) same += own.pixel(x, y) == screen.pixel(x, y);
  return static_cast<double>(same) / (own.width() * own.height());
}

class DialogsGuiTest : public RunningGuiTest {
 protected:
  // Opens a modal form with `open` and runs `inside` while its own event loop runs; returns
  // once the form has closed again.
  void whileModal(QDialog* dialog, const std::function<void()>& open, const std::function<void()>& inside) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      // The form's own event loop starts on the next turn; wait until it is up.
      QTimer::singleShot(0, [&] {
        ASSERT_TRUE(dialog->isVisible());
        inside();
        ran = true;
        if (dialog->isVisible()) dialog->close();
      });
    });
    open();
    app->syncAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran && !dialog->isVisible(); }, 10000));
  }

  void clickMain(Main id) {
    QWidget* w = app->mainView().widget(static_cast<int>(id));
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  }

};

TEST_F(DialogsGuiTest, BailedDialogStaysOnTopAndRefusesItsCloseBox) {
  clickMain(Main::Image20);
  ModelDialog* dlg = app->bailedDialog();
  ASSERT_TRUE(dlg->isVisible());
  EXPECT_TRUE(dlg->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_FALSE(dlg->isModal());
  EXPECT_EQ(dlg->size(), QSize(442, 206));  // 6630 x 3090 twips
  // The form has no caption of its own; the title bar and the task bar name it.
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Bailed out"));
  EXPECT_EQ(dlg->palette().color(QPalette::Window), QColor(255, 255, 0));
  saveShot(dlg, QStringLiteral("bailed.png"));

  // The close box and Escape leave it open.
  EXPECT_FALSE(dlg->close());
  QTest::keyClick(dlg, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_TRUE(app->sim().bailed[BailedId::Form].visible);

  // The main window stays usable behind it.
  EXPECT_TRUE(app->mainWindow()->isEnabled());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  QPushButton* back = buttonCaptioned(dlg, "&Return to Loop");
  ASSERT_NE(back, nullptr);
  QTest::mouseClick(back, Qt::LeftButton);
  EXPECT_FALSE(dlg->isVisible());
  const Simulation& sim = app->sim();
  EXPECT_EQ(sim.st.diveRecord.rows[static_cast<std::size_t>(sim.st.recordRow)].message, "Returned to loop");
}

TEST_F(DialogsGuiTest, BailedDialogIsRaisedAboveTheOptionsDialog) {
  clickMain(Main::Image20);
  ModelDialog* bailed = app->bailedDialog();
  ASSERT_TRUE(bailed->isVisible());
  // Counts the raises of the bailed dialog, and notes how many there were when the options
  // dialog appeared.
  struct Counter : QObject {
    QObject* front = nullptr;
    int raises = 0, raisesAtShow = -1;
    bool eventFilter(QObject* o, QEvent* e) override {
      if (o == front && e->type() == QEvent::ZOrderChange) ++raises;
      if (o != front && e->type() == QEvent::Show) raisesAtShow = raises;
      return false;
    }
  } counter;
  counter.front = bailed;
  bailed->installEventFilter(&counter);
  app->optionsDialog()->installEventFilter(&counter);

  whileModal(app->optionsDialog(), [&] { clickMain(Main::Command2); }, [&] {
    QDialog* options = app->optionsDialog();
    // Put the options dialog right over the bailed one.
    options->move(bailed->pos());
    QTest::qWait(100);
    ASSERT_GE(counter.raisesAtShow, 0);
    EXPECT_GT(counter.raises, counter.raisesAtShow);
    EXPECT_TRUE(bailed->isVisible());
    if (xcb()) {
      const double shown = shareShownOnScreen(bailed);
      saveImage(bailed->screen()->grabWindow(0).toImage(), QStringLiteral("bailed-over-options.png"));
      EXPECT_GT(shown, 0.98);
    }
  });
  bailed->removeEventFilter(&counter);
  app->optionsDialog()->removeEventFilter(&counter);
}

TEST_F(DialogsGuiTest, BailedDialogCoversTheMainWindowOnScreen) {
  if (!xcb()) GTEST_SKIP() << "stacking is only visible on a real window system";
  clickMain(Main::Image20);
  ModelDialog* bailed = app->bailedDialog();
  bailed->move(app->mainWindow()->pos() + QPoint(100, 100));
  // A click on the main window (bailing out again) must not bury the dialog.
  clickMain(Main::Image20);
  app->mainWindow()->activateWindow();
  EXPECT_GT(shareShownOnScreen(bailed), 0.98);
  saveImage(bailed->screen()->grabWindow(0).toImage(), QStringLiteral("bailed-over-main.png"));
}

TEST_F(DialogsGuiTest, BugReportShowsTheSeveritiesAndTakesTypedText) {
  ModelDialog* dlg = app->bugReportDialog();
  whileModal(dlg, [&] { clickMain(Main::Command3); }, [&] {
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Bug Reporting Form"));
    auto* combo = dlg->findChild<QComboBox*>();
    auto* text = dlg->findChild<QPlainTextEdit*>();
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(combo->count(), static_cast<int>(kSeverities.size()));
    for (int i = 0; i < combo->count(); ++i)
      EXPECT_EQ(combo->itemText(i).toStdString(), kSeverities[static_cast<std::size_t>(i)]);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_TRUE(text->toPlainText().isEmpty());

    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("Cell 2 & \"O2\" at 30 m"));
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, QStringLiteral("Überdruck"));
    combo->setCurrentIndex(1);
    const Simulation& sim = app->sim();
    EXPECT_EQ(sim.bugReport[BugId::Text1].caption, "Cell 2 & \"O2\" at 30 m\nÜberdruck");
    EXPECT_EQ(sim.bugReport[BugId::Combo1].value, 1);
    EXPECT_EQ(bugReportText(sim),
              "support@orvane-simulator.example || Cell 2 & \"O2\" at 30 m\nÜberdruck || "
              "4 Major. Program difficult to use");
    // The typed text stays in the box as typed.
    EXPECT_EQ(text->toPlainText(), QStringLiteral("Cell 2 & \"O2\" at 30 m\nÜberdruck"));
    saveShot(dlg, QStringLiteral("bugreport.png"));
  });
  // Closed with its window button: the form is gone and nothing was sent.
  EXPECT_FALSE(app->sim().bugReport[BugId::Form].visible);
  EXPECT_TRUE(app->mainWindow()->isVisible());
}

TEST(MailLinkForQt, PassesStrictParsingUnchanged) {
  const std::string link = mailtoLink(kSupportAddress, kBugReportSubject,
                                      "support@orvane-simulator.example || A&B?C#D%E \"q\" 'q'\r\n"
                                      "Überdruck || 5 Severe. Program cannot be used");
  const QUrl url(QString::fromStdString(link), QUrl::StrictMode);
  ASSERT_TRUE(url.isValid()) << url.errorString().toStdString();
  EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
  EXPECT_EQ(url.path(), QString::fromStdString(std::string(kSupportAddress)));
  EXPECT_EQ(url.toEncoded().toStdString(), link);
}

TEST_F(DialogsGuiTest, ReopenedBugReportIsEmptyAgain) {
  ModelDialog* dlg = app->bugReportDialog();
  whileModal(dlg, [&] { clickMain(Main::Command3); }, [&] {
    QTest::keyClicks(dlg->findChild<QPlainTextEdit*>(), QStringLiteral("first report"));
    dlg->findChild<QComboBox*>()->setCurrentIndex(3);
  });
  whileModal(dlg, [&] { clickMain(Main::Command3); }, [&] {
    EXPECT_TRUE(dlg->findChild<QPlainTextEdit*>()->toPlainText().isEmpty());
    EXPECT_EQ(dlg->findChild<QComboBox*>()->currentIndex(), -1);
    EXPECT_EQ(dlg->findChild<QComboBox*>()->count(), 5);
  });
}

}  // namespace
}  // namespace pelasim
