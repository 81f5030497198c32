#include "db/oci/oci_driver.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "db/error.h"
#include "db/oci/oci_number.h"
#include "db/oci/tnsnames.h"

namespace nuvo::db {

using namespace oci;

namespace {

constexpr int kDefaultPacketRows = 100;
constexpr int kPieceSize = 64 * 1024;         // bytes per piece of a LONG or LOB column
constexpr sb4 kMaxPiecewiseSize = 0x7FFFFFFF;  // a LONG or LOB column as a whole
constexpr int kMaxOutBytes = 32767;            // the longest value PL/SQL gives back
constexpr int kMaxColumnBytes = 65535;         // a column's buffer; its length is returned in 16 bits
constexpr int kErrorTextSize = 4096;
constexpr ub2 kUrowid = 208;
constexpr int kMaxRowidText = 4000;
constexpr int kMaxVarchar2 = 4000;

// The handles of one logged-on session. Statements and cursors hold it, so that the session
// ends only when nothing of it is left.
struct Connection {
  const Api* api = nullptr;
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCIError* breakErr = nullptr;  // the break call runs beside a call that uses `err`
  OCIServer* server = nullptr;
  OCISvcCtx* svc = nullptr;
  OCISession* session = nullptr;
  bool attached = false;
  bool begun = false;
  bool dirty = false;  // a statement other than a query ran since the last commit or rollback

  ~Connection() {
    if (!api) return;
    if (begun) api->SessionEnd(svc, err, session, OCI_DEFAULT);
    if (attached) api->ServerDetach(server, err, OCI_DEFAULT);
    if (session) api->HandleFree(session, OCI_HTYPE_SESSION);
    if (svc) api->HandleFree(svc, OCI_HTYPE_SVCCTX);
    if (server) api->HandleFree(server, OCI_HTYPE_SERVER);
    if (breakErr) api->HandleFree(breakErr, OCI_HTYPE_ERROR);
    if (err) api->HandleFree(err, OCI_HTYPE_ERROR);
    if (env) api->HandleFree(env, OCI_HTYPE_ENV);
  }

  // The error the last call left: code, whole message and, for a statement, the parse offset.
  Error error(sword rc, OCIStmt* stmt = nullptr, void* handle = nullptr, ub4 handleType = OCI_HTYPE_ERROR) const {
    if (rc == OCI_INVALID_HANDLE) return Error::client(QStringLiteral("Oracle client: invalid handle"));
    sb4 code = 0;
    OraText text[kErrorTextSize] = {};
    if (!handle) handle = err;
    if (api->ErrorGet(handle, 1, nullptr, &code, text, sizeof text, handleType) != OCI_SUCCESS)
      return Error::client(QStringLiteral("Oracle client: call failed (%1)").arg(rc));
    const QString message = QString::fromUtf8(reinterpret_cast<const char*>(text)).trimmed();
    int offset = -1;
    if (stmt) {
      ub2 parseOffset = 0;
      if (api->AttrGet(stmt, OCI_HTYPE_STMT, &parseOffset, nullptr, OCI_ATTR_PARSE_ERROR_OFFSET, err) == OCI_SUCCESS &&
          parseOffset > 0)
        offset = parseOffset;
    }
    if (code == 1013) api->Reset(svc, err);  // after a break the connection must be reset
    return Error(code, message, offset);
  }

  void check(sword rc, OCIStmt* stmt = nullptr) const {
    if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO) throw error(rc, stmt);
  }

