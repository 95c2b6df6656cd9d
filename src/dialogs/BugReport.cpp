// The bug report form: the trainee describes a problem, picks a severity and sends the report
// to support, through the desktop's mail program or by pasting it into any mail.
#include "dialogs/BugReport.h"

#include "dialogs/Dialogs.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

void appendEscaped(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

}  // namespace

std::string bugReportInstructions() {
  return "If this computer has a mail program, press \"Send Using Outlook\" to send the report "
         "with it. Otherwise press \"Manual Send\": the report is copied to the clipboard; paste "
         "it into a new mail to " +
         std::string(kSupportAddress) + ".";
}

std::string percentEncodeMailField(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      out += "%0D%0A";
      // CR LF is one line break.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      appendEscaped(out, c);
    }
  }
  return out;
}

std::string mailtoLink(std::string_view address, std::string_view subject, std::string_view body) {
  // The local part and the domain are encoded on their own; the "@" between them is the
  // address's own syntax and stays as it is.
  std::string to;
  const std::size_t at = address.rfind('@');
  if (at == std::string_view::npos) {
    to = percentEncodeMailField(address);
  } else {
    to = percentEncodeMailField(address.substr(0, at)) + "@" +
         percentEncodeMailField(address.substr(at + 1));
  }
  return "mailto:" + to + "?subject=" + percentEncodeMailField(subject) +
         "&body=" + percentEncodeMailField(body);
}

void bugReportLoad(Simulation& sim) {
  sim.bugReport.setCaption(BugId::Label3, bugReportInstructions());
  BugReportModel& form = sim.bugReport;
  form.setItems(BugId::Combo1, {kSeverities.begin(), kSeverities.end()});
  form.setValue(BugId::Combo1, -1);
  form.setCaption(BugId::Text1, "");
}

std::string bugReportText(const Simulation& sim) {
  const BugReportModel& form = sim.bugReport;
  const Element& combo = form[BugId::Combo1];
  std::string severity;
  if (combo.value >= 0 && combo.value < static_cast<int>(combo.items.size()))
    severity = combo.items[static_cast<std::size_t>(combo.value)];
  return std::string(kSupportAddress) + std::string(kReportSeparator) + form[BugId::Text1].caption +
         std::string(kReportSeparator) + severity;
}

void bugReportSendMail(Simulation& sim) {
  const std::string link = mailtoLink(kSupportAddress, kBugReportSubject, bugReportText(sim));
  if (!sim.host.openMailLink(link)) {
    // The form stays open with the trainee's text, so "Manual Send" is still at hand.
    sim.host.message(std::string(kMailFailedMessage));
    return;
  }
  sim.bugReport.setVisible(BugId::Form, false);
}

void bugReportManualSend(Simulation& sim) {
  sim.host.setClipboard(bugReportText(sim));
  sim.host.message(std::string(kCopiedMessage));
  sim.bugReport.setVisible(BugId::Form, false);
}

}  // namespace pelasim
