// RAW functions: a RAW travels as a SQLite BLOB; text meets it as hex digits.
#include <map>

#include "engine/builtins/hash.h"
#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

namespace {

Value rawValue(Bytes bytes) { return bytes.empty() ? Value() : Value(std::move(bytes)); }

Value hexToRaw(const Args& a) { return rawValue(a.bytes(0)); }

// A RAW as hex; text is read as hex first, so it must be hex digits.
Value rawToHex(const Args& a) { return textValue(hexText(a.bytes(0))); }

// ---- hashes

// STANDARD_HASH's and DBMS_CRYPTO.HASH's input: a RAW as its bytes, anything else as its text.
std::string hashInput(const Args& a, int i) {
  if (a.isBinary(i)) {
    Bytes b = a.bytes(i);
    return std::string(b.begin(), b.end());
  }
  return a.text(i);
}

// STANDARD_HASH(expr [, method]): SHA1 unless told MD5, SHA256, SHA384 or SHA512.
Value standardHash(const Args& a) {
  std::string method = a.size() > 1 ? upperAscii(a.text(1)) : "SHA1";
  static const std::map<std::string, HashMethod> methods = {{"MD5", HashMethod::Md5},       {"SHA1", HashMethod::Sha1},
                                                            {"SHA256", HashMethod::Sha256}, {"SHA384", HashMethod::Sha384},
                                                            {"SHA512", HashMethod::Sha512}};
  auto it = methods.find(method);
  if (it == methods.end()) raise(3052);
  if (a.isNull(0)) return {};
  return Value(digest(it->second, hashInput(a, 0)));
}

// ORA_HASH(expr [, max_bucket [, seed]]): a bucket from 0 to max_bucket (default 4294967295) by a
// 64-bit FNV-1a hash of the value's text, mixed with the seed.
Value oraHash(const Args& a) {
  std::int64_t maxBucket = a.size() > 1 && !a.isNull(1) ? a.integer(1) : 4294967295LL;
  std::int64_t seed = a.size() > 2 && !a.isNull(2) ? a.integer(2) : 0;
  if (maxBucket < 0 || maxBucket > 4294967295LL) raise(1428, std::to_string(maxBucket));
  if (seed < 0 || seed > 4294967295LL) raise(1428, std::to_string(seed));
  if (a.isNull(0)) return {};
  std::string data = hashInput(a, 0);
  std::uint64_t h = 1469598103934665603ull ^ (static_cast<std::uint64_t>(seed) * 0x9E3779B97F4A7C15ull);
  for (unsigned char c : data) h = (h ^ c) * 1099511628211ull;
  h ^= h >> 29;
  return Value(static_cast<std::int64_t>(h % (static_cast<std::uint64_t>(maxBucket) + 1)));
}

Value toClob(const Args& a) { return textValue(a.text(0)); }

}  // namespace

const std::vector<Definition>& rawDefinitions() {
  static const std::vector<Definition> table = {
      // name            min max  strict deterministic
      {"ora_hextoraw", 1, 1, true, true, hexToRaw},
      {"ora_rawtohex", 1, 1, true, true, rawToHex},
      {"ora_standard_hash", 1, 2, false, true, standardHash},
      {"ora_hash", 1, 3, false, true, oraHash},
      {"ora_to_clob", 1, 1, true, true, toClob},
  };
  return table;
}

}  // namespace engine::builtins
