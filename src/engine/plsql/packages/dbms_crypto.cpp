// DBMS_CRYPTO.HASH: MD4, MD5, SHA-1 and SHA-2 digests of RAW, CLOB and BLOB values.

#include "engine/builtins/hash.h"
#include "engine/plsql/packages/native.h"

namespace engine::plsql {

namespace {

// HASH(src, typ): a CLOB hashes its UTF-8 bytes.
Value hash(NativeCall& c) {
  static const builtins::HashMethod methods[] = {builtins::HashMethod::Md4,    builtins::HashMethod::Md5,
                                                 builtins::HashMethod::Sha1,   builtins::HashMethod::Sha256,
                                                 builtins::HashMethod::Sha384, builtins::HashMethod::Sha512};
  std::int64_t typ = c.integer(1, 0);
  if (c.isNull(1) || typ < 1 || typ > 6) raiseOraText(29240, "the cryptographic engine does not recognize the algorithm");
  const Value& src = c.arg(0);
  std::string data;
  if (src.kind() == Value::Kind::Binary) data.assign(src.asBytes().begin(), src.asBytes().end());
  else if (!src.isNull()) data = c.text(0);
  return Value(builtins::digest(methods[typ - 1], data));
}

}  // namespace

const std::vector<Native>& cryptoNatives() {
  static const std::vector<Native> natives = {{"CRYPTO.HASH", DataType::Raw, hash}};
  return natives;
}

const BuiltinPackage dbmsCryptoPackage = {"DBMS_CRYPTO", R"(PACKAGE dbms_crypto AS
  hash_md4 CONSTANT PLS_INTEGER := 1;
  hash_md5 CONSTANT PLS_INTEGER := 2;
  hash_sh1 CONSTANT PLS_INTEGER := 3;
  hash_sh256 CONSTANT PLS_INTEGER := 4;
  hash_sh384 CONSTANT PLS_INTEGER := 5;
  hash_sh512 CONSTANT PLS_INTEGER := 6;
  FUNCTION hash(src IN RAW, typ IN PLS_INTEGER) RETURN RAW;
  FUNCTION hash(src IN BLOB, typ IN PLS_INTEGER) RETURN RAW;
  FUNCTION hash(src IN CLOB, typ IN PLS_INTEGER) RETURN RAW;
END;)",
                                          R"(PACKAGE BODY dbms_crypto AS
  FUNCTION hash(src IN RAW, typ IN PLS_INTEGER) RETURN RAW IS BEGIN RETURN nuvo$native('CRYPTO.HASH', src, typ); END;
  FUNCTION hash(src IN BLOB, typ IN PLS_INTEGER) RETURN RAW IS BEGIN RETURN nuvo$native('CRYPTO.HASH', src, typ); END;
  FUNCTION hash(src IN CLOB, typ IN PLS_INTEGER) RETURN RAW IS BEGIN RETURN nuvo$native('CRYPTO.HASH', src, typ); END;
END;)"};

}  // namespace engine::plsql
