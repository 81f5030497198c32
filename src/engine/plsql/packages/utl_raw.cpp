// UTL_RAW: byte strings (RAW) cast from and to text and integers, cut, joined, compared and combined
// bit by bit; UTL_I18N's conversions of text to and from the bytes of a character set.

#include <iconv.h>

#include <algorithm>
#include <map>

#include "engine/builtins/functions.h"
#include "engine/plsql/packages/native.h"

namespace engine::plsql {

namespace {

constexpr std::size_t kMaxRaw = 32767;  // the longest RAW PL/SQL holds

Bytes bytesOf(NativeCall& c, std::size_t i) {
  const Value& v = c.arg(i);
  if (v.isNull()) return {};
  if (v.kind() == Value::Kind::Binary) return v.asBytes();
  Bytes out;
  if (!builtins::parseHex(c.text(i), out)) raiseValueError("hex to raw conversion error");
  return out;
}

Value rawValue(Bytes bytes) {
  if (bytes.size() > kMaxRaw) raiseValueError("raw variable length too long");
  return bytes.empty() ? Value() : Value(std::move(bytes));
}

Value castToRaw(NativeCall& c) {
  std::string text = c.text(0);
  return rawValue(Bytes(text.begin(), text.end()));
}

Value castToVarchar2(NativeCall& c) {
  Bytes b = bytesOf(c, 0);
  return b.empty() ? Value() : Value(std::string(b.begin(), b.end()));
}

Value length(NativeCall& c) { return Value(static_cast<std::int64_t>(bytesOf(c, 0).size())); }

// Bytes pos (from 1; negative counts from the end) for len bytes; 0, a negative length or a range
// outside the value is a value error.
Value substr(NativeCall& c) {
  if (c.isNull(0)) return {};
  Bytes b = bytesOf(c, 0);
  auto size = static_cast<std::int64_t>(b.size());
  std::int64_t pos = c.integer(1);
  if (c.isNull(1) || pos == 0 || pos > size || -pos > size) raiseValueError("");
  std::int64_t start = pos > 0 ? pos - 1 : size + pos;
  std::int64_t len = c.isNull(2) ? size - start : c.integer(2);
  if (len < 1 || start + len > size) raiseValueError("");
  return rawValue(Bytes(b.begin() + start, b.begin() + start + len));
}

Value concat(NativeCall& c) {
  Bytes out;
  for (std::size_t i = 0; i < c.args.size(); ++i) {
    Bytes b = bytesOf(c, i);
    out.insert(out.end(), b.begin(), b.end());
  }
  return rawValue(std::move(out));
}

// Combines the bytes the two share; the rest of the longer is kept as it is.
template <int op>
Value bitwise(NativeCall& c) {
  if (c.isNull(0) || c.isNull(1)) return {};
  Bytes a = bytesOf(c, 0), b = bytesOf(c, 1);
  if (a.size() < b.size()) std::swap(a, b);
  for (std::size_t i = 0; i < b.size(); ++i)
    a[i] = static_cast<std::uint8_t>(op == 0 ? a[i] & b[i] : op == 1 ? a[i] | b[i] : a[i] ^ b[i]);
  return rawValue(std::move(a));
}

Value complement(NativeCall& c) {
  Bytes b = bytesOf(c, 0);
  for (auto& byte : b) byte = static_cast<std::uint8_t>(~byte);
  return rawValue(std::move(b));
}

// 0 when equal (the shorter padded with `pad`, 0x00 by default), else the position of the first
// byte that differs.
Value compare(NativeCall& c) {
  Bytes a = bytesOf(c, 0), b = bytesOf(c, 1);
  std::uint8_t pad = 0;
  if (!c.isNull(2)) {
    Bytes p = bytesOf(c, 2);
    if (!p.empty()) pad = p[0];
  }
  std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t x = i < a.size() ? a[i] : pad, y = i < b.size() ? b[i] : pad;
    if (x != y) return Value(static_cast<std::int64_t>(i + 1));
  }
  return Value(std::int64_t{0});
}

Value reverse(NativeCall& c) {
  Bytes b = bytesOf(c, 0);
  if (b.empty()) raiseValueError("");
  return rawValue(Bytes(b.rbegin(), b.rend()));
}

Value copies(NativeCall& c) {
  Bytes b = bytesOf(c, 0);
  std::int64_t n = c.integer(1);
  if (b.empty() || c.isNull(1) || n < 1) raiseValueError("");
  if (static_cast<double>(b.size()) * static_cast<double>(n) > kMaxRaw) raiseValueError("raw variable length too long");
  Bytes out;
  for (std::int64_t i = 0; i < n; ++i) out.insert(out.end(), b.begin(), b.end());
  return rawValue(std::move(out));
}

// Endianness: 1 big, 2 little, 3 this machine's (little).
bool littleEndian(NativeCall& c, std::size_t i) {
  std::int64_t e = c.integer(i, 1);
  if (e < 1 || e > 3) raiseValueError("");
  return e != 1;
}

Value fromBinaryInteger(NativeCall& c) {
  if (c.isNull(0)) return {};
  auto n = static_cast<std::uint32_t>(static_cast<std::int32_t>(c.integer(0)));
  Bytes b(4);
  for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (24 - 8 * i));
  if (littleEndian(c, 1)) std::reverse(b.begin(), b.end());
  return rawValue(std::move(b));
}

