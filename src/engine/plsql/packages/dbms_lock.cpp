// DBMS_LOCK: SLEEP, the part of it the applications' server loops use.

#include <chrono>
#include <thread>

#include "engine/plsql/packages/native.h"
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

}  // namespace

const std::vector<Native>& lockNatives() {
  static const std::vector<Native> natives = {{"LOCK.SLEEP", DataType::Unknown, sleep}};
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
END;)",
                                        R"(PACKAGE BODY dbms_lock AS
  PROCEDURE sleep(seconds IN NUMBER) IS BEGIN nuvo$native('LOCK.SLEEP', seconds); END;
END;)"};

}  // namespace engine::plsql
