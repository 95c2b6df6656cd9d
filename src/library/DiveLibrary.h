#pragma once
// The dive library: every dive of this user in one SQLite database, "dives.sqlite", kept as
// it happens (one row per recorded second, every event with its millisecond time). Plain C++
// on SQLite's C interface; no Qt. One DiveLibrary object is one connection and is used from
// one thread at a time.
//
// The file is in WAL journal mode, so a reader (the viewer) never blocks the writer (the
// simulator) and a crash or power cut loses at most the transaction being written. Its
// schema version is `PRAGMA user_version`; an older file is migrated step by step, a file of
// a newer program is opened read-only and never written.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/DiveLog.h"
#include "datafile/DataFile.h"

struct sqlite3;

namespace pelasim::library {

inline constexpr std::string_view kDatabaseName = "dives.sqlite";
// The schema this program writes.
inline constexpr int kSchemaVersion = 1;

// How a dive ended, as stored in the library.
inline constexpr std::string_view kRunning = "running";
inline constexpr std::string_view kEndedNormally = "ended normally";
inline constexpr std::string_view kEndedUnexpectedly = "ended unexpectedly";

// The folder of this user's dive library, $XDG_DATA_HOME/OrvanePelaSim: XDG_DATA_HOME when it
// is an absolute path (a relative one is ignored, as the XDG rules say), otherwise
// ~/.local/share, with the home folder from the password database when HOME is unset.
std::string defaultFolder();

// What the simulator knows of a dive when it begins.
struct NewDive {
  std::string startedAt;       // local date and time, "2026-12-07 09:30:00"
  std::string programVersion;  // "1.0.2"
  std::string trainee;         // the login name unless someone typed another
  std::string environment;     // the environment settings at the start, one readable line
};

// One line of the dive list.
struct DiveSummary {
  std::int64_t id = 0;
  std::string startedAt;
  std::string trainee;
  int seconds = 0;       // recorded seconds (the last record row)
  int maxDepth = 0;      // metres
  int warnings = 0;      // "Warning: ..." status messages
  std::string state;     // kRunning, kEndedNormally or kEndedUnexpectedly
  bool endedNormally() const { return state == kEndedNormally; }
};

class DiveLibrary {
 public:
  enum class Access {
    ReadWrite,  // the simulator: creates the folder and the file when missing
    Read,       // the viewer: never creates or changes anything but the trainee's name
  };

  // Opens `folder`/dives.sqlite. Returns nullptr with `error` set (a full sentence for the
  // user) when it cannot be opened at all. A file of a newer schema opens read-only, with
  // `error` saying so.
  static std::unique_ptr<DiveLibrary> open(const std::string& folder, Access access,
                                           std::string& error);
  ~DiveLibrary();
  DiveLibrary(const DiveLibrary&) = delete;
  DiveLibrary& operator=(const DiveLibrary&) = delete;

  const std::string& path() const { return path_; }
  bool readOnly() const { return readOnly_; }
  // The reason of the last failed call, a full sentence for the user.
  const std::string& lastError() const { return error_; }

  // Dives left "running" by a simulator that is no longer running (a crash, a power cut,
  // kill -9): marks them "ended unexpectedly" and returns them. A dive of a simulator that
  // still runs is left alone.
  std::vector<DiveSummary> closeInterruptedDives();

  // Writing (the recorder's thread). Each returns false with lastError() set on failure.
  std::optional<std::int64_t> beginDive(const NewDive& dive);
  // Stores samples and events of a dive in one transaction (one commit).
  bool append(std::int64_t diveId, const std::vector<DiveSample>& samples,
              const std::vector<DiveEvent>& events);
  bool endDive(std::int64_t diveId, std::string_view state);
  bool setTrainee(std::int64_t diveId, const std::string& trainee);

  // Lets the file grow no further, as on a full disk (tests and benchmarks).
  void simulateFullDisk();

  // Reading (the viewer).
  // Newest first; only the dives of `trainee` when it is not empty.
  std::vector<DiveSummary> list(const std::string& trainee = {});
  std::vector<std::string> trainees();
  // The lesson flown in each dive that flew one, by dive id: "TITLE: passed", "TITLE: not
  // passed", or "TITLE" when the lesson never ended.
  std::map<std::int64_t, std::string> lessons();
  std::optional<DiveSummary> summary(std::int64_t diveId);
  // The whole dive with every event; nullopt when there is no such dive.
  std::optional<DiveData> load(std::int64_t diveId);

 private:
  DiveLibrary() = default;
  bool exec(const char* sql);
  bool fail(const std::string& what);
  bool migrate(int from);

  sqlite3* db_ = nullptr;
  std::string path_;
  bool readOnly_ = false;
  std::string error_;
};

// The data file text of a dive exactly as the simulator writes it at exit: one line per
// recorded second, the last status message of each second (the later one wins), dated
// `stamp`.
// The dive as the data file's rows (rows[i] is second i + 1): the last status message of
// each second.
std::vector<datafile::Row> dataFileRows(const DiveData& dive);
std::string dataFileText(const DiveData& dive, int year, int month, int day, int hour, int minute,
                         int second);

// The login name of the user running the program ("" when unknown).
std::string loginName();
// This process's identity for "is the simulator that owns this dive still running?".
struct ProcessId {
  std::int64_t pid = 0;
  std::int64_t started = 0;  // start time of the process in clock ticks since boot
};
ProcessId thisProcess();
bool isRunning(const ProcessId& p);

}  // namespace pelasim::library
