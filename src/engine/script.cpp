#include "engine/script.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "engine/engine.h"

namespace engine {

namespace {

bool isWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

std::string upper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
  return out;
}

std::string_view trim(std::string_view text) {
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The words at the start of a line, upper case, as far as they are plain words.
std::vector<std::string> firstWords(std::string_view text, std::size_t count) {
  std::vector<std::string> words;
  std::size_t pos = 0;
  while (words.size() < count) {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    std::size_t start = pos;
    while (pos < text.size() && isWordChar(text[pos])) ++pos;
    if (pos == start) break;
    words.push_back(upper(text.substr(start, pos - start)));
  }
  return words;
}

bool isAbbreviation(const std::string& word, std::string_view full, std::size_t minimum) {
  return word.size() >= minimum && word.size() <= full.size() && full.substr(0, word.size()) == word;
}

// REM[ARK], PRO[MPT] and SET lines that SQL*Plus handles itself; SET ROLE, SET TRANSACTION and
// SET CONSTRAINT[S] are SQL.
bool isClientCommand(std::string_view line) {
  auto words = firstWords(line, 2);
  if (words.empty()) return false;
  const std::string& word = words[0];
  if (isAbbreviation(word, "REMARK", 3) || isAbbreviation(word, "PROMPT", 3)) return true;
  if (word != "SET") return false;
  static const std::array<std::string_view, 4> sqlSets = {"ROLE", "TRANSACTION", "CONSTRAINT", "CONSTRAINTS"};
  return words.size() < 2 || std::find(sqlSets.begin(), sqlSets.end(), words[1]) == sqlSets.end();
}

// EXEC[UTE] call: SQL*Plus's one-line shorthand for "BEGIN call; END;". The call, or nothing.
std::optional<std::string> execShorthand(std::string_view line) {
  auto words = firstWords(line, 1);
  if (words.empty() || !isAbbreviation(words[0], "EXECUTE", 4)) return std::nullopt;
  std::string_view call = trim(trim(line).substr(words[0].size()));
  while (!call.empty() && call.back() == ';') call = trim(call.substr(0, call.size() - 1));
  return std::string(call);
}

char closingQuote(char open) {
  switch (open) {
    case '[': return ']';
    case '{': return '}';
    case '(': return ')';
    case '<': return '>';
    default: return open;
  }
}

// q'x...x' or nq'x...x' starting at pos (the q), not in the middle of a word.
bool startsQQuote(std::string_view line, std::size_t pos) {
  if (std::toupper(static_cast<unsigned char>(line[pos])) != 'Q') return false;
  if (pos + 2 >= line.size() || line[pos + 1] != '\'') return false;
  std::size_t before = pos;
  if (before > 0 && std::toupper(static_cast<unsigned char>(line[before - 1])) == 'N') --before;
  return before == 0 || !isWordChar(line[before - 1]);
}

}  // namespace

ScriptSplitter::LineScan ScriptSplitter::scan(std::string_view line) {
  LineScan result;
  auto significant = [&](std::size_t pos) {
    if (!result.hasContent) result.firstSignificant = pos;
    result.hasContent = true;
    result.lastSignificant = pos;
  };
  std::size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    switch (state_) {
      case State::BlockComment:
        if (c == '*' && i + 1 < line.size() && line[i + 1] == '/') {
          state_ = State::Code;
          ++i;
        }
        ++i;
        continue;
      case State::String:
        significant(i);
        if (c == '\'') {
          if (i + 1 < line.size() && line[i + 1] == '\'') {
            significant(++i);
          } else {
            state_ = State::Code;
          }
        }
        ++i;
        continue;
      case State::QuotedName:
        significant(i);
        if (c == '"') state_ = State::Code;
        ++i;
        continue;
      case State::QString:
        significant(i);
        if (c == closeQuote_ && i + 1 < line.size() && line[i + 1] == '\'') {
          significant(++i);
          state_ = State::Code;
        }
        ++i;
        continue;
      case State::Code:
        break;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '-' && i + 1 < line.size() && line[i + 1] == '-') {
      break;
    } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
      state_ = State::BlockComment;
      i += 2;
    } else if (std::size_t q = std::toupper(static_cast<unsigned char>(c)) == 'N' ? i + 1 : i;
               q < line.size() && startsQQuote(line, q)) {
      significant(i);
      closeQuote_ = closingQuote(line[q + 2]);
      state_ = State::QString;
      wordsDone_ = true;
      i = q + 3;
    } else if (isWordChar(c)) {
      std::size_t start = i;
      while (i < line.size() && isWordChar(line[i])) ++i;
      significant(start);
      significant(i - 1);
      if (!wordsDone_) leadingWords_.push_back(upper(line.substr(start, i - start)));
    } else {
      significant(i);
      if (c == '\'') state_ = State::String;
      if (c == '"') state_ = State::QuotedName;
      wordsDone_ = true;
      ++i;
    }
  }
  return result;
}

bool ScriptSplitter::isPlsqlUnit() const {
  const auto& w = leadingWords_;
  if (w.empty()) return false;
  if (w[0] == "DECLARE" || w[0] == "BEGIN") return true;
  if (w[0] != "CREATE") return false;
  std::size_t i = 1;
  if (i + 1 < w.size() && w[i] == "OR" && w[i + 1] == "REPLACE") i += 2;
  if (i < w.size() && (w[i] == "EDITIONABLE" || w[i] == "NONEDITIONABLE")) ++i;
  if (i >= w.size()) return false;
  static const std::array<std::string_view, 5> units = {"PROCEDURE", "FUNCTION", "PACKAGE", "TRIGGER", "TYPE"};
  return std::find(units.begin(), units.end(), w[i]) != units.end();
}

