#include "library/DiveLibrary.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <system_error>

#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include "datafile/DataFile.h"

namespace pelasim::library {
namespace {

// A prepared statement that finalizes itself.
class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
  ~Stmt() { sqlite3_finalize(s_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  bool ok() const { return s_ != nullptr; }
  Stmt& bind(int i, std::int64_t v) { sqlite3_bind_int64(s_, i, v); return *this; }
  Stmt& bind(int i, int v) { sqlite3_bind_int(s_, i, v); return *this; }
  Stmt& bind(int i, double v) { sqlite3_bind_double(s_, i, v); return *this; }
  Stmt& bind(int i, std::string_view v) {
    sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Stmt& bindNull(int i) { sqlite3_bind_null(s_, i); return *this; }
  int step() { return s_ ? sqlite3_step(s_) : SQLITE_ERROR; }
  void reset() { sqlite3_reset(s_); }
  std::int64_t i64(int c) { return sqlite3_column_int64(s_, c); }
  int i32(int c) { return sqlite3_column_int(s_, c); }
  double dbl(int c) { return sqlite3_column_double(s_, c); }
  bool isNull(int c) { return sqlite3_column_type(s_, c) == SQLITE_NULL; }
  std::string text(int c) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s_, c));
    return t ? std::string(t, static_cast<std::size_t>(sqlite3_column_bytes(s_, c))) : std::string();
  }

 private:
  sqlite3_stmt* s_ = nullptr;
};

// Schema steps: kSteps[v] takes a library of version v to v + 1.
constexpr const char* kSteps[] = {
    // 0 -> 1: dives, their per-second samples and their events.
    R"sql(
CREATE TABLE dives(
  id INTEGER PRIMARY KEY,
  started_at TEXT NOT NULL,
  program_version TEXT NOT NULL,
  trainee TEXT NOT NULL,
  environment TEXT NOT NULL,
  state TEXT NOT NULL,
  owner_pid INTEGER NOT NULL DEFAULT 0,
  owner_started INTEGER NOT NULL DEFAULT 0,
  seconds INTEGER NOT NULL DEFAULT 0,
  max_depth INTEGER NOT NULL DEFAULT 0,
  warnings INTEGER NOT NULL DEFAULT 0);
CREATE INDEX dives_by_start ON dives(started_at, id);
CREATE INDEX dives_by_trainee ON dives(trainee, started_at);
CREATE TABLE samples(
  dive_id INTEGER NOT NULL REFERENCES dives(id) ON DELETE CASCADE,
  second INTEGER NOT NULL,
  real_po2 REAL NOT NULL,
  handset_po2 REAL,
  depth INTEGER NOT NULL,
  setpoint REAL NOT NULL,
  loop_volume REAL NOT NULL,
  PRIMARY KEY(dive_id, second)) WITHOUT ROWID;
CREATE TABLE events(
  dive_id INTEGER NOT NULL REFERENCES dives(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL,
  ms INTEGER NOT NULL,
  second INTEGER NOT NULL,
  kind INTEGER NOT NULL,
  text TEXT NOT NULL,
  detail TEXT NOT NULL DEFAULT '',
  PRIMARY KEY(dive_id, seq)) WITHOUT ROWID;
)sql",
};
static_assert(std::size(kSteps) == kSchemaVersion);

bool isWarning(const DiveEvent& e) {
  return e.kind == EventKind::Status && e.text.rfind("Warning:", 0) == 0;
}

DiveSummary summaryFrom(Stmt& s) {
  DiveSummary d;
  d.id = s.i64(0);
  d.startedAt = s.text(1);
  d.trainee = s.text(2);
  d.seconds = s.i32(3);
  d.maxDepth = s.i32(4);
  d.warnings = s.i32(5);
  d.state = s.text(6);
  return d;
}

constexpr const char* kSummaryColumns =
    "SELECT id, started_at, trainee, seconds, max_depth, warnings, state FROM dives ";

}  // namespace

DiveLibrary::~DiveLibrary() { sqlite3_close_v2(db_); }

bool DiveLibrary::fail(const std::string& what) {
  const int code = db_ ? sqlite3_errcode(db_) & 0xff : SQLITE_ERROR;
  std::string reason = db_ ? sqlite3_errmsg(db_) : "it could not be opened";
  if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
    reason = "the file is damaged (" + reason + ")";
  else if (code == SQLITE_FULL)
    reason = "the disk is full";
  else if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_PERM)
    reason = "it may not be written here (" + reason + ")";
  else if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
    reason = "another program holds it locked";
  error_ = what + ": " + reason;
  return false;
}

