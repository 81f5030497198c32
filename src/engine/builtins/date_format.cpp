// Oracle's date format models: TO_CHAR of a DATE and TO_DATE.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/builtins/functions.h"
#include "engine/builtins/internal.h"

namespace engine::builtins {

namespace {

enum class El {
  Literal, Fm, Fx, Syyyy, Yyyy, Yyy, Yy, Y, Rrrr, Rr, Cc, Q, Mm, Mon, Month, Rm, Ww, Iw, W,
  Ddd, Dd, D, Dy, Day, J, Hh, Hh12, Hh24, Mi, Ss, Sssss, Meridian, MeridianDots, Era, EraDots, Th,
  Ff, Radix, Tzh, Tzm, Tzr
};

enum class Case { Upper, Capital, Lower };

struct Token {
  El el = El::Literal;
  Case textCase = Case::Upper;
  std::string literal;  // El::Literal only
  bool quoted = false;
  int digits = 0;       // El::Ff: FF1 to FF9; 0 for FF, the value's own precision
};

struct ElementName {
  const char* name;
  El el;
};

// Longer names first where one name starts another.
constexpr ElementName kElements[] = {
    {"SYYYY", El::Syyyy}, {"YYYY", El::Yyyy}, {"YYY", El::Yyy}, {"YY", El::Yy}, {"Y", El::Y},
    {"RRRR", El::Rrrr},   {"RR", El::Rr},     {"RM", El::Rm},   {"SCC", El::Cc}, {"CC", El::Cc},
    {"SSSSS", El::Sssss}, {"SS", El::Ss},     {"Q", El::Q},     {"MONTH", El::Month}, {"MON", El::Mon},
    {"MM", El::Mm},       {"MI", El::Mi},     {"WW", El::Ww},   {"W", El::W},    {"IW", El::Iw},
    {"DDD", El::Ddd},     {"DAY", El::Day},   {"DD", El::Dd},   {"DY", El::Dy},  {"D", El::D},
    {"J", El::J},         {"HH24", El::Hh24}, {"HH12", El::Hh12}, {"HH", El::Hh}, {"AM", El::Meridian},
    {"PM", El::Meridian}, {"A.M.", El::MeridianDots}, {"P.M.", El::MeridianDots}, {"AD", El::Era},
    {"BC", El::Era},      {"A.D.", El::EraDots}, {"B.C.", El::EraDots}, {"TH", El::Th}, {"FM", El::Fm},
    {"FX", El::Fx},       {"FF1", El::Ff},    {"FF2", El::Ff},  {"FF3", El::Ff},  {"FF4", El::Ff},
    {"FF5", El::Ff},      {"FF6", El::Ff},    {"FF7", El::Ff},  {"FF8", El::Ff},  {"FF9", El::Ff},
    {"FF", El::Ff},       {"X", El::Radix},   {"TZH", El::Tzh}, {"TZM", El::Tzm}, {"TZR", El::Tzr},
};

bool isAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isLowerAscii(char c) { return c >= 'a' && c <= 'z'; }

Case caseOf(const std::string& format, std::size_t at) {
  if (isLowerAscii(format[at])) return Case::Lower;
  if (at + 1 < format.size() && isLowerAscii(format[at + 1])) return Case::Capital;
  return Case::Upper;
}

std::vector<Token> tokenize(const std::string& format) {
  std::vector<Token> tokens;
  std::string upper = upperAscii(format);
  for (std::size_t i = 0; i < format.size();) {
    char c = format[i];
    if (c == '"') {
      std::size_t close = format.find('"', i + 1);
      if (close == std::string::npos) raise(1821);
      tokens.push_back({El::Literal, Case::Upper, format.substr(i + 1, close - i - 1), true});
      i = close + 1;
      continue;
    }
    bool matched = false;
    for (const auto& e : kElements) {
      std::size_t len = std::char_traits<char>::length(e.name);
      if (upper.compare(i, len, e.name) == 0) {
        // X, the radix character, stands before FF or apart from other letters ("XX" is no element).
        if (e.el == El::Radix && i + 1 < upper.size() && upper[i + 1] >= 'A' && upper[i + 1] <= 'Z' &&
            upper.compare(i + 1, 2, "FF") != 0)
          continue;
        tokens.push_back({e.el, caseOf(format, i), {}, false, e.el == El::Ff && len == 3 ? e.name[2] - '0' : 0});
        i += len;
        matched = true;
        break;
      }
    }
    if (matched) continue;
    if (isAsciiAlnum(c)) raise(1821);
    tokens.push_back({El::Literal, Case::Upper, std::string(1, c), false});
    ++i;
  }
  return tokens;
}

std::string applyCase(std::string_view upperName, Case textCase) {
  std::string out(upperName);
  for (std::size_t i = 0; i < out.size(); ++i) {
    bool lower = textCase == Case::Lower || (textCase == Case::Capital && i > 0);
    if (lower && out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
  }
  return out;
}

std::string number(std::int64_t value, int width, bool fill) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (!fill && static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return (value < 0 ? "-" : "") + digits;
}

std::string padded(std::string text, std::size_t width, bool fill) {
  if (!fill && text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

const char* const kRomanMonths[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"};

std::string formatElement(const Token& t, const DateTime& d, bool fill) {
  int hour12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
  switch (t.el) {
    case El::Literal: return t.literal;
    case El::Fm: case El::Fx: return {};
    case El::Syyyy: return (d.year < 0 ? "-" : fill ? "" : " ") + number(d.year, 4, fill);
    case El::Yyyy: case El::Rrrr: return number(d.year, 4, fill);
    case El::Yyy: return number(d.year % 1000, 3, fill);
    case El::Yy: case El::Rr: return number(d.year % 100, 2, fill);
    case El::Y: return number(d.year % 10, 1, fill);
    case El::Cc: return number((d.year - 1) / 100 + 1, 2, fill);
    case El::Q: return number((d.month - 1) / 3 + 1, 1, fill);
    case El::Mm: return number(d.month, 2, fill);
    case El::Mon: return applyCase(monthNames()[d.month - 1].substr(0, 3), t.textCase);
    case El::Month: return padded(applyCase(monthNames()[d.month - 1], t.textCase), 9, fill);
    case El::Rm: return padded(applyCase(kRomanMonths[d.month - 1], t.textCase), 4, fill);
    case El::Ww: return number((dayOfYear(d) - 1) / 7 + 1, 2, fill);
    case El::Iw: return number(isoWeek(d), 2, fill);
    case El::W: return number((d.day - 1) / 7 + 1, 1, fill);
    case El::Ddd: return number(dayOfYear(d), 3, fill);
    case El::Dd: return number(d.day, 2, fill);
    case El::D: return number(dayOfWeek(d), 1, fill);
    case El::Dy: return applyCase(dayNames()[dayOfWeek(d) - 1].substr(0, 3), t.textCase);
    case El::Day: return padded(applyCase(dayNames()[dayOfWeek(d) - 1], t.textCase), 9, fill);
    case El::J: return number(julianDay(d), 7, fill);
    case El::Hh: case El::Hh12: return number(hour12, 2, fill);
    case El::Hh24: return number(d.hour, 2, fill);
    case El::Mi: return number(d.minute, 2, fill);
    case El::Ss: return number(d.second, 2, fill);
    case El::Sssss: return number(d.hour * 3600 + d.minute * 60 + d.second, 5, fill);
    case El::Meridian: return applyCase(d.hour < 12 ? "AM" : "PM", t.textCase);
    case El::MeridianDots: return applyCase(d.hour < 12 ? "A.M." : "P.M.", t.textCase);
    case El::Era: return applyCase("AD", t.textCase);
    case El::EraDots: return applyCase("A.D.", t.textCase);
    case El::Th: return {};  // formatDate appends the suffix to the number before it
    case El::Radix: return ".";
    case El::Tzh:
    case El::Tzm:
    case El::Tzr: {
      // Only a TIMESTAMP WITH TIME ZONE has a zone to show: TZH "+02", TZM "00", TZR "+02:00".
      if (!d.zoned) raise(1821);
      std::string zone = formatZone(d.offset);
      return t.el == El::Tzh ? zone.substr(0, 3) : t.el == El::Tzm ? zone.substr(4) : zone;
    }
    case El::Ff: {
      // A DATE has no fraction of a second to show.
      if (!d.isTimestamp()) raise(1821);
      int digits = t.digits ? t.digits : d.precision;
      std::string all;
      appendDigits(all, static_cast<unsigned>(d.nanos), 9);
      return all.substr(0, static_cast<std::size_t>(digits));
    }
  }
  return {};
}

// The English ordinal suffix of the number that ends `text`: 1ST 2ND 3RD 4TH 11TH 12TH 13TH 21ST ...
std::string ordinalSuffix(const std::string& text) {
  std::size_t end = text.size(), begin = end;
  while (begin > 0 && isAsciiDigit(text[begin - 1])) --begin;
  int lastTwo = begin == end ? 0 : std::stoi(text.substr(end - std::min<std::size_t>(2, end - begin)));
  if (lastTwo >= 11 && lastTwo <= 13) return "TH";
  static const char* const suffixes[] = {"TH", "ST", "ND", "RD", "TH", "TH", "TH", "TH", "TH", "TH"};
  return suffixes[lastTwo % 10];
}

// ---- Parsing

bool isTimeElement(El el) {
  return el == El::Hh || el == El::Hh12 || el == El::Hh24 || el == El::Mi || el == El::Ss || el == El::Sssss ||
         el == El::Meridian || el == El::MeridianDots || el == El::Literal || el == El::Fm || el == El::Fx ||
         el == El::Ff || el == El::Radix || el == El::Tzh || el == El::Tzm || el == El::Tzr;
}

struct NumericRule {
  El el;
  int width;     // digits read at most (and, with FX, exactly)
  int min, max;  // accepted values
  int error;     // ORA code when out of range
};

constexpr NumericRule kNumericRules[] = {
    {El::Syyyy, 4, 1, 9999, 1841}, {El::Yyyy, 4, 1, 9999, 1841}, {El::Rrrr, 4, 0, 9999, 1841},
    {El::Yyy, 3, 0, 999, 1841},        {El::Yy, 2, 0, 9999, 1841},   {El::Rr, 2, 0, 9999, 1841},
    {El::Y, 1, 0, 9, 1841},            {El::Mm, 2, 1, 12, 1843},     {El::Dd, 2, 1, 31, 1847},
    {El::Ddd, 3, 1, 366, 1848},        {El::D, 1, 1, 7, 1846},       {El::J, 7, 1, 5373484, 1854},
    {El::Hh, 2, 1, 12, 1849},          {El::Hh12, 2, 1, 12, 1849},   {El::Hh24, 2, 0, 23, 1850},
    {El::Mi, 2, 0, 59, 1851},          {El::Ss, 2, 0, 59, 1852},     {El::Sssss, 5, 0, 86399, 1853},
};

const NumericRule* numericRule(El el) {
  for (const auto& r : kNumericRules)
    if (r.el == el) return &r;
  return nullptr;
}

// What the input said; unset fields take their defaults.
struct Fields {
  int year = -1, month = 0, day = 0, hour = -1, minute = 0, second = 0, dayOfYear = 0, secondsOfDay = -1;
  std::int64_t julian = 0;
  int meridian = 0;  // 1 AM, 2 PM
  int nanos = 0;
};

class DateParser {
 public:
  DateParser(const std::string& text, const DateTime& now, bool fraction)
      : text_(text), upper_(upperAscii(text)), now_(now), fraction_(fraction) {}

  DateTime parse(const std::vector<Token>& tokens) {
    // A DATE has no fraction of a second: FF belongs to TIMESTAMP models only.
    if (!fraction_)
      for (const Token& t : tokens)
        if (t.el == El::Ff) raise(1821);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
      const Token& t = tokens[k];
      if (t.el == El::Fm) {
        fill_ = !fill_;
        continue;
      }
      if (t.el == El::Fx) {
        exact_ = !exact_;
        continue;
      }
      if (t.el == El::Literal) {
        matchLiteral(t);
        continue;
      }
      if (!exact_) skipBlanks();
      if (pos_ >= text_.size()) {
        for (std::size_t rest = k; rest < tokens.size(); ++rest)
          if (!isTimeElement(tokens[rest].el)) raise(1840);
        break;
      }
      readElement(t);
    }
    skipBlanks();
    if (pos_ < text_.size()) raise(1830);
    return build();
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  void matchLiteral(const Token& t) {
    if (exact_ || t.quoted) {
      if (upper_.compare(pos_, t.literal.size(), upperAscii(t.literal)) != 0) {
        if (exact_ || pos_ < text_.size()) raise(1861);
        return;
      }
      pos_ += t.literal.size();
      return;
    }
    // Punctuation matches any run of punctuation, and may be left out.
    while (pos_ < text_.size() && !isAsciiAlnum(text_[pos_]) && static_cast<unsigned char>(text_[pos_]) < 0x80)
      ++pos_;
  }

  int readNumber(const NumericRule& rule, int width, int& digitsRead) {
    bool negative = false;
    if (rule.el == El::Syyyy && pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+'))
      negative = text_[pos_++] == '-';
    std::int64_t value = 0;
    digitsRead = 0;
    while (pos_ < text_.size() && digitsRead < width && isAsciiDigit(text_[pos_])) {
      value = value * 10 + (text_[pos_++] - '0');
      ++digitsRead;
    }
    if (digitsRead == 0) raise(1858);
    if (exact_ && !fill_ && digitsRead != width) raise(1862);
    if (negative) value = -value;
    if (value < rule.min || value > rule.max) raise(rule.error);  // DATEs start at year 1: no negative SYYYY
    return static_cast<int>(value);
  }

  // The index of the name the input starts with (full names first, then abbreviations), or -1.
  template <std::size_t N>
  int matchName(const std::array<std::string_view, N>& names) {
    for (int pass = 0; pass < 2; ++pass)
      for (std::size_t i = 0; i < N; ++i) {
        std::string_view name = pass == 0 ? names[i] : names[i].substr(0, 3);
        if (upper_.compare(pos_, name.size(), name) == 0) {
          pos_ += name.size();
          return static_cast<int>(i);
        }
      }
    return -1;
  }

  void readMonthName() {
    if (isAsciiDigit(text_[pos_])) raise(1861);  // a number where the model has a name
    int month = matchName(monthNames());
    if (month < 0) raise(1843);
    f_.month = month + 1;
  }

  // Only dates of our era exist here: BC is out of range.
  void readEra() {
    for (std::string_view era : {"A.D.", "AD", "B.C.", "BC"})
      if (upper_.compare(pos_, era.size(), era) == 0) {
        if (era[0] == 'B') raise(1841);
        pos_ += era.size();
        return;
      }
    raise(1861);
  }

  void readOrdinalSuffix() {
    for (std::string_view suffix : {"ST", "ND", "RD", "TH"})
      if (upper_.compare(pos_, suffix.size(), suffix) == 0) {
        pos_ += suffix.size();
        return;
      }
    raise(1861);
  }

  void readRomanMonth() {
    std::size_t end = upper_.find_first_not_of("IVX", pos_);
    std::string numeral = upper_.substr(pos_, end == std::string::npos ? std::string::npos : end - pos_);
    for (int m = 0; m < 12; ++m)
      if (numeral == kRomanMonths[m]) {
        pos_ += numeral.size();
        f_.month = m + 1;
        return;
      }
    raise(1843);
  }

  void readElement(const Token& t) {
    switch (t.el) {
      case El::Q: case El::Ww: case El::Iw: case El::W: case El::Cc: raise(1820);
      case El::Mon: case El::Month: readMonthName(); return;
      case El::Rm: return readRomanMonth();
      case El::Dy: case El::Day:
        if (isAsciiDigit(text_[pos_])) raise(1861);
        if (matchName(dayNames()) < 0) raise(1846);
        return;
      case El::Meridian: case El::MeridianDots: {
        static const std::array<std::string_view, 4> marks = {"A.M.", "P.M.", "AM", "PM"};
        for (std::size_t i = 0; i < marks.size(); ++i)
          if (upper_.compare(pos_, marks[i].size(), marks[i]) == 0) {
            pos_ += marks[i].size();
            f_.meridian = i % 2 == 0 ? 1 : 2;
            return;
          }
        raise(1855);
      }
      case El::Era: case El::EraDots: return readEra();
      case El::Th: return readOrdinalSuffix();
      case El::Radix:
        if (text_[pos_] != '.') raise(1861);
        ++pos_;
        return;
      case El::Ff: return readFraction(t.digits ? t.digits : 9);
      default: break;
    }
    const NumericRule* rule = numericRule(t.el);
    // MM also takes a name, except in exact mode.
    if (t.el == El::Mm && !exact_ && !isAsciiDigit(text_[pos_])) return readMonthName();
    // Two-digit years also take four digits.
    int width = (t.el == El::Yy || t.el == El::Rr) && !exact_ ? 4 : rule->width;
    int digits = 0;
    int value = readNumber(*rule, width, digits);
    storeNumber(t.el, value, digits);
  }

  void storeNumber(El el, int value, int digits) {
    int century = now_.year / 100 * 100;
    switch (el) {
      case El::Syyyy: case El::Yyyy: f_.year = value; break;
      case El::Yyy: f_.year = digits > 3 ? value : now_.year / 1000 * 1000 + value; break;
      case El::Y: f_.year = now_.year / 10 * 10 + value; break;
      case El::Yy: f_.year = digits > 2 ? value : century + value; break;
      case El::Rr: case El::Rrrr:
        if (digits > 2) {
          f_.year = value;
        } else {
          // RR: a two-digit year near the current one, in this century or the next or the last.
          int current = now_.year % 100;
          f_.year = century + value + (value < 50 && current >= 50 ? 100 : 0) - (value >= 50 && current < 50 ? 100 : 0);
        }
        break;
      case El::Mm: f_.month = value; break;
      case El::Dd: f_.day = value; break;
      case El::Ddd: f_.dayOfYear = value; break;
      case El::J: f_.julian = value; break;
      case El::Hh: case El::Hh12: case El::Hh24: f_.hour = value; break;
      case El::Mi: f_.minute = value; break;
      case El::Ss: f_.second = value; break;
      case El::Sssss: f_.secondsOfDay = value; break;
      default: break;
    }
    if ((el == El::Yyyy || el == El::Rrrr || el == El::Yy || el == El::Rr) && f_.year == 0) raise(1841);
  }

  // FF: the fraction's digits, at most `width` of them.
  void readFraction(int width) {
    int digits = 0, value = 0;
    while (pos_ < text_.size() && digits < width && isAsciiDigit(text_[pos_])) {
      value = value * 10 + (text_[pos_++] - '0');
      ++digits;
    }
    if (digits == 0) raise(1858);
    for (int k = digits; k < 9; ++k) value *= 10;
    f_.nanos = value;
  }

  DateTime build() const {
    DateTime d;
    d.nanos = f_.nanos;
    if (f_.julian > 0) {
      civilFromDays(f_.julian - 2440588, d.year, d.month, d.day);
    } else {
      d.year = f_.year >= 0 ? f_.year : now_.year;
      if (f_.dayOfYear > 0) {
        int daysInYear = daysInMonth(d.year, 2) == 29 ? 366 : 365;
        if (f_.dayOfYear > daysInYear) raise(1848);
        civilFromDays(daysFromCivil(d.year, 1, 1) + f_.dayOfYear - 1, d.year, d.month, d.day);
      } else {
        d.month = f_.month > 0 ? f_.month : now_.month;
        d.day = f_.day > 0 ? f_.day : 1;
        if (d.day > daysInMonth(d.year, d.month)) raise(1839);
      }
    }
    if (f_.secondsOfDay >= 0) {
      d.hour = f_.secondsOfDay / 3600;
      d.minute = f_.secondsOfDay / 60 % 60;
      d.second = f_.secondsOfDay % 60;
      return d;
    }
    d.hour = f_.hour >= 0 ? f_.hour : 0;
    if (f_.meridian == 2) d.hour = d.hour % 12 + 12;
    if (f_.meridian == 1) d.hour = d.hour % 12;
    d.minute = f_.minute;
    d.second = f_.second;
    return d;
  }

  const std::string& text_;
  std::string upper_;
  DateTime now_;
  std::size_t pos_ = 0;
  bool fraction_ = false;
  bool fill_ = false, exact_ = false;
  Fields f_;
};

}  // namespace

struct DateFormat::Elements {
  std::vector<Token> tokens;
};

DateFormat::DateFormat(const std::string& format) : elements_(std::make_shared<Elements>(Elements{tokenize(format)})) {}

namespace {

// number() appended in place: digits zero-padded to `width` (unless filling), after a minus sign.
void appendNumber(std::string& out, int value, int width, bool fill) {
  if (value < 0) out += '-';
  appendDigits(out, value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value), fill ? 1 : width);
}

}  // namespace

std::string DateFormat::format(const DateTime& d) const {
  std::string out;
  out.reserve(32);
  bool fill = false;
  for (const Token& t : elements_->tokens) {
    switch (t.el) {
      // The elements of the usual formats, appended in place.
      case El::Literal: out += t.literal; break;
      case El::Dd: appendNumber(out, d.day, 2, fill); break;
      case El::Mm: appendNumber(out, d.month, 2, fill); break;
      case El::Yyyy: case El::Rrrr: appendNumber(out, d.year, 4, fill); break;
      case El::Yy: case El::Rr: appendNumber(out, d.year % 100, 2, fill); break;
      case El::Hh24: appendNumber(out, d.hour, 2, fill); break;
      case El::Mi: appendNumber(out, d.minute, 2, fill); break;
      case El::Ss: appendNumber(out, d.second, 2, fill); break;
      case El::Fm:
        fill = !fill;
        break;
      case El::Th: out += applyCase(ordinalSuffix(out), t.textCase); break;
      default: out += formatElement(t, d, fill);
    }
  }
  return out;
}

std::string formatDate(const DateTime& d, const std::string& format) { return DateFormat(format).format(d); }

void appendDigits(std::string& out, std::uint64_t magnitude, int minDigits) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  for (int i = n; i < minDigits; ++i) out += '0';
  while (n) out += digits[--n];
}

const DateFormat& SessionContext::dateFormat(const std::string& format) {
  auto it = dateFormats.find(format);
  if (it != dateFormats.end()) return it->second;
  DateFormat compiled(format);
  if (dateFormats.size() >= 64) dateFormats.clear();  // formats built from data: keep the cache small
  return dateFormats.emplace(format, std::move(compiled)).first->second;
}

DateTime parseDate(const std::string& text, const std::string& format, const DateTime& now) {
  return DateParser(text, now, false).parse(tokenize(format));
}

DateTime parseTimestamp(const std::string& text, const std::string& format, const DateTime& now) {
  return DateParser(text, now, true).parse(tokenize(format));
}

DateTime parseDate(const std::string& text, const std::string& format) { return parseDate(text, format, localNow()); }

}  // namespace engine::builtins
