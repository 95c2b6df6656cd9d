#pragma once
// The bug report: where reports go, the severity list and the mailto: link that hands a
// report to the desktop's mail program.

#include <array>
#include <string>
#include <string_view>

namespace pelasim {

// The one address bug reports are sent to.
inline constexpr std::string_view kSupportAddress = "support@orvane-simulator.example";

inline constexpr std::string_view kBugReportSubject = "OrvanePelaSIm Bug Report";

// The severity list of `Combo1`, most severe first, worded as the trainee sees it.
inline constexpr std::array<std::string_view, 5> kSeverities = {
    "5 Severe. Program cannot be used",
    "4 Major. Program difficult to use",
    "3 Annoyong. Can use program but inconveniant",
    "2 Slight. Minor inconveniance",
    "1 None. For information only",
};

// Separator between the address, the description and the severity in a report.
inline constexpr std::string_view kReportSeparator = " || ";

inline constexpr std::string_view kMailFailedMessage =
    "Sorry, there appears to be a problem initialising your email system";
inline constexpr std::string_view kCopiedMessage =
    "Error text now copied to clipboard, go to your email program and paste the text into the "
    "text box. The email address to send to is at the start of the message";

// The instruction line of the form, naming both ways of sending and the address.
std::string bugReportInstructions();

// Percent-encodes every byte outside the unreserved characters (letters, digits, "-", ".",
// "_", "~"); UTF-8 text is encoded byte by byte. Line breaks (CR LF, a lone LF or a lone CR)
// become "%0D%0A", as mail bodies want them.
std::string percentEncodeMailField(std::string_view text);

// mailto: link for one message to `address` with `subject` and `body`, every field
// percent-encoded; the "@" of the address stays as the separator of its two parts.
std::string mailtoLink(std::string_view address, std::string_view subject, std::string_view body);

}  // namespace pelasim
