// DBMS_LOB over CLOB and BLOB values. A LOB here is its value: a CLOB is text counted in characters,
// a BLOB bytes; a temporary LOB starts empty (no characters or bytes, not NULL), and the procedures
// that write also take a NULL destination as empty. APPEND and WRITEAPPEND on a variable grow it in place (see
// the PL/SQL compiler's lobAppendCall), so a LOB built by many appends costs time linear in its length.

#include <algorithm>
#include <optional>

#include "engine/plsql/packages/native.h"

namespace engine::plsql {

namespace {

constexpr std::int64_t kMaxAmount = 32767;

// A LOB's content as code points (CLOB) or bytes (BLOB), edited alike and turned back into a value.
struct Lob {
  bool binary = false;
  std::u32string chars;
  Bytes bytes;

  std::int64_t size() const { return static_cast<std::int64_t>(binary ? bytes.size() : chars.size()); }
  Value value() const {
    if (binary) return Value(bytes);
    std::string text;
    text.reserve(chars.size());
    for (char32_t c : chars) appendUtf8(text, c);
    return Value(text);
  }
  static void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
};

std::u32string decode(const std::string& text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    out += c;
  }
  return out;
}

// Argument i as a LOB of the kind `binary` (the destination's kind when it has one).
Lob lobOf(NativeCall& c, std::size_t i, std::optional<bool> binary = std::nullopt) {
  Lob lob;
  const Value& v = c.arg(i);
  lob.binary = binary ? *binary : v.kind() == Value::Kind::Binary;
  if (v.isNull()) return lob;
  if (lob.binary) {
    if (v.kind() == Value::Kind::Binary) lob.bytes = v.asBytes();
    else raiseValueError("");
  } else {
    lob.chars = decode(c.text(i));
  }
  return lob;
}

[[noreturn]] void outOfRange(int argument) {
  raiseOraText(21560, "argument " + std::to_string(argument) + " is null, invalid, or out of range");
}

// Puts `count` units of `src` from `srcAt` into `dest` at `destAt` (0-based), padding a gap with
// blanks (CLOB) or zero bytes (BLOB).
void overwrite(Lob& dest, const Lob& src, std::int64_t srcAt, std::int64_t count, std::int64_t destAt) {
  auto put = [&](auto& d, const auto& s, auto pad) {
    if (static_cast<std::int64_t>(d.size()) < destAt) d.resize(static_cast<std::size_t>(destAt), pad);
    if (static_cast<std::int64_t>(d.size()) < destAt + count) d.resize(static_cast<std::size_t>(destAt + count), pad);
    std::copy(s.begin() + srcAt, s.begin() + srcAt + count, d.begin() + destAt);
  };
  if (dest.binary) put(dest.bytes, src.bytes, std::uint8_t{0});
  else put(dest.chars, src.chars, U' ');
}

Value getLength(NativeCall& c) {
  if (c.isNull(0)) return {};
  return Value(lobOf(c, 0).size());
}

// SUBSTR(lob, amount, offset): NULL for an amount or offset out of range or past the end.
Value substr(NativeCall& c) {
  if (c.isNull(0) || c.isNull(1) || c.isNull(2)) return {};
  Lob lob = lobOf(c, 0);
  std::int64_t amount = c.integer(1), offset = c.integer(2);
  if (amount < 1 || amount > kMaxAmount || offset < 1 || offset > lob.size()) return {};
  Lob part;
  part.binary = lob.binary;
  std::int64_t n = std::min(amount, lob.size() - offset + 1);
  overwrite(part, lob, offset - 1, n, 0);
  return part.value();
}

// INSTR(lob, pattern, offset, nth): where the nth match at or after offset starts, 0 when none.
Value instr(NativeCall& c) {
  if (c.isNull(0) || c.isNull(1) || c.isNull(2) || c.isNull(3)) return {};
  Lob lob = lobOf(c, 0);
  Lob pattern = lobOf(c, 1, lob.binary);
  std::int64_t offset = c.integer(2), nth = c.integer(3);
  if (offset < 1 || nth < 1 || pattern.size() == 0) return {};
  auto find = [&](const auto& hay, const auto& needle) -> std::int64_t {
    std::size_t from = static_cast<std::size_t>(offset - 1);
    while (from <= hay.size()) {
      auto at = std::search(hay.begin() + static_cast<std::ptrdiff_t>(std::min(from, hay.size())), hay.end(),
                            needle.begin(), needle.end());
      if (at == hay.end()) return 0;
      if (--nth == 0) return at - hay.begin() + 1;
      from = static_cast<std::size_t>(at - hay.begin()) + 1;
    }
    return 0;
  };
  return Value(lob.binary ? find(lob.bytes, pattern.bytes) : find(lob.chars, pattern.chars));
}

// APPEND(dest, src) when the destination is no variable (the compiler's in-place path takes those).
Value append(NativeCall& c) {
  Lob dest = lobOf(c, 0, c.arg(0).isNull() ? std::nullopt : std::optional<bool>(c.arg(0).kind() == Value::Kind::Binary));
  Lob src = lobOf(c, 1, dest.binary || c.arg(1).kind() == Value::Kind::Binary);
  dest.binary = dest.binary || src.binary;
  overwrite(dest, src, 0, src.size(), dest.size());
  return dest.value();
}

// WRITE(lob, amount, offset, buffer): amount units of buffer at offset, over what is there.
Value write(NativeCall& c) {
  Lob dest = lobOf(c, 0, c.arg(0).isNull() ? c.arg(3).kind() == Value::Kind::Binary : c.arg(0).kind() == Value::Kind::Binary);
  Lob buffer = lobOf(c, 3, dest.binary);
  if (c.isNull(1)) outOfRange(2);
  if (c.isNull(2)) outOfRange(3);
  std::int64_t amount = c.integer(1), offset = c.integer(2);
  if (amount < 1 || amount > buffer.size() || amount > kMaxAmount) outOfRange(2);
  if (offset < 1) outOfRange(3);
  overwrite(dest, buffer, 0, amount, offset - 1);
  return dest.value();
}

Value writeAppend(NativeCall& c) {
  Lob dest = lobOf(c, 0, c.arg(0).isNull() ? c.arg(2).kind() == Value::Kind::Binary : c.arg(0).kind() == Value::Kind::Binary);
  Lob buffer = lobOf(c, 2, dest.binary);
  if (c.isNull(1)) outOfRange(2);
  std::int64_t amount = c.integer(1);
  if (amount < 1 || amount > buffer.size() || amount > kMaxAmount) outOfRange(2);
  overwrite(dest, buffer, 0, amount, dest.size());
  return dest.value();
}

// COPY(dest, src, amount, dest_offset, src_offset).
Value copy(NativeCall& c) {
  Lob src = lobOf(c, 1);
  Lob dest = lobOf(c, 0, src.binary);
  if (c.isNull(2) || c.integer(2) < 0) outOfRange(3);
  if (c.isNull(3) || c.integer(3) < 1) outOfRange(4);
  if (c.isNull(4) || c.integer(4) < 1) outOfRange(5);
  std::int64_t srcAt = c.integer(4) - 1;
  std::int64_t amount = std::min(c.integer(2), std::max<std::int64_t>(0, src.size() - srcAt));
  if (amount > 0) overwrite(dest, src, srcAt, amount, c.integer(3) - 1);
  return dest.value();
}

// ERASE(lob, amount, offset): blanks (CLOB) or zero bytes (BLOB) in place; the amount erased comes
// back through ERASE_AMOUNT.
struct Erased {
  std::int64_t amount = 0;
};

Value erase(NativeCall& c) {
  Lob lob = lobOf(c, 0);
  if (c.isNull(1) || c.integer(1) < 0) outOfRange(2);
  if (c.isNull(2) || c.integer(2) < 1) outOfRange(3);
  std::int64_t at = c.integer(2) - 1;
  std::int64_t n = std::min(c.integer(1), std::max<std::int64_t>(0, lob.size() - at));
  if (lob.binary) std::fill_n(lob.bytes.begin() + at, n, std::uint8_t{0});
  else std::fill_n(lob.chars.begin() + at, n, U' ');
  c.state<Erased>("DBMS_LOB.ERASE").amount = n;
  return lob.value();
}

Value erasedAmount(NativeCall& c) { return Value(c.state<Erased>("DBMS_LOB.ERASE").amount); }

Value trim(NativeCall& c) {
  Lob lob = lobOf(c, 0);
  if (c.isNull(1) || c.integer(1) < 0) outOfRange(2);
  std::int64_t length = c.integer(1);
  if (length > lob.size()) raiseOraText(22926, "specified trim length is greater than current LOB value's length");
  if (lob.binary) lob.bytes.resize(static_cast<std::size_t>(length));
  else lob.chars.resize(static_cast<std::size_t>(length));
  return lob.value();
}

// COMPARE(a, b, amount, offset_a, offset_b): 0 equal, -1 or 1 as the first difference orders them;
// NULL for a NULL LOB or an offset or amount out of range.
Value compare(NativeCall& c) {
  if (c.isNull(0) || c.isNull(1)) return {};
  Lob a = lobOf(c, 0), b = lobOf(c, 1, a.binary);
  if (c.isNull(2) || c.isNull(3) || c.isNull(4)) return {};
  double amount = c.number(2);
  std::int64_t oa = c.integer(3), ob = c.integer(4);
  if (amount < 1 || oa < 1 || ob < 1) return {};
  auto cmp = [&](const auto& x, const auto& y) -> std::int64_t {
    for (double i = 0; i < amount; ++i) {
      auto ix = static_cast<std::size_t>(oa - 1 + static_cast<std::int64_t>(i));
      auto iy = static_cast<std::size_t>(ob - 1 + static_cast<std::int64_t>(i));
      bool endX = ix >= x.size(), endY = iy >= y.size();
      if (endX && endY) return 0;
      if (endX) return -1;
      if (endY) return 1;
      if (x[ix] != y[iy]) return x[ix] < y[iy] ? -1 : 1;
    }
    return 0;
  };
  return Value(a.binary ? cmp(a.bytes, b.bytes) : cmp(a.chars, b.chars));
}

}  // namespace

