// DBMS_PIPE: messages between sessions of one database in this process (the tool's sessions, the job
// runner's, other threads'). Pipes live in memory, as an instance's do: a database's pipes are shared
// by every session of its directory and vanish with the process.
//
// A sender packs items into its session's send buffer and sends them as one message; a receiver
// takes the oldest message into its receive buffer and unpacks the items in order. A wait holds only
// the pipes' own mutex while it looks, never a database lock, and wakes for a new message, for a
// session's cancel (ORA-01013) or at its timeout.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>

#include "engine/plsql/packages/native.h"
#include "engine/plsql/packages/pipes.h"
#include "engine/storage/session.h"

namespace engine::plsql {

namespace {

// Item types as NEXT_ITEM_TYPE reports them.
constexpr int kNone = 0, kNumber = 6, kVarchar = 9, kRowid = 11, kDate = 12, kRaw = 23;
constexpr std::size_t kBufferSize = 4096;  // the session's pack buffer

struct Item {
  int type = kVarchar;
  Value value;
};

std::size_t sizeOf(const Item& item) {
  switch (item.type) {
    case kNumber: return 23;
    case kDate: return 8;
    case kRaw: return (item.value.kind() == Value::Kind::Binary ? item.value.asBytes().size() : 0) + 3;
    default: return (item.value.kind() == Value::Kind::Text ? item.value.asText().size() : 0) + 3;
  }
}

struct Message {
  std::vector<Item> items;
  std::size_t bytes = 0;
};

struct Pipe {
  std::deque<Message> messages;
  std::size_t bytes = 0;
  std::int64_t maxSize = 8192;
  bool explicitlyCreated = false;
  bool isPrivate = false;
  std::string owner;  // the creating user: a private pipe serves only that user
};

struct Hub {
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::string, Pipe> pipes;
};

// A session's side of DBMS_PIPE: its buffers, and the hub its database's pipes are in.
struct PipeSession {
  std::shared_ptr<Hub> hub;
  std::vector<Item> send;
  std::size_t sendBytes = 0;
  std::deque<Item> received;
};

PipeSession& sessionOf(NativeCall& c) {
  auto& s = c.state<PipeSession>("DBMS_PIPE");
  if (!s.hub) s.hub = sharedPerDatabase<Hub>(c.session().impl().directory());
  return s;
}

std::string pipeName(NativeCall& c, std::size_t i) {
  std::string name = c.text(i);
  if (name.empty()) raiseNative(23321, "ORA-23321: Pipename may not be null");
  if (name.size() > 128) raiseValueError("character string buffer too small");
  return name;
}

bool mayUse(const Pipe& pipe, const std::string& user) { return !pipe.isPrivate || pipe.owner == user || user == "SYS"; }

[[noreturn]] void noPrivilege() { raiseNative(23322, "ORA-23322: Privilege error accessing pipe"); }

// Waits on the hub until `ready` holds, the timeout (seconds) passes or the session is cancelled.
// The lock is held on entry and on return; false on timeout.
template <class Ready>
bool waitFor(NativeCall& c, Hub& hub, std::unique_lock<std::mutex>& lock, std::int64_t timeout, Ready ready) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::max<std::int64_t>(0, timeout));
  auto& cancelled = c.session().interruptFlag();
  while (!ready()) {
    if (cancelled.exchange(false)) raiseNative(1013, Error::ora(1013).message());
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    // Short slices: a cancel sets only the session's flag.
    hub.changed.wait_for(lock, std::min<std::chrono::steady_clock::duration>(deadline - now, std::chrono::milliseconds(20)));
  }
  return true;
}

// Oracle takes the timeout as INTEGER: fractions round.
std::int64_t timeoutOf(NativeCall& c, std::size_t i) {
  if (c.isNull(i)) return 86400000;
  double t = c.number(i);
  return t < 0 ? 0 : static_cast<std::int64_t>(t + 0.5);
}

