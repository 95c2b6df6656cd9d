// Handset screen texts keep their place between alternating screens and keep off the screen's
// edge, at the designed size and scaled; typing into the bug report stays cheap.
#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "forms/DialogForms.h"
#include "handset/ScreenLayouts.h"
#include "ui/qt/FormView.h"
#include "ui/qt/LabelText.h"

namespace pelasim {
namespace {

QFont screenFont(double scale) {
  QFont f(QString::fromLatin1(kHandsetScreenFont));
  f.setPointSizeF(kHandsetScreenPoints * scale);
  return f;
}

// Two texts one screen alternates between (a state's own text and the one its button writes).
struct Alternating {
  std::string name;
  std::string first, second;
};

std::string alternatingName(const ::testing::TestParamInfo<std::tuple<Alternating, double>>& info) {
  return std::get<0>(info.param).name + "_Scale" + std::to_string(static_cast<int>(std::get<1>(info.param) * 100));
}

void PrintTo(const Alternating& a, std::ostream* os) { *os << a.name; }

class ScreenText : public ::testing::TestWithParam<std::tuple<Alternating, double>> {};

TEST_P(ScreenText, WordsStayInPlaceWhenTheScreensAlternate) {
  const auto& [pair, scale] = GetParam();
  const double width = 249 * scale;
  const auto a = layoutLabelText(pair.first, screenFont(scale), width, true);
  const auto b = layoutLabelText(pair.second, screenFont(scale), width, true);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].text, b[i].text);
    EXPECT_DOUBLE_EQ(a[i].at.x(), b[i].at.x()) << "line " << i;
    EXPECT_DOUBLE_EQ(a[i].at.y(), b[i].at.y()) << "line " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ScreenText,
    ::testing::Combine(
        ::testing::Values(
            Alternating{"CalibrateQuery", "      CALIBRATE ?      YES                     NO ",
                        "     CALIBRATE ?      YES                     NO "},
            Alternating{"OpenMouthpiece", "    Open Mouthpiece!     Confirm",
                        "   Open Mouthpiece!       Confirm"},
            Alternating{"OpenValve", "    OPEN O2 VALVE  Confirm", "    OPEN O2 VALVE    Confirm"}),
        ::testing::Values(1.0, 0.72, 1.5)),
    alternatingName);

TEST(ScreenTextEdges, EveryTextKeepsOffTheScreensEdge) {
  for (double scale : {1.0, 0.72, 1.5}) {
    const double width = 249 * scale;
    for (const auto& layout : testing::screenLayouts()) {
      for (const DrawnLine& l : layoutLabelText(layout.text, screenFont(scale), width, true)) {
        if (l.text.isEmpty()) continue;
        // The label lies 8 pixels (scaled) inside the backlit screen on either side.
        EXPECT_GE(l.at.x(), 0) << layout.name << " at " << scale;
        EXPECT_LE(l.at.x() + l.width, width) << layout.name << " at " << scale;
      }
    }
    const auto diluent = layoutLabelText("     CHECK DILUENT!      Confirm    ", screenFont(scale), width, true);
    EXPECT_GE(diluent[0].at.x(), 10 * scale);  // well off the edge, centred
    EXPECT_NEAR(diluent[0].at.x() * 2 + diluent[0].width, width, 0.01);
  }
}

TEST(ScreenTextEdges, LeftAlignedLabelsKeepTheirBlanks) {
  const auto lines = layoutLabelText("  two blanks", screenFont(1), 400, false);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, QStringLiteral("  two blanks"));
  EXPECT_EQ(lines[0].at.x(), 0);
}

// The bug report's text box mirrored by the real widget.
class TypedText : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::make_unique<QWidget>();
    view = std::make_unique<FormView>(model, root.get(), QString());
    view->setTextHandler([this](int id, const std::string& t) {
      ++reads;
      model.setCaption(static_cast<BugId>(id), t);
      model.takeChanged();
    });
    view->setEventHandler([this](int, MouseEvent, const MouseArgs&) { textWhenClicked = model[BugId::Text1].caption; });
    edit = static_cast<QPlainTextEdit*>(view->widget(static_cast<int>(BugId::Text1)));
  }
  BugReportModel model;
  std::unique_ptr<QWidget> root;
  std::unique_ptr<FormView> view;
  QPlainTextEdit* edit = nullptr;
  int reads = 0;
  std::string textWhenClicked;
};

TEST_F(TypedText, KeystrokesDoNotCopyTheTextButASendSeesAllOfIt) {
  edit->setPlainText(QString(100000, QLatin1Char('x')));  // 100 kB already typed
  edit->moveCursor(QTextCursor::End);
  QTest::keyClicks(edit, QStringLiteral("abc"));
  EXPECT_EQ(reads, 0);
  auto* manualSend = static_cast<QPushButton*>(view->widget(static_cast<int>(BugId::Command2)));
  QTest::mouseClick(manualSend, Qt::LeftButton);
  EXPECT_EQ(reads, 1);
  ASSERT_EQ(textWhenClicked.size(), 100003u);
  EXPECT_EQ(textWhenClicked.substr(99998), "xxabc");
}

TEST_F(TypedText, TextTheModelWritesReplacesWhatWasTyped) {
  QTest::keyClicks(edit, QStringLiteral("draft"));
  view->flushTypedText();  // as before any click, and when the form closes
  EXPECT_EQ(model[BugId::Text1].caption, "draft");
  model.setCaption(BugId::Text1, "");
  view->sync();
  EXPECT_TRUE(edit->toPlainText().isEmpty());
  view->flushTypedText();
  EXPECT_EQ(reads, 1);  // nothing typed since
}

}  // namespace
}  // namespace pelasim
