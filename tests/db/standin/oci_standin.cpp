// A stand-in for the Oracle client library, for tests only: a shared library that exports the
// call-interface functions the Oracle driver uses, implemented over the embedded engine, so that
// the driver's whole suite runs without an Oracle server. The driver finds and opens it exactly as
// it opens a real client (it is built as lib/libclntsh.so under a test ORACLE_HOME).
//
// It follows the documented semantics the driver relies on: handle allocation and freeing,
// OCI_SUCCESS_WITH_INFO (ORA-24344 after a unit created with compilation errors), OCI_NO_DATA at
// the end of the rows, OCI_NEED_DATA and the piece calls for LONG and LOB columns defined for
// dynamic fetch, array fetch with cumulative row counts, REF CURSOR binds, the parse error offset
// and the break call.
//
// It does not cover: the network and tnsnames.ora (a connect string is a database directory, or a
// database name under $NUVO_STANDIN_DATA), character sets other than UTF-8, array binds
// (iterations other than 0 and 1), piecewise binds, callbacks, LOB locators and the LOB calls,
// objects, scrollable cursors, statement caching, the prefetch settings, the non-blocking mode,
// and every function the driver does not call.

#include <atomic>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QLocale>
#include <QString>

#include "db/oci/oci_api.h"
#include "db/oci/oci_number.h"
#include "engine/engine.h"

using namespace nuvo::db::oci;

namespace {

struct Handle {
  explicit Handle(ub4 t) : type(t) {}
  virtual ~Handle() = default;
  ub4 type;
};

struct Env : Handle {
  Env() : Handle(OCI_HTYPE_ENV) {}
};

struct Err : Handle {
  Err() : Handle(OCI_HTYPE_ERROR) {}
  int code = 0;
  std::string message;
};

struct Server : Handle {
  Server() : Handle(OCI_HTYPE_SERVER) {}
  std::shared_ptr<engine::Database> db;
};

struct Sess : Handle {
  Sess() : Handle(OCI_HTYPE_SESSION) {}
  std::string user, password;
  std::unique_ptr<engine::Session> session;
};

struct Svc : Handle {
  Svc() : Handle(OCI_HTYPE_SVCCTX) {}
  Server* server = nullptr;
  Sess* sess = nullptr;
};

struct Stmt;

struct Bind : Handle {
  Bind() : Handle(OCI_HTYPE_BIND) {}
  std::string name;
  void* value = nullptr;
  sb4 size = 0;
  ub2 dty = 0;
  sb2* ind = nullptr;
  ub2* alen = nullptr;
  ub2* rcode = nullptr;
};

struct Define : Handle {
  Define() : Handle(OCI_HTYPE_DEFINE) {}
  Stmt* stmt = nullptr;
  ub4 position = 0;
  void* value = nullptr;
  sb4 size = 0;
  ub2 dty = 0;
  sb2* ind = nullptr;
  ub2* rlen = nullptr;
  ub2* rcode = nullptr;
  bool dynamic = false;
};

struct Param : Handle {
  Param() : Handle(OCI_DTYPE_PARAM) {}
  engine::Column column;
  ub2 dataType = 0;
  ub2 dataSize = 0;
  sb2 precision = 0;
  sb1 scale = 0;
  ub1 nullable = 1;
};

// A LONG or LOB value of the current row handed out piece by piece.
struct Piece {
  Define* define = nullptr;
  std::string bytes;
  bool isNull = false;
  std::size_t offset = 0;
};

struct Stmt : Handle {
  Stmt() : Handle(OCI_HTYPE_STMT) {}
  std::string sql;
  ub2 stmtType = 0;
  std::unique_ptr<engine::Statement> statement;
  std::shared_ptr<engine::Cursor> cursor;  // the rows of a returned REF CURSOR
  std::vector<std::unique_ptr<Bind>> binds;
  std::map<ub4, std::unique_ptr<Define>> defines;
  engine::Session* session = nullptr;  // the session that executed it
  ub4 rowCount = 0;
  ub2 parseOffset = 0;
  bool executed = false;
  std::vector<Piece> pieces;
  std::size_t piece = 0;
  void* pieceBuffer = nullptr;
  ub4* pieceLength = nullptr;
  sb2* pieceInd = nullptr;