Value createPipe(NativeCall& c) {
  auto& s = sessionOf(c);
  std::string name = pipeName(c, 0);
  std::int64_t maxSize = c.integer(1, 8192);
  bool isPrivate = c.flag(2, true);
  std::string user = c.session().user();
  std::lock_guard lock(s.hub->mutex);
  auto it = s.hub->pipes.find(name);
  if (it != s.hub->pipes.end()) {
    Pipe& p = it->second;
    if (!mayUse(p, user)) noPrivilege();
    // An implicit pipe that still holds messages becomes explicit; an explicit one stays as it is.
    if (!p.explicitlyCreated) {
      p.explicitlyCreated = true;
      p.isPrivate = isPrivate;
      p.owner = user;
    }
    p.maxSize = std::max(p.maxSize, maxSize);
    return Value(0);
  }
  Pipe p;
  p.explicitlyCreated = true;
  p.isPrivate = isPrivate;
  p.owner = user;
  p.maxSize = maxSize;
  s.hub->pipes.emplace(name, std::move(p));
  return Value(0);
}

Value removePipe(NativeCall& c) {
  auto& s = sessionOf(c);
  std::string name = pipeName(c, 0);
  std::lock_guard lock(s.hub->mutex);
  auto it = s.hub->pipes.find(name);
  if (it == s.hub->pipes.end()) return Value(0);
  if (!mayUse(it->second, c.session().user())) noPrivilege();
  s.hub->pipes.erase(it);
  s.hub->changed.notify_all();
  return Value(0);
}

Value purge(NativeCall& c) {
  auto& s = sessionOf(c);
  std::string name = pipeName(c, 0);
  std::lock_guard lock(s.hub->mutex);
  auto it = s.hub->pipes.find(name);
  if (it == s.hub->pipes.end()) return {};
  if (!mayUse(it->second, c.session().user())) noPrivilege();
  it->second.messages.clear();
  it->second.bytes = 0;
  if (!it->second.explicitlyCreated) s.hub->pipes.erase(it);
  s.hub->changed.notify_all();
  return {};
}

Value resetBuffer(NativeCall& c) {
  auto& s = sessionOf(c);
  s.send.clear();
  s.sendBytes = 0;
  s.received.clear();
  return {};
}

Value pack(NativeCall& c) {
  auto& s = sessionOf(c);
  Item item{static_cast<int>(c.integer(0)), c.arg(1)};
  std::size_t size = sizeOf(item);
  if (s.sendBytes + size > kBufferSize)
    raiseNative(6558, "ORA-06558: buffer in dbms_pipe package is full. No more items allowed");
  s.send.push_back(std::move(item));
  s.sendBytes += size;
  return {};
}

Value sendMessage(NativeCall& c) {
  auto& s = sessionOf(c);
  std::string name = pipeName(c, 0);
  std::int64_t timeout = timeoutOf(c, 1);
  std::int64_t maxSize = c.integer(2, 8192);
  std::string user = c.session().user();
  Message m{s.send, s.sendBytes};
  std::unique_lock lock(s.hub->mutex);
  auto it = s.hub->pipes.find(name);
  if (it == s.hub->pipes.end()) {
    Pipe p;
    p.owner = user;
    p.maxSize = maxSize;
    it = s.hub->pipes.emplace(name, std::move(p)).first;
  }
  if (!mayUse(it->second, user)) noPrivilege();
  it->second.maxSize = std::max(it->second.maxSize, maxSize);
  // A full pipe makes the sender wait; a message larger than the pipe goes into an empty one.
  bool fits = waitFor(c, *s.hub, lock, timeout, [&] {
    auto p = s.hub->pipes.find(name);
    if (p == s.hub->pipes.end()) return true;
    return p->second.messages.empty() || p->second.bytes + m.bytes <= static_cast<std::size_t>(p->second.maxSize);
  });
  if (!fits) return Value(1);
  it = s.hub->pipes.find(name);
  if (it == s.hub->pipes.end()) {
    // Removed while the sender waited: the message goes into a new implicit pipe.
    Pipe p;
    p.owner = user;
    p.maxSize = maxSize;
    it = s.hub->pipes.emplace(name, std::move(p)).first;
  }
  it->second.bytes += m.bytes;
  it->second.messages.push_back(std::move(m));
  s.hub->changed.notify_all();
  lock.unlock();
  s.send.clear();
  s.sendBytes = 0;
  return Value(0);
}

