// Message digests for STANDARD_HASH and DBMS_CRYPTO.HASH, through Nettle.
#include <nettle/md4.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>
#include <nettle/sha2.h>

#include "engine/builtins/hash.h"

namespace engine::builtins {

namespace {

template <class Context, std::size_t size>
Bytes run(void (*init)(Context*), void (*update)(Context*, std::size_t, const std::uint8_t*),
          void (*finish)(Context*, std::size_t, std::uint8_t*), const std::string& data) {
  Context context;
  init(&context);
  update(&context, data.size(), reinterpret_cast<const std::uint8_t*>(data.data()));
  Bytes out(size);
  finish(&context, out.size(), out.data());
  return out;
}

}  // namespace

Bytes digest(HashMethod method, const std::string& data) {
  switch (method) {
    case HashMethod::Md4: return run<md4_ctx, MD4_DIGEST_SIZE>(md4_init, md4_update, md4_digest, data);
    case HashMethod::Md5: return run<md5_ctx, MD5_DIGEST_SIZE>(md5_init, md5_update, md5_digest, data);
    case HashMethod::Sha1: return run<sha1_ctx, SHA1_DIGEST_SIZE>(sha1_init, sha1_update, sha1_digest, data);
    case HashMethod::Sha256: return run<sha256_ctx, SHA256_DIGEST_SIZE>(sha256_init, sha256_update, sha256_digest, data);
    case HashMethod::Sha384: return run<sha512_ctx, SHA384_DIGEST_SIZE>(sha384_init, sha384_update, sha384_digest, data);
    case HashMethod::Sha512: return run<sha512_ctx, SHA512_DIGEST_SIZE>(sha512_init, sha512_update, sha512_digest, data);
  }
  return {};
}

}  // namespace engine::builtins
