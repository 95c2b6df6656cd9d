#include "app/Startup.h"

#include <cstdio>
#include <cmath>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "core/Format.h"
#include "core/Messages.h"
#include "dialogs/Dialogs.h"
#include "forms/DialogForms.h"
#include "record/DiveRecord.h"
#include "datafile/DataFile.h"
#include "sim/Simulation.h"

namespace pelasim {
namespace {

// A stored setting is used when it is a finite number within [lo, hi]; otherwise (missing,
// text, NaN, infinity, out of range) the default applies.
double settingOr(Simulation& sim, const char* key, double fallback, double lo, double hi) {
  const std::optional<std::string> text = sim.host.readSetting(key);
  if (!text) return fallback;
  const std::optional<double> v = fmt::parseNumber(*text);
  if (!v || *v < lo || *v > hi) return fallback;
  return *v;
}

std::string padded(std::string_view s) { return "  " + std::string(s) + "  "; }

}  // namespace

void loadSettings(Simulation& sim) {
  State& st = sim.st;
  // Sane ranges: minutes are never negative; a handset battery holds 0 to 10 volts.
  st.scrubberMinutes = settingOr(sim, kSettingCO2, 14, 0, 1e7);
  st.handset(Side::Left).onTimeMinutes = settingOr(sim, kSettingLeftTimer, 14, 0, 1e7);
  st.handset(Side::Left).batteryVolts = settingOr(sim, kSettingLeftBattery, 6.2, 0, 10);
  st.handset(Side::Right).batteryVolts = settingOr(sim, kSettingRightBattery, 6.2, 0, 10);
}

bool saveSettings(Simulation& sim) {
  const State& st = sim.st;
  bool ok = sim.host.writeSetting(kSettingCO2, fmt::shortest(st.scrubberMinutes));
  ok = sim.host.writeSetting(kSettingLeftTimer,
                             fmt::shortest(st.handset(Side::Left).onTimeMinutes.value_or(0))) && ok;
  ok = sim.host.writeSetting(kSettingLeftBattery, fmt::shortest(st.handset(Side::Left).batteryVolts)) && ok;
  ok = sim.host.writeSetting(kSettingRightBattery, fmt::shortest(st.handset(Side::Right).batteryVolts)) && ok;
  return ok;
}

namespace {

// Environment, loop, valves and the handsets' power, role and brightness as they start.
void resetEnvironmentAndLoop(State& st, const State& fresh) {
  const HandsetRecord& freshHandset = fresh.handset(Side::Left);
  st.depthStep = fresh.depthStep;
  st.mouthpieceState = fresh.mouthpieceState;
  st.breathing = fresh.breathing;
  st.depthMetres = fresh.depthMetres;
  st.surfacePressureMb = fresh.surfacePressureMb;
  st.oxygenAnalysisPercent = fresh.oxygenAnalysisPercent;
  st.metabolicRate = fresh.metabolicRate;
  for (Side side : {Side::Left, Side::Right}) {
    HandsetRecord& h = st.handset(side);
    h.power = freshHandset.power;
    h.role = freshHandset.role;
    h.brightness = freshHandset.brightness;
  }
  st.counterlungPercent = fresh.counterlungPercent;
  st.soundOn = fresh.soundOn;
  st.loopPO2 = fresh.loopPO2;
  st.loopCapacity = fresh.loopCapacity;
  st.oxygenValveState = fresh.oxygenValveState;
  st.diluentValveState = fresh.diluentValveState;
}

// The oxygen cells: output in air, start output and a fixed offset of random sign. These are
// the first nine draws of the run, in this order.
void drawCells(Simulation& sim, const State& fresh) {
  State& st = sim.st;
  static constexpr double kAirBase[4] = {0, 10.2, 11.0, 9.1};
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].airMillivolts = sim.random() + kAirBase[c];
  for (int c = 1; c <= 3; ++c) st.cells[static_cast<std::size_t>(c)].millivolts = Cell{}.millivolts;
  for (int c = 1; c <= 3; ++c)
    st.cells[static_cast<std::size_t>(c)].offsetMillivolts = static_cast<float>(sim.random());
  for (int c = 1; c <= 3; ++c) {
    Cell& cell = st.cells[static_cast<std::size_t>(c)];
    if (sim.random() >= 0.5) cell.offsetMillivolts = 0 - cell.offsetMillivolts;
  }
  st.cellDriftRate = fresh.cellDriftRate;
}

// Each handset starts with its own readings and calibration factors, and the same setpoints.
void resetHandsetReadings(State& st, const State& fresh) {
  const HandsetRecord& freshHandset = fresh.handset(Side::Left);
  HandsetRecord& l = st.handset(Side::Left);
  HandsetRecord& r = st.handset(Side::Right);
  l.cellPO2 = {0, 0.21, 0.2, 0.21};
  r.cellPO2 = {0, 0.2, 0.21, 0.21};
  l.cellCalibration = {0, 0.02058, 0.01818, 0.02307};
  r.cellCalibration = {0, 0.0196, 0.01909, 0.02307};
  l.highSetpoint = r.highSetpoint = freshHandset.highSetpoint;
  l.lowSetpoint = r.lowSetpoint = freshHandset.lowSetpoint;
}

// The setpoint in use, the failure modes and the record row as they start.
void resetSetpointFaultsAndRecord(State& st, const State& fresh) {
  st.currentSetpoint = fresh.currentSetpoint;
  st.darkAtDepthFault = fresh.darkAtDepthFault;
  st.slowCellNumber = fresh.slowCellNumber;
  st.advFailedFault = fresh.advFailedFault;
  st.diluentInjectorFailedFault = fresh.diluentInjectorFailedFault;
  st.o2InjectorFailedFault = fresh.o2InjectorFailedFault;
  st.advFreeFlowFault = fresh.advFreeFlowFault;
  st.diluentInjectorStuckOnFault = fresh.diluentInjectorStuckOnFault;
  st.o2InjectorStuckOnFault = fresh.o2InjectorStuckOnFault;
  st.recordRow = fresh.recordRow;
}

}  // namespace

