#pragma once
// Running SQL*Plus-style scripts: splitting a script into statements, and printing query results as
// CSV. Shared by nuvo_db and the engine's conformance tests, so both print results the same way.
//
// The rules of the splitter:
//   - plain SQL ends with ";" as the last thing on a line (outside strings and comments); the ";" is
//     not part of the statement;
//   - a line holding only "/" ends the statement being collected, sent as it stands; with nothing
//     collected it does nothing;
//   - a PL/SQL block or unit (DECLARE, BEGIN, CREATE [OR REPLACE] [EDITIONABLE|NONEDITIONABLE]
//     PROCEDURE, FUNCTION, PACKAGE [BODY], TRIGGER, TYPE [BODY]) ends only with such a "/" line;
//   - comments (-- and /* */), strings ('...', q'[...]') and quoted names hide ";" and "/";
//   - between statements, blank lines, comment lines and the SQL*Plus commands REM[ARK], PRO[MPT]
//     and SET (other than SET ROLE / SET TRANSACTION / SET CONSTRAINT[S]) are skipped;
//   - EXEC[UTE] call on one line is the block "BEGIN call; END;".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class Error;
class Session;
class Statement;

struct ScriptStatement {
  std::string text;  // the statement as sent: its lines joined by "\n"
  int line = 0;      // 1-based line of the script where it starts
  bool operator==(const ScriptStatement&) const = default;
};

// Splits a script fed line by line (for prompts and streams); splitScript() below splits a whole text.
class ScriptSplitter {
 public:
  // Adds the next line (without its line end); returns the statement this line completes, if any.
  std::optional<ScriptStatement> addLine(std::string_view line, int lineNumber);
  // The end of the input: returns what was collected but never ended, if anything.
  std::optional<ScriptStatement> finish();
  // True while a statement is being collected (a prompt shows a continuation).
  bool collecting() const { return !lines_.empty(); }

 private:
  enum class State { Code, String, QuotedName, QString, BlockComment };

  struct LineScan {
    std::size_t firstSignificant = 0;  // positions of the first and last characters outside comments
    std::size_t lastSignificant = 0;
    bool hasContent = false;
  };
  LineScan scan(std::string_view line);
  bool isPlsqlUnit() const;
  ScriptStatement take();

  std::vector<std::string> lines_;
  int startLine_ = 0;
  State state_ = State::Code;
  char closeQuote_ = 0;
  std::vector<std::string> leadingWords_;  // the first words of the statement, upper case
  bool wordsDone_ = false;
};

std::vector<ScriptStatement> splitScript(std::string_view text);

// The first word of a statement, upper case, after leading blanks, comments and parentheses
// ("SELECT", "INSERT", "BEGIN", ...); empty when there is none.
std::string leadingKeyword(std::string_view sql);

// True for INSERT, UPDATE, DELETE and MERGE, whose result is a count of rows.
bool isDml(std::string_view sql);

// One CSV field as RFC 4180 quotes it: in double quotes (doubled inside) when it holds a comma, a
// double quote or a line break; else as it stands.
std::string csvField(std::string_view text);

// The header line of a query (its column names), and the current row of an executed query with
// values as the session prints them (NULL as an empty field).
std::string csvHeader(const Statement& query);
std::string csvRow(const Statement& query, const Session& session);

// A failed statement's error as SQL*Plus prints it: for SQL whose error position is known, the
// statement's line with "*" under the fault; "ERROR at line N:" (line 1 for a PL/SQL block, whose
// messages carry their own positions); then every line of the message.
std::vector<std::string> errorReport(std::string_view statement, const Error& error);

// Turns DBMS_OUTPUT on for the session, as SET SERVEROUTPUT ON does; false where the database
// cannot (no DBMS_OUTPUT yet).
bool enableServerOutput(Session& session);

}  // namespace engine
