#include "forms/DialogForms.h"

#include <array>

#include "forms/MainWindow.h"

namespace pelasim {
namespace {

using K = ElementKind;
template <class Id>
constexpr int P(Id id) {
  return static_cast<int>(id);
}

constexpr std::array<ElementDef, static_cast<std::size_t>(SplashId::Count)> kSplash = {{
    {"Splash", K::Form, -1, 0, 0, 7200, 6600},
    {"Image1", K::Picture, P(SplashId::Form), 240, 240, 1200, 1200, {}, {}, "SplashClub.jpg"},
    {"Label1", K::Label, P(SplashId::Form), 1560, 240, 4080, 600, "Orvane"},
    {"Label2", K::Label, P(SplashId::Form), 1560, 840, 4080, 675,
     "Pelagrinova Rebreather Training Simulator"},
    {"Image2", K::Picture, P(SplashId::Form), 5760, 240, 1200, 1200, {}, {}, "SplashDevice.jpg"},
    {"Label3", K::Label, P(SplashId::Form), 240, 1620, 6720, 2760, kDisclaimerWarning},
    {"Label5", K::Label, P(SplashId::Form), 240, 4500, 6720, 255, "Version"},
    {"Label4", K::Label, P(SplashId::Form), 240, 4800, 6720, 255, kLegalNotice},
    {"Label6", K::Label, P(SplashId::Form), 240, 5100, 6720, 255, kTrademarkNotice},
    {"Command1", K::Button, P(SplashId::Form), 240, 5580, 3240, 735,
     "I ACCEPT the above Warning and wish to &Continue"},
    {"Command2", K::Button, P(SplashId::Form), 3720, 5580, 3240, 735,
     "I DO NOT accept the above warning and wish to E&xit"},
}};

constexpr std::array<ElementDef, static_cast<std::size_t>(BailedId::Count)> kBailed = {{
    {"FrmBailed", K::Form, -1, 0, 0, 6630, 3090},
    {"Label1", K::Label, P(BailedId::Form), 240, 240, 6255, 1455, "Bailed !"},
    {"Command2", K::Button, P(BailedId::Form), 960, 2280, 1455, 495, "&Return to Loop"},
    {"Command1", K::Button, P(BailedId::Form), 4320, 2280, 1455, 495, "E&xit"},
}};

constexpr std::array<ElementDef, static_cast<std::size_t>(BugId::Count)> kBug = {{
    {"FrmBugReport", K::Form, -1, 0, 0, 6000, 5400, "Bug Reporting Form"},
    {"Label1", K::Label, P(BugId::Form), 240, 240, 5520, 255, "Description of Bug"},
    {"Text1", K::TextBox, P(BugId::Form), 240, 540, 5520, 2280},
    {"Label2", K::Label, P(BugId::Form), 240, 3030, 960, 255, "Severity"},
    {"Combo1", K::ComboBox, P(BugId::Form), 1260, 2970, 4500, 345},
    {"Label3", K::Label, P(BugId::Form), 240, 3480, 5520, 960},
    {"Command1", K::Button, P(BugId::Form), 240, 4560, 2640, 555, "Send Using Outlook"},
    {"Command2", K::Button, P(BugId::Form), 3120, 4560, 2640, 555, "Manual Send"},
}};

template <class Model>
void paintYellow(Model& m) {
  for (int i = 0; i < m.size(); ++i) {
    Element& e = m.FormModel::init(i);
    if (e.kind == ElementKind::Form || e.kind == ElementKind::Label) {
      e.backColour = kYellow;
      e.foreColour = kDarkBlue;
      e.transparent = e.kind == ElementKind::Label;
    }
  }
}

}  // namespace

SplashModel::SplashModel() : Form<SplashId>("Splash", kSplash) {
  paintYellow(*this);
  init(SplashId::Form).visible = false;
  init(SplashId::Label1).font = {"Liberation Sans", 28, true};
  init(SplashId::Label1).align = Align::Centre;
  init(SplashId::Label2).font = {"Liberation Sans", 13, true};
  init(SplashId::Label2).align = Align::Centre;
  init(SplashId::Label3).font = {"Liberation Sans", 10, true};
  init(SplashId::Label3).foreColour = {160, 0, 0};
  init(SplashId::Label5).align = Align::Centre;
  init(SplashId::Label4).align = Align::Centre;
  init(SplashId::Label6).align = Align::Centre;
}

BailedModel::BailedModel() : Form<BailedId>("FrmBailed", kBailed) {
  paintYellow(*this);
  init(BailedId::Form).visible = false;
  init(BailedId::Label1).font = {"Liberation Sans", 72, true};
  init(BailedId::Label1).align = Align::Centre;
}

BugReportModel::BugReportModel() : Form<BugId>("FrmBugReport", kBug) {
  paintYellow(*this);
  init(BugId::Form).visible = false;
  init(BugId::Combo1).value = -1;
}

}  // namespace pelasim
