// RAW functions: a RAW travels as a SQLite BLOB; text meets it as hex digits.
#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

namespace {

Value rawValue(Bytes bytes) { return bytes.empty() ? Value() : Value(std::move(bytes)); }

Value hexToRaw(const Args& a) { return rawValue(a.bytes(0)); }

// A RAW as hex; text is read as hex first, so it must be hex digits.
Value rawToHex(const Args& a) { return textValue(hexText(a.bytes(0))); }

}  // namespace

const std::vector<Definition>& rawDefinitions() {
  static const std::vector<Definition> table = {
      // name            min max  strict deterministic
      {"ora_hextoraw", 1, 1, true, true, hexToRaw},
      {"ora_rawtohex", 1, 1, true, true, rawToHex},
  };
  return table;
}

}  // namespace engine::builtins