// Up to four bytes, read as a signed 32-bit integer; fewer bytes are the low-order ones.
Value toBinaryInteger(NativeCall& c) {
  if (c.isNull(0)) return {};
  Bytes b = bytesOf(c, 0);
  if (b.size() > 4) raiseValueError("");
  if (littleEndian(c, 1)) std::reverse(b.begin(), b.end());
  std::uint32_t n = 0;
  for (auto byte : b) n = (n << 8) | byte;
  if (b.size() < 4) return Value(static_cast<std::int64_t>(n));
  return Value(static_cast<std::int64_t>(static_cast<std::int32_t>(n)));
}

// A NUMBER in its stored form: an exponent byte (192 plus the count of base-100 digits before the
// point; for negatives 63 minus it), then the base-100 digits, each plus one (negatives: 101 minus
// the digit, closed by 102 when fewer than 20). Zero is 0x80.
Value fromNumber(NativeCall& c) {
  if (c.isNull(0)) return {};
  std::string text = c.text(0);
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  std::string whole = text, fraction;
  if (auto dot = text.find('.'); dot != std::string::npos) {
    whole = text.substr(0, dot);
    fraction = text.substr(dot + 1);
  }
  if (whole.find_first_not_of("0123456789") != std::string::npos ||
      fraction.find_first_not_of("0123456789") != std::string::npos)
    raiseValueError("");  // exponent notation: outside what this form is asked for
  while (!whole.empty() && whole[0] == '0') whole.erase(0, 1);
  if (whole.size() % 2) whole.insert(0, "0");
  if (fraction.size() % 2) fraction += '0';
  std::string digits = whole + fraction;
  int exponent = static_cast<int>(whole.size() / 2);
  // Leading zero pairs of a fraction lower the exponent.
  std::size_t lead = 0;
  while (lead + 1 < digits.size() && digits.compare(lead, 2, "00") == 0) lead += 2;
  if (lead == digits.size() || digits.find_first_not_of('0') == std::string::npos) return Value(Bytes{0x80});
  exponent -= static_cast<int>(lead / 2);
  digits.erase(0, lead);
  while (digits.size() >= 2 && digits.compare(digits.size() - 2, 2, "00") == 0) digits.erase(digits.size() - 2);
  Bytes out;
  out.push_back(static_cast<std::uint8_t>(negative ? 63 - exponent : 192 + exponent));
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    int d = (digits[i] - '0') * 10 + (digits[i + 1] - '0');
    out.push_back(static_cast<std::uint8_t>(negative ? 101 - d : d + 1));
  }
  if (negative && out.size() < 21) out.push_back(102);
  return rawValue(std::move(out));
}

Value toNumber(NativeCall& c) {
  if (c.isNull(0)) return {};
  Bytes b = bytesOf(c, 0);
  if (b.size() == 1 && b[0] == 0x80) return Value(std::int64_t{0});
  bool negative = b[0] < 0x80;
  std::size_t end = b.size();
  if (negative && end > 1 && b[end - 1] == 102) --end;
  int exponent = negative ? 63 - b[0] : b[0] - 192;
  std::string digits;
  for (std::size_t i = 1; i < end; ++i) {
    int d = negative ? 101 - b[i] : b[i] - 1;
    if (d < 0 || d > 99) raiseValueError("");
    digits += static_cast<char>('0' + d / 10);
    digits += static_cast<char>('0' + d % 10);
  }
  // The value is 0.digits * 100^exponent.
  int point = 2 * exponent;
  std::string text;
  if (point <= 0) text = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  else if (point >= static_cast<int>(digits.size())) text = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
  else text = digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
  return builtins::parseNumber((negative ? "-" : "") + text);
}

// ---- UTL_I18N

// Oracle's character set names as iconv knows them.
std::string iconvName(const std::string& charset) {
  static const std::map<std::string, std::string> names = {
      {"AL32UTF8", "UTF-8"},        {"UTF8", "UTF-8"},          {"AL16UTF16", "UTF-16BE"},
      {"EE8MSWIN1250", "CP1250"},   {"WE8MSWIN1252", "CP1252"}, {"CL8MSWIN1251", "CP1251"},
      {"WE8ISO8859P1", "ISO-8859-1"}, {"EE8ISO8859P2", "ISO-8859-2"}, {"WE8ISO8859P15", "ISO-8859-15"},
      {"US7ASCII", "ASCII"},
  };
  std::string key = upperCase(trimmed(charset));
  if (key.empty()) return "UTF-8";
  auto it = names.find(key);
  if (it == names.end()) raiseValueError("");
  return it->second;
}

