// UTL_FILE: text files in the directories that directory objects name. A file is named within its
// directory only: a name with a path in it, or one that leads outside the directory, is refused. The
// directory's path follows the program's path rules: "\" separates, a leading "X:" is drive X
// under the data directory (<data directory>/drives/x), a relative path lies in the data directory.

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "engine/plsql/packages/native.h"
#include "engine/storage/session.h"
#include "engine/storage/sqlite_util.h"

namespace fs = std::filesystem;

namespace engine::plsql {

namespace {

struct OpenFile {
  std::fstream stream;
  char mode = 'r';  // r, w or a
  std::int64_t maxLine = 1024;
  std::string pending;  // the rest of a line longer than GET_LINE's len
  bool pendingLine = false;
};

struct Files {
  std::map<std::int64_t, std::unique_ptr<OpenFile>> open;
  std::int64_t next = 1;
};

Files& filesOf(NativeCall& c) { return c.state<Files>("UTL_FILE"); }

[[noreturn]] void fail(int code, const char* text) { raiseOraText(code, text); }

OpenFile& fileOf(NativeCall& c) {
  auto& files = filesOf(c);
  auto it = c.isNull(0) ? files.open.end() : files.open.find(c.integer(0));
  if (it == files.open.end()) fail(29282, "invalid file ID");
  return *it->second;
}

// The machine's directory for a directory object's path.
fs::path machinePath(storage::SessionImpl& s, std::string path) {
  for (auto& ch : path)
    if (ch == '\\') ch = '/';
  fs::path data = fs::path(s.impl().directory()).parent_path();
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    std::string drive(1, static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))));
    std::string rest = path.substr(2);
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    return data / "drives" / drive / rest;
  }
  fs::path p(path);
  return p.is_absolute() ? p : data / p;
}

Value fopen(NativeCall& c) {
  auto& s = c.session();
  std::string location = c.text(0), name = c.text(1);
  std::string mode;
  for (char ch : c.text(2)) mode += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (mode != "r" && mode != "w" && mode != "a" && mode != "rb" && mode != "wb" && mode != "ab") fail(29281, "invalid mode");
  std::int64_t maxLine = c.integer(3, 1024);
  if (maxLine < 1 || maxLine > 32767) fail(29287, "invalid maximum line size");
  storage::Stmt dir(s.connection(), "SELECT directory_path FROM main.directories WHERE directory_name = ?1");
  dir.bindAll(location);
  if (!dir.step()) fail(29280, "invalid directory path");
  std::string path = dir.text(0);
  dir.reset();
  const char* privilege = mode[0] == 'r' ? "READ" : "WRITE";
  if (s.user() != "SYS" && !s.catalog().hasObjectPrivilege(s.user(), "SYS", location, privilege) &&
      !s.hasPrivilege(std::string(privilege) + " ANY DIRECTORY"))
    raiseNative(29289, "ORA-29289: directory access denied");
  if (name.empty() || name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name == "." ||
      name == "..")
    fail(29288, "invalid file name");
  fs::path directory = machinePath(s, path);
  std::error_code ec;
  fs::path base = fs::weakly_canonical(directory, ec);
  fs::path file = fs::weakly_canonical(directory / name, ec);
  // A link in the directory must not lead out of it.
  auto rel = file.lexically_relative(base);
  if (ec || rel.empty() || rel.begin()->string() == "..") fail(29288, "invalid file name");
  if (!fs::is_directory(base, ec)) fail(29283, "invalid file operation");
  auto f = std::make_unique<OpenFile>();
  f->mode = mode[0];
  f->maxLine = maxLine;
  std::ios::openmode om = std::ios::binary;
  om |= f->mode == 'r' ? std::ios::in : f->mode == 'w' ? (std::ios::out | std::ios::trunc) : (std::ios::out | std::ios::app);
  f->stream.open(file, om);
  if (!f->stream.is_open()) fail(29283, "invalid file operation");
  auto& files = filesOf(c);
  std::int64_t id = files.next++;
  files.open[id] = std::move(f);
  return Value(id);
}

Value isOpen(NativeCall& c) {
  auto& files = filesOf(c);
  return Value(!c.isNull(0) && files.open.count(c.integer(0)) ? 1 : 0);
}