  engine::Cursor* rows() const {
    if (cursor) return cursor.get();
    return executed && statement && statement->isQuery() ? statement.get() : nullptr;
  }
};

std::atomic<unsigned long> rowFetches{0};  // fetch calls that asked for rows, not for pieces
std::mutex databasesMutex;
std::map<std::string, std::weak_ptr<engine::Database>> databases;

sword fail(void* errhp, int code, const std::string& message) {
  auto* e = static_cast<Err*>(errhp);
  if (!e) return OCI_ERROR;
  e->code = code;
  e->message = message;
  return OCI_ERROR;
}

sword fail(void* errhp, const engine::Error& error) { return fail(errhp, error.code(), error.message()); }

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The statement type the client reports after prepare, from the first word.
ub2 statementType(const std::string& sql) {
  std::size_t i = 0;
  for (;;) {
    while (i < sql.size() && (std::isspace(static_cast<unsigned char>(sql[i])) || sql[i] == '(')) ++i;
    if (sql.compare(i, 2, "--") == 0) {
      i = sql.find('\n', i);
      if (i == std::string::npos) return 0;
    } else if (sql.compare(i, 2, "/*") == 0) {
      i = sql.find("*/", i);
      if (i == std::string::npos) return 0;
      i += 2;
    } else {
      break;
    }
  }
  std::size_t j = i;
  while (j < sql.size() && std::isalpha(static_cast<unsigned char>(sql[j]))) ++j;
  const std::string word = upper(sql.substr(i, j - i));
  static const std::map<std::string, ub2> types = {{"SELECT", 1}, {"WITH", 1},  {"UPDATE", 2}, {"DELETE", 3},
                                                   {"INSERT", 4}, {"CREATE", 5}, {"DROP", 6},  {"ALTER", 7},
                                                   {"BEGIN", 8},  {"DECLARE", 9}, {"MERGE", 16}};
  auto it = types.find(word);
  return it == types.end() ? 0 : it->second;
}

ub2 internalType(const engine::Column& c) {
  switch (c.type) {
    case engine::DataType::Number:
    case engine::DataType::Boolean: return SQLT_NUM;
    case engine::DataType::Char: return SQLT_AFC;
    case engine::DataType::Date: return SQLT_DAT;
    case engine::DataType::Timestamp: return SQLT_TIMESTAMP;
    case engine::DataType::IntervalYearMonth: return kIntervalYearMonthColumn;
    case engine::DataType::IntervalDaySecond: return kIntervalDaySecondColumn;
    case engine::DataType::Long: return SQLT_LNG;
    case engine::DataType::Clob: return SQLT_CLOB;
    case engine::DataType::Blob: return SQLT_BLOB;
    case engine::DataType::Raw: return SQLT_BIN;
    case engine::DataType::Rowid: return SQLT_RID;
    case engine::DataType::Cursor: return SQLT_CUR;
    default: return SQLT_CHR;
  }
}

engine::DataType engineType(ub2 dty) {
  switch (dty) {
    case SQLT_RID:
    case SQLT_RDD: return engine::DataType::Rowid;
    case SQLT_VNU: return engine::DataType::Number;
    case SQLT_DAT: return engine::DataType::Date;
    case SQLT_LNG: return engine::DataType::Long;
    case SQLT_BIN:
    case SQLT_LBI: return engine::DataType::Raw;
    case SQLT_RSET: return engine::DataType::Cursor;
    default: return engine::DataType::Varchar2;
  }
}

std::string numberText(const engine::Value& v) {
  if (v.kind() == engine::Value::Kind::Integer) return std::to_string(v.asInteger());
  return QString::number(v.asDouble(), 'g', QLocale::FloatingPointShortest).toStdString();
}

// The value a bind's buffer holds.
engine::Value readBind(const Bind& b) {
  if (b.ind && *b.ind == -1) return {};
  const auto* data = static_cast<const unsigned char*>(b.value);
  const std::size_t length = b.alen ? *b.alen : static_cast<std::size_t>(b.size);
  switch (b.dty) {
    case SQLT_VNU: {
      OraNumber n;
      std::memcpy(n.data(), data, n.size());
      const QVariant v = numberValue(n);
      if (v.typeId() == QMetaType::LongLong) return engine::Value(static_cast<std::int64_t>(v.toLongLong()));
      return engine::Value(v.toDouble());
    }
    case SQLT_DAT:
      return engine::Value(engine::DateTime{(data[0] - 100) * 100 + data[1] - 100, data[2], data[3], data[4] - 1,
                                            data[5] - 1, data[6] - 1});
    case SQLT_BIN:
    case SQLT_LBI: return engine::Value(engine::Bytes(data, data + length));
    default: {
      std::string text(reinterpret_cast<const char*>(data), length);
      if (text.empty()) return {};
      return engine::Value(std::move(text));
    }
  }
}

// Bytes of a value as text or binary, for a character, LONG or RAW buffer.
std::string bytesOf(const engine::Value& v, engine::Session& session) {
  switch (v.kind()) {
    case engine::Value::Kind::Text: return v.asText();
    case engine::Value::Kind::Binary: return std::string(v.asBytes().begin(), v.asBytes().end());
    case engine::Value::Kind::Null: return {};
    default: return session.format(v);
  }
}

// Writes a value into a caller's buffer of type `dty`; false when it had to be cut to fit.
bool writeValue(const engine::Value& v, ub2 dty, void* buffer, sb4 size, sb2* ind, ub2* length, ub2* rcode,
                engine::Session& session) {
  if (rcode) *rcode = 0;
  if (v.isNull()) {
    if (ind) *ind = -1;
    if (length) *length = 0;
    return true;
  }
  if (ind) *ind = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  switch (dty) {
    case SQLT_VNU: {
      OraNumber n{};
      const std::string text = v.isNumber() ? numberText(v) : bytesOf(v, session);
      encodeNumber(QString::fromStdString(text), n);
      std::memcpy(out, n.data(), n.size());
      if (length) *length = static_cast<ub2>(n.size());
      return true;
    }
    case SQLT_DAT: {
      const engine::DateTime d = v.asDate();
      out[0] = static_cast<unsigned char>(d.year / 100 + 100);
      out[1] = static_cast<unsigned char>(d.year % 100 + 100);
      out[2] = static_cast<unsigned char>(d.month);
      out[3] = static_cast<unsigned char>(d.day);
      out[4] = static_cast<unsigned char>(d.hour + 1);
      out[5] = static_cast<unsigned char>(d.minute + 1);
      out[6] = static_cast<unsigned char>(d.second + 1);
      if (length) *length = 7;
      return true;
    }
    default: {
      const std::string bytes = bytesOf(v, session);
      std::size_t n = bytes.size();
      const bool whole = n <= static_cast<std::size_t>(size);
      if (!whole) {
        n = static_cast<std::size_t>(size);  // cut: ORA-01406 in the return code
        if (rcode) *rcode = 1406;
      }
      std::memcpy(out, bytes.data(), n);
      if (length) *length = static_cast<ub2>(n);
      return whole;
    }
  }
}

std::shared_ptr<engine::Database> openDatabase(const std::string& link) {
  namespace fs = std::filesystem;
  std::string directory = link;
  if (link.find('/') == std::string::npos) {
    const char* data = std::getenv("NUVO_STANDIN_DATA");
    if (!data) return nullptr;
    for (const std::string& name : engine::Database::list(data))
      if (upper(name) == upper(link)) directory = (fs::path(data) / name).string();
  }
  if (!engine::Database::exists(directory)) return nullptr;
  const std::string key = fs::weakly_canonical(directory).string();
  std::lock_guard lock(databasesMutex);
  if (auto db = databases[key].lock()) return db;
  auto db = engine::Database::open(key);
  databases[key] = db;
  return db;
}

// Hands out the next piece of a LONG or LOB value into the buffer the caller set.
sword nextPiece(Stmt* s) {
  Piece& p = s->pieces[s->piece];
  if (p.isNull) {
    if (s->pieceInd) *s->pieceInd = -1;
    if (s->pieceLength) *s->pieceLength = 0;
    p.offset = p.bytes.size();
  } else {
    const std::size_t room = s->pieceLength ? *s->pieceLength : 0;
    const std::size_t n = std::min(room, p.bytes.size() - p.offset);
    std::memcpy(s->pieceBuffer, p.bytes.data() + p.offset, n);
    p.offset += n;
    if (s->pieceLength) *s->pieceLength = static_cast<ub4>(n);
    if (s->pieceInd) *s->pieceInd = 0;
  }
  s->pieceBuffer = nullptr;
  if (p.offset >= p.bytes.size()) ++s->piece;
  if (s->piece < s->pieces.size()) return OCI_NEED_DATA;
  s->pieces.clear();
  return OCI_SUCCESS;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) sword OCIEnvNlsCreate(void** envhpp, ub4, void*, void*, void*, void*, size_t,
                                                             void**, ub2, ub2) {
  *envhpp = new Env;
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIHandleAlloc(const void* parent, void** hndlpp, ub4 type, size_t,
                                                            void**) {
  if (!parent || !hndlpp) return OCI_INVALID_HANDLE;
  switch (type) {
    case OCI_HTYPE_ERROR: *hndlpp = new Err; break;
    case OCI_HTYPE_SERVER: *hndlpp = new Server; break;
    case OCI_HTYPE_SVCCTX: *hndlpp = new Svc; break;
    case OCI_HTYPE_SESSION: *hndlpp = new Sess; break;
    case OCI_HTYPE_STMT: *hndlpp = new Stmt; break;
    default: return OCI_INVALID_HANDLE;
  }
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIHandleFree(void* hndlp, ub4 type) {
  auto* h = static_cast<Handle*>(hndlp);
  if (!h || h->type != type) return OCI_INVALID_HANDLE;
  delete h;
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIDescriptorFree(void* descp, ub4 type) {
  return OCIHandleFree(descp, type);
}

__attribute__((visibility("default"))) sword OCIAttrSet(void* target, ub4 type, void* value, ub4 size, ub4 attr,
                                                        void* errhp) {
  auto* h = static_cast<Handle*>(target);
  if (!h || h->type != type) return OCI_INVALID_HANDLE;
  if (type == OCI_HTYPE_SVCCTX && attr == OCI_ATTR_SERVER) {
    static_cast<Svc*>(h)->server = static_cast<Server*>(value);
  } else if (type == OCI_HTYPE_SVCCTX && attr == OCI_ATTR_SESSION) {
    static_cast<Svc*>(h)->sess = static_cast<Sess*>(value);
  } else if (type == OCI_HTYPE_SESSION && (attr == OCI_ATTR_USERNAME || attr == OCI_ATTR_PASSWORD)) {
    std::string text(static_cast<const char*>(value), size);
    (attr == OCI_ATTR_USERNAME ? static_cast<Sess*>(h)->user : static_cast<Sess*>(h)->password) = text;
  } else if (!(type == OCI_HTYPE_STMT && attr == OCI_ATTR_PREFETCH_ROWS)) {
    return fail(errhp, 24315, "ORA-24315: illegal attribute type");
  }
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIAttrGet(const void* target, ub4 type, void* value, ub4* size, ub4 attr,
                                                        void* errhp) {
  auto* h = const_cast<Handle*>(static_cast<const Handle*>(target));
  if (!h || h->type != type) return OCI_INVALID_HANDLE;
  if (type == OCI_HTYPE_STMT) {
    auto* s = static_cast<Stmt*>(h);
    switch (attr) {
      case OCI_ATTR_STMT_TYPE: *static_cast<ub2*>(value) = s->stmtType; return OCI_SUCCESS;
      case OCI_ATTR_ROW_COUNT: *static_cast<ub4*>(value) = s->rowCount; return OCI_SUCCESS;
      case OCI_ATTR_PARSE_ERROR_OFFSET: *static_cast<ub2*>(value) = s->parseOffset; return OCI_SUCCESS;
      case OCI_ATTR_PARAM_COUNT: {
        engine::Cursor* rows = s->rows();
        *static_cast<ub4*>(value) = rows ? static_cast<ub4>(rows->columns().size()) : 0;
        return OCI_SUCCESS;
      }
      default: break;
    }
  } else if (type == OCI_HTYPE_SESSION && attr == OCI_ATTR_TRANSACTION_IN_PROGRESS) {
    auto* s = static_cast<Sess*>(h);
    *static_cast<int*>(value) = s->session && s->session->inTransaction() ? 1 : 0;
    return OCI_SUCCESS;
  } else if (type == OCI_DTYPE_PARAM) {
    auto* p = static_cast<Param*>(h);
    switch (attr) {
      case OCI_ATTR_DATA_TYPE: *static_cast<ub2*>(value) = p->dataType; return OCI_SUCCESS;
      case OCI_ATTR_DATA_SIZE: *static_cast<ub2*>(value) = p->dataSize; return OCI_SUCCESS;
      case OCI_ATTR_PRECISION: *static_cast<sb2*>(value) = p->precision; return OCI_SUCCESS;
      case OCI_ATTR_SCALE: *static_cast<sb1*>(value) = p->scale; return OCI_SUCCESS;
      case OCI_ATTR_IS_NULL: *static_cast<ub1*>(value) = p->nullable; return OCI_SUCCESS;
      case OCI_ATTR_NAME:
        *static_cast<const char**>(value) = p->column.name.c_str();
        if (size) *size = static_cast<ub4>(p->column.name.size());
        return OCI_SUCCESS;
      default: break;
    }
  }
  return fail(errhp, 24315, "ORA-24315: illegal attribute type");
}

__attribute__((visibility("default"))) sword OCIServerAttach(void* srvhp, void* errhp, const OraText* link,
                                                             sb4 length, ub4) {
  auto* server = static_cast<Server*>(srvhp);
  try {
    server->db = openDatabase(std::string(reinterpret_cast<const char*>(link), static_cast<std::size_t>(length)));
  } catch (const engine::Error& e) {
    return fail(errhp, e);
  }
  if (!server->db) return fail(errhp, 12154, "ORA-12154: TNS:could not resolve the connect identifier specified");
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIServerDetach(void* srvhp, void*, ub4) {
  static_cast<Server*>(srvhp)->db.reset();
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCISessionBegin(void* svchp, void* errhp, void* usrhp, ub4, ub4 mode) {
  auto* svc = static_cast<Svc*>(svchp);
  auto* sess = static_cast<Sess*>(usrhp);
  if (!svc->server || !svc->server->db) return fail(errhp, 12541, "ORA-12541: TNS:no listener");
  try {
    sess->session = svc->server->db->logOn(sess->user, sess->password, (mode & OCI_SYSDBA) != 0);
  } catch (const engine::Error& e) {
    return fail(errhp, e);
  }
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCISessionEnd(void*, void*, void* usrhp, ub4) {
  static_cast<Sess*>(usrhp)->session.reset();
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIStmtPrepare(void* stmtp, void*, const OraText* text, ub4 length, ub4,
                                                            ub4) {
  auto* s = static_cast<Stmt*>(stmtp);
  s->sql.assign(reinterpret_cast<const char*>(text), length);
  s->stmtType = statementType(s->sql);
  s->statement.reset();
  s->cursor.reset();
  s->binds.clear();
  s->defines.clear();
  s->executed = false;
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIBindByName(void* stmtp, void** bindpp, void*, const OraText* name,
                                                           sb4 nameLength, void* value, sb4 size, ub2 dty, void* ind,
                                                           ub2* alen, ub2* rcode, ub4, ub4*, ub4) {
  auto* s = static_cast<Stmt*>(stmtp);
  std::string key = upper(std::string(reinterpret_cast<const char*>(name), static_cast<std::size_t>(nameLength)));
  if (!key.empty() && key[0] == ':') key.erase(0, 1);
  std::erase_if(s->binds, [&](const std::unique_ptr<Bind>& b) { return b->name == key; });
  auto b = std::make_unique<Bind>();
  b->name = key;
  b->value = value;
  b->size = size;
  b->dty = dty;
  b->ind = static_cast<sb2*>(ind);
  b->alen = alen;
  b->rcode = rcode;
  *bindpp = b.get();
  s->binds.push_back(std::move(b));
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIDefineByPos(void* stmtp, void** defnpp, void*, ub4 position,
                                                            void* value, sb4 size, ub2 dty, void* ind, ub2* rlen,
                                                            ub2* rcode, ub4 mode) {
  auto* s = static_cast<Stmt*>(stmtp);
  auto d = std::make_unique<Define>();
  d->stmt = s;
  d->position = position;
  d->value = value;
  d->size = size;
  d->dty = dty;
  d->ind = static_cast<sb2*>(ind);
  d->rlen = rlen;
  d->rcode = rcode;
  d->dynamic = (mode & OCI_DYNAMIC_FETCH) != 0;
  *defnpp = d.get();
  s->defines[position] = std::move(d);
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIStmtExecute(void* svchp, void* stmtp, void* errhp, ub4 iters, ub4,
                                                            const void*, void*, ub4) {
  auto* svc = static_cast<Svc*>(svchp);
  auto* s = static_cast<Stmt*>(stmtp);
  if (!svc || !svc->sess || !svc->sess->session) return fail(errhp, 3114, "ORA-03114: not connected to ORACLE");
  engine::Session& session = *svc->sess->session;
  const bool block = s->stmtType == 8 || s->stmtType == 9;
  s->parseOffset = 0;
  s->rowCount = 0;
  s->executed = false;
  s->cursor.reset();
  s->pieces.clear();
  if (iters == 0 && s->stmtType != 1) return fail(errhp, 24333, "ORA-24333: zero iteration count");
  sword result = OCI_SUCCESS;
  s->session = &session;
  try {
    s->statement = session.prepare(s->sql);
    // A DML statement gives values back through the variables after RETURNING ... INTO, which the
    // caller binds NULL.
    const bool returning = !block && upper(s->sql).find("RETURNING") != std::string::npos;
    std::vector<Bind*> outs;
    for (const auto& b : s->binds) {
      if (b->dty == SQLT_RSET) {
        s->statement->bindOut(b->name, engine::DataType::Cursor);
        outs.push_back(b.get());
        continue;
      }
      const engine::Value v = readBind(*b);
      if ((block || returning) && v.isNull()) {
        s->statement->bindOut(b->name, engineType(b->dty));
        outs.push_back(b.get());
      } else if (block) {
        s->statement->bind(b->name, v, engine::BindDirection::InOut);
        outs.push_back(b.get());
      } else {
        s->statement->bind(b->name, v, engine::BindDirection::In);
      }
    }
    try {
      s->statement->execute();
    } catch (const engine::Error& e) {
      if (e.code() != 24344) throw;
      fail(errhp, e);
      result = OCI_SUCCESS_WITH_INFO;
    }
    s->executed = true;
    if (!s->statement->isQuery()) s->rowCount = static_cast<ub4>(s->statement->rowCount());
    for (Bind* b : outs) {
      const engine::Value v = s->statement->bindValue(b->name);
      if (b->dty == SQLT_RSET) {
        auto* target = *static_cast<Stmt**>(b->value);
        target->cursor = v.kind() == engine::Value::Kind::Cursor ? v.asCursor() : nullptr;
        target->executed = target->cursor != nullptr;
        target->rowCount = 0;
        target->stmtType = 1;
        target->session = &session;
        continue;
      }
      if (!writeValue(v, b->dty, b->value, b->size, b->ind, b->alen, b->rcode, session))
        return fail(errhp, 6502, "ORA-06502: PL/SQL: numeric or value error: character string buffer too small");
    }
  } catch (const engine::Error& e) {
    if (e.offset() > 0) s->parseOffset = static_cast<ub2>(e.offset());
    return fail(errhp, e);
  }
  return result;
}

__attribute__((visibility("default"))) sword OCIStmtFetch2(void* stmtp, void* errhp, ub4 nrows, ub2, sb4, ub4) {
  auto* s = static_cast<Stmt*>(stmtp);
  if (!s->pieces.empty()) {
    if (!s->pieceBuffer) return fail(errhp, 24304, "ORA-24304: datatype not allowed for this call");
    return nextPiece(s);
  }
  engine::Cursor* rows = s->rows();
  if (!rows) return fail(errhp, 24338, "ORA-24338: statement handle not executed");
  ++rowFetches;
  bool cut = false;  // a value was cut to fit: success with information, ORA-01406
  try {
    for (ub4 i = 0; i < nrows; ++i) {
      if (!rows->next()) return OCI_NO_DATA;
      ++s->rowCount;
      for (auto& [position, d] : s->defines) {
        const engine::Value& v = rows->value(position - 1);
        if (d->dynamic) {
          Piece p;
          p.define = d.get();
          p.isNull = v.isNull();
          if (!p.isNull)
            p.bytes = v.kind() == engine::Value::Kind::Binary ? std::string(v.asBytes().begin(), v.asBytes().end())
                                                              : v.asText();
          s->pieces.push_back(std::move(p));
          continue;
        }
        const std::size_t width = static_cast<std::size_t>(d->size);
        cut |= !writeValue(v, d->dty, static_cast<char*>(d->value) + i * width, d->size, d->ind ? d->ind + i : nullptr,
                           d->rlen ? d->rlen + i : nullptr, d->rcode ? d->rcode + i : nullptr, *s->session);
      }
      if (!s->pieces.empty()) {
        s->piece = 0;
        return OCI_NEED_DATA;
      }
    }
  } catch (const engine::Error& e) {
    return fail(errhp, e);
  }
  if (cut) {
    fail(errhp, 1406, "ORA-01406: fetched column value was truncated");
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIStmtGetPieceInfo(void* stmtp, void* errhp, void** hndlpp, ub4* typep,
                                                                 ub1* inOut, ub4* iter, ub4* idx, ub1* piece) {
  auto* s = static_cast<Stmt*>(stmtp);
  if (s->pieces.empty()) return fail(errhp, 24304, "ORA-24304: datatype not allowed for this call");
  const Piece& p = s->pieces[s->piece];
  *hndlpp = p.define;
  *typep = OCI_HTYPE_DEFINE;
  *inOut = OCI_PARAM_OUT;
  *iter = 0;
  *idx = 0;
  *piece = p.offset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIStmtSetPieceInfo(void* hndlp, ub4 type, void* errhp, const void* buf,
                                                                 ub4* alenp, ub1, const void* indp, ub2*) {
  if (type != OCI_HTYPE_DEFINE) return fail(errhp, 24304, "ORA-24304: datatype not allowed for this call");
  Stmt* s = static_cast<Define*>(hndlp)->stmt;
  s->pieceBuffer = const_cast<void*>(buf);
  s->pieceLength = alenp;
  s->pieceInd = static_cast<sb2*>(const_cast<void*>(indp));
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIParamGet(const void* hndlp, ub4, void* errhp, void** parmdpp,
                                                         ub4 position) {
  const auto* s = static_cast<const Stmt*>(hndlp);
  engine::Cursor* rows = s->rows();
  if (!rows || position < 1 || position > rows->columns().size())
    return fail(errhp, 24334, "ORA-24334: no descriptor for this position");
  auto* p = new Param;
  p->column = rows->columns()[position - 1];
  p->dataType = internalType(p->column);
  p->dataSize = static_cast<ub2>(p->dataType == SQLT_NUM ? 22 : p->dataType == SQLT_DAT ? 7 : p->column.size);
  p->precision = static_cast<sb2>(p->column.precision);
  p->scale = static_cast<sb1>(p->column.scale);
  p->nullable = p->column.nullable ? 1 : 0;
  *parmdpp = p;
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIErrorGet(void* hndlp, ub4 record, OraText*, sb4* code, OraText* buf,
                                                         ub4 size, ub4 type) {
  auto* e = static_cast<Err*>(hndlp);
  if (!e || type != OCI_HTYPE_ERROR || record != 1 || e->code == 0) return OCI_NO_DATA;
  *code = e->code;
  const std::string text = e->message + "\n";
  const std::size_t n = std::min<std::size_t>(text.size(), size ? size - 1 : 0);
  std::memcpy(buf, text.data(), n);
  buf[n] = 0;
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCITransCommit(void* svchp, void* errhp, ub4) {
  auto* svc = static_cast<Svc*>(svchp);
  try {
    svc->sess->session->commit();
  } catch (const engine::Error& e) {
    return fail(errhp, e);
  }
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCITransRollback(void* svchp, void* errhp, ub4) {
  auto* svc = static_cast<Svc*>(svchp);
  try {
    svc->sess->session->rollback();
  } catch (const engine::Error& e) {
    return fail(errhp, e);
  }
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIBreak(void* hndlp, void*) {
  auto* svc = static_cast<Svc*>(hndlp);
  if (svc && svc->sess && svc->sess->session) svc->sess->session->interrupt();
  return OCI_SUCCESS;
}

__attribute__((visibility("default"))) sword OCIReset(void*, void*) { return OCI_SUCCESS; }

// Not of the client library: lets the tests see how many round trips a fetch took.
__attribute__((visibility("default"))) unsigned long nuvo_standin_row_fetches() { return rowFetches.load(); }

}  // extern "C"