std::string convert(const std::string& text, const std::string& from, const std::string& to) {
  if (from == to) return text;
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) raiseValueError("");
  std::string out(text.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size(), outLeft = out.size();
  char* o = out.data();
  std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) raiseValueError("");
  out.resize(out.size() - outLeft);
  return out;
}

Value stringToRaw(NativeCall& c) {
  if (c.isNull(0)) return {};
  std::string bytes = convert(c.text(0), "UTF-8", iconvName(c.text(1)));
  return rawValue(Bytes(bytes.begin(), bytes.end()));
}

Value rawToChar(NativeCall& c) {
  if (c.isNull(0)) return {};
  Bytes b = bytesOf(c, 0);
  std::string text = convert(std::string(b.begin(), b.end()), iconvName(c.text(1)), "UTF-8");
  return text.empty() ? Value() : Value(text);
}

}  // namespace

const std::vector<Native>& rawNatives() {
  static const std::vector<Native> natives = {
      {"RAW.CAST_TO_RAW", DataType::Raw, castToRaw},
      {"RAW.CAST_TO_VARCHAR2", DataType::Varchar2, castToVarchar2},
      {"RAW.LENGTH", DataType::Number, length},
      {"RAW.SUBSTR", DataType::Raw, substr},
      {"RAW.CONCAT", DataType::Raw, concat},
      {"RAW.BIT_AND", DataType::Raw, bitwise<0>},
      {"RAW.BIT_OR", DataType::Raw, bitwise<1>},
      {"RAW.BIT_XOR", DataType::Raw, bitwise<2>},
      {"RAW.BIT_COMPLEMENT", DataType::Raw, complement},
      {"RAW.COMPARE", DataType::Number, compare},
      {"RAW.REVERSE", DataType::Raw, reverse},
      {"RAW.COPIES", DataType::Raw, copies},
      {"RAW.FROM_BINARY_INTEGER", DataType::Raw, fromBinaryInteger},
      {"RAW.TO_BINARY_INTEGER", DataType::Number, toBinaryInteger},
      {"RAW.FROM_NUMBER", DataType::Raw, fromNumber},
      {"RAW.TO_NUMBER", DataType::Number, toNumber},
      {"I18N.STRING_TO_RAW", DataType::Raw, stringToRaw},
      {"I18N.RAW_TO_CHAR", DataType::Varchar2, rawToChar},
  };
  return natives;
}