ScriptStatement ScriptSplitter::take() {
  ScriptStatement statement;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) statement.text += '\n';
    statement.text += lines_[i];
  }
  while (!statement.text.empty() && std::isspace(static_cast<unsigned char>(statement.text.back())))
    statement.text.pop_back();
  statement.line = startLine_;
  lines_.clear();
  leadingWords_.clear();
  wordsDone_ = false;
  return statement;
}

std::optional<ScriptStatement> ScriptSplitter::addLine(std::string_view line, int lineNumber) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string_view trimmed = trim(line);
  if (state_ == State::Code) {
    if (trimmed == "/") {
      if (lines_.empty()) return std::nullopt;
      return take();
    }
    if (lines_.empty() && isClientCommand(trimmed)) return std::nullopt;
    if (lines_.empty()) {
      if (auto call = execShorthand(trimmed)) {
        if (call->empty()) return std::nullopt;
        return ScriptStatement{"BEGIN " + *call + "; END;", lineNumber};
      }
    }
  }
  LineScan found = scan(line);
  if (lines_.empty()) {
    if (!found.hasContent) return std::nullopt;  // blank or comment only, between statements
    startLine_ = lineNumber;
    line.remove_prefix(found.firstSignificant);
    found.lastSignificant -= found.firstSignificant;
  }
  if (state_ == State::Code && found.hasContent && line[found.lastSignificant] == ';' && !isPlsqlUnit()) {
    lines_.emplace_back(line.substr(0, found.lastSignificant));
    return take();
  }
  lines_.emplace_back(line);
  return std::nullopt;
}

std::optional<ScriptStatement> ScriptSplitter::finish() {
  state_ = State::Code;
  if (lines_.empty()) return std::nullopt;
  return take();
}

std::vector<ScriptStatement> splitScript(std::string_view text) {
  ScriptSplitter splitter;
  std::vector<ScriptStatement> statements;
  int lineNumber = 0;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (auto statement = splitter.addLine(line, ++lineNumber)) statements.push_back(std::move(*statement));
  }
  if (auto statement = splitter.finish()) statements.push_back(std::move(*statement));
  return statements;
}

std::string leadingKeyword(std::string_view sql) {
  std::size_t pos = 0;
  while (pos < sql.size()) {
    char c = sql[pos];
    if (std::isspace(static_cast<unsigned char>(c)) || c == '(') {
      ++pos;
    } else if (sql.substr(pos, 2) == "--") {
      pos = sql.find('\n', pos);
    } else if (sql.substr(pos, 2) == "/*") {
      pos = sql.find("*/", pos + 2);
      if (pos != std::string_view::npos) pos += 2;
    } else {
      break;
    }
  }
  if (pos >= sql.size()) return {};
  std::size_t end = pos;
  while (end < sql.size() && isWordChar(sql[end])) ++end;
  return upper(sql.substr(pos, end - pos));
}

bool isDml(std::string_view sql) {
  std::string keyword = leadingKeyword(sql);
  return keyword == "INSERT" || keyword == "UPDATE" || keyword == "DELETE" || keyword == "MERGE";
}

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string csvHeader(const Statement& query) {
  std::string line;
  const auto& columns = query.columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) line += ',';
    line += csvField(columns[i].name);
  }
  return line;
}

namespace {

// csvField appended to a line in place.
void appendCsvField(std::string& line, std::string_view text) {
  // A plain loop: find_first_of searches the four characters once per character of the text.
  bool quote = std::any_of(text.begin(), text.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
  if (quote) line += csvField(text);
  else line += text;
}

}  // namespace

std::string csvRow(const Statement& query, const Session& session) {
  std::string line;
  std::size_t count = query.columns().size();
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) line += ',';
    const Value& v = query.value(i);
    if (v.kind() == Value::Kind::Text) appendCsvField(line, v.asText());  // text prints as it stands
    else appendCsvField(line, session.format(v));
  }
  return line;
}

std::vector<std::string> errorReport(std::string_view statement, const Error& error) {
  std::vector<std::string> lines;
  std::string keyword = leadingKeyword(statement);
  bool plsql = keyword == "BEGIN" || keyword == "DECLARE" || error.code() == 6550;
  int line = error.line(), column = error.column();
  if (line <= 0 && error.offset() >= 0 && static_cast<std::size_t>(error.offset()) <= statement.size()) {
    std::string_view before = statement.substr(0, static_cast<std::size_t>(error.offset()));
    line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    std::size_t lineStart = before.rfind('\n');
    column = 1 + static_cast<int>(before.size() - (lineStart == std::string_view::npos ? 0 : lineStart + 1));
  }
  if (plsql) {
    // A block's own line numbers are in its messages; the block as a whole fails at its first line.
    lines.push_back("ERROR at line 1:");
  } else if (line > 0) {
    std::string_view rest = statement;
    for (int i = 1; i < line && !rest.empty(); ++i) {
      std::size_t end = rest.find('\n');
      rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    std::string_view text = rest.substr(0, rest.find('\n'));
    lines.emplace_back(text);
    std::string marker;
    for (int i = 1; i < column; ++i)
      marker += static_cast<std::size_t>(i - 1) < text.size() && text[static_cast<std::size_t>(i - 1)] == '\t' ? '\t' : ' ';
    lines.push_back(marker + "*");
    lines.push_back("ERROR at line " + std::to_string(line) + ":");
  }
  std::string_view message = error.message();
  while (!message.empty()) {
    std::size_t end = message.find('\n');
    lines.emplace_back(message.substr(0, end));
    message = end == std::string_view::npos ? std::string_view{} : message.substr(end + 1);
  }
  return lines;
}

bool enableServerOutput(Session& session) {
  try {
    session.execute("BEGIN DBMS_OUTPUT.ENABLE(NULL); END;");
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace engine
