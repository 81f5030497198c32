#pragma once
// Message digests (STANDARD_HASH, DBMS_CRYPTO.HASH).

#include <string>

#include "engine/engine.h"

namespace engine::builtins {

enum class HashMethod { Md4, Md5, Sha1, Sha256, Sha384, Sha512 };

Bytes digest(HashMethod method, const std::string& data);

}  // namespace engine::builtins