const std::vector<Native>& lobNatives() {
  static const std::vector<Native> natives = {
      {"LOB.GETLENGTH", DataType::Number, getLength},
      {"LOB.SUBSTR", DataType::Varchar2, substr},
      {"LOB.SUBSTR_RAW", DataType::Raw, substr},
      {"LOB.INSTR", DataType::Number, instr},
      {"LOB.APPEND", DataType::Clob, append},
      {"LOB.APPEND_BLOB", DataType::Blob, append},
      {"LOB.WRITE", DataType::Clob, write},
      {"LOB.WRITE_BLOB", DataType::Blob, write},
      {"LOB.WRITEAPPEND", DataType::Clob, writeAppend},
      {"LOB.WRITEAPPEND_BLOB", DataType::Blob, writeAppend},
      {"LOB.COPY", DataType::Clob, copy},
      {"LOB.COPY_BLOB", DataType::Blob, copy},
      {"LOB.ERASE", DataType::Clob, erase},
      {"LOB.ERASE_BLOB", DataType::Blob, erase},
      {"LOB.ERASED", DataType::Number, erasedAmount},
      {"LOB.TRIM", DataType::Clob, trim},
      {"LOB.TRIM_BLOB", DataType::Blob, trim},
      {"LOB.COMPARE", DataType::Number, compare},
  };
  return natives;
}

