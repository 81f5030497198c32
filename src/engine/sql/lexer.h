#pragma once
// The lexer of Oracle SQL and PL/SQL: turns statement text into tokens with their source positions.
// Unquoted identifiers come out upper case; quoted ones keep their case and carry `quoted`.
// Comments (-- and /* */, optimizer hints included) are skipped.

#include <string>
#include <string_view>
#include <vector>

namespace engine::sql {

enum class TokenKind { Identifier, String, Number, Bind, Operator, End };

struct Position {
  int offset = 0;  // 0-based character offset in the statement text
  int line = 1;    // 1-based
  int column = 1;  // 1-based
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // identifier (upper case unless quoted), string contents, number text, bind name, operator
  bool quoted = false;
  Position pos;
  int endOffset = 0;  // offset just past the token

  bool is(std::string_view word) const { return kind == TokenKind::Identifier && !quoted && text == word; }
  bool isOp(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
};

// Splits the whole text into tokens; the last token has kind End. Throws engine::Error on an
// unterminated string or quoted name (ORA-01756 / ORA-01740) and on characters Oracle rejects (ORA-00911).
std::vector<Token> tokenize(std::string_view text);

}  // namespace engine::sql
