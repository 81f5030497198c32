#include "engine/plsql/conditional.h"

#include <algorithm>
#include <cctype>

#include "engine/sql/lexer.h"

namespace engine::plsql {

namespace {

using sql::Token;
using sql::TokenKind;

bool isDirective(const Token& t) { return t.kind == TokenKind::Identifier && !t.quoted && !t.text.empty() && t.text[0] == '$'; }

StaticValue boolean(std::optional<bool> b) {
  StaticValue v;
  v.isBoolean = true;
  if (b) v.value = Value(*b ? 1 : 0);
  return v;
}

StaticValue integer(std::int64_t n) { return StaticValue{Value(n), false}; }
StaticValue text(std::string s) { return StaticValue{s.empty() ? Value() : Value(std::move(s)), false}; }

// A fault in a directive: reported as a compile error at the token.
struct DirectiveError {
  CompileError error;
};

[[noreturn]] void failAt(const Token& t, const std::string& message) {
  throw DirectiveError{{t.pos.line, t.pos.column, message}};
}

// The unit a text declares: its type keyword(s) and name, from the first tokens.
struct UnitHeading {
  std::string type = "ANONYMOUS BLOCK", name;
  bool anonymous = true;
};

UnitHeading headingOf(const std::vector<Token>& tokens) {
  UnitHeading h;
  if (tokens.empty()) return h;
  const Token& first = tokens[0];
  if (!(first.is("PROCEDURE") || first.is("FUNCTION") || first.is("PACKAGE") || first.is("TRIGGER") || first.is("TYPE")))
    return h;
  h.anonymous = false;
  h.type = first.text;
  std::size_t i = 1;
  if ((first.is("PACKAGE") || first.is("TYPE")) && i < tokens.size() && tokens[i].is("BODY")) {
    h.type += " BODY";
    ++i;
  }
  if (i < tokens.size() && tokens[i].kind == TokenKind::Identifier) {
    h.name = tokens[i].text;
    if (i + 2 < tokens.size() && tokens[i + 1].isOp(".") && tokens[i + 2].kind == TokenKind::Identifier)
      h.name = tokens[i + 2].text;
  }
  return h;
}

const std::vector<std::string>& dbVersionNames() {
  static const std::vector<std::string> names = {"VER_LE_9",    "VER_LE_9_1",  "VER_LE_9_2",  "VER_LE_10", "VER_LE_10_1",
                                                 "VER_LE_10_2", "VER_LE_11",   "VER_LE_11_1", "VER_LE_11_2", "VER_LE_12",
                                                 "VER_LE_12_1", "VER_LE_12_2", "VER_LE_18",   "VER_LE_19", "VER_LE_21",
                                                 "VER_LE_23"};
  return names;
}

// DBMS_DB_VERSION's constants for a banner version "19.0.0.0.0".
std::optional<StaticValue> dbVersionConstant(const std::string& version, const std::string& name) {
  int major = 0, release = 0;
  std::size_t dot = version.find('.');
  try {
    major = std::stoi(version.substr(0, dot));
    if (dot != std::string::npos) release = std::stoi(version.substr(dot + 1));
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (name == "VERSION") return integer(major);
  if (name == "RELEASE") return integer(release);
  // VER_LE_v and VER_LE_v_r exist for the releases up to the database's own.
  if (name.rfind("VER_LE_", 0) != 0) return std::nullopt;
  int v = 0, r = -1;
  try {
    std::string rest = name.substr(7);
    std::size_t under = rest.find('_');
    v = std::stoi(rest.substr(0, under));
    if (under != std::string::npos) r = std::stoi(rest.substr(under + 1));
  } catch (const std::exception&) {
    return std::nullopt;
  }
  const auto& names = dbVersionNames();
  if (std::find(names.begin(), names.end(), name) == names.end()) return std::nullopt;
  if (v > major || (r >= 0 && v == major && r > release)) return std::nullopt;
  return boolean(major < v || (major == v && (r < 0 || release <= r)));
}

class Preprocessor {
 public:
  Preprocessor(const std::string& text, const std::vector<Token>& tokens, const PreprocessContext& context)
      : text_(text), tokens_(tokens), context_(context), heading_(headingOf(tokens)) {
    flags_ = parseCcflags(context.ccflags);
  }

  std::string run(std::vector<CompileError>& errors) {
    try {
      for (k_ = 0; k_ < tokens_.size() && tokens_[k_].kind != TokenKind::End;) step();
      if (!frames_.empty()) failAt(tokens_.back(), "PLS-00103: Encountered the symbol \"end-of-file\" when expecting one of the following:\n\n   $END");
    } catch (const DirectiveError& e) {
      errors.push_back(e.error);
    }
    copyTo(text_.size());
    return out_;
  }

 private:
  struct Frame {
    bool outerActive = true;  // the text around the $IF is kept
    bool taken = false;       // a branch was chosen
    bool active = false;      // the current branch is kept
  };

  bool active() const { return frames_.empty() || frames_.back().active; }

  // Copies (or blanks, in dropped text) the source up to `end`.
  void copyTo(std::size_t end) {
    end = std::min(end, text_.size());
    if (end <= done_) return;
    if (active()) {
      out_.append(text_, done_, end - done_);
    } else {
      for (std::size_t i = done_; i < end; ++i) out_ += text_[i] == '\n' ? '\n' : ' ';
    }
    done_ = end;
  }
  void blankTo(std::size_t end) {
    end = std::min(end, text_.size());
    for (std::size_t i = done_; i < end; ++i) out_ += text_[i] == '\n' ? '\n' : ' ';
    done_ = std::max(done_, end);
  }
  std::size_t start(const Token& t) const { return static_cast<std::size_t>(t.pos.offset); }
  std::size_t end(const Token& t) const { return static_cast<std::size_t>(t.endOffset); }

  // The index of the directive `word` that closes the expression starting at k.
  std::size_t findClose(std::size_t k, const char* word, const Token& opener) {
    for (std::size_t i = k; i < tokens_.size(); ++i) {
      if (tokens_[i].kind == TokenKind::End) break;
      if (tokens_[i].is(word)) return i;
      if (isDirective(tokens_[i]) && tokens_[i].text.rfind("$$", 0) != 0)
        failAt(tokens_[i], "PLS-00103: Encountered the symbol \"" + tokens_[i].text +
                               "\" when expecting one of the following:\n\n   " + word);
    }
    failAt(opener, std::string("PLS-00103: Encountered the symbol \"end-of-file\" when expecting one of the following:\n\n   ") + word);
  }

  bool condition(std::size_t from, std::size_t to) {
    StaticValue v = evaluate(from, to);
    if (v.value.isNull()) return false;  // NULL (an undefined flag) selects no branch
    if (!v.isBoolean) failAt(tokens_[from], "PLS-00174: a static boolean expression must be used");
    return !v.value.isNull() && v.value.asInteger() != 0;
  }

  void step() {
    const Token& t = tokens_[k_];
    if (!isDirective(t)) {
      copyTo(end(t));
      ++k_;
      return;
    }
    if (t.text.rfind("$$", 0) == 0) {
      copyTo(start(t));
      if (active()) {
        std::string literal = literalOf(inquiry(t));
        std::size_t length = end(t) - start(t);
        if (literal.size() < length) literal.append(length - literal.size(), ' ');
        out_ += literal;
        done_ = end(t);
      } else {
        blankTo(end(t));
      }
      ++k_;
      return;
    }
    copyTo(start(t));
    if (t.text == "$IF" || t.text == "$ELSIF") {
      std::size_t then = findClose(k_ + 1, "$THEN", t);
      if (t.text == "$IF") {
        Frame f;
        f.outerActive = active();
        frames_.push_back(f);
      } else if (frames_.empty()) {
        failAt(t, "PLS-00103: Encountered the symbol \"$ELSIF\" when expecting one of the following:\n\n   begin declare");
      }
      Frame& f = frames_.back();
      f.active = false;
      if (f.outerActive && !f.taken) {
        f.active = condition(k_ + 1, then);
        f.taken = f.active;
      }
      blankTo(end(tokens_[then]));
      k_ = then + 1;
      return;
    }
    if (t.text == "$ELSE" || t.text == "$END") {
      if (frames_.empty())
        failAt(t, "PLS-00103: Encountered the symbol \"" + t.text + "\" when expecting one of the following:\n\n   begin declare");
      Frame& f = frames_.back();
      blankTo(end(t));
      if (t.text == "$ELSE") {
        f.active = f.outerActive && !f.taken;
        f.taken = true;
      } else {
        frames_.pop_back();
      }
      ++k_;
      return;
    }
    if (t.text == "$ERROR") {
      std::size_t close = findClose(k_ + 1, "$END", t);
      if (active()) {
        StaticValue v = evaluate(k_ + 1, close);
        std::string message = v.value.isNull() ? std::string() : plainText(v);
        failAt(t, "PLS-00179: $ERROR: " + message);
      }
      blankTo(end(tokens_[close]));
      k_ = close + 1;
      return;
    }
    // Any other $word is left for the compiler, which rejects it.
    copyTo(end(t));
    ++k_;
  }

  static std::string plainText(const StaticValue& v) {
    if (v.value.isNull()) return {};
    if (v.isBoolean) return v.value.asInteger() ? "TRUE" : "FALSE";
    if (v.value.kind() == Value::Kind::Text) return v.value.asText();
    return std::to_string(v.value.asInteger());
  }

  static std::string literalOf(const StaticValue& v) {
    if (v.value.isNull()) return "NULL";
    if (v.isBoolean) return v.value.asInteger() ? "TRUE" : "FALSE";
    if (v.value.kind() == Value::Kind::Text) {
      std::string s = "'";
      for (char c : v.value.asText()) s += c == '\'' ? std::string("''") : std::string(1, c);
      return s + "'";
    }
    std::int64_t n = v.value.asInteger();
    return n < 0 ? "(" + std::to_string(n) + ")" : std::to_string(n);
  }

  StaticValue inquiry(const Token& t) {
    std::string name = t.text.substr(2);
    if (name == "PLSQL_LINE") return integer(t.pos.line);
    if (name == "PLSQL_UNIT") return text(heading_.name);
    if (name == "PLSQL_UNIT_OWNER") return text(heading_.anonymous ? std::string() : context_.owner);
    if (name == "PLSQL_UNIT_TYPE") return text(heading_.type);
    auto flag = flags_.find(name);
    if (flag != flags_.end()) return flag->second;
    if (name == "PLSQL_CCFLAGS") return text(context_.ccflags);
    if (name == "PLSQL_CODE_TYPE") return text("INTERPRETED");
    if (name == "PLSQL_OPTIMIZE_LEVEL") return integer(2);
    if (name == "PLSQL_DEBUG") return boolean(false);
    if (name == "PLSQL_WARNINGS") return text("DISABLE:ALL");
    if (name == "NLS_LENGTH_SEMANTICS") return text("BYTE");
    if (name == "PLSCOPE_SETTINGS") return text("IDENTIFIERS:NONE");
    return {};  // an undefined flag is NULL
  }

  // ---- static expressions over tokens [pos_, end_)
  StaticValue evaluate(std::size_t from, std::size_t to) {
    pos_ = from;
    end_ = to;
    if (from >= to) failAt(tokens_[from], "PLS-00174: a static boolean expression must be used");
    StaticValue v = disjunction();
    if (pos_ < end_) failAt(tokens_[pos_], "PLS-00174: a static boolean expression must be used");
    return v;
  }
  const Token& cur() const { return tokens_[std::min(pos_, end_)]; }
  bool more() const { return pos_ < end_; }
  bool acceptWord(const char* w) {
    if (more() && tokens_[pos_].is(w)) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool acceptOp(const char* op) {
    if (more() && tokens_[pos_].isOp(op)) {
      ++pos_;
      return true;
    }
    return false;
  }
  static std::optional<bool> truth(const StaticValue& v) {
    if (v.value.isNull()) return std::nullopt;
    return v.value.asInteger() != 0;
  }
  void requireBoolean(const StaticValue& v, const Token& at) {
    if (!v.isBoolean && !v.value.isNull()) failAt(at, "PLS-00174: a static boolean expression must be used");
  }

  StaticValue disjunction() {
    const Token& first = cur();
    StaticValue l = conjunction();
    while (acceptWord("OR")) {
      StaticValue r = conjunction();
      requireBoolean(l, first);
      requireBoolean(r, first);
      auto a = truth(l), b = truth(r);
      if ((a && *a) || (b && *b)) l = boolean(true);
      else if (!a || !b) l = boolean(std::nullopt);
      else l = boolean(false);
    }
    return l;
  }
  StaticValue conjunction() {
    const Token& first = cur();
    StaticValue l = negation();
    while (acceptWord("AND")) {
      StaticValue r = negation();
      requireBoolean(l, first);
      requireBoolean(r, first);
      auto a = truth(l), b = truth(r);
      if ((a && !*a) || (b && !*b)) l = boolean(false);
      else if (!a || !b) l = boolean(std::nullopt);
      else l = boolean(true);
    }
    return l;
  }
  StaticValue negation() {
    const Token& first = cur();
    if (acceptWord("NOT")) {
      StaticValue v = negation();
      requireBoolean(v, first);
      auto a = truth(v);
      return boolean(a ? std::optional<bool>(!*a) : std::nullopt);
    }
    return comparison();
  }
  StaticValue comparison() {
    StaticValue l = concatenation();
    if (acceptWord("IS")) {
      bool negated = acceptWord("NOT");
      if (!acceptWord("NULL")) failAt(cur(), "PLS-00174: a static boolean expression must be used");
      return boolean(l.value.isNull() != negated);
    }
    static const char* ops[] = {"=", "!=", "<>", "<=", ">=", "<", ">"};
    for (const char* op : ops) {
      if (!acceptOp(op)) continue;
      StaticValue r = concatenation();
      if (l.value.isNull() || r.value.isNull()) return boolean(std::nullopt);
      int c = 0;
      if (l.value.kind() == Value::Kind::Text || r.value.kind() == Value::Kind::Text) {
        std::string a = plainText(l), b = plainText(r);
        c = a < b ? -1 : a > b ? 1 : 0;
      } else {
        std::int64_t a = l.value.asInteger(), b = r.value.asInteger();
        c = a < b ? -1 : a > b ? 1 : 0;
      }
      std::string o = op;
      bool result = o == "=" ? c == 0 : (o == "!=" || o == "<>") ? c != 0 : o == "<" ? c < 0 : o == ">" ? c > 0 : o == "<=" ? c <= 0 : c >= 0;
      return boolean(result);
    }
    return l;
  }
  StaticValue concatenation() {
    StaticValue l = primary();
    while (acceptOp("||")) {
      StaticValue r = primary();
      l = text(plainText(l) + plainText(r));
    }
    return l;
  }
  StaticValue primary() {
    if (!more()) failAt(cur(), "PLS-00174: a static boolean expression must be used");
    const Token& t = tokens_[pos_];
    if (acceptOp("(")) {
      StaticValue v = disjunction();
      if (!acceptOp(")")) failAt(cur(), "PLS-00174: a static boolean expression must be used");
      return v;
    }
    if (acceptOp("-")) {
      StaticValue v = primary();
      if (v.value.isNull()) return v;
      if (v.value.kind() != Value::Kind::Integer || v.isBoolean) failAt(t, "PLS-00174: a static boolean expression must be used");
      return integer(-v.value.asInteger());
    }
    ++pos_;
    if (t.kind == TokenKind::Number) {
      try {
        return integer(std::stoll(t.text));
      } catch (const std::exception&) {
        failAt(t, "PLS-00174: a static boolean expression must be used");
      }
    }
    if (t.kind == TokenKind::String) return text(t.text);
    if (t.is("TRUE")) return boolean(true);
    if (t.is("FALSE")) return boolean(false);
    if (t.is("NULL")) return {};
    if (isDirective(t) && t.text.rfind("$$", 0) == 0) return inquiry(t);
    if (t.kind == TokenKind::Identifier && !isDirective(t)) {
      std::vector<std::string> parts{t.text};
      while (more() && tokens_[pos_].isOp(".") && pos_ + 1 < end_ && tokens_[pos_ + 1].kind == TokenKind::Identifier) {
        parts.push_back(tokens_[pos_ + 1].text);
        pos_ += 2;
      }
      if (auto v = constant(parts)) return *v;
      std::string name;
      for (const auto& p : parts) name += (name.empty() ? "" : ".") + p;
      failAt(t, "PLS-00174: a static boolean expression must be used");
    }
    failAt(t, "PLS-00174: a static boolean expression must be used");
  }

  // pkg.constant or owner.pkg.constant.
  std::optional<StaticValue> constant(const std::vector<std::string>& parts) {
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    std::string owner = parts.size() == 3 ? parts[0] : std::string();
    const std::string& package = parts[parts.size() - 2];
    const std::string& name = parts.back();
    if (package == "DBMS_DB_VERSION" && (owner.empty() || owner == "SYS")) return dbVersionConstant(context_.version, name);
    if (!context_.packageConstant) return std::nullopt;
    return context_.packageConstant(owner, package, name);
  }

  const std::string& text_;
  const std::vector<Token>& tokens_;
  const PreprocessContext& context_;
  UnitHeading heading_;
  std::map<std::string, StaticValue> flags_;
  std::vector<Frame> frames_;
  std::string out_;
  std::size_t done_ = 0;  // source copied up to here
  std::size_t k_ = 0;
  std::size_t pos_ = 0, end_ = 0;
};

}  // namespace

std::map<std::string, StaticValue> parseCcflags(const std::string& flags) {
  std::map<std::string, StaticValue> out;
  auto invalid = [] { return Error(2097, "ORA-02097: parameter cannot be modified because specified value is invalid"); };
  auto trim = [](std::string s) {
    std::size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
  };
  auto upper = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  if (trim(flags).empty()) return out;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = flags.find(',', start);
    std::string item = flags.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::size_t colon = item.find(':');
    if (colon == std::string::npos) throw invalid();
    std::string name = upper(trim(item.substr(0, colon))), value = upper(trim(item.substr(colon + 1)));
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])) ||
        name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$#") != std::string::npos)
      throw invalid();
    std::string digits = !value.empty() && value[0] == '-' ? value.substr(1) : value;
    if (value == "TRUE" || value == "FALSE") out[name] = boolean(value == "TRUE");
    else if (value == "NULL") out[name] = StaticValue{};
    else if (!digits.empty() && digits.size() <= 10 && digits.find_first_not_of("0123456789") == std::string::npos)
      out[name] = integer(std::stoll(value));
    else throw invalid();
    if (comma == std::string::npos) return out;
    start = comma + 1;
  }
}

