#pragma once
// The models of the auxiliary dialogs: the start-up disclaimer `Splash`, the bail-out dialog
// `FrmBailed` and the bug report form `FrmBugReport`.

#include <string_view>

#include "forms/FormModel.h"

namespace pelasim {

enum class SplashId : int {
  Form, Image1, Label1, Label2, Image2, Label3, Label5, Label4, Label6, Command1, Command2, Count
};

enum class BailedId : int { Form, Label1, Command2, Command1, Count };

enum class BugId : int { Form, Label1, Text1, Label2, Combo1, Label3, Command1, Command2, Count };

inline constexpr std::string_view kDisclaimerWarning =
    "WARNING: Rebreathers are complicated Life Support Equipment. Rebreathers require all users "
    "to receive theory and practical training before they are used. This software is designed "
    "as part of the Zazazud Pelagrinova Rebreather Training program and is not a substitute "
    "for the full training program. Users must understand that failure to understand, prepare, "
    "use and maintain a rebreather as per their instruction WILL result in injury or death. "
    "Neither the Orvane or the author can accept any responsibility for any loss, injury or "
    "death resulting from the use of this training aid";
inline constexpr std::string_view kLegalNotice =
    "(c) 2002-2026 Orvane Simulator Authors. All rights reserved.";
inline constexpr std::string_view kTrademarkNotice =
    "Pelagrinova is a trademark of its owner, used here for training only.";

class SplashModel : public Form<SplashId> {
 public:
  SplashModel();
};

class BailedModel : public Form<BailedId> {
 public:
  BailedModel();
};

class BugReportModel : public Form<BugId> {
 public:
  BugReportModel();
};

}  // namespace pelasim
