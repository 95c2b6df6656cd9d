// The instructor's options dialog in the real window.
#include <QCheckBox>
#include <QSlider>
#include <gtest/gtest.h>

#include "gui/GuiFixture.h"

namespace pelasim {
namespace {

TEST_F(RunningGuiTest, TheInstructorTicksAFailureSetsADelayAndArms) {
  bool checked = false;
  QTimer::singleShot(50, [&] {
    ModelDialog* dlg = app->optionsDialog();
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->isModal());
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Simulator Options"));
    EXPECT_EQ(dlg->size(), QSize(363, 511));
    QList<QCheckBox*> boxes = dlg->findChildren<QCheckBox*>();
    EXPECT_EQ(boxes.size(), 23);
    QCheckBox* low = nullptr;
    QCheckBox* exhausted = nullptr;
    for (QCheckBox* b : boxes) {
      if (b->text() == QStringLiteral("Master Battery Low")) low = b;
      if (b->text() == QStringLiteral("Master Battery Exhausted")) exhausted = b;
    }
    ASSERT_TRUE(low && exhausted);
    QTest::mouseClick(low, Qt::LeftButton);
    QTest::mouseClick(exhausted, Qt::LeftButton);
    EXPECT_FALSE(low->isChecked());
    EXPECT_TRUE(exhausted->isChecked());
    QSlider* slider = dlg->findChild<QSlider*>();
    ASSERT_NE(slider, nullptr);
    slider->setValue(2);
    QPushButton* arm = nullptr;
    for (QPushButton* b : dlg->findChildren<QPushButton*>())
      if (b->text().startsWith(QStringLiteral("Change in"))) arm = b;
    // A caption too wide for its button goes on two lines.
    ASSERT_NE(arm, nullptr);
    EXPECT_EQ(arm->text().replace(QLatin1Char('\n'), QLatin1Char(' ')), QStringLiteral("Change in 2 minutes"));
    saveShot(dlg, QStringLiteral("options.png"));
    checked = true;
    QTest::mouseClick(arm, Qt::LeftButton);
  });
  click(Main::Command2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return checked && !app->optionsDialog()->isVisible(); }, 3000));
  EXPECT_TRUE(checked);
  EXPECT_FALSE(app->optionsDialog()->isVisible());
  EXPECT_TRUE(app->sim().timers.enabled(TimerId::OptionTimer));
  EXPECT_TRUE(app->sim().optionTicked(option::MasterBatteryExhausted));
}

}  // namespace
}  // namespace pelasim