void startUp(Simulation& sim) {
  State& st = sim.st;
  MainWindowModel& win = sim.win;

  // 1. Status bar: version, product name and legal notice.
  win.setCaption(element::versionPanel, padded("Version " + versionText()));
  win.setCaption(element::titlePanel, padded("Orvane Pelagrinova Simulator"));
  win.setCaption(element::noticePanel, padded(kLegalNotice));

  // 2. The handset screen texts.
  st.handsetMessages = handsetMessageTable();

  // 3. Persistent settings.
  loadSettings(sim);

  // 4. Environment, loop and valves. Every start value is the one a fresh state holds.
  const State fresh{};
  resetEnvironmentAndLoop(st, fresh);

  // 5. The valve state captions are hidden until a valve is used.
  win.setVisible(element::oxygenValveCaption, false);
  win.setVisible(element::diluentValveCaption, false);
  // At the surface there is nothing shallower: the up arrow of the depth shows from 1 m on.
  win.setVisible(element::shallowerArrow, false);

  // 6. The solenoid works.
  st.solenoidFault = fresh.solenoidFault;

  // 7. Oxygen cells (the first nine draws of the run).
  drawCells(sim, fresh);

  // 8. Handset readings, calibration factors and setpoints.
  resetHandsetReadings(st, fresh);

  // 9. Calibration menus.
  st.calibrationPressureMb = fresh.calibrationPressureMb;
  st.calibrationOxygenPercent = fresh.calibrationOxygenPercent;

  // 10. Handset screens.
  st.screenBackColour = fresh.screenBackColour;
  win.setFillColour(element::leftBacklight, st.screenBackColour);
  win.setFillColour(element::rightBacklight, st.screenBackColour);

  // 11. Setpoint, faults and the record.
  resetSetpointFaultsAndRecord(st, fresh);
}

bool afterDisclaimer(Simulation& sim) {
  if (!sim.st.disclaimerAnswer) {
    // Refused: nothing is saved and no data file is written.
    sim.ended = true;
    sim.host.endProgram({});
    return false;
  }
  sim.win.setVisible(Main::Form, true);
  return true;
}

std::int64_t dataFileStamp(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

std::string datedDataFilePath(const std::string& path, const LocalDateTime& when) {
  namespace fs = std::filesystem;
  const fs::path p(path);
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "-%04d-%02d-%02d-%02d%02d%02d", when.year, when.month,
                when.day, when.hour, when.minute, when.second);
  std::error_code ec;
  for (int n = 1;; ++n) {
    const std::string name = p.stem().string() + stamp + (n > 1 ? "-" + std::to_string(n) : "") +
                             p.extension().string();
    const fs::path candidate = p.parent_path() / name;
    if (!fs::exists(candidate, ec) || n >= 1000) return candidate.string();
  }
}

