#pragma once
// The part of the Oracle client library's call interface that the driver uses: scalar types,
// handle types, the numeric codes of handles, attributes, data types and modes, and the function
// signatures, written from the public reference of that interface. The library is opened at run
// time (see oci_library.h); nothing here links against it.

#include <cstddef>
#include <cstdint>

namespace nuvo::db::oci {

using ub1 = std::uint8_t;
using sb1 = std::int8_t;
using ub2 = std::uint16_t;
using sb2 = std::int16_t;
using ub4 = std::uint32_t;
using sb4 = std::int32_t;
using oraub8 = std::uint64_t;
using sword = int;
using OraText = unsigned char;

// Opaque handles.
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIServer;
struct OCISession;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCIParam;
struct OCISnapshot;

// Return codes.
constexpr sword OCI_SUCCESS = 0;
constexpr sword OCI_SUCCESS_WITH_INFO = 1;
constexpr sword OCI_NEED_DATA = 99;
constexpr sword OCI_NO_DATA = 100;
constexpr sword OCI_ERROR = -1;
constexpr sword OCI_INVALID_HANDLE = -2;

// Modes and flags.
constexpr ub4 OCI_DEFAULT = 0x00;
constexpr ub4 OCI_THREADED = 0x01;
constexpr ub4 OCI_SYSDBA = 0x02;
constexpr ub4 OCI_CRED_RDBMS = 1;
constexpr ub4 OCI_NTV_SYNTAX = 1;
constexpr ub4 OCI_DYNAMIC_FETCH = 0x02;
constexpr ub2 OCI_FETCH_NEXT = 0x02;

// Handle and descriptor types.
constexpr ub4 OCI_HTYPE_ENV = 1;
constexpr ub4 OCI_HTYPE_ERROR = 2;
constexpr ub4 OCI_HTYPE_SVCCTX = 3;
constexpr ub4 OCI_HTYPE_STMT = 4;
constexpr ub4 OCI_HTYPE_BIND = 5;
constexpr ub4 OCI_HTYPE_DEFINE = 6;
constexpr ub4 OCI_HTYPE_SERVER = 8;
constexpr ub4 OCI_HTYPE_SESSION = 9;
constexpr ub4 OCI_DTYPE_PARAM = 53;

// Attributes.
constexpr ub4 OCI_ATTR_DATA_SIZE = 1;     // column: maximum size in bytes (ub2)
constexpr ub4 OCI_ATTR_DATA_TYPE = 2;     // column: internal type code (ub2)
constexpr ub4 OCI_ATTR_NAME = 4;          // column: name (text pointer and length)
constexpr ub4 OCI_ATTR_PRECISION = 5;     // column: precision (sb2 for a statement's columns)
constexpr ub4 OCI_ATTR_SCALE = 6;         // column: scale (sb1)
constexpr ub4 OCI_ATTR_IS_NULL = 7;       // column: nullable (ub1)
constexpr ub4 OCI_ATTR_SERVER = 6;        // service context: its server handle
constexpr ub4 OCI_ATTR_SESSION = 7;       // service context: its session handle
constexpr ub4 OCI_ATTR_ROW_COUNT = 9;     // statement: rows processed (ub4)
constexpr ub4 OCI_ATTR_PREFETCH_ROWS = 11;
constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;  // statement: number of select-list columns (ub4)
constexpr ub4 OCI_ATTR_USERNAME = 22;
constexpr ub4 OCI_ATTR_PASSWORD = 23;
constexpr ub4 OCI_ATTR_STMT_TYPE = 24;    // statement: OCI_STMT_* (ub2)
constexpr ub4 OCI_ATTR_PARSE_ERROR_OFFSET = 129;  // statement: byte offset of a parse error (ub2)
constexpr ub4 OCI_ATTR_TRANSACTION_IN_PROGRESS = 484;  // session: a transaction is open (boolean)

// Statement types.
constexpr ub2 OCI_STMT_SELECT = 1;

// Piecewise operations.
constexpr ub1 OCI_PARAM_OUT = 2;
constexpr ub1 OCI_FIRST_PIECE = 1;
constexpr ub1 OCI_NEXT_PIECE = 2;

// Data type codes: the internal ones a describe reports and the external ones the driver binds
// and defines.
constexpr ub2 SQLT_CHR = 1;     // VARCHAR2
constexpr ub2 SQLT_NUM = 2;     // NUMBER
constexpr ub2 SQLT_VNU = 6;     // NUMBER with a leading length byte (22 bytes)
constexpr ub2 SQLT_LNG = 8;     // LONG
constexpr ub2 SQLT_RID = 11;    // ROWID
constexpr ub2 SQLT_DAT = 12;    // DATE: 7 bytes
constexpr ub2 SQLT_BIN = 23;    // RAW
constexpr ub2 SQLT_LBI = 24;    // LONG RAW
constexpr ub2 SQLT_AFC = 96;    // CHAR
constexpr ub2 SQLT_IBFLOAT = 100;
constexpr ub2 SQLT_IBDOUBLE = 101;
constexpr ub2 SQLT_CUR = 102;   // cursor column (CURSOR expression)
constexpr ub2 SQLT_RDD = 104;   // ROWID descriptor
constexpr ub2 SQLT_CLOB = 112;
constexpr ub2 SQLT_BLOB = 113;
constexpr ub2 SQLT_RSET = 116;  // REF CURSOR bind: the value is a statement handle
constexpr ub2 SQLT_TIMESTAMP = 187;
constexpr ub2 SQLT_TIMESTAMP_TZ = 188;
constexpr ub2 SQLT_TIMESTAMP_LTZ = 232;
// Internal types a describe reports for INTERVAL columns; the driver fetches them as text.
constexpr ub2 kIntervalYearMonthColumn = 182;
constexpr ub2 kIntervalDaySecondColumn = 183;

// Character set id of AL32UTF8: every text the driver exchanges is UTF-8.
constexpr ub2 kAl32Utf8 = 873;

// Function signatures, one pointer type per function.
using OCIEnvNlsCreateFn = sword (*)(OCIEnv** envhpp, ub4 mode, void* ctxp, void* (*malocfp)(void*, size_t),
                                    void* (*ralocfp)(void*, void*, size_t), void (*mfreefp)(void*, void*),
                                    size_t xtramemSize, void** usrmempp, ub2 charset, ub2 ncharset);
using OCIHandleAllocFn = sword (*)(const void* parenth, void** hndlpp, ub4 type, size_t xtramemSize, void** usrmempp);
using OCIHandleFreeFn = sword (*)(void* hndlp, ub4 type);
using OCIDescriptorFreeFn = sword (*)(void* descp, ub4 type);
using OCIAttrSetFn = sword (*)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                               OCIError* errhp);
using OCIAttrGetFn = sword (*)(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                               OCIError* errhp);
using OCIServerAttachFn = sword (*)(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblinkLen, ub4 mode);
using OCIServerDetachFn = sword (*)(OCIServer* srvhp, OCIError* errhp, ub4 mode);
using OCISessionBeginFn = sword (*)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode);
using OCISessionEndFn = sword (*)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
using OCIStmtPrepareFn = sword (*)(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmtLen, ub4 language,
                                   ub4 mode);