  template <typename T>
  T* alloc(ub4 type) const {
    void* handle = nullptr;
    const sword rc = api->HandleAlloc(env, &handle, type, 0, nullptr);
    if (rc != OCI_SUCCESS) throw error(rc, nullptr, env, OCI_HTYPE_ENV);
    return static_cast<T*>(handle);
  }
};

using ConnectionPtr = std::shared_ptr<Connection>;

QVariant dateFromOracle(const unsigned char* d) {
  const int year = (d[0] - 100) * 100 + (d[1] - 100);
  const QDate date(year, d[2], d[3]);
  const QTime time(d[4] - 1, d[5] - 1, d[6] - 1);
  return QVariant(QDateTime(date, time, Qt::UTC));
}

void dateToOracle(const QDateTime& dt, unsigned char* d) {
  const QDate date = dt.date();
  const QTime time = dt.time();
  d[0] = static_cast<unsigned char>(date.year() / 100 + 100);
  d[1] = static_cast<unsigned char>(date.year() % 100 + 100);
  d[2] = static_cast<unsigned char>(date.month());
  d[3] = static_cast<unsigned char>(date.day());
  d[4] = static_cast<unsigned char>(time.hour() + 1);
  d[5] = static_cast<unsigned char>(time.minute() + 1);
  d[6] = static_cast<unsigned char>(time.second() + 1);
}

[[noreturn]] void invalidNumber() { throw Error::ora(1722, QStringLiteral("invalid number")); }

// The decimal text of an integer or float variable's value, as the embedded driver accepts it.
QString numberText(const QVariant& v, DataType type) {
  const bool integral = v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int ||
                        v.typeId() == QMetaType::Bool || v.typeId() == QMetaType::UInt;
  bool ok = false;
  if (type == DataType::Integer || integral) {
    const qlonglong n = v.toLongLong(&ok);
    if (ok) return QString::number(n);
  }
  const double d = v.toDouble(&ok);
  if (!ok || !std::isfinite(d)) invalidNumber();
  if (type == DataType::Integer) return QString::number(std::llround(d));
  return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

// A column as the server describes it, and how the driver reads it.
struct ColumnInfo {
  ub2 internalType = 0;
  ub2 externalType = 0;
  bool piecewise = false;  // LONG, LONG RAW, CLOB, BLOB: read whole, piece by piece
  int width = 0;           // bytes of one value in the fetch buffer
};

QString typeName(ub2 type) {
  switch (type) {
    case SQLT_CHR: return QStringLiteral("VARCHAR2");
    case SQLT_NUM: return QStringLiteral("NUMBER");
    case SQLT_LNG: return QStringLiteral("LONG");
    case SQLT_RID:
    case SQLT_RDD: return QStringLiteral("ROWID");
    case SQLT_DAT: return QStringLiteral("DATE");
    case SQLT_BIN: return QStringLiteral("RAW");
    case SQLT_LBI: return QStringLiteral("LONG RAW");
    case SQLT_AFC: return QStringLiteral("CHAR");
    case SQLT_IBFLOAT: return QStringLiteral("BINARY_FLOAT");
    case SQLT_IBDOUBLE: return QStringLiteral("BINARY_DOUBLE");
    case SQLT_CUR: return QStringLiteral("REF CURSOR");
    case SQLT_CLOB: return QStringLiteral("CLOB");
    case SQLT_BLOB: return QStringLiteral("BLOB");
    case kIntervalYearMonthColumn: return QStringLiteral("INTERVAL YEAR TO MONTH");
    case kIntervalDaySecondColumn: return QStringLiteral("INTERVAL DAY TO SECOND");
    default: return QStringLiteral("TIMESTAMP");
  }
}

bool isTimestamp(ub2 type) {
  return type == 180 || type == 181 || type == 231 || type == SQLT_TIMESTAMP || type == SQLT_TIMESTAMP_TZ ||
         type == SQLT_TIMESTAMP_LTZ;
}

// How a column of an internal type is read, and the client layer's type of it.
ColumnInfo readingOf(ub2 internalType, int dataSize, DataType* clientType) {
  ColumnInfo info;
  info.internalType = internalType;
  switch (internalType) {
    case SQLT_NUM:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE:
      info.externalType = SQLT_VNU;
      info.width = static_cast<int>(sizeof(OraNumber));
      *clientType = DataType::Float;
      break;
    case SQLT_DAT:
      info.externalType = SQLT_DAT;
      info.width = 7;
      *clientType = DataType::Date;
      break;
    case SQLT_BIN:
      info.externalType = SQLT_BIN;
      info.width = qBound(1, dataSize, kMaxColumnBytes);
      *clientType = DataType::Binary;
      break;
    case SQLT_LNG:
    case SQLT_CLOB:
      info.externalType = SQLT_LNG;
      info.piecewise = true;
      *clientType = DataType::Long;
      break;
    case SQLT_LBI:
    case SQLT_BLOB:
      info.externalType = SQLT_LBI;
      info.piecewise = true;
      *clientType = DataType::Binary;
      break;
    default:
      if (isTimestamp(internalType)) {
        info.externalType = SQLT_DAT;
        info.width = 7;
        *clientType = DataType::Date;
        break;
      }
      info.externalType = SQLT_CHR;
      if (internalType == SQLT_RID || internalType == SQLT_RDD || internalType == kUrowid) {
        // The text of a ROWID is longer than its stored size; a UROWID's text is at most 4000.
        info.width = kMaxRowidText;
        *clientType = DataType::Rowid;
      } else {
        // Text: the server's size in bytes may grow up to four times on the way to UTF-8; a
        // column without a size gets room for the longest VARCHAR2.
        info.width = qBound(16, (dataSize > 0 ? dataSize : kMaxVarchar2) * 4, kMaxColumnBytes);
        *clientType = DataType::String;
      }
      break;
  }
  return info;
}

// The rows of an executed query or of a returned cursor, fetched in packets of rows.
class OciRows : public ResultSet {
 public:
  // `owned`: the statement handle is a cursor's and is freed with the rows.
  OciRows(ConnectionPtr connection, OCIStmt* stmt, bool owned)
      : c_(std::move(connection)), stmt_(stmt), owned_(owned) {}
  ~OciRows() override {
    if (owned_ && stmt_) c_->api->HandleFree(stmt_, OCI_HTYPE_STMT);
  }
  OciRows(const OciRows&) = delete;
  OciRows& operator=(const OciRows&) = delete;

  // Describes the columns and binds the fetch buffers; the statement has been executed.
  void start() {
    columns_.clear();
    infos_.clear();
    fetched_ = 0;
    inPacket_ = 0;
    current_ = -1;
    done_ = false;
    ub4 count = 0;
    c_->check(c_->api->AttrGet(stmt_, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, c_->err));
    for (ub4 i = 1; i <= count; ++i) {
      void* param = nullptr;
      c_->check(c_->api->ParamGet(stmt_, OCI_HTYPE_STMT, c_->err, &param, i));
      ub2 type = 0, size = 0;
      sb2 precision = 0;
      sb1 scale = 0;
      ub1 nullable = 1;
      OraText* name = nullptr;
      ub4 nameLength = 0;
      const Api& api = *c_->api;
      api.AttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, c_->err);
      api.AttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, c_->err);
      api.AttrGet(param, OCI_DTYPE_PARAM, &precision, nullptr, OCI_ATTR_PRECISION, c_->err);
      api.AttrGet(param, OCI_DTYPE_PARAM, &scale, nullptr, OCI_ATTR_SCALE, c_->err);
      api.AttrGet(param, OCI_DTYPE_PARAM, &nullable, nullptr, OCI_ATTR_IS_NULL, c_->err);
      api.AttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, c_->err);
      api.DescriptorFree(param, OCI_DTYPE_PARAM);
      Column column;
      column.name = QString::fromUtf8(reinterpret_cast<const char*>(name), static_cast<qsizetype>(nameLength));
      column.typeName = typeName(type);
      column.size = size;
      column.precision = precision;
      column.scale = scale;
      column.nullable = nullable != 0;
      ColumnInfo info = readingOf(type, size, &column.type);
      if (type == SQLT_NUM && scale == 0 && precision > 0) column.type = DataType::Integer;
      columns_.push_back(column);
      infos_.push_back(info);
    }
    bindBuffers(packetRows_);
  }

  void setPacketRows(int rows) override {
    const int wanted = qMax(1, rows);
    if (wanted == packetRows_) return;
    packetRows_ = wanted;
    // Rows already fetched into the buffers are read first; the next fetch uses the new size.
    pendingResize_ = true;
  }

  const Columns& columns() const override { return columns_; }

  bool next() override {
    if (current_ + 1 < inPacket_) {
      ++current_;
      ++delivered_;
      return true;
    }
    if (done_) return false;
    if (pendingResize_) bindBuffers(packetRows_);
    fetchPacket();
    current_ = inPacket_ > 0 ? 0 : -1;
    if (inPacket_ == 0) return false;
    ++delivered_;
    return true;
  }

  QVariant value(int column) const override {
    if (current_ < 0 || column < 0 || column >= infos_.size()) return {};
    const ColumnInfo& info = infos_[column];
    const Buffer& b = buffers_[static_cast<std::size_t>(column)];
    if (info.piecewise) {
      if (b.wholeIsNull) return {};
      if (info.externalType == SQLT_LBI) return QVariant(b.whole);
      return QVariant(QString::fromUtf8(b.whole));
    }
    const std::size_t row = static_cast<std::size_t>(current_);
    if (b.ind[row] == -1) return {};
    const unsigned char* data = b.data.data() + row * static_cast<std::size_t>(info.width);
    switch (info.externalType) {
      case SQLT_VNU: {
        OraNumber n;
        std::memcpy(n.data(), data, n.size());
        return numberValue(n);
      }
      case SQLT_DAT: return dateFromOracle(data);
      case SQLT_BIN: return QVariant(QByteArray(reinterpret_cast<const char*>(data), b.len[row]));
      default: return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(data), b.len[row]));
    }
  }

  void close() override {
    done_ = true;
    inPacket_ = 0;
    current_ = -1;
  }

  qint64 delivered() const { return delivered_; }
  void resetDelivered() { delivered_ = 0; }

 private:
  struct Buffer {
    std::vector<unsigned char> data;
    std::vector<sb2> ind;
    std::vector<ub2> len;
    std::vector<ub2> rcode;
    OCIDefine* define = nullptr;
    // A piecewise column: its value in the current row, and the piece being read.
    QByteArray whole;
    bool wholeIsNull = true;
    std::vector<unsigned char> piece;
    ub4 pieceLength = 0;
    sb2 pieceInd = 0;
    ub2 pieceRcode = 0;
  };

  bool piecewise() const {
    for (const ColumnInfo& info : infos_)
      if (info.piecewise) return true;
    return false;
  }

  void bindBuffers(int rows) {
    pendingResize_ = false;
    // A row with a LONG or LOB column is read alone: its pieces are asked for row by row.
    rowsPerFetch_ = piecewise() ? 1 : rows;
    buffers_.assign(infos_.size(), Buffer{});
    for (qsizetype i = 0; i < infos_.size(); ++i) {
      const ColumnInfo& info = infos_[i];
      Buffer& b = buffers_[static_cast<std::size_t>(i)];
      const std::size_t n = static_cast<std::size_t>(rowsPerFetch_);
      b.ind.assign(n, 0);
      b.len.assign(n, 0);
      b.rcode.assign(n, 0);
      if (info.piecewise) {
        c_->check(c_->api->DefineByPos(stmt_, &b.define, c_->err, static_cast<ub4>(i + 1), nullptr, kMaxPiecewiseSize,
                                       info.externalType, nullptr, nullptr, nullptr, OCI_DYNAMIC_FETCH));
        continue;
      }
      b.data.assign(n * static_cast<std::size_t>(info.width), 0);
      c_->check(c_->api->DefineByPos(stmt_, &b.define, c_->err, static_cast<ub4>(i + 1), b.data.data(), info.width,
                                     info.externalType, b.ind.data(), b.len.data(), b.rcode.data(), OCI_DEFAULT));
    }
  }

  Buffer* bufferOf(void* define) {
    for (Buffer& b : buffers_)
      if (b.define == define) return &b;
    return nullptr;
  }

  void fetchPacket() {
    for (Buffer& b : buffers_) {
      b.whole.clear();
      b.wholeIsNull = true;
    }
    const Api& api = *c_->api;
    sword rc = api.StmtFetch2(stmt_, c_->err, static_cast<ub4>(rowsPerFetch_), OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    Buffer* filling = nullptr;  // the piecewise column whose piece the last fetch call filled
    auto takePiece = [&] {
      if (!filling) return;
      if (filling->pieceInd != -1) {
        filling->wholeIsNull = false;
        filling->whole.append(reinterpret_cast<const char*>(filling->piece.data()),
                              static_cast<qsizetype>(filling->pieceLength));
      }
      filling = nullptr;
    };
    while (rc == OCI_NEED_DATA) {
      takePiece();
      void* handle = nullptr;
      ub4 type = 0, iteration = 0, index = 0;
      ub1 inOut = 0, piece = 0;
      c_->check(api.StmtGetPieceInfo(stmt_, c_->err, &handle, &type, &inOut, &iteration, &index, &piece));
      Buffer* b = bufferOf(handle);
      if (!b) throw Error::client(QStringLiteral("Oracle client asked for a piece of an unknown column"));
      if (b->piece.empty()) b->piece.resize(kPieceSize);
      b->pieceLength = kPieceSize;
      b->pieceInd = 0;
      c_->check(api.StmtSetPieceInfo(handle, OCI_HTYPE_DEFINE, c_->err, b->piece.data(), &b->pieceLength, piece,
                                     &b->pieceInd, &b->pieceRcode));
      filling = b;
      rc = api.StmtFetch2(stmt_, c_->err, static_cast<ub4>(rowsPerFetch_), OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    }
    takePiece();
    if (rc == OCI_SUCCESS_WITH_INFO) {
      // A value cut to fit its buffer (ORA-01406) is an error, never a shorter value.
      Error info = c_->error(rc, stmt_);
      if (info.code() == 1406) rc = OCI_ERROR;
    }
    if (rc != OCI_SUCCESS && rc != OCI_SUCCESS_WITH_INFO && rc != OCI_NO_DATA) {
      done_ = true;
      inPacket_ = 0;
      throw c_->error(rc, stmt_);
    }
    ub4 total = 0;
    api.AttrGet(stmt_, OCI_HTYPE_STMT, &total, nullptr, OCI_ATTR_ROW_COUNT, c_->err);
    inPacket_ = static_cast<int>(static_cast<qint64>(total) - fetched_);
    if (inPacket_ < 0 || inPacket_ > rowsPerFetch_) inPacket_ = rc == OCI_NO_DATA ? 0 : rowsPerFetch_;
    fetched_ += inPacket_;
    if (rc == OCI_NO_DATA) done_ = true;
  }

  ConnectionPtr c_;
  OCIStmt* stmt_;
  bool owned_;
  Columns columns_;
  QVector<ColumnInfo> infos_;
  std::vector<Buffer> buffers_;
  int packetRows_ = kDefaultPacketRows;
  int rowsPerFetch_ = kDefaultPacketRows;
  bool pendingResize_ = false;
  qint64 fetched_ = 0;  // rows the server has sent
  qint64 delivered_ = 0;
  int inPacket_ = 0;
  int current_ = -1;
  bool done_ = true;
};

// The distinct bind variables of a statement in order of first use, upper case, without colon:
// ":name" outside quotes and comments; quoted names keep their case.
QStringList scanBindNames(const QString& sql) {
  QStringList names;
  const qsizetype n = sql.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = sql[i];
    if (c == u'\'') {
      for (++i; i < n; ++i) {
        if (sql[i] == u'\'') {
          if (i + 1 < n && sql[i + 1] == u'\'') ++i;
          else break;
        }
      }
    } else if (c == u'"') {
      const qsizetype end = sql.indexOf(u'"', i + 1);
      i = end < 0 ? n : end;
    } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
      const qsizetype end = sql.indexOf(u'\n', i);
      i = end < 0 ? n : end;
    } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
      const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
      i = end < 0 ? n : end + 1;
    } else if (c == u':' && i + 1 < n) {
      if (i + 1 < n && sql[i + 1] == u'=') continue;  // PL/SQL assignment
      qsizetype j = i + 1;
      QString name;
      if (sql[j] == u'"') {
        const qsizetype end = sql.indexOf(u'"', j + 1);
        if (end < 0) break;
        name = sql.mid(j + 1, end - j - 1);
        j = end + 1;
      } else {
        while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_' || sql[j] == u'$' || sql[j] == u'#')) ++j;
        name = sql.mid(i + 1, j - i - 1).toUpper();
      }
      if (!name.isEmpty() && !names.contains(name)) names << name;
      i = j - 1;
    }
  }
  return names;
}

