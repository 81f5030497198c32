// String functions. Positions and lengths count characters of the UTF-8 text, not bytes.
#include <algorithm>
#include <optional>
#include <vector>

#include "engine/builtins/internal.h"
#include "engine/builtins/library.h"

namespace engine::builtins {

namespace {

Value textValue32(std::u32string_view text) { return textValue(encodeUtf8(text)); }

std::u32string text32(const Args& a, int i) { return decodeUtf8(a.text(i)); }

std::int64_t argOr(const Args& a, int i, std::int64_t fallback) { return a.size() > i ? a.integer(i) : fallback; }

Value concat(const Args& a) { return textValue(a.text(0) + a.text(1)); }

Value substr(const Args& a) {
  std::u32string s = text32(a, 0);
  auto length = static_cast<std::int64_t>(s.size());
  std::int64_t pos = a.integer(1);
  std::int64_t start = pos > 0 ? pos - 1 : pos == 0 ? 0 : length + pos;  // 0 counts as 1, negatives from the end
  if (start < 0 || start >= length) return {};
  std::int64_t count = a.size() > 2 ? a.integer(2) : length - start;
  if (count < 1) return {};
  return textValue32(std::u32string_view(s).substr(start, static_cast<std::size_t>(std::min(count, length - start))));
}

Value instr(const Args& a) {
  std::u32string s = text32(a, 0), sub = text32(a, 1);
  std::int64_t pos = argOr(a, 2, 1), occurrence = argOr(a, 3, 1);
  if (occurrence <= 0) raise(1428, std::to_string(occurrence));
  auto length = static_cast<std::int64_t>(s.size()), subLength = static_cast<std::int64_t>(sub.size());
  if (pos == 0 || subLength > length) return Value(std::int64_t{0});
  auto matchesAt = [&](std::int64_t i) { return s.compare(static_cast<std::size_t>(i), sub.size(), sub) == 0; };
  if (pos > 0) {
    for (std::int64_t i = pos - 1; i + subLength <= length; ++i)
      if (matchesAt(i) && --occurrence == 0) return Value(i + 1);
  } else {
    // A negative position counts from the end and searches backward.
    for (std::int64_t i = std::min(length + pos, length - subLength); i >= 0; --i)
      if (matchesAt(i) && --occurrence == 0) return Value(i + 1);
  }
  return Value(std::int64_t{0});
}

// RAW counts bytes, text characters.
Value length(const Args& a) {
  if (a.isBinary(0)) return Value(static_cast<std::int64_t>(a.bytes(0).size()));
  return Value(static_cast<std::int64_t>(text32(a, 0).size()));
}

Value mapCase(const Args& a, char32_t (*map)(char32_t)) {
  std::u32string s = text32(a, 0);
  std::transform(s.begin(), s.end(), s.begin(), map);
  return textValue32(s);
}
Value upper(const Args& a) { return mapCase(a, toUpper); }
Value lower(const Args& a) { return mapCase(a, toLower); }

Value initcap(const Args& a) {
  std::u32string s = text32(a, 0);
  bool wordStart = true;
  for (char32_t& c : s) {
    bool alnum = isAlphanumeric(c);
    c = alnum && wordStart ? toUpper(c) : toLower(c);
    wordStart = !alnum;
  }
  return textValue32(s);
}

enum class Side { Leading, Trailing, Both };

Value trimSet(std::u32string s, const std::u32string& set, Side side) {
  auto inSet = [&set](char32_t c) { return set.find(c) != std::u32string::npos; };
  std::size_t begin = 0, end = s.size();
  if (side != Side::Trailing)
    while (begin < end && inSet(s[begin])) ++begin;
  if (side != Side::Leading)
    while (end > begin && inSet(s[end - 1])) --end;
  return textValue32(std::u32string_view(s).substr(begin, end - begin));
}

std::u32string setOrBlank(const Args& a, int i) { return a.size() > i ? text32(a, i) : U" "; }

Value ltrim(const Args& a) { return trimSet(text32(a, 0), setOrBlank(a, 1), Side::Leading); }
Value rtrim(const Args& a) { return trimSet(text32(a, 0), setOrBlank(a, 1), Side::Trailing); }
Value trim(const Args& a) { return trimSet(text32(a, 0), U" ", Side::Both); }

// TRIM(LEADING|TRAILING|BOTH ch FROM s)
Value trim3(const Args& a) {
  std::string mode = upperAscii(a.text(0));
  std::u32string ch = text32(a, 1);
  if (ch.size() != 1) raise(30001);
  Side side = mode == "LEADING" ? Side::Leading : mode == "TRAILING" ? Side::Trailing : Side::Both;
  return trimSet(text32(a, 2), ch, side);
}

// The longest text a VARCHAR2 holds; padding stops there, whatever width was asked for.
constexpr std::int64_t kMaxTextLength = 32767;

Value pad(const Args& a, bool left) {
  std::u32string s = text32(a, 0);
  std::int64_t width = std::min(a.integer(1), kMaxTextLength);
  if (width < 1) return {};
  auto target = static_cast<std::size_t>(width);
  if (s.size() >= target) return textValue32(std::u32string_view(s).substr(0, target));  // too long: cut
  std::u32string filler = setOrBlank(a, 2), padding;
  while (padding.size() < target - s.size()) padding += filler;
  padding.resize(target - s.size());
  return textValue32(left ? padding + s : s + padding);
}
Value lpad(const Args& a) { return pad(a, true); }
Value rpad(const Args& a) { return pad(a, false); }

Value replace(const Args& a) {
  if (a.isNull(0)) return {};
  std::string s = a.text(0), from = a.text(1), to = a.text(2);
  if (from.empty()) return textValue(s);
  std::string out;
  std::size_t at = 0;
  for (std::size_t hit; (hit = s.find(from, at)) != std::string::npos; at = hit + from.size())
    out += s.substr(at, hit - at) + to;
  return textValue(out + s.substr(at));
}

Value translate(const Args& a) {
  std::u32string s = text32(a, 0), from = text32(a, 1), to = text32(a, 2), out;
  for (char32_t c : s) {
    std::size_t k = from.find(c);  // the first occurrence in `from` decides
    if (k == std::u32string::npos)
      out += c;
    else if (k < to.size())
      out += to[k];  // characters without a counterpart in `to` are removed
  }
  return textValue32(out);
}

// CHR and ASCII work on the character's bytes in the database character set (UTF-8).
Value chr(const Args& a) {
  std::int64_t code = a.integer(0);
  if (code < 0 || code > 0xFFFFFFFFLL) raise(1428, std::to_string(code));
  std::string bytes;
  for (std::int64_t rest = code; rest > 0; rest >>= 8) bytes.insert(bytes.begin(), static_cast<char>(rest & 0xFF));
  if (bytes.empty()) bytes.push_back('\0');
  return Value(bytes);
}

Value ascii(const Args& a) {
  std::u32string s = text32(a, 0);
  std::string bytes = encodeUtf8(std::u32string_view(s).substr(0, 1));
  std::int64_t code = 0;
  for (char b : bytes) code = code * 256 + static_cast<unsigned char>(b);
  return Value(code);
}

// LIKE: '%' any run, '_' one character, both taken literally after the escape character.
struct PatternItem {
  enum Kind { Literal, One, Any } kind;
  char32_t c;
};

std::vector<PatternItem> compileLike(const std::u32string& pattern, std::optional<char32_t> escape) {
  std::vector<PatternItem> items;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char32_t c = pattern[i];
    if (escape && c == *escape) {
      if (i + 1 == pattern.size()) raise(1424);
      char32_t next = pattern[++i];
      if (next != U'%' && next != U'_' && next != *escape) raise(1424);
      items.push_back({PatternItem::Literal, next});
    } else if (c == U'%') {
      items.push_back({PatternItem::Any, 0});
    } else {
      items.push_back({c == U'_' ? PatternItem::One : PatternItem::Literal, c});
    }
  }
  return items;
}

bool likeMatches(const std::u32string& s, const std::vector<PatternItem>& p) {
  std::size_t si = 0, pi = 0, starP = std::string::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi].kind == PatternItem::Any) {
      starP = pi++;
      starS = si;
    } else if (pi < p.size() && (p[pi].kind == PatternItem::One || p[pi].c == s[si])) {
      ++pi;
      ++si;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi].kind == PatternItem::Any) ++pi;
  return pi == p.size();
}

