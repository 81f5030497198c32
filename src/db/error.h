#pragma once

#include <QString>
#include <QStringList>
#include <exception>

namespace nuvo::db {

// A database error: the server's code (942 for ORA-00942; 0 for a fault found by the client layer),
// its whole message ("ORA-00942: table or view does not exist"), and where the fault lies in the SQL
// as the caller wrote it: line and position are 1-based, 0 when unknown.
class Error : public std::exception {
 public:
  Error(int code = 0, QString message = {}, int offset = -1);

  int code() const { return code_; }
  const QString& message() const { return message_; }
  int line() const { return line_; }
  int position() const { return position_; }
  // The 0-based offset of the fault in the statement text the server received, -1 when unknown.
  int offset() const { return offset_; }
  const char* what() const noexcept override { return what_.constData(); }

  // Fills line and position from the offset, for a statement sent as `lines` joined with "\n".
  // The offset counts UTF-8 bytes of that text; the position counts characters of the line.
  void locate(const QStringList& lines);

  // "ORA-nnnnn: text" with the code padded to five digits.
  static Error ora(int code, const QString& text);
  // A fault of the caller found before anything reached the server.
  static Error client(const QString& text) { return Error(0, text); }

 private:
  int code_;
  QString message_;
  int offset_;
  int line_ = 0;
  int position_ = 0;
  QByteArray what_;
};

}  // namespace nuvo::db