std::string dbVersionPackage(const std::string& version) {
  std::string text = "PACKAGE dbms_db_version IS\n";
  for (const char* name : {"VERSION", "RELEASE"})
    if (auto v = dbVersionConstant(version, name))
      text += std::string("  ") + name + " CONSTANT PLS_INTEGER := " + std::to_string(v->value.asInteger()) + ";\n";
  for (const auto& name : dbVersionNames())
    if (auto v = dbVersionConstant(version, name))
      text += "  " + name + " CONSTANT BOOLEAN := " + (v->value.asInteger() ? "TRUE" : "FALSE") + ";\n";
  return text + "END dbms_db_version;\n";
}

std::optional<StaticValue> staticConstant(const std::string& specText, const std::string& name) {
  std::vector<Token> tokens;
  try {
    tokens = sql::tokenize(specText);
  } catch (const Error&) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i + 5 < tokens.size(); ++i) {
    if (!tokens[i].is(name) || !tokens[i + 1].is("CONSTANT")) continue;
    if (i > 0 && tokens[i - 1].isOp(".")) continue;
    const Token& type = tokens[i + 2];
    bool isBoolean = type.is("BOOLEAN");
    bool isInteger = type.is("PLS_INTEGER") || type.is("BINARY_INTEGER") || type.is("NATURAL") || type.is("POSITIVE") ||
                     type.is("SIMPLE_INTEGER");
    if (!isBoolean && !isInteger) return std::nullopt;
    std::size_t k = i + 3;
    if (tokens[k].is("NOT") && tokens[k + 1].is("NULL")) k += 2;
    if (!tokens[k].isOp(":=") && !tokens[k].is("DEFAULT")) return std::nullopt;
    ++k;
    bool negative = tokens[k].isOp("-");
    if (negative) ++k;
    const Token& v = tokens[k];
    if (k + 1 >= tokens.size() || !tokens[k + 1].isOp(";")) return std::nullopt;
    if (isBoolean && !negative && (v.is("TRUE") || v.is("FALSE"))) return boolean(v.is("TRUE"));
    if (v.is("NULL") && !negative) return isBoolean ? boolean(std::nullopt) : StaticValue{};
    if (isInteger && v.kind == TokenKind::Number && v.text.find_first_not_of("0123456789") == std::string::npos) {
      std::int64_t n = std::stoll(v.text);
      return integer(negative ? -n : n);
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::string preprocess(const std::string& text, const PreprocessContext& context, std::vector<CompileError>& errors) {
  if (text.find('$') == std::string::npos) return text;
  std::vector<Token> tokens;
  try {
    tokens = sql::tokenize(text);
  } catch (const Error&) {
    return text;  // the compiler reports the faulty token
  }
  bool any = false;
  for (const auto& t : tokens) any = any || isDirective(t);
  if (!any) return text;
  return Preprocessor(text, tokens, context).run(errors);
}

}  // namespace engine::plsql