using OCIStmtExecuteFn = sword (*)(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                   const OCISnapshot* snapIn, OCISnapshot* snapOut, ub4 mode);
using OCIStmtFetch2Fn = sword (*)(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4 fetchOffset,
                                  ub4 mode);
using OCIStmtGetPieceInfoFn = sword (*)(OCIStmt* stmtp, OCIError* errhp, void** hndlpp, ub4* typep, ub1* inOutp,
                                        ub4* iterp, ub4* idxp, ub1* piecep);
using OCIStmtSetPieceInfoFn = sword (*)(void* hndlp, ub4 type, OCIError* errhp, const void* bufp, ub4* alenp,
                                        ub1 piece, const void* indp, ub2* rcodep);
using OCIBindByNameFn = sword (*)(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, const OraText* placeholder,
                                  sb4 placehLen, void* valuep, sb4 valueSize, ub2 dty, void* indp, ub2* alenp,
                                  ub2* rcodep, ub4 maxarrLen, ub4* curelep, ub4 mode);
using OCIDefineByPosFn = sword (*)(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position, void* valuep,
                                   sb4 valueSize, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4 mode);
using OCIParamGetFn = sword (*)(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos);
using OCIErrorGetFn = sword (*)(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp,
                                ub4 bufsiz, ub4 type);
using OCITransCommitFn = sword (*)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
using OCITransRollbackFn = sword (*)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
using OCIBreakFn = sword (*)(void* hndlp, OCIError* errhp);
using OCIResetFn = sword (*)(void* hndlp, OCIError* errhp);

// The functions of one opened library.
struct Api {
  OCIEnvNlsCreateFn EnvNlsCreate = nullptr;
  OCIHandleAllocFn HandleAlloc = nullptr;
  OCIHandleFreeFn HandleFree = nullptr;
  OCIDescriptorFreeFn DescriptorFree = nullptr;
  OCIAttrSetFn AttrSet = nullptr;
  OCIAttrGetFn AttrGet = nullptr;
  OCIServerAttachFn ServerAttach = nullptr;
  OCIServerDetachFn ServerDetach = nullptr;
  OCISessionBeginFn SessionBegin = nullptr;
  OCISessionEndFn SessionEnd = nullptr;
  OCIStmtPrepareFn StmtPrepare = nullptr;
  OCIStmtExecuteFn StmtExecute = nullptr;
  OCIStmtFetch2Fn StmtFetch2 = nullptr;
  OCIStmtGetPieceInfoFn StmtGetPieceInfo = nullptr;
  OCIStmtSetPieceInfoFn StmtSetPieceInfo = nullptr;
  OCIBindByNameFn BindByName = nullptr;
  OCIDefineByPosFn DefineByPos = nullptr;
  OCIParamGetFn ParamGet = nullptr;
  OCIErrorGetFn ErrorGet = nullptr;
  OCITransCommitFn TransCommit = nullptr;
  OCITransRollbackFn TransRollback = nullptr;
  OCIBreakFn Break = nullptr;
  OCIResetFn Reset = nullptr;
};

}  // namespace nuvo::db::oci
