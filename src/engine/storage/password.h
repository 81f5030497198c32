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

// SHA-256 of the bytes, as 64 lower-case hex digits.
std::string sha256Hex(const std::string& bytes);

}  // namespace engine::storage
