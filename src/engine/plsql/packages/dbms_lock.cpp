// DBMS_LOCK: SLEEP, and user locks shared by the sessions of one database in this process (REQUEST,
// CONVERT, RELEASE, ALLOCATE_UNIQUE). Locks live in memory, as an instance's do: a database's locks
// are shared by every session of its directory; a session's locks go at logoff, and those requested
// with release_on_commit at its next COMMIT or ROLLBACK.
//
// A waiting request holds only the locks' own mutex while it looks, never a database lock, and wakes
// for a release, for a session's cancel (ORA-01013) or at its timeout. A wait that would close a
// cycle of sessions waiting on each other returns "deadlock".

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "engine/plsql/packages/native.h"
#include "engine/plsql/packages/user_locks.h"
#include "engine/storage/session.h"

namespace engine::plsql {

namespace {

// Sleeps in short slices so that a cancel (ORA-01013) ends the wait.
Value sleep(NativeCall& c) {
  double seconds = c.number(0);
  if (c.isNull(0) || seconds < 0) raiseValueError("");
  auto until = std::chrono::steady_clock::now() +
               std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
  auto& cancelled = c.session().interruptFlag();
  while (std::chrono::steady_clock::now() < until) {
    if (cancelled.exchange(false)) raiseNative(1013, Error::ora(1013).message());
    std::chrono::steady_clock::duration left = until - std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(20)));
  }
  return {};
}

// Return codes of REQUEST, CONVERT and RELEASE.
constexpr int kSuccess = 0, kTimeout = 1, kDeadlock = 2, kParameterError = 3, kOwnership = 4, kIllegalHandle = 5;
constexpr std::int64_t kMaxId = 1999999999;
constexpr std::int64_t kFirstAllocated = 1073741824;  // ALLOCATE_UNIQUE's ids start here
constexpr double kMaxWait = 32767;                      // waits for ever

// Whether a lock held in mode `held` lets another session take it in mode `wanted`
// (1 NL, 2 SS, 3 SX, 4 S, 5 SSX, 6 X).
bool compatible(int held, int wanted) {
  static const bool table[7][7] = {
      {},
      {false, true, true, true, true, true, true},
      {false, true, true, true, true, true, false},
      {false, true, true, true, false, false, false},
      {false, true, true, false, true, false, false},
      {false, true, true, false, false, false, false},
      {false, true, false, false, false, false, false},
  };
  return table[held][wanted];
}

struct Hold {
  int mode = 0;
  bool releaseOnCommit = false;
  std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
};

// A request that waits: its mode and since when (V$LOCK).
struct Wait {
  int mode = 0;
  std::chrono::steady_clock::time_point since;
};

struct Hub {
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::int64_t, std::map<std::int64_t, Hold>> locks;  // lock id -> holding session -> hold
  std::map<std::int64_t, std::int64_t> waiting;                 // session -> the lock id it waits for
  std::map<std::int64_t, Wait> waits;                           // session -> its waiting request
  std::map<std::string, std::int64_t> allocated;                // lock name -> id
  std::map<std::int64_t, std::string> names;                    // id -> lock name

  void releaseAll(std::int64_t sid, bool onlyOnCommit) {
    std::lock_guard lock(mutex);
    for (auto it = locks.begin(); it != locks.end();) {
      auto h = it->second.find(sid);
      if (h != it->second.end() && (!onlyOnCommit || h->second.releaseOnCommit)) it->second.erase(h);
      it = it->second.empty() ? locks.erase(it) : std::next(it);
    }
    changed.notify_all();
  }

  // Whether session `sid` waiting for lock `id` closes a cycle: a holder of `id` waits, directly or
  // through other sessions, for a lock `sid` holds.
  bool closesCycle(std::int64_t sid, std::int64_t id) const {
    std::vector<std::int64_t> todo{id};
    std::set<std::int64_t> seen;
    while (!todo.empty()) {
      std::int64_t lockId = todo.back();
      todo.pop_back();
      if (!seen.insert(lockId).second) continue;
      auto l = locks.find(lockId);
      if (l == locks.end()) continue;
      for (const auto& [holder, hold] : l->second) {
        if (holder == sid) continue;
        auto w = waiting.find(holder);
        if (w == waiting.end()) continue;
        auto target = locks.find(w->second);
        if (target != locks.end() && target->second.count(sid)) return true;
        todo.push_back(w->second);
      }
    }
    return false;
  }
};

