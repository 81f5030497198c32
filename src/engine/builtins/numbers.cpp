// NUMBER values: decimal rounding, printing as Oracle prints them, TO_NUMBER without a format.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/builtins/functions.h"
#include "engine/builtins/internal.h"

namespace engine::builtins {

namespace {

void stripTrailingZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d = Decimal{};
}

void stripLeadingZeros(Decimal& d) {
  std::size_t zeros = d.digits.find_first_not_of('0');
  if (zeros == std::string::npos) {
    d = Decimal{};
    return;
  }
  d.digits.erase(0, zeros);
  d.exponent -= static_cast<int>(zeros);
}

// Numbers longer than this print in scientific notation, as Oracle's TM9 model does.
constexpr std::size_t kFixedNotationLimit = 64;

std::string scientific(const Decimal& d) {
  std::string out = d.negative ? "-" : "";
  out += d.digits.substr(0, 1);
  if (d.digits.size() > 1) out += "." + d.digits.substr(1);
  int exponent = d.exponent - 1;
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return out + buf;
}

std::string formatDecimal(const Decimal& d) {
  if (d.isZero()) return "0";
  std::string out = d.negative ? "-" : "";
  if (d.exponent > 0) out += d.integerPart();
  int fractionDigits = static_cast<int>(d.digits.size()) - d.exponent;
  if (fractionDigits > 0) out += "." + d.fractionPart(fractionDigits);
  return out.size() > kFixedNotationLimit ? scientific(d) : out;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

Decimal Decimal::fromValue(const Value& number) {
  Decimal d;
  if (number.kind() == Value::Kind::Integer) {
    std::int64_t v = number.asInteger();
    d.negative = v < 0;
    std::uint64_t magnitude = d.negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    d.digits = std::to_string(magnitude);
    d.exponent = static_cast<int>(d.digits.size());
  } else {
    double v = number.asDouble();
    if (v == 0 || !std::isfinite(v)) return d;
    // "-d.dddddddddddddde+XX": 15 significant digits, rounded as printf's %.14e rounds them
    char buf[40];
    char* end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14).ptr;
    std::string_view text(buf, static_cast<std::size_t>(end - buf));
    d.negative = text[0] == '-';
    std::size_t start = d.negative ? 1 : 0;
    std::size_t e = text.find('e');
    d.digits.reserve(15);
    d.digits += text[start];
    d.digits.append(text.substr(start + 2, e - start - 2));
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    d.exponent = exponent + 1;
  }
  stripTrailingZeros(d);
  return d;
}

Decimal Decimal::truncated(int places) const {
  int keep = exponent + places;
  if (keep <= 0) return Decimal{};
  if (keep >= static_cast<int>(digits.size())) return *this;
  Decimal d = *this;
  d.digits.resize(keep);
  stripTrailingZeros(d);
  return d;
}

Decimal Decimal::rounded(int places) const {
  int keep = exponent + places;
  if (keep < 0 || isZero()) return Decimal{};
  if (keep >= static_cast<int>(digits.size())) return *this;
  Decimal d = *this;
  bool up = digits[keep] >= '5';
  d.digits = "0" + digits.substr(0, keep);  // a spare place for the carry
  d.exponent += 1;
  if (up) {
    std::size_t i = d.digits.size() - 1;
    while (d.digits[i] == '9') d.digits[i--] = '0';
    d.digits[i] += 1;
  }
  stripLeadingZeros(d);
  stripTrailingZeros(d);
  if (!d.isZero()) d.negative = negative;
  return d;
}

std::string Decimal::integerPart() const {
  if (exponent <= 0) return "0";
  std::string out = digits.substr(0, std::min<std::size_t>(exponent, digits.size()));
  out.append(exponent - out.size(), '0');
  return out;
}

std::string Decimal::fractionPart(int places) const {
  std::string out;
  for (int i = 0; i < places; ++i) {
    int index = exponent + i;
    out += index >= 0 && index < static_cast<int>(digits.size()) ? digits[index] : '0';
  }
  return out;
}

Value Decimal::toValue() const {
  if (isZero()) return Value(std::int64_t{0});
  if (exponent <= 18 && static_cast<int>(digits.size()) <= exponent) {
    std::int64_t v = std::stoll(integerPart());
    return Value(negative ? -v : v);
  }
  std::string text = (negative ? "-0." : "0.") + digits + "e" + std::to_string(exponent);
  // std::from_chars: the process's locale (a decimal comma) never changes how the text reads.
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return Value(v);
}

Value numberValue(double value) {
  if (!std::isfinite(value)) raise(1426);
  if (value == std::trunc(value) && std::fabs(value) < 9.2e18) return Value(static_cast<std::int64_t>(value));
  return Value(value);
}

// The digits of Decimal::fromValue written out directly: the fetch prints many doubles.
std::string formatNumber(double value) {
  if (value == 0 || !std::isfinite(value)) return "0";
  // Few decimals (amounts, rates): when value * 10^k is an integer below 10^15 for a small k, that
  // integer over 10^k is within a rounding of the value, so it is the value to 15 digits.
  double scale = 1;
  for (int k = 0; k <= 8; ++k, scale *= 10) {
    double scaled = value * scale;
    if (std::fabs(scaled) >= 1e15) break;
    if (scaled != std::trunc(scaled)) continue;
    std::string out;
    if (value < 0) out += '-';
    char digits[20];
    char* end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(std::fabs(scaled))).ptr;
    auto count = static_cast<std::size_t>(end - digits), places = static_cast<std::size_t>(k);
    while (places > 0 && digits[count - 1] == '0') {  // 10^k may have been more than needed
      --count;
      --places;
    }
    if (count > places) {
      out.append(digits, count - places);
      if (places > 0) out += '.';
      out.append(digits + count - places, places);
    } else {
      out += '.';
      out.append(places - count, '0');
      out.append(digits, count);
    }
    return out;
  }
  char buf[40];
  // The shortest digits that read back as the value: when there are at most 15 of them, rounding
  // the value to 15 significant digits gives the same ones (the value lies within half a unit of
  // the 15th digit from them), and the shortest form is much cheaper to find.
  char* end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific).ptr;
  std::size_t mantissa = static_cast<std::size_t>(std::find(buf, end, 'e') - buf) - (value < 0 ? 1 : 0);
  if (mantissa > 16)  // "d." and more than 14 digits after the point
    end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14).ptr;
  std::string_view text(buf, static_cast<std::size_t>(end - buf));
  bool negative = text[0] == '-';
  std::size_t start = negative ? 1 : 0;
  std::size_t e = text.find('e');
  char digits[16];
  std::size_t n = 0;
  digits[n++] = text[start];
  for (std::size_t i = start + 2; i < e; ++i) digits[n++] = text[i];  // none for a single digit ("5e+00")
  while (n > 1 && digits[n - 1] == '0') --n;
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  int integerDigits = exponent + 1;
  std::string out;
  if (negative) out += '-';
  if (integerDigits > 0) {
    auto whole = std::min<std::size_t>(n, static_cast<std::size_t>(integerDigits));
    out.append(digits, whole);
    if (static_cast<std::size_t>(integerDigits) > n) out.append(static_cast<std::size_t>(integerDigits) - n, '0');
    if (n > whole) {
      out += '.';
      out.append(digits + whole, n - whole);
    }
  } else {
    out += '.';
    out.append(static_cast<std::size_t>(-integerDigits), '0');
    out.append(digits, n);
  }
  return out.size() > kFixedNotationLimit ? formatDecimal(Decimal::fromValue(Value(value))) : out;
}
// Every integer fits the fixed notation: its digits as they stand.
std::string formatNumber(std::int64_t value) { return std::to_string(value); }

Value parseNumber(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t\r\n");
  std::size_t end = text.find_last_not_of(" \t\r\n");
  if (begin == std::string::npos) raise(1722);
  std::string s = text.substr(begin, end - begin + 1);
  std::size_t i = 0;
  Decimal d;
  if (s[i] == '+' || s[i] == '-') d.negative = s[i++] == '-';
  int integerDigits = 0, fractionDigits = 0;
  for (; i < s.size() && isDigit(s[i]); ++i, ++integerDigits) d.digits += s[i];
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && isDigit(s[i]); ++i, ++fractionDigits) d.digits += s[i];
  if (integerDigits + fractionDigits == 0) raise(1722);
  d.exponent = integerDigits;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negativeExponent = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i == s.size() || !isDigit(s[i])) raise(1722);
    int exponent = 0;
    for (; i < s.size() && isDigit(s[i]); ++i)
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
    d.exponent += negativeExponent ? -exponent : exponent;
  }
  if (i != s.size()) raise(1722);
  stripLeadingZeros(d);
  stripTrailingZeros(d);
  if (d.exponent > 126) raise(1426);
  return d.toValue();
}

}  // namespace engine::builtins