class OciStatement : public DriverStatement {
 public:
  OciStatement(ConnectionPtr connection, const QString& sql)
      : c_(std::move(connection)), names_(scanBindNames(sql)) {
    stmt_ = c_->alloc<OCIStmt>(OCI_HTYPE_STMT);
    const QByteArray text = sql.toUtf8();
    c_->check(c_->api->StmtPrepare(stmt_, c_->err, reinterpret_cast<const OraText*>(text.constData()),
                                   static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              stmt_);
    c_->check(c_->api->AttrGet(stmt_, OCI_HTYPE_STMT, &type_, nullptr, OCI_ATTR_STMT_TYPE, c_->err));
    rows_ = std::make_unique<OciRows>(c_, stmt_, false);
  }
  ~OciStatement() override {
    rows_.reset();
    binds_.clear();
    c_->api->HandleFree(stmt_, OCI_HTYPE_STMT);
  }

  const Columns& columns() const override { return rows_->columns(); }
  bool next() override { return rows_->next(); }
  QVariant value(int column) const override { return rows_->value(column); }
  void close() override { rows_->close(); }
  void setPacketRows(int rows) override { rows_->setPacketRows(rows); }

  QStringList bindNames() const override { return names_; }
  bool isQuery() const override { return type_ == OCI_STMT_SELECT; }

  void bind(const QString& name, const QVariant& value, DataType type, Direction direction) override {
    Slot& slot = binds_[name.toUpper()];
    slot.name = name;
    slot.type = type == DataType::Unknown && value.isValid() ? typeOfVariant(value) : type;
    slot.direction = type == DataType::Cursor ? Direction::Out : direction;
    slot.value = value;
    slot.out = {};
    slot.cursor.reset();
  }

  void execute() override {
    for (auto& [key, slot] : binds_) bindSlot(slot);
    const sword rc = c_->api->StmtExecute(c_->svc, stmt_, c_->err, isQuery() ? 0 : 1, 0, nullptr, nullptr, OCI_DEFAULT);
    if (rc == OCI_SUCCESS_WITH_INFO) {
      // A unit created with compilation errors: reported as the embedded driver reports it.
      Error info = c_->error(rc, stmt_);
      if (info.code() == 24344) {
        c_->dirty = true;
        throw Error(info.code(), info.message());
      }
    } else if (rc != OCI_SUCCESS) {
      for (auto& [key, slot] : binds_) freeCursor(slot);
      throw c_->error(rc, stmt_);
    }
    rowCount_ = 0;
    if (isQuery()) {
      rows_->resetDelivered();
      rows_->start();
      return;
    }
    c_->dirty = true;
    ub4 count = 0;
    if (c_->api->AttrGet(stmt_, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT, c_->err) == OCI_SUCCESS)
      rowCount_ = count;
    for (auto& [key, slot] : binds_) readBack(slot);
  }

  qint64 rowsProcessed() const override { return isQuery() ? rows_->delivered() : rowCount_; }

  QVariant outValue(const QString& name) const override {
    auto it = binds_.find(name.toUpper());
    if (it == binds_.end()) return {};
    return it->second.direction == Direction::In ? it->second.value : it->second.out;
  }

  std::shared_ptr<ResultSet> outCursor(const QString& name) const override {
    auto it = binds_.find(name.toUpper());
    return it == binds_.end() ? nullptr : it->second.cursor;
  }

 private:
  struct Slot {
    QString name;
    DataType type = DataType::Unknown;
    Direction direction = Direction::In;
    QVariant value;
    QVariant out;
    std::shared_ptr<OciRows> cursor;
    // What the client library reads and writes.
    std::vector<unsigned char> buffer;
    ub2 external = 0;
    sb2 ind = 0;
    ub2 alen = 0;
    ub2 rcode = 0;
    OCIStmt* cursorHandle = nullptr;
    OCIBind* bind = nullptr;
  };

  void freeCursor(Slot& slot) {
    if (slot.cursorHandle) c_->api->HandleFree(slot.cursorHandle, OCI_HTYPE_STMT);
    slot.cursorHandle = nullptr;
  }

  void bindSlot(Slot& slot) {
    const QByteArray placeholder = (u':' + slot.name).toUtf8();
    const auto* ph = reinterpret_cast<const OraText*>(placeholder.constData());
    const sb4 phLength = static_cast<sb4>(placeholder.size());
    if (slot.type == DataType::Cursor) {
      freeCursor(slot);
      slot.cursorHandle = c_->alloc<OCIStmt>(OCI_HTYPE_STMT);
      c_->check(c_->api->BindByName(stmt_, &slot.bind, c_->err, ph, phLength, &slot.cursorHandle, 0, SQLT_RSET, nullptr,
                                    nullptr, nullptr, 0, nullptr, OCI_DEFAULT));
      return;
    }
    const bool in = slot.direction != Direction::Out;
    const bool isNull = !in || !slot.value.isValid() || slot.value.isNull();
    slot.ind = isNull ? -1 : 0;
    slot.buffer.clear();
    switch (slot.type) {
      case DataType::Integer:
      case DataType::Float: {
        OraNumber n{};
        if (!isNull && !encodeNumber(numberText(slot.value, slot.type), n)) invalidNumber();
        slot.external = SQLT_VNU;
        slot.buffer.assign(n.begin(), n.end());
        break;
      }
      case DataType::Date: {
        slot.external = SQLT_DAT;
        slot.buffer.assign(7, 0);
        if (!isNull) dateToOracle(dateOfVariant(slot.value), slot.buffer.data());
        break;
      }
      case DataType::Binary: {
        const QByteArray bytes = isNull ? QByteArray() : bytesOfVariant(slot.value);
        slot.external = bytes.size() > kMaxOutBytes ? SQLT_LBI : SQLT_BIN;
        slot.buffer.assign(bytes.begin(), bytes.end());
        if (bytes.isEmpty()) slot.ind = -1;
        break;
      }
      default: {
        const QByteArray text = isNull ? QByteArray() : slot.value.toString().toUtf8();
        slot.external = slot.type == DataType::Long ? SQLT_LNG : SQLT_CHR;
        slot.buffer.assign(text.begin(), text.end());
        if (text.isEmpty()) slot.ind = -1;  // '' is NULL
        break;
      }
    }
    const std::size_t used = slot.buffer.size();
    if (slot.direction != Direction::In && used > static_cast<std::size_t>(kMaxColumnBytes)) {
      // Its length would not fit the 16 bits the client gives back: refused rather than cut.
      throw Error::client(QStringLiteral("The value of :%1 is too long for a variable of a PL/SQL block (%2 bytes, at most %3)")
                              .arg(slot.name)
                              .arg(used)
                              .arg(kMaxColumnBytes));
    }
    ub2* alen = nullptr;
    sb4 size = static_cast<sb4>(used);
    if (slot.direction != Direction::In && slot.external != SQLT_VNU && slot.external != SQLT_DAT) {
      // Room for what the server gives back; its length comes back in `alen`.
      slot.buffer.resize(qMax<std::size_t>(used, kMaxOutBytes));
      slot.alen = static_cast<ub2>(qMin<std::size_t>(used, kMaxColumnBytes));
      alen = &slot.alen;
      size = static_cast<sb4>(qMin<std::size_t>(slot.buffer.size(), kMaxColumnBytes));
    }
    if (slot.buffer.empty()) slot.buffer.resize(1);
    c_->check(c_->api->BindByName(stmt_, &slot.bind, c_->err, ph, phLength, slot.buffer.data(), size, slot.external,
                                  &slot.ind, alen, slot.direction == Direction::In ? nullptr : &slot.rcode, 0, nullptr,
                                  OCI_DEFAULT));
  }

  void readBack(Slot& slot) {
    if (slot.type == DataType::Cursor) {
      if (!slot.cursorHandle) return;
      auto rows = std::make_shared<OciRows>(c_, slot.cursorHandle, true);
      slot.cursorHandle = nullptr;
      rows->start();
      slot.cursor = std::move(rows);
      return;
    }
    if (slot.direction == Direction::In) return;
    if (slot.ind == -1) {
      slot.out = QVariant();
      return;
    }
    const unsigned char* data = slot.buffer.data();
    switch (slot.external) {
      case SQLT_VNU: {
        OraNumber n;
        std::memcpy(n.data(), data, n.size());
        slot.out = numberValue(n);
        break;
      }
      case SQLT_DAT: slot.out = dateFromOracle(data); break;
      case SQLT_BIN:
      case SQLT_LBI: slot.out = QByteArray(reinterpret_cast<const char*>(data), slot.alen); break;
      default: slot.out = QString::fromUtf8(reinterpret_cast<const char*>(data), slot.alen); break;
    }
  }

  ConnectionPtr c_;
  OCIStmt* stmt_ = nullptr;
  ub2 type_ = 0;
  QStringList names_;
  std::map<QString, Slot> binds_;  // key: upper-case name; nodes stay put for the library's pointers
  std::unique_ptr<OciRows> rows_;
  qint64 rowCount_ = 0;
};

bool isPlainName(const QString& name) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_$#]{0,127}$"));
  return plain.match(name).hasMatch();
}

