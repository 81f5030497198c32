#pragma once
// Oracle's NUMBER in its 22-byte external form (a length byte, then an exponent byte and up to 20
// base-100 digits): numbers travel this way in both directions so that no national decimal
// separator and no rounding through binary floating point come between the tool and the server.

#include <QString>
#include <QVariant>
#include <array>

namespace nuvo::db::oci {

using OraNumber = std::array<unsigned char, 22>;

// Encodes a decimal text ("-12.5", "1e-3", "42"); false when it is not a number or lies outside
// NUMBER's range. Digits beyond the 40th are cut off.
bool encodeNumber(const QString& decimal, OraNumber& out);
// The decimal text of a number, without exponent ("-12.5", "0.001", "0").
QString decodeNumber(const OraNumber& number);
// A whole number of at most 18 digits as qlonglong, any other as double.
QVariant numberValue(const OraNumber& number);

}  // namespace nuvo::db::oci
