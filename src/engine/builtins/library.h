#pragma once
// The function table: each SQL function as a C++ function of its converted arguments.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/builtins/functions.h"

struct sqlite3_value;

namespace engine::builtins {

// The arguments of one call, converted as Oracle converts implicitly.
class Args {
 public:
  Args(int argc, sqlite3_value** argv, SessionContext& session) : argc_(argc), argv_(argv), session_(session) {}

  int size() const { return argc_; }
  bool isNull(int i) const;            // NULL, '' or absent
  bool isNumber(int i) const;          // stored as INTEGER or REAL
  Value raw(int i) const;              // as stored: Integer, Real, Text or Binary
  Value number(int i) const;           // Integer or Real; text through TO_NUMBER (ORA-01722)
  double real(int i) const;
  std::int64_t integer(int i) const;   // the number truncated toward zero
  std::string text(int i) const;       // numbers as Oracle prints them, RAW as hex
  bool isBinary(int i) const;          // stored as a BLOB (RAW, BLOB)
  Bytes bytes(int i) const;            // a BLOB as it is; text through HEXTORAW (ORA-01465)
  DateTime date(int i) const;          // "YYYY-MM-DD HH:MM:SS", else text through NLS_DATE_FORMAT
  DateTime timestamp(int i) const;     // the same with its fraction, else through NLS_TIMESTAMP_FORMAT
  DateTime now() const;                // the session clock
  SessionContext& session() const { return session_; }

 private:
  std::string rawText(int i) const;

  int argc_;
  sqlite3_value** argv_;
  SessionContext& session_;
};

using Impl = Value (*)(const Args&);

struct Definition {
  const char* name;
  int minArgs;
  int maxArgs;          // -1: any number
  bool nullInNullOut;   // any NULL argument gives NULL without a call
  bool deterministic;   // same arguments, same result, whatever the session
  Impl impl;
};

// Oracle's '' is NULL: every text result goes through this.
Value textValue(std::string text);

// The tables of the library's parts, and all of them.
const std::vector<Definition>& generalDefinitions();
const std::vector<Definition>& stringDefinitions();
const std::vector<Definition>& regexpDefinitions();
const std::vector<Definition>& rawDefinitions();
const std::vector<Definition>& intervalDefinitions();
const std::vector<Definition>& timeZoneDefinitions();
const std::vector<Definition>& definitions();

}  // namespace engine::builtins