class OciSession : public DriverSession {
 public:
  OciSession(ConnectionPtr connection, QString database) : c_(std::move(connection)), database_(std::move(database)) {
    auto q = prepare(QStringLiteral("SELECT USER FROM DUAL"));
    q->execute();
    if (q->next()) user_ = q->value(0).toString();
    q->close();
  }

  std::unique_ptr<DriverStatement> prepare(const QString& sql) override {
    return std::make_unique<OciStatement>(c_, sql);
  }
  void commit() override {
    c_->check(c_->api->TransCommit(c_->svc, c_->err, OCI_DEFAULT));
    c_->dirty = false;
  }
  void rollback() override {
    c_->check(c_->api->TransRollback(c_->svc, c_->err, OCI_DEFAULT));
    c_->dirty = false;
  }
  void savepoint(const QString& name) override { run(QStringLiteral("SAVEPOINT "), name); }
  void rollbackToSavepoint(const QString& name) override { run(QStringLiteral("ROLLBACK TO SAVEPOINT "), name); }

  bool inTransaction() const override {
    int open = 0;
    if (c_->api->AttrGet(c_->session, OCI_HTYPE_SESSION, &open, nullptr, OCI_ATTR_TRANSACTION_IN_PROGRESS, c_->err) ==
        OCI_SUCCESS)
      return open != 0;
    return c_->dirty;  // clients before 12.1 do not know the attribute
  }
  void interrupt() override { c_->api->Break(c_->svc, c_->breakErr); }
  QString user() const override { return user_; }
  QString database() const override { return database_; }