// A session's side of DBMS_LOCK: releases the session's locks when the session ends.
struct LockSession {
  std::shared_ptr<Hub> hub;
  std::int64_t sid = 0;
  LockSession() = default;
  LockSession(const LockSession&) = delete;
  LockSession& operator=(const LockSession&) = delete;
  ~LockSession() {
    if (hub) hub->releaseAll(sid, false);
  }
};

LockSession& sessionOf(NativeCall& c) {
  auto& s = c.state<LockSession>("DBMS_LOCK");
  if (!s.hub) {
    s.hub = sharedPerDatabase<Hub>(c.session().impl().directory());
    s.sid = c.session().sessionId();
    // The hook keeps the hub, not the session state, which may go before the session's last ROLLBACK.
    std::weak_ptr<Hub> hub = s.hub;
    std::int64_t sid = s.sid;
    c.session().onTransactionEnd("DBMS_LOCK", [hub, sid] {
      if (auto h = hub.lock()) h->releaseAll(sid, true);
    });
  }
  return s;
}

// A handle is the id twice, ten digits each, and a two-digit check: anything else is illegal.
std::string handleOf(std::int64_t id) {
  char text[32];
  std::snprintf(text, sizeof text, "%010lld%010lld%02lld", static_cast<long long>(id), static_cast<long long>(id),
                static_cast<long long>(id % 97));
  return text;
}

// The lock id argument 0: an INTEGER id (`byHandle` false) or a handle. -1 for a parameter error,
// -2 for an illegal handle.
std::int64_t lockIdOf(NativeCall& c, bool byHandle) {
  if (c.isNull(0)) return byHandle ? -2 : -1;
  if (!byHandle) {
    double id = c.number(0);
    return id < 0 || id > kMaxId ? -1 : static_cast<std::int64_t>(id + 0.5);
  }
  std::string handle = c.text(0);
  if (handle.size() != 22 || handle.find_first_not_of("0123456789") != std::string::npos) return -2;
  std::int64_t id = std::stoll(handle.substr(0, 10));
  if (id < kFirstAllocated || id > kMaxId || handleOf(id) != handle) return -2;
  return id;
}

bool validMode(NativeCall& c, std::size_t i) {
  if (c.isNull(i)) return false;
  double mode = c.number(i);
  return mode >= 1 && mode <= 6 && mode == static_cast<int>(mode);
}

// Waits until session `sid` may hold `id` in `mode`; the hub's lock is held on entry and return.
int acquire(NativeCall& c, LockSession& s, std::unique_lock<std::mutex>& lock, std::int64_t id, int mode, double timeout) {
  Hub& hub = *s.hub;
  auto grantable = [&] {
    auto l = hub.locks.find(id);
    if (l == hub.locks.end()) return true;
    for (const auto& [holder, hold] : l->second)
      if (holder != s.sid && !compatible(hold.mode, mode)) return false;
    return true;
  };
  bool forever = timeout >= kMaxWait;
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                      std::chrono::duration<double>(forever ? 0 : std::max(0.0, timeout)));
  auto& cancelled = c.session().interruptFlag();
  struct Waiting {
    Hub& hub;
    std::int64_t sid;
    ~Waiting() {
      hub.waiting.erase(sid);
      hub.waits.erase(sid);
    }
  } waiting{hub, s.sid};
  while (!grantable()) {
    if (cancelled.exchange(false)) raiseNative(1013, Error::ora(1013).message());
    if (hub.closesCycle(s.sid, id)) return kDeadlock;
    auto now = std::chrono::steady_clock::now();
    if (!forever && now >= deadline) return kTimeout;
    hub.waiting[s.sid] = id;
    if (!hub.waits.count(s.sid)) hub.waits[s.sid] = Wait{mode, now};
    // Short slices: a cancel sets only the session's flag.
    auto slice = std::chrono::steady_clock::duration(std::chrono::milliseconds(20));
    hub.changed.wait_for(lock, forever ? slice : std::min(slice, deadline - now));
  }
  return kSuccess;
}

