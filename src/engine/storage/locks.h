#pragma once
// The locks V$LOCK shows for the sessions of one database in this process: the database's one write
// lock as Oracle shows a transaction's locks (TX of the transaction, TM of each table it changed or
// locked) and the sessions waiting for it (TX requested in mode 6). DBMS_LOCK's user locks (UL) come
// from plsql/packages/user_locks.h.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace engine::storage {

struct LockRow {
  std::int64_t sid = 0;
  std::string type;         // TX, TM, UL
  std::string owner, name;  // TM: the table (its object id is read from the catalog)
  std::int64_t id1 = 0, id2 = 0;
  int lmode = 0, request = 0;
  std::int64_t ctime = 0;   // seconds in the mode held or requested
  int block = 0;            // 1: another session waits for it
};

class LockRegistry {
 public:
  // The session's transaction after a statement: `writing` while it holds the write lock; without
  // it the session's TX and TM locks go.
  void noteTransaction(std::int64_t sid, bool writing);
  // A table the session's transaction changes or locks, in Oracle's TM mode (3 row exclusive, ...).
  void noteTable(std::int64_t sid, const std::string& owner, const std::string& table, int mode);
  // The session waits for the write lock (SQLite's busy handler runs) or stopped waiting.
  void noteWaiting(std::int64_t sid, bool waiting);
  void forget(std::int64_t sid);
  std::vector<LockRow> rows() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Transaction {
    bool writing = false;
    Clock::time_point since;
    std::int64_t number = 0;
    std::map<std::pair<std::string, std::string>, int> tables;
    bool waiting = false;
    Clock::time_point waitingSince;
  };
  mutable std::mutex mutex_;
  std::map<std::int64_t, Transaction> sessions_;
  std::int64_t transactions_ = 0;
};

// The registry of the database at `directory` in this process.
std::shared_ptr<LockRegistry> lockRegistry(const std::string& directory);

}  // namespace engine::storage