bool DiveLibrary::exec(const char* sql) {
  char* msg = nullptr;
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &msg);
  sqlite3_free(msg);
  return rc == SQLITE_OK;
}

std::unique_ptr<DiveLibrary> DiveLibrary::open(const std::string& folder, Access access,
                                               std::string& error) {
  namespace fs = std::filesystem;
  std::unique_ptr<DiveLibrary> lib(new DiveLibrary);
  lib->path_ = (fs::path(folder) / kDatabaseName).string();
  std::error_code ec;
  if (access == Access::ReadWrite) {
    fs::create_directories(folder, ec);
    if (ec) {
      error = "the folder " + folder + " could not be made (" + ec.message() + ")";
      return nullptr;
    }
  } else if (!fs::exists(lib->path_, ec)) {
    error = "there is no dive library yet at " + lib->path_;
    return nullptr;
  }
  int flags = SQLITE_OPEN_READWRITE | (access == Access::ReadWrite ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(lib->path_.c_str(), &lib->db_, flags, nullptr);
  if (rc != SQLITE_OK && access == Access::Read) {
    sqlite3_close_v2(lib->db_);
    lib->db_ = nullptr;
    rc = sqlite3_open_v2(lib->path_.c_str(), &lib->db_, SQLITE_OPEN_READONLY, nullptr);
  }
  if (rc != SQLITE_OK) {
    lib->fail("the dive library " + lib->path_ + " could not be opened");
    error = lib->error_;
    return nullptr;
  }
  sqlite3_extended_result_codes(lib->db_, 0);
  // Another simulator may be committing its second: wait for it a little.
  sqlite3_busy_timeout(lib->db_, 1000);

  int version = -1;
  {
    Stmt s(lib->db_, "PRAGMA user_version");
    if (s.step() == SQLITE_ROW) version = s.i32(0);
  }
  if (version < 0) {
    lib->fail("the dive library " + lib->path_ + " could not be read");
    error = lib->error_;
    return nullptr;
  }
  lib->readOnly_ = sqlite3_db_readonly(lib->db_, "main") == 1;
  if (version > kSchemaVersion) {
    // A newer program's library: read it if its tables still fit, never write to it.
    sqlite3_close_v2(lib->db_);
    lib->db_ = nullptr;
    if (sqlite3_open_v2(lib->path_.c_str(), &lib->db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      lib->fail("the dive library " + lib->path_ + " could not be opened");
      error = lib->error_;
      return nullptr;
    }
    sqlite3_busy_timeout(lib->db_, 1000);
    lib->readOnly_ = true;
    error = "the dive library " + lib->path_ + " was made by a newer version of the simulator "
            "(library version " + std::to_string(version) + ", this program knows up to " +
            std::to_string(kSchemaVersion) + "); it is only read, never changed";
    lib->error_ = error;
    return lib;
  }
  if (lib->readOnly_) return lib;
  if (access == Access::ReadWrite) {
    // WAL: readers never block the writer; FULL: a commit is on the disk when it returns,
    // so a power cut loses at most the second being written.
    Stmt wal(lib->db_, "PRAGMA journal_mode=WAL");
    if (wal.step() != SQLITE_ROW) {
      lib->fail("the dive library " + lib->path_ + " could not be prepared");
      error = lib->error_;
      return nullptr;
    }
    lib->exec("PRAGMA synchronous=FULL");
  }
  lib->exec("PRAGMA foreign_keys=ON");
  // Only the simulator migrates: a viewer reads what is there.
  if (access == Access::ReadWrite && version < kSchemaVersion && !lib->migrate(version)) {
    error = lib->error_;
    return nullptr;
  }
  return lib;
}

bool DiveLibrary::migrate(int from) {
  if (!exec("BEGIN IMMEDIATE")) return fail("the dive library " + path_ + " could not be prepared");
  // Someone else may have migrated it meanwhile.
  int now = from;
  {
    Stmt s(db_, "PRAGMA user_version");
    if (s.step() == SQLITE_ROW) now = s.i32(0);
  }
  for (int v = now; v < kSchemaVersion; ++v) {
    if (!exec(kSteps[v])) {
      fail("the dive library " + path_ + " could not be prepared");
      exec("ROLLBACK");
      return false;
    }
  }
  const std::string setVersion = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
  if (!exec(setVersion.c_str()) || !exec("COMMIT")) {
    fail("the dive library " + path_ + " could not be prepared");
    exec("ROLLBACK");
    return false;
  }
  return true;
}

void DiveLibrary::simulateFullDisk() {
  int pages = 0;
  {
    Stmt s(db_, "PRAGMA page_count");
    if (s.step() == SQLITE_ROW) pages = s.i32(0);
  }
  const std::string sql = "PRAGMA max_page_count=" + std::to_string(std::max(pages, 1));
  Stmt s(db_, sql.c_str());
  s.step();
}

std::vector<DiveSummary> DiveLibrary::closeInterruptedDives() {
  std::vector<DiveSummary> closed;
  if (readOnly_) return closed;
  std::vector<std::pair<DiveSummary, ProcessId>> running;
  {
    Stmt s(db_, "SELECT id, started_at, trainee, seconds, max_depth, warnings, state, owner_pid, "
                "owner_started FROM dives WHERE state = 'running' ORDER BY id");
    while (s.step() == SQLITE_ROW) running.emplace_back(summaryFrom(s), ProcessId{s.i64(7), s.i64(8)});
  }
  for (auto& [dive, owner] : running) {
    if (isRunning(owner)) continue;
    Stmt u(db_, "UPDATE dives SET state = ?1 WHERE id = ?2 AND state = 'running'");
    u.bind(1, kEndedUnexpectedly).bind(2, dive.id);
    if (u.step() != SQLITE_DONE) {
      fail("the dive library " + path_ + " could not be written");
      break;
    }
    dive.state = kEndedUnexpectedly;
    closed.push_back(dive);
  }
  return closed;
}

std::optional<std::int64_t> DiveLibrary::beginDive(const NewDive& dive) {
  const ProcessId me = thisProcess();
  Stmt s(db_, "INSERT INTO dives(started_at, program_version, trainee, environment, state, "
              "owner_pid, owner_started) VALUES(?1, ?2, ?3, ?4, 'running', ?5, ?6)");
  s.bind(1, dive.startedAt).bind(2, dive.programVersion).bind(3, dive.trainee);
  s.bind(4, dive.environment).bind(5, me.pid).bind(6, me.started);
  if (s.step() != SQLITE_DONE) {
    fail("the dive could not be added to the dive library " + path_);
    return std::nullopt;
  }
  return sqlite3_last_insert_rowid(db_);
}

bool DiveLibrary::append(std::int64_t diveId, const std::vector<DiveSample>& samples,
                         const std::vector<DiveEvent>& events) {
  const std::string what = "the dive library " + path_ + " could not be written";
  if (!exec("BEGIN IMMEDIATE")) return fail(what);
  // The reason is taken at the failing step: a rollback would clear it.
  bool ok = true;
  const auto stepped = [&](Stmt& st) {
    if (!ok) return false;
    if (st.step() == SQLITE_DONE) return true;
    fail(what);
    return ok = false;
  };
  int lastSecond = 0, deepest = 0, warnings = 0;
  if (!samples.empty()) {
    Stmt s(db_, "INSERT OR REPLACE INTO samples VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const DiveSample& x : samples) {
      s.bind(1, diveId).bind(2, x.second).bind(3, x.realPO2);
      if (x.handsetPO2) s.bind(4, *x.handsetPO2);
      else s.bindNull(4);
      s.bind(5, x.depth).bind(6, x.setpoint).bind(7, x.loopVolume);
      if (!stepped(s)) break;
      s.reset();
      lastSecond = std::max(lastSecond, x.second);
      deepest = std::max(deepest, x.depth);
    }
  }
  if (ok && !events.empty()) {
    Stmt s(db_, "INSERT INTO events VALUES(?1, (SELECT COALESCE(MAX(seq), 0) + 1 FROM events "
                "WHERE dive_id = ?1), ?2, ?3, ?4, ?5, ?6)");
    for (const DiveEvent& e : events) {
      s.bind(1, diveId).bind(2, static_cast<std::int64_t>(e.ms)).bind(3, e.second);
      s.bind(4, static_cast<int>(e.kind)).bind(5, e.text).bind(6, e.detail);
      if (!stepped(s)) break;
      s.reset();
      if (isWarning(e)) ++warnings;
    }
  }
  if (ok) {
    Stmt s(db_, "UPDATE dives SET seconds = MAX(seconds, ?2), max_depth = MAX(max_depth, ?3), "
                "warnings = warnings + ?4 WHERE id = ?1");
    s.bind(1, diveId).bind(2, lastSecond).bind(3, deepest).bind(4, warnings);
    stepped(s);
  }
  if (ok && !exec("COMMIT")) {
    fail(what);
    ok = false;
  }
  if (!ok) exec("ROLLBACK");
  return ok;
}

bool DiveLibrary::endDive(std::int64_t diveId, std::string_view state) {
  Stmt s(db_, "UPDATE dives SET state = ?2 WHERE id = ?1");
  s.bind(1, diveId).bind(2, state);
  if (s.step() == SQLITE_DONE) return true;
  return fail("the dive could not be closed in the dive library " + path_);
}

bool DiveLibrary::setTrainee(std::int64_t diveId, const std::string& trainee) {
  Stmt s(db_, "UPDATE dives SET trainee = ?2 WHERE id = ?1");
  s.bind(1, diveId).bind(2, trainee);
  if (s.step() == SQLITE_DONE) return true;
  return fail("the trainee's name could not be stored in the dive library " + path_);
}

std::vector<DiveSummary> DiveLibrary::list(const std::string& trainee) {
  std::vector<DiveSummary> out;
  const std::string sql = std::string(kSummaryColumns) +
                          (trainee.empty() ? "" : "WHERE trainee = ?1 ") +
                          "ORDER BY started_at DESC, id DESC";
  Stmt s(db_, sql.c_str());
  if (!s.ok()) {
    fail("the dive library " + path_ + " could not be read");
    return out;
  }
  if (!trainee.empty()) s.bind(1, trainee);
  int rc;
  while ((rc = s.step()) == SQLITE_ROW) out.push_back(summaryFrom(s));
  if (rc != SQLITE_DONE) fail("the dive library " + path_ + " could not be read");
  return out;
}

std::vector<std::string> DiveLibrary::trainees() {
  std::vector<std::string> out;
  Stmt s(db_, "SELECT DISTINCT trainee FROM dives ORDER BY trainee");
  while (s.step() == SQLITE_ROW) out.push_back(s.text(0));
  return out;
}

std::map<std::int64_t, std::string> DiveLibrary::lessons() {
  std::map<std::int64_t, std::string> out;
  // Notes the lesson writes: its start (detail "TITLE; file ...") and its end ("TITLE: passed").
  static_assert(note::kLessonStarted == "Lesson started" && note::kLessonEnded == "Lesson ended");
  Stmt s(db_,
         "SELECT dive_id, text, detail FROM events WHERE kind = 3 AND "
         "text IN ('Lesson started', 'Lesson ended') ORDER BY dive_id, seq");
  while (s.step() == SQLITE_ROW) {
    const std::int64_t id = s.i64(0);
    const std::string text = s.text(1), detail = s.text(2);
    if (text == note::kLessonStarted) {
      if (out.count(id) == 0) out[id] = detail.substr(0, detail.find("; file "));
    } else {
      out[id] = detail;
    }
  }
  return out;
}

std::optional<DiveSummary> DiveLibrary::summary(std::int64_t diveId) {
  const std::string sql = std::string(kSummaryColumns) + "WHERE id = ?1";
  Stmt s(db_, sql.c_str());
  s.bind(1, diveId);
  if (s.step() != SQLITE_ROW) return std::nullopt;
  return summaryFrom(s);
}

std::optional<DiveData> DiveLibrary::load(std::int64_t diveId) {
  DiveData d;
  {
    Stmt s(db_, "SELECT started_at, trainee, program_version, state FROM dives WHERE id = ?1");
    s.bind(1, diveId);
    if (s.step() != SQLITE_ROW) {
      fail("the dive could not be read from the dive library " + path_);
      return std::nullopt;
    }
    d.info.id = diveId;
    d.info.startedAt = s.text(0);
    d.info.trainee = s.text(1);
    d.info.programVersion = s.text(2);
    d.info.endedNormally = s.text(3) == kEndedNormally;
    d.info.source = path_;
  }
  {
    Stmt s(db_, "SELECT second, real_po2, handset_po2, depth, setpoint, loop_volume FROM samples "
                "WHERE dive_id = ?1 ORDER BY second");
    s.bind(1, diveId);
    while (s.step() == SQLITE_ROW) {
      DiveSample x{s.i32(0), s.dbl(1), std::nullopt, s.i32(3), s.dbl(4), s.dbl(5)};
      if (!s.isNull(2)) x.handsetPO2 = s.dbl(2);
      d.samples.push_back(x);
    }
  }
  {
    Stmt s(db_, "SELECT ms, second, kind, text, detail FROM events WHERE dive_id = ?1 ORDER BY seq");
    s.bind(1, diveId);
    while (s.step() == SQLITE_ROW)
      d.events.push_back({s.i64(0), s.i32(1), static_cast<EventKind>(s.i32(2)), s.text(3), s.text(4)});
  }
  return d;
}

std::string dataFileText(const DiveData& dive, int year, int month, int day, int hour, int minute,
                         int second) {
  return datafile::formatFile({year, month, day, hour, minute, second}, dataFileRows(dive));
}

std::vector<datafile::Row> dataFileRows(const DiveData& dive) {
  using datafile::Item;
  int last = 0;
  for (const DiveSample& x : dive.samples) last = std::max(last, x.second);
  for (const DiveEvent& e : dive.events)
    if (e.kind == EventKind::Status) last = std::max(last, e.second);
  last = std::min(last, datafile::kMaxRows);
  std::vector<datafile::Row> rows(static_cast<std::size_t>(last));
  for (const DiveSample& x : dive.samples) {
    if (x.second < 1 || x.second > last) continue;
    datafile::Row& row = rows[static_cast<std::size_t>(x.second - 1)];
    row[datafile::kRealPO2] = Item::num(x.realPO2);
    // The data file shows 0 before the master handset has read anything.
    row[datafile::kHandsetPO2] = Item::num(x.handsetPO2.value_or(0));
    row[datafile::kDepth] = Item::num(x.depth);
    row[datafile::kSetpoint] = Item::num(x.setpoint);
    row[datafile::kLoopVolume] = Item::num(x.loopVolume);
  }
  // One status message per second: the later one replaces the earlier, as in the record.
  for (const DiveEvent& e : dive.events)
    if (e.kind == EventKind::Status && e.second >= 1 && e.second <= last && !e.text.empty())
      rows[static_cast<std::size_t>(e.second - 1)][datafile::kMessage] = Item::str(e.text);
  return rows;
}

std::string loginName() {
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_name != nullptr)
    return pw->pw_name;
  for (const char* var : {"USER", "LOGNAME"})
    if (const char* v = std::getenv(var); v != nullptr) return v;
  return {};
}

namespace {

// Start time (field 22 of /proc/PID/stat, clock ticks since boot); 0 when unknown.
std::int64_t startTimeOf(std::int64_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  // After ") " come the fields from the third on: state, ppid, ... starttime is the 22nd.
  std::size_t p = close + 2;
  for (int field = 3; field < 22 && p < stat.size(); ++field) {
    p = stat.find(' ', p);
    if (p == std::string::npos) return 0;
    ++p;
  }
  std::int64_t v = 0;
  const auto res = std::from_chars(stat.data() + std::min(p, stat.size()), stat.data() + stat.size(), v);
  return res.ec == std::errc() ? v : 0;
}

}  // namespace

ProcessId thisProcess() {
  const auto pid = static_cast<std::int64_t>(::getpid());
  return {pid, startTimeOf(pid)};
}

bool isRunning(const ProcessId& p) {
  if (p.pid <= 0) return false;
  if (::kill(static_cast<pid_t>(p.pid), 0) != 0 && errno != EPERM) return false;
  // The number may have been given to another process since: compare the start times.
  if (p.started == 0) return true;
  return startTimeOf(p.pid) == p.started;
}

std::string defaultFolder() {
  std::string data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    data = xdg;
  } else {
    std::string home;
    if (const char* h = std::getenv("HOME"); h != nullptr && h[0] == '/') home = h;
    if (home.empty())
      if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
        home = pw->pw_dir;
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    data = (home == "/" ? std::string() : home) + "/.local/share";
  }
  while (data.size() > 1 && data.back() == '/') data.pop_back();
  return data + "/OrvanePelaSim";
}

}  // namespace pelasim::library