  QStringList takeOutput() override {
    QStringList lines;
    OciStatement get(c_, QStringLiteral("BEGIN DBMS_OUTPUT.GET_LINE(:LINE, :STATUS); END;"));
    for (;;) {
      get.bind(QStringLiteral("LINE"), {}, DataType::String, Direction::Out);
      get.bind(QStringLiteral("STATUS"), {}, DataType::Integer, Direction::Out);
      get.execute();
      if (get.outValue(QStringLiteral("STATUS")).toLongLong() != 0) break;
      lines << get.outValue(QStringLiteral("LINE")).toString();
    }
    return lines;
  }

 private:
  void run(const QString& command, const QString& name) {
    if (!isPlainName(name)) throw Error::client(QStringLiteral("Not a savepoint name: %1").arg(name));
    OciStatement statement(c_, command + name);
    statement.execute();
  }

  ConnectionPtr c_;
  QString database_;
  QString user_;
};

}  // namespace

oci::ClientLocation OciDriver::location() const { return location_ ? *location_ : defaultClientLocation(); }

bool OciDriver::available(QString* why) const { return loadClientLibrary(location(), why) != nullptr; }

QStringList OciDriver::aliases() const {
  const ClientLocation where = location();
  if (!loadClientLibrary(where, nullptr)) return {};
  return tnsnamesAliases(qEnvironmentVariable("TNS_ADMIN"), where.oracleHome);
}

