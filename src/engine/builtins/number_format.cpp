// Oracle's number format models: TO_CHAR(n, fmt) and TO_NUMBER(text, fmt).
#include <cstdio>
#include <string>

#include "engine/builtins/functions.h"
#include "engine/builtins/internal.h"

namespace engine::builtins {

namespace {

enum class SignStyle { Default, LeadingS, TrailingS, Minus, Brackets };

// A parsed number format model.
struct NumberModel {
  bool fill = false;        // FM: no padding blanks
  bool blankZero = false;   // B: zero prints as blanks
  bool currency = false;    // $ or L
  bool scientific = false;  // EEEE
  bool textMinimum = false;  // TM, TM9, TME
  bool hex = false;
  bool hexLower = false;
  bool hexZeros = false;    // 0XXX: leading zeros instead of blanks
  int hexDigits = 0;
  SignStyle sign = SignStyle::Default;
  std::string integerPattern;  // '9', '0' and ',' left of the point (and the digits after V)
  bool point = false;
  int fractionDigits = 0;
  int lastFractionZero = 0;  // FM keeps fraction digits up to the last '0' of the model
  int shift = 0;             // V: digits the value is multiplied by 10^shift for

  int integerDigits() const {
    int n = 0;
    for (char c : integerPattern) n += c != ',';
    return n;
  }
  int firstForcedZero() const {  // index into integerPattern from which leading zeros print
    auto pos = integerPattern.find('0');
    return pos == std::string::npos ? static_cast<int>(integerPattern.size()) : static_cast<int>(pos);
  }
};

bool startsWith(const std::string& s, std::size_t at, const char* prefix) {
  return s.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

NumberModel parseModel(const std::string& format) {
  NumberModel m;
  std::string f = upperAscii(format);
  if (f == "TM" || f == "TM9" || f == "TME") {
    m.textMinimum = true;
    m.scientific = f == "TME";
    return m;
  }
  std::size_t i = 0;
  bool afterV = false, digitsSeen = false;
  auto fail = [] { raise(1481); };
  while (i < f.size()) {
    char c = f[i];
    if (startsWith(f, i, "FM") && !digitsSeen) {
      m.fill = true;
      i += 2;
    } else if (c == 'B' && !digitsSeen) {
      m.blankZero = true;
      ++i;
    } else if ((c == '$' || c == 'L') && !m.currency) {
      m.currency = true;
      ++i;
    } else if (c == 'S' && m.sign == SignStyle::Default) {
      m.sign = digitsSeen ? SignStyle::TrailingS : SignStyle::LeadingS;
      ++i;
      if (m.sign == SignStyle::TrailingS && i != f.size()) fail();
    } else if (startsWith(f, i, "MI") && digitsSeen && m.sign == SignStyle::Default) {
      m.sign = SignStyle::Minus;
      i += 2;
      if (i != f.size()) fail();
    } else if (startsWith(f, i, "PR") && digitsSeen && m.sign == SignStyle::Default) {
      m.sign = SignStyle::Brackets;
      i += 2;
      if (i != f.size()) fail();
    } else if (startsWith(f, i, "EEEE") && digitsSeen && !m.scientific) {
      m.scientific = true;
      i += 4;
    } else if (c == 'X') {
      if (digitsSeen && m.integerPattern.find_first_not_of('0') != std::string::npos) fail();
      if (!m.hex) m.hexDigits = static_cast<int>(m.integerPattern.size());  // leading 0s are positions too
      m.hex = true;
      m.hexZeros = !m.integerPattern.empty();
      m.hexLower = format[i] == 'x';
      ++m.hexDigits;
      digitsSeen = true;
      ++i;
    } else if (c == '9' || c == '0') {
      if (m.hex || m.scientific) fail();
      digitsSeen = true;
      if (m.point) {
        ++m.fractionDigits;
        if (c == '0') m.lastFractionZero = m.fractionDigits;
      } else {
        m.integerPattern += c;
        if (afterV) ++m.shift;
      }
      ++i;
    } else if (c == ',' || c == 'G') {
      if (m.point || afterV || m.integerPattern.empty()) fail();
      m.integerPattern += ',';
      ++i;
    } else if ((c == '.' || c == 'D') && !m.point && !afterV) {
      m.point = true;
      ++i;
    } else if (c == 'V' && !m.point && !afterV) {
      afterV = true;
      ++i;
    } else {
      fail();
    }
  }
  if (m.hex && (m.point || m.sign != SignStyle::Default || m.currency)) fail();
  return m;
}

std::string exponentText(int exponent) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
  return buf;
}

std::string formatHex(const Value& number, const NumberModel& m) {
  Decimal d = Decimal::fromValue(number).rounded(0);
  std::string overflow(m.hexDigits + 1, '#');
  if (d.negative || d.integerDigits() > 19) return overflow;
  unsigned long long v = std::stoull(d.integerPart());
  char buf[32];
  std::snprintf(buf, sizeof buf, m.hexLower ? "%llx" : "%llX", v);
  std::string digits = buf;
  if (static_cast<int>(digits.size()) > m.hexDigits) return overflow;
  // Leading 0s of the model are digits and print even under FM; otherwise blanks pad the field, after
  // the one leading blank a model without 0 and without FM always has. FM drops the blanks.
  if (m.hexZeros) return std::string(m.hexDigits - digits.size(), '0') + digits;
  if (m.fill) return digits;
  return " " + std::string(m.hexDigits - digits.size(), ' ') + digits;
}

// Digits and separators of the integer part, right-aligned in the model; blanks where no digit prints.
std::string integerField(const std::string& digits, const NumberModel& m) {
  std::string field(m.integerPattern.size(), ' ');
  int next = static_cast<int>(digits.size()) - 1;
  int forcedFrom = m.firstForcedZero();
  for (int pos = static_cast<int>(field.size()) - 1; pos >= 0; --pos) {
    if (m.integerPattern[pos] == ',') {
      field[pos] = ',';
    } else if (next >= 0) {
      field[pos] = digits[next--];
    } else if (pos >= forcedFrom) {
      field[pos] = '0';
    }
  }
  for (std::size_t pos = 0; pos < field.size() && (field[pos] == ' ' || field[pos] == ','); ++pos) field[pos] = ' ';
  return field;
}

// The digits of a fixed-point model, and of the mantissa of a scientific one, without sign and currency.
// A zero integer part prints only where the model forces it (0) or has no point: 0 in '99.99' is ".00".
std::string body(const Decimal& rounded, const NumberModel& m, bool& overflow) {
  std::string integerDigits = rounded.integerPart();
  if (integerDigits == "0" && m.point && !m.scientific) integerDigits.clear();
  overflow = static_cast<int>(integerDigits.size()) > m.integerDigits();
  if (overflow) return {};
  std::string out = integerField(integerDigits, m);
  if (m.point) {
    std::string fraction = rounded.fractionPart(m.fractionDigits);
    if (m.fill)
      while (static_cast<int>(fraction.size()) > m.lastFractionZero && fraction.back() == '0') fraction.pop_back();
    out += "." + fraction;
  }
  return out;
}

// The width of every output of a fixed-point or scientific model (FM aside).
std::size_t modelWidth(const NumberModel& m, std::size_t exponentWidth) {
  std::size_t signWidth = m.sign == SignStyle::Brackets ? 2 : 1;
  return signWidth + (m.currency ? 1 : 0) + m.integerPattern.size() + (m.point ? 1 + m.fractionDigits : 0) +
         exponentWidth;
}

std::string withSign(std::string text, bool negative, const NumberModel& m) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) start = text.size();
  std::string lead = text.substr(0, start), number = text.substr(start);
  if (m.currency) number = "$" + number;
  switch (m.sign) {
    case SignStyle::Default: return lead + (negative ? "-" : " ") + number;
    case SignStyle::LeadingS: return lead + (negative ? "-" : "+") + number;
    case SignStyle::TrailingS: return lead + number + (negative ? "-" : "+");
    case SignStyle::Minus: return lead + number + (negative ? "-" : " ");
    case SignStyle::Brackets: return lead + (negative ? "<" + number + ">" : " " + number + " ");
  }
  return text;
}