Value receiveMessage(NativeCall& c) {
  auto& s = sessionOf(c);
  std::string name = pipeName(c, 0);
  std::int64_t timeout = timeoutOf(c, 1);
  std::string user = c.session().user();
  std::unique_lock lock(s.hub->mutex);
  if (auto it = s.hub->pipes.find(name); it != s.hub->pipes.end() && !mayUse(it->second, user)) noPrivilege();
  bool got = waitFor(c, *s.hub, lock, timeout, [&] {
    auto it = s.hub->pipes.find(name);
    return it != s.hub->pipes.end() && !it->second.messages.empty();
  });
  if (!got) return Value(1);
  auto it = s.hub->pipes.find(name);
  if (!mayUse(it->second, user)) noPrivilege();
  Message m = std::move(it->second.messages.front());
  it->second.messages.pop_front();
  it->second.bytes -= m.bytes;
  // An implicit pipe exists while it holds messages.
  if (it->second.messages.empty() && !it->second.explicitlyCreated) s.hub->pipes.erase(it);
  s.hub->changed.notify_all();
  lock.unlock();
  s.received.assign(m.items.begin(), m.items.end());
  return Value(0);
}

Value nextItemType(NativeCall& c) {
  auto& s = sessionOf(c);
  return Value(s.received.empty() ? kNone : s.received.front().type);
}

const char* typeName(int type) {
  switch (type) {
    case kNumber: return "NUMBER";
    case kDate: return "DATE";
    case kRaw: return "RAW";
    case kRowid: return "ROWID";
    default: return "VARCHAR2";
  }
}

template <int wanted>
Value unpack(NativeCall& c) {
  auto& s = sessionOf(c);
  if (s.received.empty())
    raiseNative(6556, "ORA-06556: the pipe is empty, cannot fulfill the unpack_message request");
  Item item = s.received.front();
  if (item.type != wanted)
    raiseNative(6559, std::string("ORA-06559: wrong datatype requested, ") + typeName(wanted) + ", actual datatype is " +
                          typeName(item.type));
  s.received.pop_front();
  return item.value;
}

Value uniqueSessionName(NativeCall& c) {
  std::ostringstream out;
  out << "ORA$PIPE$" << std::hex << std::uppercase << c.session().sessionId() << "$" << ::getpid();
  return Value(out.str());
}

}  // namespace

std::vector<PipeInfo> listPipes(const std::string& directory) {
  auto hub = sharedPerDatabase<Hub>(directory);
  std::vector<PipeInfo> out;
  std::lock_guard lock(hub->mutex);
  for (const auto& [name, p] : hub->pipes)
    out.push_back({name, p.isPrivate ? p.owner : std::string(), p.isPrivate, static_cast<std::int64_t>(p.bytes) + 1000,
                   static_cast<std::int64_t>(p.messages.size())});
  return out;
}

const std::vector<Native>& pipeNatives() {
  static const std::vector<Native> natives = {
      {"PIPE.CREATE", DataType::Number, createPipe},
      {"PIPE.REMOVE", DataType::Number, removePipe},
      {"PIPE.PURGE", DataType::Unknown, purge},
      {"PIPE.RESET", DataType::Unknown, resetBuffer},
      {"PIPE.PACK", DataType::Unknown, pack},
      {"PIPE.SEND", DataType::Number, sendMessage},
      {"PIPE.RECEIVE", DataType::Number, receiveMessage},
      {"PIPE.NEXT_TYPE", DataType::Number, nextItemType},
      {"PIPE.UNPACK_VARCHAR2", DataType::Varchar2, unpack<kVarchar>},
      {"PIPE.UNPACK_NUMBER", DataType::Number, unpack<kNumber>},
      {"PIPE.UNPACK_DATE", DataType::Date, unpack<kDate>},
      {"PIPE.UNPACK_RAW", DataType::Raw, unpack<kRaw>},
      {"PIPE.UNPACK_ROWID", DataType::Varchar2, unpack<kRowid>},
      {"PIPE.SESSION_NAME", DataType::Varchar2, uniqueSessionName},
  };
  return natives;
}