Value like(const Args& a) {
  std::optional<char32_t> escape;
  if (a.size() > 2) {
    std::u32string e = text32(a, 2);
    if (e.size() != 1) raise(1425);
    escape = e[0];
  }
  return Value(std::int64_t{likeMatches(text32(a, 0), compileLike(text32(a, 1), escape)) ? 1 : 0});
}

}  // namespace

const std::vector<Definition>& stringDefinitions() {
  static const std::vector<Definition> table = {
      // name            min max  strict deterministic
      {"ora_concat", 2, 2, false, true, concat},
      {"ora_substr", 2, 3, true, true, substr},
      {"ora_instr", 2, 4, true, true, instr},
      {"ora_length", 1, 1, true, true, length},
      {"ora_upper", 1, 1, true, true, upper},
      {"ora_lower", 1, 1, true, true, lower},
      {"ora_initcap", 1, 1, true, true, initcap},
      {"ora_ltrim", 1, 2, true, true, ltrim},
      {"ora_rtrim", 1, 2, true, true, rtrim},
      {"ora_trim", 1, 1, true, true, trim},
      {"ora_trim3", 3, 3, true, true, trim3},
      {"ora_lpad", 2, 3, true, true, lpad},
      {"ora_rpad", 2, 3, true, true, rpad},
      {"ora_replace", 2, 3, false, true, replace},
      {"ora_translate", 3, 3, true, true, translate},
      {"ora_chr", 1, 1, true, true, chr},
      {"ora_ascii", 1, 1, true, true, ascii},
      {"ora_like", 2, 3, true, true, like},
  };
  return table;
}

}  // namespace engine::builtins