const BuiltinPackage utlRawPackage = {"UTL_RAW", R"(PACKAGE utl_raw AS
  big_endian CONSTANT PLS_INTEGER := 1;
  little_endian CONSTANT PLS_INTEGER := 2;
  machine_endian CONSTANT PLS_INTEGER := 3;
  FUNCTION cast_to_raw(c IN VARCHAR2) RETURN RAW;
  FUNCTION cast_to_varchar2(r IN RAW) RETURN VARCHAR2;
  FUNCTION length(r IN RAW) RETURN NUMBER;
  FUNCTION substr(r IN RAW, pos IN BINARY_INTEGER, len IN BINARY_INTEGER DEFAULT NULL) RETURN RAW;
  FUNCTION concat(r1 IN RAW DEFAULT NULL, r2 IN RAW DEFAULT NULL, r3 IN RAW DEFAULT NULL, r4 IN RAW DEFAULT NULL,
                  r5 IN RAW DEFAULT NULL, r6 IN RAW DEFAULT NULL, r7 IN RAW DEFAULT NULL, r8 IN RAW DEFAULT NULL,
                  r9 IN RAW DEFAULT NULL, r10 IN RAW DEFAULT NULL, r11 IN RAW DEFAULT NULL, r12 IN RAW DEFAULT NULL) RETURN RAW;
  FUNCTION bit_and(r1 IN RAW, r2 IN RAW) RETURN RAW;
  FUNCTION bit_or(r1 IN RAW, r2 IN RAW) RETURN RAW;
  FUNCTION bit_xor(r1 IN RAW, r2 IN RAW) RETURN RAW;
  FUNCTION bit_complement(r IN RAW) RETURN RAW;
  FUNCTION compare(r1 IN RAW, r2 IN RAW, pad IN RAW DEFAULT NULL) RETURN NUMBER;
  FUNCTION reverse(r IN RAW) RETURN RAW;
  FUNCTION copies(r IN RAW, n IN NUMBER) RETURN RAW;
  FUNCTION cast_from_binary_integer(n IN BINARY_INTEGER, endianess IN PLS_INTEGER DEFAULT 1) RETURN RAW;
  FUNCTION cast_to_binary_integer(r IN RAW, endianess IN PLS_INTEGER DEFAULT 1) RETURN BINARY_INTEGER;
  FUNCTION cast_from_number(n IN NUMBER) RETURN RAW;
  FUNCTION cast_to_number(r IN RAW) RETURN NUMBER;
END;)",
                                      R"(PACKAGE BODY utl_raw AS
  FUNCTION cast_to_raw(c IN VARCHAR2) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.CAST_TO_RAW', c); END;
  FUNCTION cast_to_varchar2(r IN RAW) RETURN VARCHAR2 IS BEGIN RETURN nuvo$native('RAW.CAST_TO_VARCHAR2', r); END;
  FUNCTION length(r IN RAW) RETURN NUMBER IS BEGIN RETURN nuvo$native('RAW.LENGTH', r); END;
  FUNCTION substr(r IN RAW, pos IN BINARY_INTEGER, len IN BINARY_INTEGER DEFAULT NULL) RETURN RAW IS
  BEGIN RETURN nuvo$native('RAW.SUBSTR', r, pos, len); END;
  FUNCTION concat(r1 IN RAW DEFAULT NULL, r2 IN RAW DEFAULT NULL, r3 IN RAW DEFAULT NULL, r4 IN RAW DEFAULT NULL,
                  r5 IN RAW DEFAULT NULL, r6 IN RAW DEFAULT NULL, r7 IN RAW DEFAULT NULL, r8 IN RAW DEFAULT NULL,
                  r9 IN RAW DEFAULT NULL, r10 IN RAW DEFAULT NULL, r11 IN RAW DEFAULT NULL, r12 IN RAW DEFAULT NULL) RETURN RAW IS
  BEGIN RETURN nuvo$native('RAW.CONCAT', r1, r2, r3, r4, r5, r6, r7, r8, r9, r10, r11, r12); END;
  FUNCTION bit_and(r1 IN RAW, r2 IN RAW) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.BIT_AND', r1, r2); END;
  FUNCTION bit_or(r1 IN RAW, r2 IN RAW) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.BIT_OR', r1, r2); END;
  FUNCTION bit_xor(r1 IN RAW, r2 IN RAW) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.BIT_XOR', r1, r2); END;
  FUNCTION bit_complement(r IN RAW) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.BIT_COMPLEMENT', r); END;
  FUNCTION compare(r1 IN RAW, r2 IN RAW, pad IN RAW DEFAULT NULL) RETURN NUMBER IS
  BEGIN RETURN nuvo$native('RAW.COMPARE', r1, r2, pad); END;
  FUNCTION reverse(r IN RAW) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.REVERSE', r); END;
  FUNCTION copies(r IN RAW, n IN NUMBER) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.COPIES', r, n); END;
  FUNCTION cast_from_binary_integer(n IN BINARY_INTEGER, endianess IN PLS_INTEGER DEFAULT 1) RETURN RAW IS
  BEGIN RETURN nuvo$native('RAW.FROM_BINARY_INTEGER', n, endianess); END;
  FUNCTION cast_to_binary_integer(r IN RAW, endianess IN PLS_INTEGER DEFAULT 1) RETURN BINARY_INTEGER IS
  BEGIN RETURN nuvo$native('RAW.TO_BINARY_INTEGER', r, endianess); END;
  FUNCTION cast_from_number(n IN NUMBER) RETURN RAW IS BEGIN RETURN nuvo$native('RAW.FROM_NUMBER', n); END;
  FUNCTION cast_to_number(r IN RAW) RETURN NUMBER IS BEGIN RETURN nuvo$native('RAW.TO_NUMBER', r); END;
END;)"};

const BuiltinPackage utlI18nPackage = {"UTL_I18N", R"(PACKAGE utl_i18n AS
  FUNCTION string_to_raw(data IN VARCHAR2, dst_charset IN VARCHAR2 DEFAULT NULL) RETURN RAW;
  FUNCTION raw_to_char(data IN RAW, src_charset IN VARCHAR2 DEFAULT NULL) RETURN VARCHAR2;
END;)",
                                       R"(PACKAGE BODY utl_i18n AS
  FUNCTION string_to_raw(data IN VARCHAR2, dst_charset IN VARCHAR2 DEFAULT NULL) RETURN RAW IS
  BEGIN RETURN nuvo$native('I18N.STRING_TO_RAW', data, dst_charset); END;
  FUNCTION raw_to_char(data IN RAW, src_charset IN VARCHAR2 DEFAULT NULL) RETURN VARCHAR2 IS
  BEGIN RETURN nuvo$native('I18N.RAW_TO_CHAR', data, src_charset); END;
END;)"};

}  // namespace engine::plsql
