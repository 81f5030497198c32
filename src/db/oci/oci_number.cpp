#include "db/oci/oci_number.h"

namespace nuvo::db::oci {

namespace {

constexpr int kMaxPairs = 20;
constexpr unsigned char kZero = 0x80;
constexpr unsigned char kPositiveBias = 0xC1;  // exponent byte of a positive number with exponent 0
constexpr unsigned char kNegativeBias = 0x3E;
constexpr unsigned char kNegativeEnd = 102;    // ends a negative number shorter than 20 digits

}  // namespace

bool encodeNumber(const QString& decimal, OraNumber& out) {
  const QString text = decimal.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  QByteArray digits;
  int point = -1;  // digits before the decimal point
  for (; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isDigit() && c.unicode() < 128) {
      digits.append(static_cast<char>(c.unicode()));
    } else if (c == u'.' && point < 0) {
      point = static_cast<int>(digits.size());
    } else {
      break;
    }
  }
  if (digits.isEmpty()) return false;
  if (point < 0) point = static_cast<int>(digits.size());
  if (i < text.size()) {
    if (text[i] != u'e' && text[i] != u'E') return false;
    bool ok = false;
    const int exponent = text.mid(i + 1).toInt(&ok);
    if (!ok || exponent < -1000 || exponent > 1000) return false;
    point += exponent;
  }
  // Leading and trailing zeros carry nothing.
  qsizetype lead = 0;
  while (lead < digits.size() && digits[lead] == '0') ++lead;
  digits.remove(0, lead);
  point -= static_cast<int>(lead);
  while (!digits.isEmpty() && digits.back() == '0') digits.chop(1);
  out.fill(0);
  if (digits.isEmpty()) {
    out[0] = 1;
    out[1] = kZero;
    return true;
  }
  // Align the digits to base-100 pairs around the decimal point.
  if (point % 2 != 0) {
    digits.prepend('0');
    ++point;
  }
  if (digits.size() % 2 != 0) digits.append('0');
  int pairs = static_cast<int>(digits.size() / 2);
  if (pairs > kMaxPairs) pairs = kMaxPairs;
  while (pairs > 0 && digits[2 * (pairs - 1)] == '0' && digits[2 * (pairs - 1) + 1] == '0') --pairs;
  const int exponent = point / 2 - 1;  // the first pair's power of 100
  if (exponent < -65 || exponent > 62) return false;
  int n = 1;
  out[n++] = negative ? static_cast<unsigned char>(kNegativeBias - exponent)
                      : static_cast<unsigned char>(kPositiveBias + exponent);
  for (int p = 0; p < pairs; ++p) {
    const int d = (digits[2 * p] - '0') * 10 + (digits[2 * p + 1] - '0');
    out[n++] = static_cast<unsigned char>(negative ? 101 - d : d + 1);
  }
  if (negative && pairs < kMaxPairs) out[n++] = kNegativeEnd;
  out[0] = static_cast<unsigned char>(n - 1);
  return true;
}

QString decodeNumber(const OraNumber& number) {
  const int length = qMin<int>(number[0], 21);
  if (length < 1 || (length == 1 && number[1] == kZero)) return QStringLiteral("0");
  const bool negative = (number[1] & 0x80) == 0;
  const int exponent = negative ? kNegativeBias - number[1] : number[1] - kPositiveBias;
  QString digits;
  for (int i = 2; i <= length; ++i) {
    if (negative && number[i] == kNegativeEnd) break;
    const int d = negative ? 101 - number[i] : number[i] - 1;
    if (d < 0 || d > 99) break;
    digits += QChar(u'0' + d / 10);
    digits += QChar(u'0' + d % 10);
  }
  int point = 2 * (exponent + 1);  // digits before the decimal point
  while (digits.size() < point) digits += u'0';
  QString whole = point > 0 ? digits.left(point) : QString();
  QString fraction = point > 0 ? digits.mid(point) : QString(-point, u'0') + digits;
  while (whole.startsWith(u'0')) whole.remove(0, 1);
  while (fraction.endsWith(u'0')) fraction.chop(1);
  if (whole.isEmpty()) whole = QStringLiteral("0");
  QString text = fraction.isEmpty() ? whole : whole + u'.' + fraction;
  return negative && text != QStringLiteral("0") ? u'-' + text : text;
}

QVariant numberValue(const OraNumber& number) {
  const QString text = decodeNumber(number);
  if (!text.contains(u'.') && text.size() <= (text.startsWith(u'-') ? 19 : 18))
    return QVariant(text.toLongLong());
  return QVariant(text.toDouble());
}

}  // namespace nuvo::db::oci