template <bool byHandle>
Value request(NativeCall& c) {
  auto& s = sessionOf(c);
  std::int64_t id = lockIdOf(c, byHandle);
  if (id == -2) return Value(kIllegalHandle);
  if (id < 0 || !validMode(c, 1)) return Value(kParameterError);
  int mode = static_cast<int>(c.number(1));
  double timeout = c.isNull(2) ? kMaxWait : c.number(2);
  bool releaseOnCommit = c.flag(3, false);
  std::unique_lock lock(s.hub->mutex);
  if (auto l = s.hub->locks.find(id); l != s.hub->locks.end() && l->second.count(s.sid)) return Value(kOwnership);
  int status = acquire(c, s, lock, id, mode, timeout);
  if (status == kSuccess) s.hub->locks[id][s.sid] = Hold{mode, releaseOnCommit};
  return Value(status);
}

template <bool byHandle>
Value convert(NativeCall& c) {
  auto& s = sessionOf(c);
  std::int64_t id = lockIdOf(c, byHandle);
  if (id == -2) return Value(kIllegalHandle);
  if (id < 0 || !validMode(c, 1)) return Value(kParameterError);
  int mode = static_cast<int>(c.number(1));
  double timeout = c.isNull(2) ? kMaxWait : c.number(2);
  std::unique_lock lock(s.hub->mutex);
  auto l = s.hub->locks.find(id);
  if (l == s.hub->locks.end() || !l->second.count(s.sid)) return Value(kOwnership);
  int status = acquire(c, s, lock, id, mode, timeout);
  if (status == kSuccess) {
    s.hub->locks[id][s.sid].mode = mode;
    s.hub->locks[id][s.sid].since = std::chrono::steady_clock::now();
    s.hub->changed.notify_all();  // a weaker mode may let waiters in
  }
  return Value(status);
}

template <bool byHandle>
Value release(NativeCall& c) {
  auto& s = sessionOf(c);
  std::int64_t id = lockIdOf(c, byHandle);
  if (id == -2) return Value(kIllegalHandle);
  if (id < 0) return Value(kParameterError);
  std::lock_guard lock(s.hub->mutex);
  auto l = s.hub->locks.find(id);
  if (l == s.hub->locks.end() || !l->second.erase(s.sid)) return Value(kOwnership);
  if (l->second.empty()) s.hub->locks.erase(l);
  s.hub->changed.notify_all();
  return Value(kSuccess);
}

// The same name gives the same handle: its id comes from the name, the next free one on a clash.
Value allocateUnique(NativeCall& c) {
  auto& s = sessionOf(c);
  std::string name = c.text(0);
  if (name.empty()) raiseValueError("");
  if (name.size() > 128) raiseValueError("character string buffer too small");
  std::lock_guard lock(s.hub->mutex);
  auto it = s.hub->allocated.find(name);
  if (it != s.hub->allocated.end()) return Value(handleOf(it->second));
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char ch : name) hash = (hash ^ ch) * 1099511628211ull;
  std::int64_t span = kMaxId - kFirstAllocated + 1;
  std::int64_t id = kFirstAllocated + static_cast<std::int64_t>(hash % static_cast<std::uint64_t>(span));
  while (s.hub->names.count(id)) id = id == kMaxId ? kFirstAllocated : id + 1;
  s.hub->allocated[name] = id;
  s.hub->names[id] = name;
  return Value(handleOf(id));
}

}  // namespace

std::vector<UserLock> listUserLocks(const std::string& directory) {
  auto hub = sharedPerDatabase<Hub>(directory);
  std::lock_guard lock(hub->mutex);
  auto now = std::chrono::steady_clock::now();
  auto seconds = [&](std::chrono::steady_clock::time_point since) {
    return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::seconds>(now - since).count());
  };
  std::set<std::int64_t> waitedFor;
  for (const auto& [sid, id] : hub->waiting) waitedFor.insert(id);
  std::vector<UserLock> out;
  for (const auto& [id, holders] : hub->locks)
    for (const auto& [sid, hold] : holders) out.push_back({sid, id, hold.mode, 0, seconds(hold.since), waitedFor.count(id) > 0});
  for (const auto& [sid, id] : hub->waiting) {
    auto w = hub->waits.find(sid);
    if (w == hub->waits.end()) continue;
    // A conversion waits with the lock held: its row shows both modes.
    auto held = std::find_if(out.begin(), out.end(), [&](const UserLock& u) { return u.sid == sid && u.id == id; });
    if (held != out.end()) held->request = w->second.mode;
    else out.push_back({sid, id, 0, w->second.mode, seconds(w->second.since), false});
  }
  return out;
}