const BuiltinPackage dbmsLobPackage = {"DBMS_LOB", R"(PACKAGE dbms_lob AS
  file_readonly CONSTANT BINARY_INTEGER := 0;
  lob_readonly CONSTANT BINARY_INTEGER := 0;
  lob_readwrite CONSTANT BINARY_INTEGER := 1;
  session CONSTANT PLS_INTEGER := 10;
  call CONSTANT PLS_INTEGER := 12;
  lobmaxsize CONSTANT NUMBER := 18446744073709551615;
  default_csid CONSTANT INTEGER := 0;
  default_lang_ctx CONSTANT INTEGER := 0;
  warn_inconvertible_char CONSTANT INTEGER := 1;
  FUNCTION getlength(lob_loc IN CLOB) RETURN INTEGER;
  FUNCTION getlength(lob_loc IN BLOB) RETURN INTEGER;
  FUNCTION substr(lob_loc IN CLOB, amount IN INTEGER DEFAULT 32767, offset IN INTEGER DEFAULT 1) RETURN VARCHAR2;
  FUNCTION substr(lob_loc IN BLOB, amount IN INTEGER DEFAULT 32767, offset IN INTEGER DEFAULT 1) RETURN RAW;
  FUNCTION instr(lob_loc IN CLOB, pattern IN VARCHAR2, offset IN INTEGER DEFAULT 1, nth IN INTEGER DEFAULT 1) RETURN INTEGER;
  FUNCTION instr(lob_loc IN BLOB, pattern IN RAW, offset IN INTEGER DEFAULT 1, nth IN INTEGER DEFAULT 1) RETURN INTEGER;
  PROCEDURE append(dest_lob IN OUT NOCOPY CLOB, src_lob IN CLOB);
  PROCEDURE append(dest_lob IN OUT NOCOPY BLOB, src_lob IN BLOB);
  PROCEDURE write(lob_loc IN OUT NOCOPY CLOB, amount IN INTEGER, offset IN INTEGER, buffer IN VARCHAR2);
  PROCEDURE write(lob_loc IN OUT NOCOPY BLOB, amount IN INTEGER, offset IN INTEGER, buffer IN RAW);
  PROCEDURE writeappend(lob_loc IN OUT NOCOPY CLOB, amount IN INTEGER, buffer IN VARCHAR2);
  PROCEDURE writeappend(lob_loc IN OUT NOCOPY BLOB, amount IN INTEGER, buffer IN RAW);
  PROCEDURE copy(dest_lob IN OUT NOCOPY CLOB, src_lob IN CLOB, amount IN INTEGER, dest_offset IN INTEGER DEFAULT 1, src_offset IN INTEGER DEFAULT 1);
  PROCEDURE copy(dest_lob IN OUT NOCOPY BLOB, src_lob IN BLOB, amount IN INTEGER, dest_offset IN INTEGER DEFAULT 1, src_offset IN INTEGER DEFAULT 1);
  PROCEDURE erase(lob_loc IN OUT NOCOPY CLOB, amount IN OUT NOCOPY INTEGER, offset IN INTEGER DEFAULT 1);
  PROCEDURE erase(lob_loc IN OUT NOCOPY BLOB, amount IN OUT NOCOPY INTEGER, offset IN INTEGER DEFAULT 1);
  PROCEDURE trim(lob_loc IN OUT NOCOPY CLOB, newlen IN INTEGER);
  PROCEDURE trim(lob_loc IN OUT NOCOPY BLOB, newlen IN INTEGER);
  FUNCTION compare(lob_1 IN CLOB, lob_2 IN CLOB, amount IN NUMBER DEFAULT 18446744073709551615, offset_1 IN INTEGER DEFAULT 1, offset_2 IN INTEGER DEFAULT 1) RETURN INTEGER;
  FUNCTION compare(lob_1 IN BLOB, lob_2 IN BLOB, amount IN NUMBER DEFAULT 18446744073709551615, offset_1 IN INTEGER DEFAULT 1, offset_2 IN INTEGER DEFAULT 1) RETURN INTEGER;
  PROCEDURE createtemporary(lob_loc IN OUT NOCOPY CLOB, cache IN BOOLEAN, dur IN PLS_INTEGER DEFAULT 10);
  PROCEDURE createtemporary(lob_loc IN OUT NOCOPY BLOB, cache IN BOOLEAN, dur IN PLS_INTEGER DEFAULT 10);
  PROCEDURE freetemporary(lob_loc IN OUT NOCOPY CLOB);
  PROCEDURE freetemporary(lob_loc IN OUT NOCOPY BLOB);
  FUNCTION istemporary(lob_loc IN CLOB) RETURN INTEGER;
  FUNCTION istemporary(lob_loc IN BLOB) RETURN INTEGER;
  PROCEDURE open(lob_loc IN OUT NOCOPY CLOB, open_mode IN BINARY_INTEGER);
  PROCEDURE open(lob_loc IN OUT NOCOPY BLOB, open_mode IN BINARY_INTEGER);
  PROCEDURE close(lob_loc IN OUT NOCOPY CLOB);
  PROCEDURE close(lob_loc IN OUT NOCOPY BLOB);
  FUNCTION isopen(lob_loc IN CLOB) RETURN INTEGER;
  FUNCTION isopen(lob_loc IN BLOB) RETURN INTEGER;
END;)",
                                       R"(PACKAGE BODY dbms_lob AS
  FUNCTION getlength(lob_loc IN CLOB) RETURN INTEGER IS BEGIN RETURN nuvo$native('LOB.GETLENGTH', lob_loc); END;
  FUNCTION getlength(lob_loc IN BLOB) RETURN INTEGER IS BEGIN RETURN nuvo$native('LOB.GETLENGTH', lob_loc); END;
  FUNCTION substr(lob_loc IN CLOB, amount IN INTEGER DEFAULT 32767, offset IN INTEGER DEFAULT 1) RETURN VARCHAR2 IS
  BEGIN RETURN nuvo$native('LOB.SUBSTR', lob_loc, amount, offset); END;
  FUNCTION substr(lob_loc IN BLOB, amount IN INTEGER DEFAULT 32767, offset IN INTEGER DEFAULT 1) RETURN RAW IS
  BEGIN RETURN nuvo$native('LOB.SUBSTR_RAW', lob_loc, amount, offset); END;
  FUNCTION instr(lob_loc IN CLOB, pattern IN VARCHAR2, offset IN INTEGER DEFAULT 1, nth IN INTEGER DEFAULT 1) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOB.INSTR', lob_loc, pattern, offset, nth); END;
  FUNCTION instr(lob_loc IN BLOB, pattern IN RAW, offset IN INTEGER DEFAULT 1, nth IN INTEGER DEFAULT 1) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOB.INSTR', lob_loc, pattern, offset, nth); END;
  PROCEDURE append(dest_lob IN OUT NOCOPY CLOB, src_lob IN CLOB) IS
  BEGIN dest_lob := nuvo$native('LOB.APPEND', dest_lob, src_lob); END;
  PROCEDURE append(dest_lob IN OUT NOCOPY BLOB, src_lob IN BLOB) IS
  BEGIN dest_lob := nuvo$native('LOB.APPEND_BLOB', dest_lob, src_lob); END;
  PROCEDURE write(lob_loc IN OUT NOCOPY CLOB, amount IN INTEGER, offset IN INTEGER, buffer IN VARCHAR2) IS
  BEGIN lob_loc := nuvo$native('LOB.WRITE', lob_loc, amount, offset, buffer); END;
  PROCEDURE write(lob_loc IN OUT NOCOPY BLOB, amount IN INTEGER, offset IN INTEGER, buffer IN RAW) IS
  BEGIN lob_loc := nuvo$native('LOB.WRITE_BLOB', lob_loc, amount, offset, buffer); END;
  PROCEDURE writeappend(lob_loc IN OUT NOCOPY CLOB, amount IN INTEGER, buffer IN VARCHAR2) IS
  BEGIN lob_loc := nuvo$native('LOB.WRITEAPPEND', lob_loc, amount, buffer); END;
  PROCEDURE writeappend(lob_loc IN OUT NOCOPY BLOB, amount IN INTEGER, buffer IN RAW) IS
  BEGIN lob_loc := nuvo$native('LOB.WRITEAPPEND_BLOB', lob_loc, amount, buffer); END;
  PROCEDURE copy(dest_lob IN OUT NOCOPY CLOB, src_lob IN CLOB, amount IN INTEGER, dest_offset IN INTEGER DEFAULT 1, src_offset IN INTEGER DEFAULT 1) IS
  BEGIN dest_lob := nuvo$native('LOB.COPY', dest_lob, src_lob, amount, dest_offset, src_offset); END;
  PROCEDURE copy(dest_lob IN OUT NOCOPY BLOB, src_lob IN BLOB, amount IN INTEGER, dest_offset IN INTEGER DEFAULT 1, src_offset IN INTEGER DEFAULT 1) IS
  BEGIN dest_lob := nuvo$native('LOB.COPY_BLOB', dest_lob, src_lob, amount, dest_offset, src_offset); END;
  PROCEDURE erase(lob_loc IN OUT NOCOPY CLOB, amount IN OUT NOCOPY INTEGER, offset IN INTEGER DEFAULT 1) IS
  BEGIN
    lob_loc := nuvo$native('LOB.ERASE', lob_loc, amount, offset);
    amount := nuvo$native('LOB.ERASED');
  END;
  PROCEDURE erase(lob_loc IN OUT NOCOPY BLOB, amount IN OUT NOCOPY INTEGER, offset IN INTEGER DEFAULT 1) IS
  BEGIN
    lob_loc := nuvo$native('LOB.ERASE_BLOB', lob_loc, amount, offset);
    amount := nuvo$native('LOB.ERASED');
  END;
  PROCEDURE trim(lob_loc IN OUT NOCOPY CLOB, newlen IN INTEGER) IS BEGIN lob_loc := nuvo$native('LOB.TRIM', lob_loc, newlen); END;
  PROCEDURE trim(lob_loc IN OUT NOCOPY BLOB, newlen IN INTEGER) IS BEGIN lob_loc := nuvo$native('LOB.TRIM_BLOB', lob_loc, newlen); END;
  FUNCTION compare(lob_1 IN CLOB, lob_2 IN CLOB, amount IN NUMBER DEFAULT 18446744073709551615, offset_1 IN INTEGER DEFAULT 1, offset_2 IN INTEGER DEFAULT 1) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOB.COMPARE', lob_1, lob_2, amount, offset_1, offset_2); END;
  FUNCTION compare(lob_1 IN BLOB, lob_2 IN BLOB, amount IN NUMBER DEFAULT 18446744073709551615, offset_1 IN INTEGER DEFAULT 1, offset_2 IN INTEGER DEFAULT 1) RETURN INTEGER IS
  BEGIN RETURN nuvo$native('LOB.COMPARE', lob_1, lob_2, amount, offset_1, offset_2); END;
  PROCEDURE createtemporary(lob_loc IN OUT NOCOPY CLOB, cache IN BOOLEAN, dur IN PLS_INTEGER DEFAULT 10) IS
  BEGIN lob_loc := EMPTY_CLOB(); END;
  PROCEDURE createtemporary(lob_loc IN OUT NOCOPY BLOB, cache IN BOOLEAN, dur IN PLS_INTEGER DEFAULT 10) IS
  BEGIN lob_loc := EMPTY_BLOB(); END;
  PROCEDURE freetemporary(lob_loc IN OUT NOCOPY CLOB) IS BEGIN lob_loc := NULL; END;
  PROCEDURE freetemporary(lob_loc IN OUT NOCOPY BLOB) IS BEGIN lob_loc := NULL; END;
  FUNCTION istemporary(lob_loc IN CLOB) RETURN INTEGER IS BEGIN RETURN CASE WHEN lob_loc IS NULL THEN 0 ELSE 1 END; END;
  FUNCTION istemporary(lob_loc IN BLOB) RETURN INTEGER IS BEGIN RETURN CASE WHEN lob_loc IS NULL THEN 0 ELSE 1 END; END;
  PROCEDURE open(lob_loc IN OUT NOCOPY CLOB, open_mode IN BINARY_INTEGER) IS BEGIN NULL; END;
  PROCEDURE open(lob_loc IN OUT NOCOPY BLOB, open_mode IN BINARY_INTEGER) IS BEGIN NULL; END;
  PROCEDURE close(lob_loc IN OUT NOCOPY CLOB) IS BEGIN NULL; END;
  PROCEDURE close(lob_loc IN OUT NOCOPY BLOB) IS BEGIN NULL; END;
  FUNCTION isopen(lob_loc IN CLOB) RETURN INTEGER IS BEGIN RETURN 0; END;
  FUNCTION isopen(lob_loc IN BLOB) RETURN INTEGER IS BEGIN RETURN 0; END;
END;)"};

}  // namespace engine::plsql