std::unique_ptr<DriverSession> OciDriver::logOn(const QString& user, const QString& password, const QString& database,
                                                bool sysdba) {
  QString why;
  const Api* api = loadClientLibrary(location(), &why);
  if (!api) throw Error::client(why);
  auto c = std::make_shared<Connection>();
  c->api = api;
  sword rc = api->EnvNlsCreate(&c->env, OCI_THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr, kAl32Utf8,
                               kAl32Utf8);
  if (rc != OCI_SUCCESS) {
    if (c->env) throw c->error(rc, nullptr, c->env, OCI_HTYPE_ENV);
    throw Error::client(QStringLiteral("Oracle client: the environment could not be created"));
  }
  c->err = c->alloc<OCIError>(OCI_HTYPE_ERROR);
  c->breakErr = c->alloc<OCIError>(OCI_HTYPE_ERROR);
  c->server = c->alloc<OCIServer>(OCI_HTYPE_SERVER);
  const QByteArray link = database.toUtf8();
  c->check(api->ServerAttach(c->server, c->err, reinterpret_cast<const OraText*>(link.constData()),
                             static_cast<sb4>(link.size()), OCI_DEFAULT));
  c->attached = true;
  c->svc = c->alloc<OCISvcCtx>(OCI_HTYPE_SVCCTX);
  c->check(api->AttrSet(c->svc, OCI_HTYPE_SVCCTX, c->server, 0, OCI_ATTR_SERVER, c->err));
  c->session = c->alloc<OCISession>(OCI_HTYPE_SESSION);
  QByteArray u = user.toUtf8(), p = password.toUtf8();
  c->check(api->AttrSet(c->session, OCI_HTYPE_SESSION, u.data(), static_cast<ub4>(u.size()), OCI_ATTR_USERNAME, c->err));
  c->check(api->AttrSet(c->session, OCI_HTYPE_SESSION, p.data(), static_cast<ub4>(p.size()), OCI_ATTR_PASSWORD, c->err));
  c->check(api->SessionBegin(c->svc, c->err, c->session, OCI_CRED_RDBMS, sysdba ? OCI_SYSDBA : OCI_DEFAULT));
  c->begun = true;
  c->check(api->AttrSet(c->svc, OCI_HTYPE_SVCCTX, c->session, 0, OCI_ATTR_SESSION, c->err));
  return std::make_unique<OciSession>(std::move(c), database);
}

OciDriver& ociDriver() {
  static OciDriver driver;
  return driver;
}

}  // namespace nuvo::db