Value fclose(NativeCall& c) {
  auto& files = filesOf(c);
  auto it = c.isNull(0) ? files.open.end() : files.open.find(c.integer(0));
  if (it == files.open.end()) fail(29282, "invalid file ID");
  it->second->stream.close();
  bool failed = it->second->stream.fail() && it->second->mode != 'r';
  files.open.erase(it);
  if (failed) fail(29285, "file write error");
  return {};
}

Value fcloseAll(NativeCall& c) {
  filesOf(c).open.clear();
  return {};
}

// The next line without its terminator (LF or CR LF); NO_DATA_FOUND at the end of the file.
Value getLine(NativeCall& c) {
  OpenFile& f = fileOf(c);
  if (f.mode != 'r') fail(29283, "invalid file operation");
  std::int64_t len = c.isNull(1) ? f.maxLine : std::min<std::int64_t>(c.integer(1), 32767);
  if (len < 1) fail(29287, "invalid maximum line size");
  std::string line;
  if (f.pendingLine) {
    line = std::move(f.pending);
    f.pendingLine = false;
  } else {
    if (!std::getline(f.stream, line)) {
      if (f.stream.bad()) fail(29284, "file read error");
      raiseOra(1403);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (static_cast<std::int64_t>(line.size()) > f.maxLine) fail(29284, "file read error");
  }
  if (static_cast<std::int64_t>(line.size()) > len) {
    f.pending = line.substr(static_cast<std::size_t>(len));
    f.pendingLine = true;
    line.resize(static_cast<std::size_t>(len));
  }
  return line.empty() ? Value() : Value(line);
}

OpenFile& writable(NativeCall& c) {
  OpenFile& f = fileOf(c);
  if (f.mode == 'r') fail(29283, "invalid file operation");
  return f;
}

void checkWritten(OpenFile& f) {
  if (f.stream.fail()) fail(29285, "file write error");
}

Value put(NativeCall& c) {
  OpenFile& f = writable(c);
  std::string text = c.text(1);
  if (static_cast<std::int64_t>(text.size()) > f.maxLine) fail(29285, "file write error");
  f.stream << text;
  checkWritten(f);
  return {};
}

Value putLine(NativeCall& c) {
  OpenFile& f = writable(c);
  std::string text = c.text(1);
  if (static_cast<std::int64_t>(text.size()) > f.maxLine) fail(29285, "file write error");
  f.stream << text << '\n';
  if (c.flag(2)) f.stream.flush();
  checkWritten(f);
  return {};
}

Value newLine(NativeCall& c) {
  OpenFile& f = writable(c);
  std::int64_t lines = c.integer(1, 1);
  for (std::int64_t i = 0; i < lines; ++i) f.stream << '\n';
  checkWritten(f);
  return {};
}

// PUTF: each %s takes the next argument (an empty string once they run out), each \n (backslash, n)
// ends a line; everything else is written as it stands.
Value putf(NativeCall& c) {
  OpenFile& f = writable(c);
  std::string format = c.text(1), out;
  std::size_t next = 2;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      if (next < c.args.size() && next <= 6) out += c.text(next);
      ++next;
      ++i;
    } else if (format[i] == '\\' && i + 1 < format.size() && format[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += format[i];
    }
  }
  std::size_t lineStart = 0;
  for (std::size_t end; lineStart <= out.size(); lineStart = end + 1) {
    end = out.find('\n', lineStart);
    if (end == std::string::npos) end = out.size();
    if (static_cast<std::int64_t>(end - lineStart) > f.maxLine) fail(29285, "file write error");
  }
  f.stream << out;
  checkWritten(f);
  return {};
}

// GET_RAW: up to len bytes (32767 at most), line ends included; NO_DATA_FOUND at the end of the file.
Value getRaw(NativeCall& c) {
  OpenFile& f = fileOf(c);
  if (f.mode != 'r') fail(29283, "invalid file operation");
  std::int64_t len = c.isNull(1) ? 32767 : c.integer(1);
  if (len < 1 || len > 32767) len = 32767;
  Bytes out;
  if (f.pendingLine) {
    out.assign(f.pending.begin(), f.pending.end());
    out.push_back('\n');
    f.pendingLine = false;
    f.pending.clear();
  }
  while (static_cast<std::int64_t>(out.size()) < len) {
    int ch = f.stream.get();
    if (ch == std::char_traits<char>::eof()) break;
    out.push_back(static_cast<std::uint8_t>(ch));
  }
  if (f.stream.bad()) fail(29284, "file read error");
  if (out.empty()) raiseOra(1403);
  if (static_cast<std::int64_t>(out.size()) > len) {
    f.pending.assign(out.begin() + len, out.end());
    f.pendingLine = false;
    out.resize(static_cast<std::size_t>(len));
  }
  return Value(std::move(out));
}