std::string writeDataFileSafely(Simulation& sim, const std::string& firstPath,
                                const ExitOptions& options) {
  namespace fs = std::filesystem;
  const std::string text = dataFileText(sim);
  std::string path = firstPath;
  const auto shownPath = [](const std::string& p) {
    std::error_code ec;
    const std::string abs = fs::absolute(p, ec).string();
    return ec ? p : abs;
  };
  // A read-only file, or one another simulator wrote during this dive, is not replaced
  // without asking: by default this dive goes beside it.
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) {
    // Read-only for its owner (root may write it anyway, but was told not to) or for us.
    struct stat info {};
    const bool readOnly = ::access(path.c_str(), W_OK) != 0 ||
                          (::stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0);
    const bool someoneElse =
        options.dataFileStampAtStart >= 0 && dataFileStamp(path) != options.dataFileStampAtStart;
    if (readOnly || someoneElse) {
      const std::string beside = datedDataFilePath(path, sim.host.localDateTime());
      const std::string why =
          readOnly ? "The data file\n" + shownPath(path) + "\nis read-only."
                   : "Another simulator has written the data file\n" + shownPath(path) +
                         "\nsince this dive began.";
      if (options.noQuestions ||
          !sim.host.ask(why + "\n\nDo you want to replace it with this dive?\nIf you answer No, "
                              "this dive is saved beside it as\n" +
                        fs::path(beside).filename().string()))
        path = beside;
    }
  }
  bool triedBeside = path != firstPath, triedFallback = false;
  for (;;) {
    const datafile::WriteOutcome out = datafile::writeFileAtomically(path, text);
    if (out.ok) return path;
    if (options.noQuestions) {
      // Nobody to ask: a dated name beside it, then the fallback folder.
      if (!triedBeside) {
        triedBeside = true;
        path = datedDataFilePath(firstPath, sim.host.localDateTime());
      } else if (!triedFallback && !options.fallbackFolder.empty()) {
        triedFallback = true;
        fs::create_directories(options.fallbackFolder, ec);
        path = datedDataFilePath((fs::path(options.fallbackFolder) / fs::path(firstPath).filename()).string(),
                                 sim.host.localDateTime());
      } else {
        return {};
      }
      continue;
    }
    const std::string question =
        "The dive record could not be saved to\n" + shownPath(path) + "\n\nReason: " +
        out.error +
        "\n\nDo you want to save it somewhere else?\nIf you answer No, the record of this dive "
        "is lost.";
    if (!sim.host.ask(question)) return {};
    const std::string chosen =
        sim.host.chooseSavePath(std::filesystem::path(path).filename().string());
    if (!chosen.empty()) path = chosen;
  }
}

void exitRoutine(Simulation& sim, const ExitOptions& options) {
  if (sim.ended) return;
  // 1. Settings.
  if (!saveSettings(sim) && !options.noQuestions)
    sim.host.message("The simulator settings could not be saved; the next run starts from "
                     "the stored or default values.");
  // 2. The data file, in the current folder.
  const std::string written = writeDataFileSafely(sim, std::string(datafile::kFileName), options);
  // 3. to 5. Hide the main window and hand over to the results viewer. The "Bailed !"
  // dialog goes too: it stays in front and would otherwise cover the results.
  sim.win.setVisible(Main::Form, false);
  sim.bailed.setVisible(BailedId::Form, false);
  sim.ended = true;
  sim.host.endProgram(written);
}

void soundBoxClick(Simulation& sim) { sim.st.soundOn = sim.ticked(element::soundBox); }

void optionsButtonClick(Simulation& sim) { sim.options.setVisible(Opt::Form, true); }

void reportBugButtonClick(Simulation& sim) {
  bugReportLoad(sim);
  sim.bugReport.setVisible(BugId::Form, true);
}

void eventPumpTick(Simulation& sim) { sim.host.processEvents(); }

void solenoidNoiseTick(Simulation& sim) {
  sim.stop(SoundChannel::Injector);
  sim.disable(TimerId::MakeNoiseSolenoidTimer);
}

}  // namespace pelasim
