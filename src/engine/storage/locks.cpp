#include "engine/storage/locks.h"

#include <algorithm>
#include <filesystem>

namespace engine::storage {

void LockRegistry::noteTransaction(std::int64_t sid, bool writing) {
  std::lock_guard lock(mutex_);
  auto& t = sessions_[sid];
  if (writing && !t.writing) {
    t.writing = true;
    t.since = Clock::now();
    t.number = ++transactions_;
  } else if (!writing) {
    t.writing = false;
    t.tables.clear();
  }
  t.waiting = false;
}

void LockRegistry::noteTable(std::int64_t sid, const std::string& owner, const std::string& table, int mode) {
  std::lock_guard lock(mutex_);
  auto& held = sessions_[sid].tables[{owner, table}];
  held = std::max(held, mode);
}

void LockRegistry::noteWaiting(std::int64_t sid, bool waiting) {
  std::lock_guard lock(mutex_);
  auto& t = sessions_[sid];
  if (waiting && !t.waiting) t.waitingSince = Clock::now();
  t.waiting = waiting;
}

void LockRegistry::forget(std::int64_t sid) {
  std::lock_guard lock(mutex_);
  sessions_.erase(sid);
}

std::vector<LockRow> LockRegistry::rows() const {
  std::lock_guard lock(mutex_);
  auto now = Clock::now();
  auto seconds = [&](Clock::time_point since) {
    return static_cast<std::int64_t>(std::chrono::duration_cast<std::chrono::seconds>(now - since).count());
  };
  // One session writes at a time: every waiter waits for the holder's transaction.
  const Transaction* holder = nullptr;
  std::int64_t holderSid = 0;
  bool anyWaiting = false;
  for (const auto& [sid, t] : sessions_) {
    if (t.writing && !t.waiting) holder = &t, holderSid = sid;
    anyWaiting = anyWaiting || t.waiting;
  }
  std::vector<LockRow> out;
  for (const auto& [sid, t] : sessions_) {
    for (const auto& [table, mode] : t.tables) {
      LockRow r;
      r.sid = sid;
      r.type = "TM";
      r.owner = table.first;
      r.name = table.second;
      r.lmode = mode;
      r.ctime = seconds(t.writing ? t.since : t.waitingSince);
      out.push_back(r);
    }
    if (t.writing && !t.waiting) {
      LockRow r;
      r.sid = sid;
      r.type = "TX";
      r.id1 = sid * 65536;
      r.id2 = t.number;
      r.lmode = 6;
      r.ctime = seconds(t.since);
      r.block = anyWaiting ? 1 : 0;
      out.push_back(r);
    }
    if (t.waiting) {
      LockRow r;
      r.sid = sid;
      r.type = "TX";
      if (holder) {
        r.id1 = holderSid * 65536;
        r.id2 = holder->number;
      }
      r.request = 6;
      r.ctime = seconds(t.waitingSince);
      out.push_back(r);
    }
  }
  return out;
}

std::shared_ptr<LockRegistry> lockRegistry(const std::string& directory) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<LockRegistry>> registries;
  std::error_code ec;
  std::string key = std::filesystem::weakly_canonical(directory, ec).string();
  if (ec) key = directory;
  std::lock_guard lock(mutex);
  auto& r = registries[key];
  if (!r) r = std::make_shared<LockRegistry>();
  return r;
}

}  // namespace engine::storage
