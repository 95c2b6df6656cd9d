// The bug report form: the severity list, the report text, sending it through the mail
// program (a mailto: link) and copying it to the clipboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "app/Startup.h"
#include "dialogs/BugReport.h"
#include "dialogs/Dialogs.h"
#include "support/SimFixture.h"

namespace pelasim {
namespace {

using testing::SimTest;

const std::vector<std::string> kExpectedSeverities = {
    "5 Severe. Program cannot be used",
    "4 Major. Program difficult to use",
    "3 Annoyong. Can use program but inconveniant",
    "2 Slight. Minor inconveniance",
    "1 None. For information only",
};

// Decodes %XX escapes (for checking that a link carries the text unchanged).
std::string percentDecode(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

class BugReport : public SimTest {
 protected:
  void SetUp() override { reportBugButtonClick(sim); }
  void type(const std::string& text) { sim.bugReport.setCaption(BugId::Text1, text); }
  void pick(int severity) { sim.bugReport.setValue(BugId::Combo1, severity); }
  void press(BugId button) { dispatchBugReport(sim, button, MouseEvent::Click); }
};

TEST_F(BugReport, OpensEmptyWithTheFiveSeverities) {
  EXPECT_TRUE(sim.bugReport[BugId::Form].visible);
  EXPECT_EQ(sim.bugReport[BugId::Combo1].items, kExpectedSeverities);
  EXPECT_EQ(sim.bugReport[BugId::Combo1].value, -1);
  EXPECT_EQ(sim.bugReport[BugId::Text1].caption, "");
  EXPECT_EQ(sim.bugReport[BugId::Form].caption, "Bug Reporting Form");
  EXPECT_EQ(sim.bugReport[BugId::Command1].caption, "Send Using Outlook");
  EXPECT_EQ(sim.bugReport[BugId::Command2].caption, "Manual Send");
}

TEST_F(BugReport, ReopeningStartsAfreshWithOneListOfSeverities) {
  type("Handset froze");
  pick(1);
  sim.bugReport.setVisible(BugId::Form, false);  // closed with the window button
  reportBugButtonClick(sim);
  EXPECT_EQ(sim.bugReport[BugId::Combo1].items, kExpectedSeverities);
  EXPECT_EQ(sim.bugReport[BugId::Combo1].value, -1);
  EXPECT_EQ(sim.bugReport[BugId::Text1].caption, "");
  EXPECT_EQ(bugReportText(sim), "support@orvane-simulator.example ||  || ");
}

TEST_F(BugReport, InstructionsNameBothButtonsAndTheAddress) {
  const std::string& text = sim.bugReport[BugId::Label3].caption;
  EXPECT_NE(text.find("\"Send Using Outlook\""), std::string::npos);
  EXPECT_NE(text.find("\"Manual Send\""), std::string::npos);
  EXPECT_NE(text.find(std::string(kSupportAddress)), std::string::npos);
}

struct TextCase {
  const char* name;
  std::string description;
  int severity;
  std::string expected;
};

class ReportText : public BugReport, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ReportText, AddressDescriptionAndSeverityBetweenSeparators) {
  type(GetParam().description);
  pick(GetParam().severity);
  EXPECT_EQ(bugReportText(sim), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportText,
    ::testing::Values(
        TextCase{"Empty", "", -1, "support@orvane-simulator.example ||  || "},
        TextCase{"DescriptionOnly", "Solenoid never fires", -1,
                 "support@orvane-simulator.example || Solenoid never fires || "},
        TextCase{"SeverityOnly", "", 0,
                 "support@orvane-simulator.example ||  || 5 Severe. Program cannot be used"},
        TextCase{"Both", "Left handset stays blank", 4,
                 "support@orvane-simulator.example || Left handset stays blank || 1 None. For "
                 "information only"},
        TextCase{"MisspelledEntryKept", "x", 2,
                 "support@orvane-simulator.example || x || 3 Annoyong. Can use program but "
                 "inconveniant"},
        TextCase{"SelectionOutOfRangeReadsAsNone", "x", 5, "support@orvane-simulator.example || x || "},
        TextCase{"MultiLineKeptAsTyped", "one\ntwo", 3,
                 "support@orvane-simulator.example || one\ntwo || 2 Slight. Minor inconveniance"}),
    [](const ::testing::TestParamInfo<TextCase>& i) { return std::string(i.param.name); });

struct EncodeCase {
  const char* name;
  std::string text;
  std::string encoded;
};

class MailFieldEncoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(MailFieldEncoding, EncodesAllButUnreserved) {
  EXPECT_EQ(percentEncodeMailField(GetParam().text), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MailFieldEncoding,
    ::testing::Values(
        EncodeCase{"Unreserved", "AZaz09-._~", "AZaz09-._~"},
        EncodeCase{"Delimiters", "&?#%=+/:;@,!$'()*[]", "%26%3F%23%25%3D%2B%2F%3A%3B%40%2C%21%24%27%28%29%2A%5B%5D"},
        EncodeCase{"QuotesAndBlanks", "\"a b\"\t<>", "%22a%20b%22%09%3C%3E"},
        EncodeCase{"PipesAndBraces", "|\\^`{}", "%7C%5C%5E%60%7B%7D"},
        EncodeCase{"Utf8ByteByByte", "Überdruck café €", "%C3%9Cberdruck%20caf%C3%A9%20%E2%82%AC"},
        EncodeCase{"CrLf", "a\r\nb", "a%0D%0Ab"},
        EncodeCase{"LoneLf", "a\nb", "a%0D%0Ab"},
        EncodeCase{"LoneCr", "a\rb", "a%0D%0Ab"},
        EncodeCase{"LfThenCrIsTwoBreaks", "a\n\rb", "a%0D%0A%0D%0Ab"},
        EncodeCase{"BlankLine", "a\r\n\r\nb", "a%0D%0A%0D%0Ab"},
        EncodeCase{"TrailingCr", "a\r", "a%0D%0A"},
        EncodeCase{"ControlAndDelete", std::string("\x01\x7f\0", 3), "%01%7F%00"},
        EncodeCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<EncodeCase>& i) { return std::string(i.param.name); });

TEST_F(BugReport, MailLinkEncodesEveryField) {
  type("Tiefe & \"O2\" 100% ? #2 'x'\r\nÜber café\nEnd");
  pick(2);
  press(BugId::Command1);

  ASSERT_EQ(host.mailLinks.size(), 1u);
  const std::string& link = host.mailLinks[0];
  EXPECT_EQ(link,
            "mailto:support@orvane-simulator.example"
            "?subject=OrvanePelaSIm%20Bug%20Report"
            "&body=support%40orvane-simulator.example%20%7C%7C%20"
            "Tiefe%20%26%20%22O2%22%20100%25%20%3F%20%232%20%27x%27%0D%0A"
            "%C3%9Cber%20caf%C3%A9%0D%0AEnd"
            "%20%7C%7C%203%20Annoyong.%20Can%20use%20program%20but%20inconveniant");

  // Nothing but unreserved characters, escapes and the link's own delimiters, which each
  // appear exactly where the link's syntax puts them.
  for (char c : link) {
    const bool ok = std::isalnum(static_cast<unsigned char>(c)) || std::string_view("-._~%:?=&@").find(c) != std::string_view::npos;
    EXPECT_TRUE(ok) << "raw character '" << c << "' in the link";
  }
  EXPECT_EQ(std::count(link.begin(), link.end(), '?'), 1);
  EXPECT_EQ(std::count(link.begin(), link.end(), '&'), 1);
  EXPECT_EQ(std::count(link.begin(), link.end(), '@'), 1);

  // The body carries the report as typed, its line breaks as CR LF.
  const std::string body = link.substr(link.find("&body=") + 6);
  EXPECT_EQ(percentDecode(body),
            "support@orvane-simulator.example || Tiefe & \"O2\" 100% ? #2 'x'\r\nÜber café\r\nEnd || "
            "3 Annoyong. Can use program but inconveniant");

  // The mail program took it: the form closes and nothing is said.
  EXPECT_FALSE(sim.bugReport[BugId::Form].visible);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(BugReport, EmptyReportStillMakesAWellFormedLink) {
  press(BugId::Command1);
  ASSERT_EQ(host.mailLinks.size(), 1u);
  EXPECT_EQ(host.mailLinks[0],
            "mailto:support@orvane-simulator.example?subject=OrvanePelaSIm%20Bug%20Report"
            "&body=support%40orvane-simulator.example%20%7C%7C%20%20%7C%7C%20");
}

TEST_F(BugReport, FailedMailKeepsTheFormOpenWithTheText) {
  host.mailAccepted = false;
  type("ADV free flows at 30 m\nafter the options change");
  pick(1);
  press(BugId::Command1);

  EXPECT_EQ(host.mailLinks.size(), 1u);
  EXPECT_EQ(host.messages,
            std::vector<std::string>{"Sorry, there appears to be a problem initialising your email system"});
  EXPECT_TRUE(sim.bugReport[BugId::Form].visible);
  EXPECT_EQ(sim.bugReport[BugId::Text1].caption, "ADV free flows at 30 m\nafter the options change");
  EXPECT_EQ(sim.bugReport[BugId::Combo1].value, 1);
  EXPECT_TRUE(host.clipboard.empty());

  // The trainee falls back on the manual way with the same report.
  press(BugId::Command2);
  EXPECT_EQ(host.clipboard,
            "support@orvane-simulator.example || ADV free flows at 30 m\nafter the options change || "
            "4 Major. Program difficult to use");
  EXPECT_FALSE(sim.bugReport[BugId::Form].visible);
}

TEST_F(BugReport, ManualSendCopiesTheReportAndSaysWhereToSendIt) {
  type("Cell 2 reads 0.00");
  pick(3);
  press(BugId::Command2);

  EXPECT_EQ(host.clipboard,
            "support@orvane-simulator.example || Cell 2 reads 0.00 || 2 Slight. Minor inconveniance");
  EXPECT_EQ(host.messages,
            std::vector<std::string>{
                "Error text now copied to clipboard, go to your email program and paste the text "
                "into the text box. The email address to send to is at the start of the message"});
  EXPECT_FALSE(sim.bugReport[BugId::Form].visible);
  EXPECT_TRUE(host.mailLinks.empty());
}

TEST(MailtoLink, EncodesTheAddressPartsAroundTheAt) {
  EXPECT_EQ(mailtoLink("first+tag@example.org", "a b", "c"),
            "mailto:first%2Btag@example.org?subject=a%20b&body=c");
}

}  // namespace
}  // namespace pelasim
