#pragma once
// DBMS_LOCK's user locks of a database, as V$LOCK lists them (packages/dbms_lock.cpp).

#include <cstdint>
#include <string>
#include <vector>

namespace engine::plsql {

struct UserLock {
  std::int64_t sid = 0;
  std::int64_t id = 0;
  int mode = 0;      // held: 1 NL ... 6 X
  int request = 0;   // waited for, in this mode
  std::int64_t seconds = 0;
  bool blocking = false;  // another session waits for this lock
};

// The user locks held and waited for in the database at `directory` in this process.
std::vector<UserLock> listUserLocks(const std::string& directory);

}  // namespace engine::plsql