const std::vector<Native>& lockNatives() {
  static const std::vector<Native> natives = {
      {"LOCK.SLEEP", DataType::Unknown, sleep},
      {"LOCK.ALLOCATE", DataType::Varchar2, allocateUnique},
      {"LOCK.REQUEST_ID", DataType::Number, request<false>},
      {"LOCK.REQUEST_HANDLE", DataType::Number, request<true>},
      {"LOCK.CONVERT_ID", DataType::Number, convert<false>},
      {"LOCK.CONVERT_HANDLE", DataType::Number, convert<true>},
      {"LOCK.RELEASE_ID", DataType::Number, release<false>},
      {"LOCK.RELEASE_HANDLE", DataType::Number, release<true>},
  };
  return natives;
}

const BuiltinPackage dbmsLockPackage = {"DBMS_LOCK", R"(PACKAGE dbms_lock AS
  nl_mode CONSTANT INTEGER := 1;
  ss_mode CONSTANT INTEGER := 2;
  sx_mode CONSTANT INTEGER := 3;
  s_mode CONSTANT INTEGER := 4;
  ssx_mode CONSTANT INTEGER := 5;
  x_mode CONSTANT INTEGER := 6;
  maxwait CONSTANT INTEGER := 32767;
  PROCEDURE sleep(seconds IN NUMBER);
  PROCEDURE allocate_unique(lockname IN VARCHAR2, lockhandle OUT VARCHAR2, expiration_secs IN INTEGER DEFAULT 864000);
  FUNCTION request(id IN INTEGER, lockmode IN INTEGER DEFAULT x_mode, timeout IN INTEGER DEFAULT maxwait, release_on_commit IN BOOLEAN DEFAULT FALSE) RETURN INTEGER;
  FUNCTION request(lockhandle IN VARCHAR2, lockmode IN INTEGER DEFAULT x_mode, timeout IN INTEGER DEFAULT maxwait, release_on_commit IN BOOLEAN DEFAULT FALSE) RETURN INTEGER;
  FUNCTION convert(id IN INTEGER, lockmode IN INTEGER, timeout IN NUMBER DEFAULT maxwait) RETURN INTEGER;
  FUNCTION convert(lockhandle IN VARCHAR2, lockmode IN INTEGER, timeout IN NUMBER DEFAULT maxwait) RETURN INTEGER;
  FUNCTION release(id IN INTEGER) RETURN INTEGER;
  FUNCTION release(lockhandle IN VARCHAR2) RETURN INTEGER;
END;)",
                                        R"(PACKAGE BODY dbms_lock AS
  PROCEDURE sleep(seconds IN NUMBER) IS BEGIN nuvo$native('LOCK.SLEEP', seconds); END;
  PROCEDURE allocate_unique(lockname IN VARCHAR2, lockhandle OUT VARCHAR2, expiration_secs IN INTEGER DEFAULT 864000) IS
  BEGIN
    lockhandle := nuvo$native('LOCK.ALLOCATE', lockname);
    -- Allocating commits, as the allocation is recorded in a table of its own.
    COMMIT;
  END;
  FUNCTION request(id IN INTEGER, lockmode IN INTEGER DEFAULT x_mode, timeout IN INTEGER DEFAULT maxwait, release_on_commit IN BOOLEAN DEFAULT FALSE) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOCK.REQUEST_ID', id, lockmode, timeout, release_on_commit); END;
  FUNCTION request(lockhandle IN VARCHAR2, lockmode IN INTEGER DEFAULT x_mode, timeout IN INTEGER DEFAULT maxwait, release_on_commit IN BOOLEAN DEFAULT FALSE) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOCK.REQUEST_HANDLE', lockhandle, lockmode, timeout, release_on_commit); END;
  FUNCTION convert(id IN INTEGER, lockmode IN INTEGER, timeout IN NUMBER DEFAULT maxwait) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOCK.CONVERT_ID', id, lockmode, timeout); END;
  FUNCTION convert(lockhandle IN VARCHAR2, lockmode IN INTEGER, timeout IN NUMBER DEFAULT maxwait) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOCK.CONVERT_HANDLE', lockhandle, lockmode, timeout); END;
  FUNCTION release(id IN INTEGER) RETURN INTEGER IS BEGIN RETURN nuvo$native('LOCK.RELEASE_ID', id); END;
  FUNCTION release(lockhandle IN VARCHAR2) RETURN INTEGER IS BEGIN RETURN nuvo$native('LOCK.RELEASE_HANDLE', lockhandle); END;
END;)"};

}  // namespace engine::plsql
