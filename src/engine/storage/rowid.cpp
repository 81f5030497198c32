#include "engine/storage/rowid.h"

#include <cstring>

namespace engine::storage {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int digitOf(char c) {
  const char* p = std::strchr(kAlphabet, c);
  return c != '\0' && p ? static_cast<int>(p - kAlphabet) : -1;
}

void put(std::string& out, std::uint64_t value, int digits) {
  for (int i = digits - 1; i >= 0; --i) out += kAlphabet[(value >> (6 * i)) & 63];
}
}  // namespace

std::string encodeRowid(std::int64_t objectId, std::int64_t rowid) {
  std::string out;
  put(out, static_cast<std::uint64_t>(objectId), 6);
  // 72 bits for a 64-bit rowid: the top digit holds the highest bits.
  put(out, 0, 1);
  put(out, static_cast<std::uint64_t>(rowid) >> 60, 1);
  put(out, static_cast<std::uint64_t>(rowid), 10);
  return out;
}

bool decodeRowid(const char* text, std::int64_t& objectId, std::int64_t& rowid) {
  if (!text || std::strlen(text) != 18) return false;
  std::uint64_t values[2] = {0, 0};
  for (int i = 0; i < 18; ++i) {
    int d = digitOf(text[i]);
    if (d < 0) return false;
    if (i < 6) values[0] = values[0] << 6 | static_cast<unsigned>(d);
    else if (i == 6 && d != 0) return false;
    else if (i == 7) values[1] = static_cast<std::uint64_t>(d) << 60;
    else if (i > 7) values[1] |= static_cast<std::uint64_t>(d) << (6 * (17 - i));
  }
  objectId = static_cast<std::int64_t>(values[0]);
  rowid = static_cast<std::int64_t>(values[1]);
  return true;
}

}  // namespace engine::storage
