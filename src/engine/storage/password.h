#pragma once
// Passwords are never stored: the catalog keeps two SHA-256 digests salted with the user name, one
// of the password as given (case-sensitive logon) and one of it in upper case (the default,
// case-insensitive logon of sec_case_sensitive_logon = FALSE).

#include <string>

namespace engine::storage {

struct PasswordDigests {
  std::string exact;   // hex digest of the password as given
  std::string folded;  // hex digest of the password in upper case
};

PasswordDigests digestPassword(const std::string& user, const std::string& password);

// What a database link keeps to log on with: not the password but its two digests for the link's
// user ("digest:<exact>:<folded>"), which is what the other database's logon compares. A link to
// another embedded database needs nothing more, so the password itself is never stored.
std::string linkCredential(const std::string& user, const std::string& password);
// The digests a stored link credential carries (a password kept by an earlier engine in plain text
// is digested here).
PasswordDigests linkDigests(const std::string& user, const std::string& stored);
bool isLinkCredential(const std::string& stored);

// SHA-256 of the bytes, as 64 lower-case hex digits.
std::string sha256Hex(const std::string& bytes);

}  // namespace engine::storage