// PUT_RAW: the bytes as they are (a VARCHAR2 argument is read as hex digits, as RAW conversion does).
Value putRaw(NativeCall& c) {
  OpenFile& f = writable(c);
  Bytes bytes;
  const Value& v = c.arg(1);
  if (v.kind() == Value::Kind::Binary) {
    bytes = v.asBytes();
  } else if (!v.isNull()) {
    std::string hex = c.text(1);
    if (hex.size() % 2) hex.insert(hex.begin(), '0');
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      if (!std::isxdigit(static_cast<unsigned char>(hex[i])) || !std::isxdigit(static_cast<unsigned char>(hex[i + 1])))
        raiseOra(6502);
      bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
  }
  if (bytes.size() > 32767) fail(29285, "file write error");
  f.stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (c.flag(2)) f.stream.flush();
  checkWritten(f);
  return {};
}

Value fflush(NativeCall& c) {
  OpenFile& f = writable(c);
  f.stream.flush();
  checkWritten(f);
  return {};
}

}  // namespace

const std::vector<Native>& fileNatives() {
  static const std::vector<Native> natives = {
      {"FILE.OPEN", DataType::Number, fopen},        {"FILE.IS_OPEN", DataType::Boolean, isOpen},
      {"FILE.CLOSE", DataType::Unknown, fclose},     {"FILE.CLOSE_ALL", DataType::Unknown, fcloseAll},
      {"FILE.GET_LINE", DataType::Varchar2, getLine}, {"FILE.PUT", DataType::Unknown, put},
      {"FILE.PUT_LINE", DataType::Unknown, putLine}, {"FILE.NEW_LINE", DataType::Unknown, newLine},
      {"FILE.FLUSH", DataType::Unknown, fflush},      {"FILE.PUTF", DataType::Unknown, putf},
      {"FILE.GET_RAW", DataType::Raw, getRaw},       {"FILE.PUT_RAW", DataType::Unknown, putRaw},
  };
  return natives;
}

