#include "engine/sql/lexer.h"

#include <cctype>

#include "engine/engine.h"

namespace engine::sql {

namespace {

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80; }
bool isIdentPart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
         static_cast<unsigned char>(c) >= 0x80;
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : s_(text) {}

  std::vector<Token> run() {
    std::vector<Token> out;
    for (;;) {
      skipSpaceAndComments();
      Token t;
      t.pos = pos_;
      if (i_ >= s_.size()) {
        t.kind = TokenKind::End;
        t.endOffset = static_cast<int>(i_);
        out.push_back(std::move(t));
        return out;
      }
      scan(t);
      t.endOffset = static_cast<int>(i_);
      out.push_back(std::move(t));
    }
  }

 private:
  char peek(std::size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
  void advance() {
    if (s_[i_] == '\n') {
      ++pos_.line;
      pos_.column = 1;
    } else {
      ++pos_.column;
    }
    ++i_;
    pos_.offset = static_cast<int>(i_);
  }

  void skipSpaceAndComments() {
    for (;;) {
      while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) advance();
      if (peek() == '-' && peek(1) == '-') {
        while (i_ < s_.size() && s_[i_] != '\n') advance();
      } else if (peek() == '/' && peek(1) == '*') {
        advance();
        advance();
        while (i_ < s_.size() && !(peek() == '*' && peek(1) == '/')) advance();
        if (i_ < s_.size()) {
          advance();
          advance();
        }
      } else {
        return;
      }
    }
  }

  [[noreturn]] void fail(int code, const Position& at) {
    Error e = Error::ora(code, {}, at.offset);
    throw Error(e.code(), e.message(), at.offset, at.line, at.column);
  }

  void scan(Token& t) {
    char c = peek();
    // $IF, $END, $$PLSQL_UNIT: PL/SQL's preprocessor tokens (the SQL parser rejects them).
    if (c == '$' && (isIdentStart(peek(1)) || (peek(1) == '$' && isIdentStart(peek(2))))) {
      t.kind = TokenKind::Identifier;
      t.text = "$";
      advance();
      if (peek() == '$') {
        t.text += '$';
        advance();
      }
      while (isIdentPart(peek())) {
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
        advance();
      }
      return;
    }
    if (isIdentStart(c)) {
      t.kind = TokenKind::Identifier;
      while (isIdentPart(peek())) {
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
        advance();
      }
      // N'text' is an ordinary string; Q'<delim>text<delim>' and NQ'...' are quoted with a delimiter.
      if (t.text == "N" && peek() == '\'') {
        t.text.clear();
        scanString(t);
      } else if ((t.text == "Q" || t.text == "NQ") && peek() == '\'') {
        t.text.clear();
        scanQuoted(t);
      }
      return;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && std::isdigit(static_cast<unsigned char>(peek(1))))) {
      scanNumber(t);
      return;
    }
    if (c == '\'') return scanString(t);
    if (c == '"') {
      advance();
      t.kind = TokenKind::Identifier;
      t.quoted = true;
      while (i_ < s_.size() && peek() != '"') {
        t.text += peek();
        advance();
      }
      if (i_ >= s_.size()) fail(1740, t.pos);
      advance();
      if (t.text.empty()) fail(1741, t.pos);
      return;
    }
    if (c == ':' && (isIdentStart(peek(1)) || std::isdigit(static_cast<unsigned char>(peek(1))) || peek(1) == '"')) {
      advance();
      t.kind = TokenKind::Bind;
      if (peek() == '"') {
        advance();
        while (i_ < s_.size() && peek() != '"') {
          t.text += peek();
          advance();
        }
        if (i_ < s_.size()) advance();
        return;
      }
      while (isIdentPart(peek())) {
        t.text += static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
        advance();
      }
      return;
    }
    static const char* twoChar[] = {"||", "<=", ">=", "<>", "!=", "^=", ":=", "=>", "..", "**"};
    for (const char* op : twoChar) {
      if (c == op[0] && peek(1) == op[1]) {
        t.kind = TokenKind::Operator;
        t.text = op;
        advance();
        advance();
        if (t.text == "^=") t.text = "!=";
        return;
      }
    }
    static const std::string_view single = "()+-*/,.=<>;:%@";
    if (single.find(c) != std::string_view::npos) {
      t.kind = TokenKind::Operator;
      t.text = std::string(1, c);
      advance();
      return;
    }
    fail(911, t.pos);
  }

  void scanString(Token& t) {
    t.kind = TokenKind::String;
    advance();  // opening quote
    for (;;) {
      if (i_ >= s_.size()) fail(1756, t.pos);
      if (peek() == '\'') {
        if (peek(1) == '\'') {
          t.text += '\'';
          advance();
          advance();
          continue;
        }
        advance();
        return;
      }
      t.text += peek();
      advance();
    }
  }

  // q'[...]': the text runs to the closing delimiter that a quote follows; [ { ( < close with their
  // partner, any other character with itself. Quotes inside are ordinary characters.
  void scanQuoted(Token& t) {
    t.kind = TokenKind::String;
    advance();  // opening quote
    if (i_ >= s_.size()) fail(1756, t.pos);
    char open = peek();
    if (open == ' ' || open == '\t' || open == '\n' || open == '\r') fail(911, t.pos);
    char close = open == '[' ? ']' : open == '{' ? '}' : open == '(' ? ')' : open == '<' ? '>' : open;
    advance();
    for (;;) {
      if (i_ >= s_.size()) fail(1756, t.pos);
      if (peek() == close && peek(1) == '\'') {
        advance();
        advance();
        return;
      }
      t.text += peek();
      advance();
    }
  }

  void scanNumber(Token& t) {
    t.kind = TokenKind::Number;
    auto digits = [&] {
      while (std::isdigit(static_cast<unsigned char>(peek()))) {
        t.text += peek();
        advance();
      }
    };
    digits();
    // "1..5" is a range in PL/SQL: the first dot is not a decimal point then.
    if (peek() == '.' && peek(1) != '.') {
      t.text += '.';
      advance();
      digits();
    }
    if ((peek() == 'e' || peek() == 'E') &&
        (std::isdigit(static_cast<unsigned char>(peek(1))) ||
         ((peek(1) == '+' || peek(1) == '-') && std::isdigit(static_cast<unsigned char>(peek(2)))))) {
      t.text += 'E';
      advance();
      if (peek() == '+' || peek() == '-') {
        t.text += peek();
        advance();
      }
      digits();
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
  Position pos_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view text) { return Lexer(text).run(); }

}  // namespace engine::sql
