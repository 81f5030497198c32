#pragma once
// Built-in packages (DBMS_PIPE, DBMS_JOB, ...). Each is a PL/SQL specification and body owned by SYS,
// kept in the engine rather than in the catalog: a session compiles one the first time a name it
// cannot otherwise resolve is a built-in package, so every database has them and their signatures,
// overloads, defaults and constants are plain PL/SQL. The bodies call native routines with
// NUVO$NATIVE('PACKAGE.ROUTINE', args...), which only units of SYS may call.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/plsql/runtime.h"

namespace engine::storage {
class SessionImpl;
}

namespace engine::plsql {

// One call of a native routine: its arguments, evaluated, and the session it runs in.
struct NativeCall {
  Exec& x;
  std::vector<Value> args;

  storage::SessionImpl& session() const { return x.session; }
  const Value& arg(std::size_t i) const;
  bool isNull(std::size_t i) const { return arg(i).isNull(); }
  std::string text(std::size_t i) const;                            // NULL as ""
  std::int64_t integer(std::size_t i, std::int64_t ifNull = 0) const;
  double number(std::size_t i, double ifNull = 0) const;
  bool flag(std::size_t i, bool ifNull = false) const;              // BOOLEAN
  // State of the session kept for a package's natives, created on first use, dropped at logoff.
  template <class T>
  T& state(const std::string& key) {
    auto& slot = stateSlot(key);
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T*>(slot.get());
  }

 private:
  std::shared_ptr<void>& stateSlot(const std::string& key);
};

struct Native {
  const char* name;  // "PIPE.SEND"
  DataType result;   // Unknown for procedures
  Value (*run)(NativeCall&);
};

struct BuiltinPackage {
  const char* name;  // DBMS_PIPE
  const char* spec;  // "PACKAGE dbms_pipe AS ... END;"
  const char* body;  // "PACKAGE BODY dbms_pipe AS ... END;"
};

const Native* findNative(const std::string& name);
const BuiltinPackage* findBuiltinPackage(const std::string& name);

// Throws the PL/SQL error ORA-code with the full first line `message` ("ORA-06556: ...").
[[noreturn]] void raiseNative(int code, const std::string& message);
// The same with the text after "ORA-nnnnn: ".
[[noreturn]] void raiseOraText(int code, const std::string& text);

std::string upperCase(std::string text);
std::string trimmed(const std::string& text);  // without leading and trailing white space

// The same directory however it is written: the key of the state a database's sessions share.
std::string databaseKey(const std::string& directory);

// The in-memory state of type T that all sessions of one database share in this process (pipes, locks,
// running jobs); made on first use, kept until the process ends.
template <class T>
std::shared_ptr<T> sharedPerDatabase(const std::string& directory) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<T>> states;
  std::string key = databaseKey(directory);
  std::lock_guard lock(mutex);
  auto& state = states[key];
  if (!state) state = std::make_shared<T>();
  return state;
}

// The package files register here (packages/*.cpp).
const std::vector<Native>& pipeNatives();
const std::vector<Native>& lockNatives();
const std::vector<Native>& jobNatives();
const std::vector<Native>& schedulerNatives();
const std::vector<Native>& sqlNatives();
const std::vector<Native>& repairNatives();
const std::vector<Native>& mviewNatives();
const std::vector<Native>& fileNatives();
const std::vector<Native>& utilityNatives();
const std::vector<Native>& rawNatives();
const std::vector<Native>& lobNatives();
const std::vector<Native>& cryptoNatives();
extern const BuiltinPackage dbmsPipePackage;
extern const BuiltinPackage dbmsLockPackage;
extern const BuiltinPackage dbmsJobPackage;
extern const BuiltinPackage dbmsSchedulerPackage;
extern const BuiltinPackage dbmsSqlPackage;
extern const BuiltinPackage dbmsRepairPackage;
extern const BuiltinPackage dbmsMviewPackage;
extern const BuiltinPackage utlFilePackage;
extern const BuiltinPackage dbmsUtilityPackage;
extern const BuiltinPackage dbmsApplicationInfoPackage;
extern const BuiltinPackage dbmsSessionPackage;
extern const BuiltinPackage utlRawPackage;
extern const BuiltinPackage utlI18nPackage;
extern const BuiltinPackage dbmsLobPackage;
extern const BuiltinPackage dbmsCryptoPackage;

}  // namespace engine::plsql
