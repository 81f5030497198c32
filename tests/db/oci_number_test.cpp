// Oracle's NUMBER in its external 22-byte form, as the driver sends and reads numbers.

#include <gtest/gtest.h>

#include "db/oci/oci_number.h"

namespace nuvo::db::oci {
namespace {

QByteArray bytesOf(const OraNumber& n) { return QByteArray(reinterpret_cast<const char*>(n.data() + 1), n[0]); }

// The bytes of the documented internal format: an exponent byte, then base-100 digits plus one
// (positive) or 101 minus the digit with a closing 102 (negative); zero is 0x80.
TEST(OciNumberTest, EncodesTheDocumentedBytes) {
  struct Case {
    const char* text;
    QByteArray bytes;
  };
  const Case cases[] = {
      {"0", QByteArray("\x80", 1)},
      {"1", QByteArray("\xC1\x02", 2)},
      {"100", QByteArray("\xC2\x02", 2)},
      {"123", QByteArray("\xC2\x02\x18", 3)},
      {"1234.5", QByteArray("\xC2\x0D\x23\x33", 4)},
      {"0.5", QByteArray("\xC0\x33", 2)},
      {"-1", QByteArray("\x3E\x64\x66", 3)},
      {"-123", QByteArray("\x3D\x64\x4E\x66", 4)},
      {"-0.05", QByteArray("\x3F\x60\x66", 3)},
  };
  for (const Case& c : cases) {
    OraNumber n{};
    ASSERT_TRUE(encodeNumber(QString::fromLatin1(c.text), n)) << c.text;
    EXPECT_EQ(bytesOf(n).toHex(' '), c.bytes.toHex(' ')) << c.text;
    EXPECT_EQ(decodeNumber(n), QString::fromLatin1(c.text)) << c.text;
  }
}

TEST(OciNumberTest, TextsRoundTripAndValuesKeepTheirKind) {
  struct Case {
    const char* in;
    const char* decoded;
    QVariant value;
  };
  const Case cases[] = {
      {"+007.50", "7.5", 7.5},
      {"1e3", "1000", qlonglong(1000)},
      {"1.5E-7", "0.00000015", 1.5e-7},
      {"-123456789012345678", "-123456789012345678", qlonglong(-123456789012345678)},
      {"123456789012345678901", "123456789012345678901", 123456789012345678901.0},
      {"-0", "0", qlonglong(0)},
  };
  for (const Case& c : cases) {
    OraNumber n{};
    ASSERT_TRUE(encodeNumber(QString::fromLatin1(c.in), n)) << c.in;
    EXPECT_EQ(decodeNumber(n), QString::fromLatin1(c.decoded)) << c.in;
    EXPECT_EQ(numberValue(n), c.value) << c.in;
  }
  for (const char* bad : {"", "abc", "1,5", "12x", "1e", "1e999", "-", "."}) {
    OraNumber n{};
    EXPECT_FALSE(encodeNumber(QString::fromLatin1(bad), n)) << bad;
  }
}

}  // namespace
}  // namespace nuvo::db::oci