const BuiltinPackage utlFilePackage = {"UTL_FILE", R"(PACKAGE utl_file AS
  TYPE file_type IS RECORD (id BINARY_INTEGER, datatype BINARY_INTEGER, byte_mode BOOLEAN);
  invalid_path EXCEPTION;
  PRAGMA EXCEPTION_INIT(invalid_path, -29280);
  invalid_mode EXCEPTION;
  PRAGMA EXCEPTION_INIT(invalid_mode, -29281);
  invalid_filehandle EXCEPTION;
  PRAGMA EXCEPTION_INIT(invalid_filehandle, -29282);
  invalid_operation EXCEPTION;
  PRAGMA EXCEPTION_INIT(invalid_operation, -29283);
  read_error EXCEPTION;
  PRAGMA EXCEPTION_INIT(read_error, -29284);
  write_error EXCEPTION;
  PRAGMA EXCEPTION_INIT(write_error, -29285);
  internal_error EXCEPTION;
  PRAGMA EXCEPTION_INIT(internal_error, -29286);
  invalid_maxlinesize EXCEPTION;
  PRAGMA EXCEPTION_INIT(invalid_maxlinesize, -29287);
  invalid_filename EXCEPTION;
  PRAGMA EXCEPTION_INIT(invalid_filename, -29288);
  access_denied EXCEPTION;
  PRAGMA EXCEPTION_INIT(access_denied, -29289);
  FUNCTION fopen(location IN VARCHAR2, filename IN VARCHAR2, open_mode IN VARCHAR2,
                 max_linesize IN BINARY_INTEGER DEFAULT NULL) RETURN file_type;
  FUNCTION is_open(file IN file_type) RETURN BOOLEAN;
  PROCEDURE fclose(file IN OUT file_type);
  PROCEDURE fclose_all;
  PROCEDURE get_line(file IN file_type, buffer OUT VARCHAR2, len IN BINARY_INTEGER DEFAULT NULL);
  PROCEDURE put(file IN file_type, buffer IN VARCHAR2);
  PROCEDURE new_line(file IN file_type, lines IN BINARY_INTEGER DEFAULT 1);
  PROCEDURE put_line(file IN file_type, buffer IN VARCHAR2, autoflush IN BOOLEAN DEFAULT FALSE);
  PROCEDURE fflush(file IN file_type);
  PROCEDURE putf(file IN file_type, format IN VARCHAR2, arg1 IN VARCHAR2 DEFAULT NULL, arg2 IN VARCHAR2 DEFAULT NULL,
                 arg3 IN VARCHAR2 DEFAULT NULL, arg4 IN VARCHAR2 DEFAULT NULL, arg5 IN VARCHAR2 DEFAULT NULL);
  PROCEDURE get_raw(file IN file_type, buffer OUT NOCOPY RAW, len IN PLS_INTEGER DEFAULT NULL);
  PROCEDURE put_raw(file IN file_type, buffer IN RAW, autoflush IN BOOLEAN DEFAULT FALSE);
END;)",
                                       R"(PACKAGE BODY utl_file AS
  FUNCTION fopen(location IN VARCHAR2, filename IN VARCHAR2, open_mode IN VARCHAR2,
                 max_linesize IN BINARY_INTEGER DEFAULT NULL) RETURN file_type IS
    f file_type;
  BEGIN
    f.id := nuvo$native('FILE.OPEN', location, filename, open_mode, max_linesize);
    f.datatype := 1;
    f.byte_mode := FALSE;
    RETURN f;
  END;
  FUNCTION is_open(file IN file_type) RETURN BOOLEAN IS BEGIN RETURN nuvo$native('FILE.IS_OPEN', file.id); END;
  PROCEDURE fclose(file IN OUT file_type) IS
  BEGIN
    nuvo$native('FILE.CLOSE', file.id);
    file.id := NULL;
  END;
  PROCEDURE fclose_all IS BEGIN nuvo$native('FILE.CLOSE_ALL'); END;
  PROCEDURE get_line(file IN file_type, buffer OUT VARCHAR2, len IN BINARY_INTEGER DEFAULT NULL) IS
  BEGIN buffer := nuvo$native('FILE.GET_LINE', file.id, len); END;
  PROCEDURE put(file IN file_type, buffer IN VARCHAR2) IS BEGIN nuvo$native('FILE.PUT', file.id, buffer); END;
  PROCEDURE new_line(file IN file_type, lines IN BINARY_INTEGER DEFAULT 1) IS
  BEGIN nuvo$native('FILE.NEW_LINE', file.id, lines); END;
  PROCEDURE put_line(file IN file_type, buffer IN VARCHAR2, autoflush IN BOOLEAN DEFAULT FALSE) IS
  BEGIN nuvo$native('FILE.PUT_LINE', file.id, buffer, autoflush); END;
  PROCEDURE fflush(file IN file_type) IS BEGIN nuvo$native('FILE.FLUSH', file.id); END;
  PROCEDURE putf(file IN file_type, format IN VARCHAR2, arg1 IN VARCHAR2 DEFAULT NULL, arg2 IN VARCHAR2 DEFAULT NULL,
                 arg3 IN VARCHAR2 DEFAULT NULL, arg4 IN VARCHAR2 DEFAULT NULL, arg5 IN VARCHAR2 DEFAULT NULL) IS
  BEGIN nuvo$native('FILE.PUTF', file.id, format, arg1, arg2, arg3, arg4, arg5); END;
  PROCEDURE get_raw(file IN file_type, buffer OUT NOCOPY RAW, len IN PLS_INTEGER DEFAULT NULL) IS
  BEGIN buffer := nuvo$native('FILE.GET_RAW', file.id, len); END;
  PROCEDURE put_raw(file IN file_type, buffer IN RAW, autoflush IN BOOLEAN DEFAULT FALSE) IS
  BEGIN nuvo$native('FILE.PUT_RAW', file.id, buffer, autoflush); END;
END;)"};

}  // namespace engine::plsql