const BuiltinPackage dbmsPipePackage = {"DBMS_PIPE", R"(PACKAGE dbms_pipe AS
  maxwait CONSTANT INTEGER := 86400000;
  FUNCTION create_pipe(pipename IN VARCHAR2, maxpipesize IN INTEGER DEFAULT 8192, private IN BOOLEAN DEFAULT TRUE) RETURN INTEGER;
  FUNCTION remove_pipe(pipename IN VARCHAR2) RETURN INTEGER;
  PROCEDURE purge(pipename IN VARCHAR2);
  PROCEDURE reset_buffer;
  PROCEDURE pack_message(item IN VARCHAR2);
  PROCEDURE pack_message(item IN NUMBER);
  PROCEDURE pack_message(item IN DATE);
  PROCEDURE pack_message_raw(item IN RAW);
  PROCEDURE pack_message_rowid(item IN ROWID);
  FUNCTION send_message(pipename IN VARCHAR2, timeout IN INTEGER DEFAULT maxwait, maxpipesize IN INTEGER DEFAULT 8192) RETURN INTEGER;
  FUNCTION receive_message(pipename IN VARCHAR2, timeout IN INTEGER DEFAULT maxwait) RETURN INTEGER;
  FUNCTION next_item_type RETURN INTEGER;
  PROCEDURE unpack_message(item OUT VARCHAR2);
  PROCEDURE unpack_message(item OUT NUMBER);
  PROCEDURE unpack_message(item OUT DATE);
  PROCEDURE unpack_message_raw(item OUT RAW);
  PROCEDURE unpack_message_rowid(item OUT ROWID);
  FUNCTION unique_session_name RETURN VARCHAR2;
END;)",
                                        R"(PACKAGE BODY dbms_pipe AS
  FUNCTION create_pipe(pipename IN VARCHAR2, maxpipesize IN INTEGER DEFAULT 8192, private IN BOOLEAN DEFAULT TRUE) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('PIPE.CREATE', pipename, maxpipesize, private); END;
  FUNCTION remove_pipe(pipename IN VARCHAR2) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('PIPE.REMOVE', pipename); END;
  PROCEDURE purge(pipename IN VARCHAR2) IS BEGIN nuvo$native('PIPE.PURGE', pipename); END;
  PROCEDURE reset_buffer IS BEGIN nuvo$native('PIPE.RESET'); END;
  PROCEDURE pack_message(item IN VARCHAR2) IS BEGIN nuvo$native('PIPE.PACK', 9, item); END;
  PROCEDURE pack_message(item IN NUMBER) IS BEGIN nuvo$native('PIPE.PACK', 6, item); END;
  PROCEDURE pack_message(item IN DATE) IS BEGIN nuvo$native('PIPE.PACK', 12, item); END;
  PROCEDURE pack_message_raw(item IN RAW) IS BEGIN nuvo$native('PIPE.PACK', 23, item); END;
  PROCEDURE pack_message_rowid(item IN ROWID) IS BEGIN nuvo$native('PIPE.PACK', 11, item); END;
  FUNCTION send_message(pipename IN VARCHAR2, timeout IN INTEGER DEFAULT maxwait, maxpipesize IN INTEGER DEFAULT 8192) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('PIPE.SEND', pipename, timeout, maxpipesize); END;
  FUNCTION receive_message(pipename IN VARCHAR2, timeout IN INTEGER DEFAULT maxwait) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('PIPE.RECEIVE', pipename, timeout); END;
  FUNCTION next_item_type RETURN INTEGER IS BEGIN RETURN nuvo$native('PIPE.NEXT_TYPE'); END;
  PROCEDURE unpack_message(item OUT VARCHAR2) IS BEGIN item := nuvo$native('PIPE.UNPACK_VARCHAR2'); END;
  PROCEDURE unpack_message(item OUT NUMBER) IS BEGIN item := nuvo$native('PIPE.UNPACK_NUMBER'); END;
  PROCEDURE unpack_message(item OUT DATE) IS BEGIN item := nuvo$native('PIPE.UNPACK_DATE'); END;
  PROCEDURE unpack_message_raw(item OUT RAW) IS BEGIN item := nuvo$native('PIPE.UNPACK_RAW'); END;
  PROCEDURE unpack_message_rowid(item OUT ROWID) IS BEGIN item := nuvo$native('PIPE.UNPACK_ROWID'); END;
  FUNCTION unique_session_name RETURN VARCHAR2 IS BEGIN RETURN nuvo$native('PIPE.SESSION_NAME'); END;
END;)"};

}  // namespace engine::plsql