// TM and TM9 print as TO_CHAR without a model does; TME in scientific notation.
std::string textMinimum(const Value& number, bool scientific) {
  if (!scientific)
    return number.kind() == Value::Kind::Integer ? formatNumber(number.asInteger()) : formatNumber(number.asDouble());
  Decimal d = Decimal::fromValue(number);
  if (d.isZero()) return "0E+00";
  std::string mantissa = d.digits.substr(0, 1) + (d.digits.size() > 1 ? "." + d.digits.substr(1) : "");
  return (d.negative ? "-" : "") + mantissa + exponentText(d.exponent - 1);
}

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string trimBlanks(const std::string& s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

std::string formatNumberModel(const Value& number, const std::string& format) {
  NumberModel m = parseModel(format);
  if (m.textMinimum) return textMinimum(number, m.scientific);
  if (m.hex) return formatHex(number, m);

  Decimal value = Decimal::fromValue(number);
  value.exponent += m.shift;
  std::string exponent;
  if (m.scientific) {
    int power = value.isZero() ? 0 : value.exponent - 1;
    value.exponent -= power;
    Decimal mantissa = value.rounded(m.fractionDigits);
    if (mantissa.exponent > 1) {  // 9.99 rounded up to 10.0
      ++power;
      mantissa.exponent -= 1;
    }
    value = mantissa;
    exponent = exponentText(power);
  } else {
    value = value.rounded(m.fractionDigits);
    if (m.blankZero && value.isZero()) return m.fill ? std::string() : std::string(modelWidth(m, 0), ' ');
  }
  bool overflow = false;
  std::string digits = body(value, m, overflow);
  if (overflow) return std::string(modelWidth(m, exponent.size()), '#');
  std::string text = withSign(digits + exponent, value.negative, m);
  return m.fill ? trimBlanks(text) : text;
}

Value parseNumberModel(const std::string& text, const std::string& format) {
  NumberModel m = parseModel(format);
  std::string s = trimBlanks(text);
  if (m.hex) {
    if (s.empty() || static_cast<int>(s.size()) > m.hexDigits) raise(1722);
    unsigned long long v = 0;
    for (char c : s) {
      int digit = hexDigitValue(c);
      if (digit < 0) raise(1722);
      v = v * 16 + digit;
    }
    return numberValue(static_cast<double>(v));
  }
  if (m.textMinimum) return parseNumber(s);
  bool negative = false;
  auto takeSuffix = [&s](char c) {
    if (!s.empty() && s.back() == c) {
      s.pop_back();
      return true;
    }
    return false;
  };
  auto takePrefix = [&s](char c) {
    if (!s.empty() && s.front() == c) {
      s.erase(0, 1);
      return true;
    }
    return false;
  };
  switch (m.sign) {
    case SignStyle::Brackets:
      if (takePrefix('<')) {
        if (!takeSuffix('>')) raise(1722);
        negative = true;
      }
      break;
    case SignStyle::Minus: negative = takeSuffix('-'); break;
    case SignStyle::TrailingS:
      negative = takeSuffix('-');
      if (!negative && !takeSuffix('+')) raise(1722);
      break;
    case SignStyle::LeadingS:
      negative = takePrefix('-');
      if (!negative && !takePrefix('+')) raise(1722);
      break;
    case SignStyle::Default: negative = takePrefix('-'); break;
  }
  if (m.currency) takePrefix('$');
  std::string plain;
  int integerDigits = 0, fractionDigits = 0;
  bool point = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      (point ? fractionDigits : integerDigits) += 1;
    } else if (c == ',' && !point && m.integerPattern.find(',') != std::string::npos) {
      continue;
    } else if (c == '.' && m.point && !point) {
      point = true;
      plain += c;
    } else if ((c == 'E' || c == 'e') && m.scientific) {
      plain += s.substr(i);
      break;
    } else {
      raise(1722);
    }
  }
  if (plain.empty() || integerDigits > m.integerDigits() || fractionDigits > m.fractionDigits) raise(1722);
  Value v = parseNumber((negative ? "-" : "") + plain);
  if (m.shift == 0) return v;
  Decimal d = Decimal::fromValue(v);
  d.exponent -= m.shift;
  return d.toValue();
}

}  // namespace engine::builtins
