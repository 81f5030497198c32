#include "engine/sql/parser.h"

#include <functional>
#include <map>
#include <cctype>
#include <set>

#include "engine/engine.h"

namespace engine::sql {

bool isReserved(const std::string& word) {
  static const std::set<std::string> reserved = {
      "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "BETWEEN", "BY", "CHECK", "CONNECT", "CREATE", "CROSS",
      "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "END", "EXISTS", "FOR", "FROM", "FULL", "GRANT",
      "GROUP", "HAVING", "IN", "INNER", "INSERT", "INTERSECT", "INTO", "IS", "JOIN", "LEFT", "LIKE",
      "MINUS", "NATURAL", "NOT", "NULL", "ON", "OR", "ORDER", "PRIOR", "RIGHT", "SELECT", "SET",
      "START", "THEN", "UNION", "UPDATE", "USING", "VALUES", "WHEN", "WHERE", "WITH", "OUTER",
      "RETURNING", "NOCYCLE"};
  return reserved.count(word) > 0;
}

namespace {

// CREATE [OR REPLACE] [AND {RESOLVE | COMPILE}] [NOFORCE] JAVA: read from the words alone, since a
// Java source need not be text SQL can read.
bool createsJava(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (words.size() < 6 && i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    std::string word;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])))
      word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
    if (word.empty()) break;
    words.push_back(word);
  }
  std::size_t k = 0;
  auto is = [&](const char* w) { return k < words.size() && words[k] == w; };
  if (!is("CREATE")) return false;
  ++k;
  if (is("OR")) k += 2;
  if (is("AND")) k += 2;
  if (is("NOFORCE")) ++k;
  return is("JAVA");
}

std::vector<Token> tokensOf(std::string_view text) {
  try {
    return tokenize(text);
  } catch (const Error&) {
    if (createsJava(text)) throw Error::ora(3001);  // Java is not built: say so, not which character
    throw;
  }
}

}  // namespace

Parser::Parser(std::string_view text) : text_(text), tokens_(tokensOf(text)) {
  // Preprocessor tokens belong to PL/SQL's conditional compilation, which removes them first.
  for (const auto& t : tokens_)
    if (t.kind == TokenKind::Identifier && !t.quoted && !t.text.empty() && t.text[0] == '$') fail(911, t);
}

const Token& Parser::peek(int ahead) const {
  std::size_t k = i_ + static_cast<std::size_t>(ahead);
  return k < tokens_.size() ? tokens_[k] : tokens_.back();
}

const Token& Parser::next() {
  const Token& t = tokens_[i_];
  if (i_ + 1 < tokens_.size()) ++i_;
  return t;
}

bool Parser::accept(std::string_view word) {
  if (!peek().is(word)) return false;
  next();
  return true;
}

bool Parser::acceptOp(std::string_view op) {
  if (!peek().isOp(op)) return false;
  next();
  return true;
}

void Parser::expect(std::string_view word, int code) {
  if (!accept(word)) fail(code, peek());
}

void Parser::expectOp(std::string_view op, int code) {
  if (!acceptOp(op)) fail(code, peek());
}

void Parser::fail(int code, const Token& at, const std::string& detail) const {
  Error e = Error::ora(code, detail, at.pos.offset);
  throw Error(e.code(), e.message(), at.pos.offset, at.pos.line, at.pos.column);
}

bool Parser::isIdentifier(const Token& t) const {
  return t.kind == TokenKind::Identifier && (t.quoted || !isReserved(t.text));
}

std::string Parser::parseIdentifier(int code) {
  if (!isIdentifier(peek())) fail(code, peek(), "\"" + peek().text + "\"");
  return next().text;
}

Name Parser::parseName(int code) {
  Name n;
  n.pos = peek().pos;
  n.parts.push_back(parseIdentifier(code));
  while (peek().isOp(".") && isIdentifier(peek(1))) {
    next();
    n.parts.push_back(next().text);
  }
  return n;
}

std::string Parser::parseAlias() {
  if (accept("AS")) return parseIdentifier(923);
  if (isIdentifier(peek())) return next().text;
  return {};
}

// ---------------------------------------------------------------------------------------------------
// Statements

StatementPtr Parser::parseStatement() {
  const Token& first = peek();
  StatementPtr s;
  if (first.is("SELECT") || first.is("WITH") || first.isOp("(")) s = parseSelectStatement();
  else if (first.is("INSERT")) s = parseInsert();
  else if (first.is("UPDATE")) s = parseUpdate();
  else if (first.is("DELETE")) s = parseDelete();
  else if (first.is("MERGE")) s = parseMerge();
  else if (first.is("CREATE")) s = parseCreate();
  else if (first.is("ALTER")) s = parseAlter();
  else if (first.is("DROP")) s = parseDrop();
  else if (first.is("GRANT")) s = parseGrant(StmtKind::Grant);
  else if (first.is("REVOKE")) s = parseGrant(StmtKind::Revoke);
  else if (first.is("COMMENT")) s = parseComment();
  else if (first.is("COMMIT") || first.is("ROLLBACK") || first.is("SAVEPOINT")) s = parseTransaction();
  else if (first.is("SET") && peek(1).is("TRANSACTION")) s = parseSetTransaction();
  else if (first.is("EXPLAIN")) s = parseExplain();
  else if (first.is("ANALYZE")) s = parseAnalyze();
  else if (first.is("RENAME")) {
    next();
    auto r = std::make_shared<RenameStmt>();
    r->from = parseName();
    expect("TO");
    r->to = parseName();
    s = r;
  } else if (first.is("TRUNCATE")) {
    next();
    expect("TABLE");
    auto t = std::make_shared<TableStmt>(StmtKind::Truncate);
    t->table = parseName();
    while (peek().kind == TokenKind::Identifier) next();  // DROP/REUSE STORAGE
    s = t;
  } else if (first.is("LOCK")) {
    next();
    expect("TABLE");
    auto t = std::make_shared<TableStmt>(StmtKind::LockTable);
    t->table = parseName();
    expect("IN");
    std::string mode;
    while (!peek().is("MODE") && peek().kind != TokenKind::End) mode += (mode.empty() ? "" : " ") + next().text;
    expect("MODE");
    if (mode == "ROW SHARE" || mode == "SHARE UPDATE") t->lockMode = 2;
    else if (mode == "ROW EXCLUSIVE") t->lockMode = 3;
    else if (mode == "SHARE") t->lockMode = 4;
    else if (mode == "SHARE ROW EXCLUSIVE") t->lockMode = 5;
    t->noWait = accept("NOWAIT");
    s = t;
  } else {
    fail(900, first);
  }
  s->pos = first.pos;
  if (peek().isOp(";")) fail(911, peek());
  if (peek().kind != TokenKind::End) fail(933, peek());
  return s;
}

StatementPtr Parser::parseSelectStatement() {
  auto s = std::make_shared<SelectStmt>();
  s->query = parseQuery();
  return s;
}

void Parser::parseTableTarget(TableRef& ref) {
  ref.pos = peek().pos;
  if (peek().isOp("(")) {
    next();
    ref.subquery = parseQuery();
    expectOp(")", 907);
  } else if (peek().is("TABLE") && peek(1).isOp("(")) {
    next();
    next();
    ref.collection = parseExpr();
    expectOp(")", 907);
  } else {
    const Token first = peek();
    ref.table = parseName();
    // XML and JSON row sources are not built.
    if (ref.table.parts.size() == 1 && (ref.table.parts[0] == "JSON_TABLE" || ref.table.parts[0] == "XMLTABLE") &&
        peek().isOp("("))
      fail(3001, first);
    if (acceptOp("@")) ref.dbLink = parseName().parts.back();
  }
}

StatementPtr Parser::parseInsert() {
  next();
  expect("INTO", 925);
  auto s = std::make_shared<InsertStmt>();
  parseTableTarget(s->table);
  if (isIdentifier(peek()) && !peek().is("VALUES")) s->table.alias = next().text;
  if (peek().isOp("(") && !(peek(1).is("SELECT") || peek(1).is("WITH"))) {
    next();
    do {
      s->columnPos.push_back(peek().pos);
      Name n = parseName(904);
      s->columns.push_back(n.last());
    } while (acceptOp(","));
    expectOp(")", 907);
  }
  if (accept("VALUES")) {
    expectOp("(", 906);
    do {
      s->values.push_back(parseExpr());
    } while (acceptOp(","));
    if (!peek().isOp(")")) fail(peek().kind == TokenKind::End ? 907 : 917, peek());
    next();
  } else if (peek().is("SELECT") || peek().is("WITH") || peek().isOp("(")) {
    s->query = parseQuery();
  } else {
    fail(926, peek());
  }
  parseReturning(s->returning);
  return s;
}

void Parser::parseReturning(ReturningClause& r) {
  if (!peek().is("RETURNING") && !peek().is("RETURN")) return;
  r.pos = next().pos;
  do r.values.push_back(parseExpr());
  while (acceptOp(","));
  expect("INTO", 925);
  do r.into.push_back(parseExpr());
  while (acceptOp(","));
}

StatementPtr Parser::parseUpdate() {
  next();
  auto s = std::make_shared<UpdateStmt>();
  parseTableTarget(s->table);
  if (isIdentifier(peek()) && !peek().is("SET")) s->table.alias = next().text;
  expect("SET", 971);
  do {
    Assignment a;
    if (acceptOp("(")) {
      do {
        a.columnPos.push_back(peek().pos);
        a.columns.push_back(parseName(904).last());
      } while (acceptOp(","));
      expectOp(")", 907);
    } else {
      a.columnPos.push_back(peek().pos);
      a.columns.push_back(parseName(904).last());
    }
    expectOp("=", 927);
    a.value = parseExpr();
    s->sets.push_back(std::move(a));
  } while (acceptOp(","));
  if (accept("WHERE")) s->where = parseExpr();
  parseReturning(s->returning);
  return s;
}

StatementPtr Parser::parseDelete() {
  next();
  accept("FROM");
  auto s = std::make_shared<DeleteStmt>();
  parseTableTarget(s->table);
  if (isIdentifier(peek()) && !peek().is("RETURN")) s->table.alias = next().text;
  if (accept("WHERE")) s->where = parseExpr();
  parseReturning(s->returning);
  return s;
}

StatementPtr Parser::parseMerge() {
  next();
  expect("INTO", 925);
  auto s = std::make_shared<MergeStmt>();
  parseTableTarget(s->target);
  if (isIdentifier(peek()) && !peek().is("USING")) s->target.alias = next().text;
  expect("USING");
  parseTableTarget(s->source);
  if (isIdentifier(peek()) && !peek().is("ON")) s->source.alias = next().text;
  expect("ON", 969);
  expectOp("(", 906);
  s->on = parseExpr();
  expectOp(")", 907);
  while (accept("WHEN")) {
    if (accept("MATCHED")) {
      expect("THEN");
      expect("UPDATE");
      expect("SET", 971);
      do {
        Assignment a;
        a.columnPos.push_back(peek().pos);
        a.columns.push_back(parseName(904).last());
        expectOp("=", 927);
        a.value = parseExpr();
        s->sets.push_back(std::move(a));
      } while (acceptOp(","));
      if (accept("WHERE")) s->updateWhere = parseExpr();
      if (peek().is("DELETE")) fail(439, peek(), "MERGE ... DELETE WHERE");
    } else {
      expect("NOT");
      expect("MATCHED");
      expect("THEN");
      expect("INSERT");
      if (acceptOp("(")) {
        do {
          s->insertColumnPos.push_back(peek().pos);
          s->insertColumns.push_back(parseName(904).last());
        } while (acceptOp(","));
        expectOp(")", 907);
      }
      expect("VALUES", 926);
      expectOp("(", 906);
      do s->insertValues.push_back(parseExpr());
      while (acceptOp(","));
      expectOp(")", 907);
      if (accept("WHERE")) s->insertWhere = parseExpr();
    }
  }
  if (s->sets.empty() && s->insertValues.empty()) fail(905, peek());
  return s;
}

// SET TRANSACTION: READ ONLY, READ WRITE, ISOLATION LEVEL READ COMMITTED (what every transaction
// is), a rollback segment (undo is managed by the engine: accepted and ignored) and NAME.
StatementPtr Parser::parseSetTransaction() {
  next();
  expect("TRANSACTION");
  auto s = std::make_shared<TransactionStmt>(StmtKind::SetTransaction);
  if (accept("USE")) {
    expect("ROLLBACK");
    expect("SEGMENT");
    parseIdentifier();
  } else if (accept("READ")) {
    if (accept("ONLY")) s->readOnly = true;
    else if (!accept("WRITE")) fail(3001, peek());
  } else if (accept("ISOLATION")) {
    expect("LEVEL");
    expect("READ");
    if (!accept("COMMITTED")) fail(3001, peek());
  } else if (!peek().is("NAME")) {
    fail(900, peek());
  }
  if (accept("NAME")) {
    if (peek().kind != TokenKind::String) fail(1780, peek());
    next();
  }
  return s;
}

StatementPtr Parser::parseExplain() {
  next();
  expect("PLAN", 905);
  auto s = std::make_shared<ExplainStmt>();
  if (accept("SET")) {
    expect("STATEMENT_ID", 905);
    expectOp("=", 905);
    if (peek().kind != TokenKind::String) fail(1780, peek());
    s->statementId = next().text;
    s->hasStatementId = true;
  }
  if (accept("INTO")) s->into = parseName();
  expect("FOR", 905);
  const Token& first = peek();
  if (!(first.is("SELECT") || first.is("WITH") || first.isOp("(") || first.is("INSERT") || first.is("UPDATE") ||
        first.is("DELETE") || first.is("MERGE")))
    fail(900, first);
  s->explained = parseStatement();
  return s;
}

// ANALYZE TABLE|INDEX name COMPUTE|ESTIMATE [SYSTEM] STATISTICS [options] | DELETE [SYSTEM] STATISTICS |
// VALIDATE STRUCTURE [CASCADE [FAST|COMPLETE] [ONLINE|OFFLINE]] [ONLINE|OFFLINE]
StatementPtr Parser::parseAnalyze() {
  next();
  auto s = std::make_shared<AnalyzeStmt>();
  if (accept("INDEX")) s->index = true;
  else expect("TABLE", 905);
  s->name = parseName();
  if (accept("COMPUTE") || accept("ESTIMATE")) {
    accept("SYSTEM");
    expect("STATISTICS", 905);
    // FOR TABLE, FOR ALL [INDEXED] COLUMNS [SIZE n], SAMPLE n ROWS|PERCENT: the engine counts every row.
    while (peek().kind != TokenKind::End && !peek().isOp(";")) next();
  } else if (accept("DELETE")) {
    accept("SYSTEM");
    expect("STATISTICS", 905);
    s->action = AnalyzeStmt::Action::Delete;
  } else if (accept("VALIDATE")) {
    expect("STRUCTURE", 905);
    s->action = AnalyzeStmt::Action::Validate;
    if (accept("CASCADE")) {
      s->cascade = true;
      if (!accept("FAST")) accept("COMPLETE");
    }
    if (!accept("ONLINE")) accept("OFFLINE");
  } else {
    fail(905, peek());
  }
  return s;
}

StatementPtr Parser::parseTransaction() {
  const Token& word = next();
  if (word.is("COMMIT")) {
    accept("WORK");
    return std::make_shared<TransactionStmt>(StmtKind::Commit);
  }
  if (word.is("SAVEPOINT")) {
    auto s = std::make_shared<TransactionStmt>(StmtKind::Savepoint);
    s->savepoint = parseIdentifier();
    return s;
  }
  auto s = std::make_shared<TransactionStmt>(StmtKind::Rollback);
  accept("WORK");
  if (accept("TO")) {
    accept("SAVEPOINT");
    s->savepoint = parseIdentifier();
  }
  return s;
}

// ---------------------------------------------------------------------------------------------------
// DDL

StatementPtr Parser::parseCreate() {
  next();
  bool orReplace = false;
  if (accept("OR")) {
    expect("REPLACE");
    orReplace = true;
  }
  // Java sources, classes and resources: CREATE [OR REPLACE] [AND {RESOLVE | COMPILE}] [NOFORCE] JAVA.
  if (peek().is("JAVA") || (peek().is("AND") && (peek(1).is("RESOLVE") || peek(1).is("COMPILE"))) ||
      (peek().is("NOFORCE") && peek(1).is("JAVA")))
    fail(3001, peek());
  bool force = accept("FORCE");
  if (!force) accept("NOFORCE");
  if (peek().is("MATERIALIZED") && peek(1).is("VIEW")) return parseCreateMView();
  if (peek().is("TABLESPACE") || ((peek().is("BIGFILE") || peek().is("SMALLFILE") || peek().is("TEMPORARY")) &&
                                  (peek(1).is("TABLESPACE") || (peek(1).is("TEMPORARY") && peek(2).is("TABLESPACE"))))) {
    auto s = std::make_shared<CreateTablespaceStmt>();
    if (peek().is("BIGFILE") || peek().is("SMALLFILE")) next();
    s->temporary = accept("TEMPORARY");
    expect("TABLESPACE");
    s->name = parseIdentifier(2216);
    while (peek().kind != TokenKind::End) next();
    return s;
  }
  if (peek().is("GLOBAL") && peek(1).is("TEMPORARY")) {
    next();
    next();
    auto s = parseCreateTable();
    std::static_pointer_cast<CreateTableStmt>(s)->temporary = true;
    return s;
  }
  if (peek().is("TABLE")) return parseCreateTable();
  if (peek().is("UNIQUE")) {
    next();
    return parseCreateIndex(true);
  }
  if (peek().is("INDEX")) return parseCreateIndex(false);
  if (peek().is("VIEW")) {
    auto s = parseCreateView(orReplace);
    std::static_pointer_cast<CreateViewStmt>(s)->force = force;
    return s;
  }
  if (peek().is("SEQUENCE")) {
    next();
    return parseSequence(StmtKind::CreateSequence);
  }
  if (peek().is("DIRECTORY")) {
    next();
    auto s = std::make_shared<CreateDirectoryStmt>();
    s->orReplace = orReplace;
    s->name = parseIdentifier(903);
    expect("AS");
    if (peek().kind != TokenKind::String) fail(1780, peek());
    s->path = next().text;
    return s;
  }
  if (peek().is("CONTEXT")) {
    next();
    auto s = std::make_shared<CreateContextStmt>();
    s->orReplace = orReplace;
    s->name = parseIdentifier(903);
    expect("USING");
    s->package = parseName();
    if (s->package.parts.size() > 2) fail(933, peek());
    return s;
  }
  bool isPublic = accept("PUBLIC");
  if (peek().is("DATABASE")) {
    next();
    expect("LINK");
    auto s = std::make_shared<CreateDbLinkStmt>();
    s->isPublic = isPublic;
    for (const auto& part : parseName(922).parts) s->name += (s->name.empty() ? "" : ".") + part;
    if (accept("CONNECT")) {
      expect("TO");
      s->user = parseIdentifier(922);
      expect("IDENTIFIED");
      expect("BY");
      // An unquoted password keeps its case, as in CREATE USER.
      const Token& pw = next();
      s->password = pw.kind == TokenKind::Identifier && !pw.quoted
                        ? text_.substr(static_cast<std::size_t>(pw.pos.offset), static_cast<std::size_t>(pw.endOffset - pw.pos.offset))
                        : pw.text;
    }
    if (accept("USING")) {
      if (peek().kind != TokenKind::String) fail(1780, peek());
      s->host = next().text;
    }
    return s;
  }
  if (isPublic) {
    if (!peek().is("SYNONYM")) fail(901, peek());
    return parseCreateSynonym(orReplace, true);
  }
  if (peek().is("SYNONYM")) return parseCreateSynonym(orReplace, false);
  if (peek().is("USER")) {
    next();
    return parseCreateUser(StmtKind::CreateUser);
  }
  if (peek().is("ROLE")) {
    next();
    auto s = std::make_shared<UserStmt>(StmtKind::CreateRole);
    s->name = parseIdentifier(922);
    accept("NOT") && accept("IDENTIFIED");
    return s;
  }
  fail(901, peek());
}

TypeSpec Parser::parseType(bool userTypes) {
  TypeSpec t;
  const Token& word = peek();
  if (word.kind != TokenKind::Identifier) fail(902, word);
  t.name = next().text;
  if (t.name == "LONG" && peek().is("RAW")) {
    next();
    t.name = "LONG RAW";
  } else if (t.name == "DOUBLE" && accept("PRECISION")) {
    t.name = "FLOAT";
  } else if (t.name == "CHARACTER" && accept("VARYING")) {
    t.name = "VARCHAR2";
  }
  static const std::set<std::string> known = {
      "NUMBER", "VARCHAR2", "VARCHAR", "CHAR", "NCHAR", "NVARCHAR2", "DATE", "LONG", "LONG RAW", "CLOB",
      "NCLOB", "BLOB", "RAW", "INTEGER", "INT", "SMALLINT", "DECIMAL", "NUMERIC", "FLOAT", "REAL",
      "TIMESTAMP", "CHARACTER", "BINARY_INTEGER", "PLS_INTEGER", "BOOLEAN", "ROWID", "BINARY_DOUBLE",
      "BINARY_FLOAT", "INTERVAL"};
  if (!known.count(t.name)) {
    // A column of an object or collection type: the executor tells a user type from a wrong name.
    if (!userTypes || peek().isOp("(")) fail(902, word);
    t.userDefined = true;
    if (peek().isOp(".") && peek(1).kind == TokenKind::Identifier) {
      next();
      t.typeOwner = t.name;
      t.name = next().text;
    }
    return t;
  }
  // Datetime and interval precisions: 0 to 9 (ORA-30088).
  auto precision = [&](int fallback) {
    if (!acceptOp("(")) return fallback;
    if (peek().kind != TokenKind::Number) fail(30088, peek());
    const Token& n = next();
    int v = n.text.find_first_not_of("0123456789") == std::string::npos && n.text.size() < 3 ? std::stoi(n.text) : 99;
    if (v > 9) fail(30088, n);
    expectOp(")", 907);
    return v;
  };
  if (t.name == "INTERVAL") {
    // INTERVAL YEAR[(p)] TO MONTH, INTERVAL DAY[(p)] TO SECOND[(s)]: precision leads, scale the fraction.
    t.hasPrecision = true;
    if (accept("YEAR")) {
      t.precision = precision(2);
      expect("TO");
      expect("MONTH");
      t.name = "INTERVAL YEAR TO MONTH";
    } else {
      expect("DAY");
      t.precision = precision(2);
      expect("TO");
      expect("SECOND");
      t.scale = precision(6);
      t.name = "INTERVAL DAY TO SECOND";
    }
    return t;
  }
  if (t.name == "TIMESTAMP") {
    // TIMESTAMP[(n)] [WITH [LOCAL] TIME ZONE]: the fraction's digits in scale.
    t.scale = precision(6);
    if (accept("WITH")) {
      bool local = accept("LOCAL");
      expect("TIME");
      expect("ZONE");
      t.name = local ? "TIMESTAMP WITH LOCAL TIME ZONE" : "TIMESTAMP WITH TIME ZONE";
    }
    return t;
  }
  if (acceptOp("(")) {
    if (peek().isOp("*")) {
      next();
    } else {
      if (peek().kind != TokenKind::Number) fail(910, peek());
      int v = std::stoi(next().text);
      if (t.name == "NUMBER" || t.name == "DECIMAL" || t.name == "NUMERIC" || t.name == "FLOAT") {
        t.precision = v;
        t.hasPrecision = true;
      } else {
        t.length = v;
      }
    }
    if (acceptOp(",")) t.scale = static_cast<int>(parseSignedInteger());
    if (accept("CHAR")) t.charSemantics = true;
    else accept("BYTE");
    expectOp(")", 907);
  }
  return t;
}

long long Parser::parseSignedInteger() {
  bool negative = acceptOp("-");
  if (!negative) acceptOp("+");
  if (peek().kind != TokenKind::Number) fail(2017, peek());
  long long v = std::stoll(next().text);
  return negative ? -v : v;
}

std::vector<std::string> Parser::parseColumnList() {
  std::vector<std::string> cols;
  expectOp("(", 906);
  do {
    cols.push_back(parseIdentifier());
  } while (acceptOp(","));
  expectOp(")", 907);
  return cols;
}

void Parser::parseConstraintState(ConstraintDef& c) {
  for (;;) {
    if (accept("ENABLE")) c.disabled = false;
    else if (accept("DISABLE")) c.disabled = true;
    else if (accept("DEFERRABLE")) c.deferrable = true;
    else if (accept("VALIDATE") || accept("NOVALIDATE") || accept("RELY") || accept("NORELY")) {
    } else if (peek().is("NOT") && peek(1).is("DEFERRABLE")) {
      next();
      next();
      c.notDeferrable = true;
    } else if (accept("INITIALLY")) {
      if (accept("DEFERRED")) c.initiallyDeferred = true;
      else if (accept("IMMEDIATE")) c.initiallyDeferred = false;
      else fail(905, peek());
    } else if (accept("USING")) {
      expect("INDEX");
      skipPhysicalClauses();
    } else {
      return;
    }
  }
}

// Parses one constraint (inline when inlineColumn is set). False when the next tokens are no constraint.
bool Parser::parseConstraint(ConstraintDef& c, const std::string* inlineColumn) {
  c.pos = peek().pos;
  if (accept("CONSTRAINT")) c.name = parseIdentifier();
  if (peek().is("PRIMARY")) {
    next();
    expect("KEY");
    c.type = ConstraintType::PrimaryKey;
  } else if (accept("UNIQUE")) {
    c.type = ConstraintType::Unique;
  } else if (peek().is("NOT") && peek(1).is("NULL")) {
    next();
    next();
    c.type = ConstraintType::NotNull;
  } else if (peek().is("NULL") && inlineColumn) {
    next();
    return parseConstraint(c, inlineColumn);
  } else if (accept("CHECK")) {
    c.type = ConstraintType::Check;
    expectOp("(", 906);
    int begin = peek().pos.offset;
    c.check = parseExpr();
    c.checkText = text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(c.check->endOffset - begin));
    expectOp(")", 907);
  } else if (peek().is("FOREIGN") || peek().is("REFERENCES")) {
    c.type = ConstraintType::ForeignKey;
    if (accept("FOREIGN")) {
      expect("KEY");
      c.columns = parseColumnList();
    }
    expect("REFERENCES");
    c.refTable = parseName();
    if (peek().isOp("(")) c.refColumns = parseColumnList();
    if (accept("ON")) {
      expect("DELETE");
      if (accept("CASCADE")) c.onDeleteCascade = true;
      else {
        expect("SET");
        expect("NULL");
        c.onDeleteSetNull = true;
      }
    }
  } else {
    if (!c.name.empty()) fail(902, peek());
    return false;
  }
  if ((c.type == ConstraintType::PrimaryKey || c.type == ConstraintType::Unique) && !inlineColumn)
    c.columns = parseColumnList();
  if (inlineColumn && c.columns.empty()) c.columns.push_back(*inlineColumn);
  parseConstraintState(c);
  return true;
}

void Parser::parseColumnDef(ColumnDef& col) {
  col.pos = peek().pos;
  col.name = parseIdentifier();
  if (!peek().is("DEFAULT") && !peek().is("NOT") && !peek().is("NULL") && !peek().is("CONSTRAINT") &&
      !peek().is("PRIMARY") && !peek().is("UNIQUE") && !peek().is("CHECK") && !peek().is("REFERENCES") &&
      !peek().is("GENERATED") && !(peek().is("DROP") && peek(1).is("IDENTITY")) && !peek().isOp(",") &&
      !peek().isOp(")"))
    col.type = parseType(true);
  if (accept("GENERATED")) {
    col.identity = "ALWAYS";
    if (accept("BY")) {
      expect("DEFAULT");
      col.identity = "BY DEFAULT";
      if (accept("ON")) {
        expect("NULL");
        col.identityOnNull = true;
      }
    } else {
      accept("ALWAYS");
    }
    expect("AS");
    expect("IDENTITY");
    if (acceptOp("(")) {
      parseSequenceOptions(col.identityOptions);
      expectOp(")", 907);
    }
  } else if (peek().is("DROP") && peek(1).is("IDENTITY")) {
    next();
    next();
    col.dropIdentity = true;
  }
  if (accept("DEFAULT")) {
    int begin = peek().pos.offset;
    col.defaultValue = parseExpr();
    col.defaultText = text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(col.defaultValue->endOffset - begin));
  }
  for (;;) {
    ConstraintDef c;
    if (!parseConstraint(c, &col.name)) break;
    col.constraints.push_back(std::move(c));
  }
}

void Parser::parsePhysicalClauses(PhysicalAttributes* out) {
  static const std::set<std::string> words = {
      "TABLESPACE", "STORAGE", "PCTFREE", "PCTUSED", "INITRANS", "MAXTRANS", "LOGGING", "NOLOGGING",
      "COMPRESS", "NOCOMPRESS", "CACHE", "NOCACHE", "PARALLEL", "NOPARALLEL", "MONITORING", "NOMONITORING",
      "SEGMENT", "CREATION", "IMMEDIATE", "DEFERRED", "ONLINE", "COMPUTE", "STATISTICS", "ROWDEPENDENCIES",
      "NOROWDEPENDENCIES", "ORGANIZATION", "HEAP", "REVERSE", "NOSORT", "VISIBLE", "INVISIBLE", "LOB",
      "STORE", "AS", "BASICFILE", "SECUREFILE", "ENABLE", "DISABLE", "ROW", "MOVEMENT", "ON", "COMMIT",
      "DELETE", "PRESERVE", "ROWS", "FLASHBACK", "ARCHIVE", "NO", "LOCAL", "GLOBAL", "FILESYSTEM_LIKE_LOGGING"};
  PhysicalAttributes ignored;
  PhysicalAttributes& o = out ? *out : ignored;
  auto number = [&]() -> long long {
    if (peek().kind != TokenKind::Number) fail(2017, peek());
    return std::stoll(next().text);
  };
  while (peek().kind == TokenKind::Identifier && !peek().quoted && words.count(peek().text)) {
    if (peek().is("AS") && (peek(1).is("SELECT") || peek(1).is("WITH") || peek(1).isOp("("))) return;
    // The clauses recorded; the others below are skipped with their argument.
    if (accept("TABLESPACE")) {
      o.tablespace = parseIdentifier();
      continue;
    }
    if (accept("PCTFREE")) {
      o.pctFree = number();
      if (o.pctFree > 99) throw Error(2211, "ORA-02211: invalid value for PCTFREE or PCTUSED");
      continue;
    }
    if (accept("PCTUSED")) {
      o.pctUsed = number();
      if (o.pctUsed < 1 || o.pctUsed > 99) throw Error(2211, "ORA-02211: invalid value for PCTFREE or PCTUSED");
      continue;
    }
    if (accept("INITRANS")) {
      o.iniTrans = number();
      if (o.iniTrans < 1 || o.iniTrans > 255) throw Error(2207, "ORA-02207: invalid INITRANS option value");
      continue;
    }
    if (accept("MAXTRANS")) {
      o.maxTrans = number();
      continue;
    }
    if (accept("LOGGING")) {
      o.logging = "YES";
      continue;
    }
    if (accept("NOLOGGING")) {
      o.logging = "NO";
      continue;
    }
    if (accept("NOCOMPRESS")) {
      o.compression = "DISABLED";
      continue;
    }
    if (accept("COMPRESS")) {
      o.compression = "ENABLED";
      // COMPRESS n (index prefix length), COMPRESS BASIC, COMPRESS FOR OLTP ...
      if (peek().kind == TokenKind::Number) next();
      else if (accept("BASIC") || accept("ADVANCED")) {
      } else if (accept("FOR")) {
        while (peek().kind == TokenKind::Identifier && !words.count(peek().text)) next();
      }
      continue;
    }
    if (peek().is("STORAGE") && peek(1).isOp("(")) {
      next();
      next();
      while (!peek().isOp(")")) {
        if (peek().kind == TokenKind::End) fail(907, peek());
        if (accept("INITIAL")) o.initialExtent = parseSize();
        else if (accept("NEXT")) o.nextExtent = parseSize();
        else if (accept("MINEXTENTS")) o.minExtents = number();
        else if (accept("MAXEXTENTS")) o.maxExtents = accept("UNLIMITED") ? 2147483645 : number();
        else if (accept("BUFFER_POOL") || accept("FLASH_CACHE") || accept("CELL_FLASH_CACHE")) next();
        else if (accept("PCTINCREASE") || accept("FREELISTS") || accept("FREELIST") || accept("OPTIMAL") ||
                 accept("MAXSIZE")) {
          accept("GROUPS");
          if (!accept("UNLIMITED") && !accept("NULL")) parseSize();
        } else {
          fail(2143, peek());
        }
      }
      next();
      continue;
    }
    next();
    if (peek().isOp("(")) {
      int depth = 0;
      do {
        if (peek().isOp("(")) ++depth;
        if (peek().isOp(")")) --depth;
        if (peek().kind == TokenKind::End) fail(907, peek());
        next();
      } while (depth > 0);
    } else if (peek().kind == TokenKind::Number || (peek().kind == TokenKind::Identifier && !words.count(peek().text) &&
                                                     !peek().is("AS") && !peek().is("PARTITION"))) {
      next();
    }
  }
}

// A size in bytes: n, or n followed by K, M, G or T.
long long Parser::parseSize() {
  if (peek().kind != TokenKind::Number) fail(2017, peek());
  long long n = std::stoll(next().text);
  if (peek().kind == TokenKind::Identifier && peek().text.size() == 1) {
    switch (peek().text[0]) {
      case 'K': n *= 1024LL; next(); break;
      case 'M': n *= 1024LL * 1024; next(); break;
      case 'G': n *= 1024LL * 1024 * 1024; next(); break;
      case 'T': n *= 1024LL * 1024 * 1024 * 1024; next(); break;
      default: break;
    }
  }
  return n;
}

std::string Parser::parenthesizedText() {
  const Token& open = peek();
  expectOp("(", 906);
  int begin = open.endOffset, end = begin;
  int depth = 1;
  while (depth > 0) {
    if (peek().kind == TokenKind::End) fail(907, peek());
    if (peek().isOp("(")) ++depth;
    if (peek().isOp(")") && --depth == 0) break;
    end = next().endOffset;
  }
  next();
  std::string text = text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
  std::size_t first = text.find_first_not_of(" \t\r\n"), last = text.find_last_not_of(" \t\r\n");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// PARTITION BY RANGE (cols) (PARTITION p VALUES LESS THAN (...) ...), LIST (col) (PARTITION p VALUES
// (...) ...), HASH (cols) PARTITIONS n | (PARTITION p ...).
std::shared_ptr<Partitioning> Parser::parsePartitioning() {
  auto part = std::make_shared<Partitioning>();
  expect("BY");
  const Token& kind = next();
  if (!kind.is("RANGE") && !kind.is("LIST") && !kind.is("HASH")) fail(14151, kind);
  part->type = kind.text;
  expectOp("(", 906);
  do {
    part->columnPos.push_back(peek().pos);
    part->columns.push_back(parseIdentifier());
  } while (acceptOp(","));
  expectOp(")", 907);
  if (part->type == "RANGE" && accept("INTERVAL")) parenthesizedText();
  if (part->type == "HASH" && accept("PARTITIONS")) {
    if (peek().kind != TokenKind::Number) fail(2017, peek());
    long long n = std::stoll(next().text);
    if (n < 1 || n > 1048575) fail(2017, peek());
    part->partitions.resize(static_cast<std::size_t>(n));
    if (accept("STORE")) {
      expect("IN");
      std::vector<std::string> spaces = parseColumnList();
      for (std::size_t i = 0; i < part->partitions.size(); ++i)
        part->partitions[i].physical.tablespace = spaces[i % spaces.size()];
    }
    return part;
  }
  expectOp("(", 906);
  do {
    PartitionDef p;
    p.pos = peek().pos;
    expect("PARTITION");
    if (!peek().is("VALUES") && peek().kind == TokenKind::Identifier) p.name = parseIdentifier();
    if (part->type == "RANGE") {
      expect("VALUES");
      expect("LESS");
      expect("THAN");
      p.highValue = parenthesizedText();
    } else if (part->type == "LIST") {
      expect("VALUES");
      p.highValue = parenthesizedText();
    }
    parsePhysicalClauses(&p.physical);
    part->partitions.push_back(std::move(p));
  } while (acceptOp(","));
  expectOp(")", 907);
  return part;
}

StatementPtr Parser::parseCreateTable() {
  expect("TABLE");
  auto s = std::make_shared<CreateTableStmt>();
  s->name = parseName();
  if (acceptOp("(")) {
    do {
      ConstraintDef c;
      if (peek().is("CONSTRAINT") || peek().is("PRIMARY") || peek().is("UNIQUE") || peek().is("CHECK") ||
          peek().is("FOREIGN")) {
        parseConstraint(c, nullptr);
        s->constraints.push_back(std::move(c));
      } else {
        ColumnDef col;
        parseColumnDef(col);
        s->columns.push_back(std::move(col));
      }
    } while (acceptOp(","));
    expectOp(")", 907);
  }
  parsePhysicalClauses(&s->physical);
  if (accept("PARTITION")) {
    s->partitioning = parsePartitioning();
    parsePhysicalClauses(&s->physical);
  }
  if (accept("AS")) s->asQuery = parseQuery();
  else if (s->columns.empty()) fail(906, peek());
  return s;
}

StatementPtr Parser::parseCreateIndex(bool unique) {
  expect("INDEX");
  auto s = std::make_shared<CreateIndexStmt>();
  s->unique = unique;
  s->name = parseName();
  expect("ON", 969);
  s->table = parseName();
  expectOp("(", 906);
  do {
    s->columns.push_back(parseIdentifier());
    bool desc = accept("DESC");
    if (!desc) accept("ASC");
    s->descending.push_back(desc);
  } while (acceptOp(","));
  expectOp(")", 907);
  parsePhysicalClauses(&s->physical);
  return s;
}

StatementPtr Parser::parseCreateView(bool orReplace) {
  expect("VIEW");
  auto s = std::make_shared<CreateViewStmt>();
  s->orReplace = orReplace;
  s->name = parseName();
  if (peek().isOp("(")) s->columnAliases = parseColumnList();
  expect("AS");
  int begin = peek().pos.offset;
  s->query = parseQuery();
  s->queryText = text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(s->query->endOffset - begin));
  if (accept("WITH")) {
    if (accept("READ")) {
      expect("ONLY");
      s->readOnly = true;
    } else {
      expect("CHECK");
      expect("OPTION");
    }
    if (accept("CONSTRAINT")) parseIdentifier();
  }
  return s;
}

StatementPtr Parser::parseCreateMView() {
  auto s = std::make_shared<CreateMViewStmt>();
  s->pos = peek().pos;
  expect("MATERIALIZED");
  expect("VIEW");
  s->name = parseName();
  for (;;) {
    parsePhysicalClauses(&s->physical);
    if (accept("BUILD")) {
      if (accept("DEFERRED")) s->deferred = true;
      else expect("IMMEDIATE");
    } else if (accept("REFRESH")) {
      if (accept("COMPLETE")) s->method = "COMPLETE";
      else if (accept("FAST")) s->method = "FAST";
      else if (accept("FORCE")) s->method = "FORCE";
      if (accept("ON")) {
        if (accept("COMMIT")) s->mode = "COMMIT";
        else expect("DEMAND");
      }
      if (accept("WITH")) {
        if (!accept("PRIMARY")) expect("ROWID");
        accept("KEY");
      }
      if (accept("START")) {
        expect("WITH");
        parseExpr();
        s->scheduled = true;
      }
      if (accept("NEXT")) {
        parseExpr();
        s->scheduled = true;
      }
    } else if (peek().is("NEVER") && peek(1).is("REFRESH")) {
      next();
      next();
      s->mode = "NEVER";
      s->method = "NEVER";
    } else if (peek().is("ENABLE") || peek().is("DISABLE")) {
      next();
      expect("QUERY");
      expect("REWRITE");
    } else if (peek().is("USING") || peek().is("FOR")) {
      // USING INDEX ..., USING [ENFORCED|TRUSTED] CONSTRAINTS, FOR UPDATE
      next();
      while (peek().kind == TokenKind::Identifier && !peek().is("AS") && !peek().is("REFRESH") &&
             !peek().is("BUILD"))
        next();
    } else {
      break;
    }
  }
  expect("AS");
  int begin = peek().pos.offset;
  s->query = parseQuery();
  s->queryText = text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(s->query->endOffset - begin));
  return s;
}

StatementPtr Parser::parseSequence(StmtKind kind) {
  auto s = std::make_shared<SequenceStmt>(kind);
  s->name = parseName();
  parseSequenceOptions(s->options);
  return s;
}

void Parser::parseSequenceOptions(SequenceOptions& o) {
  for (;;) {
    if (accept("START")) {
      expect("WITH");
      if (peek().is("LIMIT") && peek(1).is("VALUE")) {
        next();
        next();
        o.startWithLimit = true;
        continue;
      }
      o.start = parseSignedInteger();
      o.hasStart = true;
    } else if (accept("INCREMENT")) {
      expect("BY");
      o.increment = parseSignedInteger();
      o.hasIncrement = true;
    } else if (accept("MINVALUE")) {
      o.minValue = parseSignedInteger();
      o.hasMin = true;
    } else if (accept("MAXVALUE")) {
      o.maxValue = parseSignedInteger();
      o.hasMax = true;
    } else if (accept("CACHE")) {
      o.cache = parseSignedInteger();
      o.hasCache = true;
    } else if (accept("CYCLE")) {
      o.cycle = o.hasCycle = true;
    } else if (accept("NOCYCLE")) {
      o.cycle = false;
      o.hasCycle = true;
    } else if (accept("NOCACHE")) {
      o.cache = 0;
      o.hasCache = true;
    } else if (accept("NOMINVALUE") || accept("NOMAXVALUE") || accept("ORDER") || accept("NOORDER") ||
               accept("NOKEEP") || accept("KEEP") || accept("NOSCALE") || accept("NOEXTEND") || accept("NOSHARD") ||
               accept("NOSESSION") || accept("GLOBAL")) {
    } else {
      return;
    }
  }
}

StatementPtr Parser::parseCreateSynonym(bool orReplace, bool isPublic) {
  expect("SYNONYM");
  auto s = std::make_shared<CreateSynonymStmt>();
  s->orReplace = orReplace;
  s->isPublic = isPublic;
  s->name = parseName();
  expect("FOR");
  s->target = parseName();
  if (acceptOp("@")) s->dbLink = parseName().parts.back();
  return s;
}

StatementPtr Parser::parseCreateUser(StmtKind kind) {
  auto s = std::make_shared<UserStmt>(kind);
  s->name = parseIdentifier(kind == StmtKind::CreateUser ? 922 : 1918);
  for (;;) {
    if (accept("IDENTIFIED")) {
      expect("BY", 905);
      const Token& pw = next();
      if (pw.kind != TokenKind::Identifier && pw.kind != TokenKind::String && pw.kind != TokenKind::Number)
        fail(988, pw);
      // An unquoted password keeps its case too (the lexer upper-cases identifiers).
      s->password = pw.kind == TokenKind::Identifier && !pw.quoted
                        ? text_.substr(static_cast<std::size_t>(pw.pos.offset), static_cast<std::size_t>(pw.endOffset - pw.pos.offset))
                        : pw.text;
      s->hasPassword = true;
      if (accept("REPLACE")) next();
    } else if (accept("ACCOUNT")) {
      if (accept("LOCK")) s->lock = 1;
      else {
        expect("UNLOCK");
        s->lock = -1;
      }
    } else if (peek().is("DEFAULT") || peek().is("TEMPORARY")) {
      bool temporary = next().is("TEMPORARY");
      expect("TABLESPACE");
      (temporary ? s->temporaryTablespace : s->defaultTablespace) = parseIdentifier();
    } else if (accept("QUOTA")) {
      if (!accept("UNLIMITED")) {
        next();
        if (peek().kind == TokenKind::Identifier && !peek().is("ON")) next();
      }
      expect("ON");
      s->quotaTablespaces.push_back(parseIdentifier());
    } else if (accept("PROFILE")) {
      parseIdentifier();
    } else if (accept("PASSWORD")) {
      expect("EXPIRE");
    } else {
      return s;
    }
  }
}

StatementPtr Parser::parseAlter() {
  next();
  if (peek().is("TABLE")) return parseAlterTable();
  if (accept("SEQUENCE")) return parseSequence(StmtKind::AlterSequence);
  if (peek().is("INDEX") || peek().is("VIEW")) {
    auto s = std::make_shared<AlterObjectStmt>();
    s->objectType = next().text;
    s->name = parseName();
    if (peek().kind != TokenKind::Identifier) fail(940, peek());
    s->action = next().text;
    while (peek().kind == TokenKind::Identifier || peek().kind == TokenKind::Number) next();  // ONLINE, NOLOGGING ...
    return s;
  }
  if (accept("USER")) return parseCreateUser(StmtKind::AlterUser);
  if (accept("SESSION")) {
    auto s = std::make_shared<AlterSessionStmt>();
    expect("SET", 922);
    s->parameter = parseIdentifier(922);
    expectOp("=", 922);
    const Token& v = next();
    if (v.kind == TokenKind::End) fail(922, v);
    s->value = v.text;
    return s;
  }
  if (accept("SYSTEM")) {
    auto s = std::make_shared<AlterSystemStmt>();
    if (accept("ENABLE")) s->restricted = 1;
    else if (accept("DISABLE")) s->restricted = -1;
    if (s->restricted) {
      expect("RESTRICTED", 2065);
      expect("SESSION", 2065);
      return s;
    }
    expect("SET", 2065);
    s->parameter = parseIdentifier(2065);
    expectOp("=", 2065);
    const Token& v = next();
    s->value = v.text;
    while (accept("SCOPE") || accept("SID")) {
      expectOp("=", 2065);
      next();
    }
    return s;
  }
  fail(940, peek());
}

StatementPtr Parser::parseAlterTable() {
  expect("TABLE");
  auto s = std::make_shared<AlterTableStmt>();
  s->name = parseName();
  auto columnGroup = [&](AlterTableAction action) {
    s->action = action;
    bool paren = acceptOp("(");
    do {
      ColumnDef col;
      parseColumnDef(col);
      s->columns.push_back(std::move(col));
    } while (paren && acceptOp(","));
    if (paren) expectOp(")", 907);
  };
  if (accept("ADD")) {
    if (peek().is("CONSTRAINT") || peek().is("PRIMARY") || peek().is("UNIQUE") || peek().is("CHECK") ||
        peek().is("FOREIGN")) {
      s->action = AlterTableAction::AddConstraint;
      parseConstraint(s->constraint, nullptr);
    } else if (peek().isOp("(") && (peek(1).is("CONSTRAINT") || peek(1).is("PRIMARY") || peek(1).is("UNIQUE") ||
                                    peek(1).is("CHECK") || peek(1).is("FOREIGN"))) {
      next();
      s->action = AlterTableAction::AddConstraint;
      parseConstraint(s->constraint, nullptr);
      while (acceptOp(",")) parseConstraint(s->moreConstraints.emplace_back(), nullptr);
      expectOp(")", 907);
    } else {
      columnGroup(AlterTableAction::AddColumns);
    }
  } else if (accept("MODIFY")) {
    if (accept("CONSTRAINT")) {
      s->names.push_back(parseIdentifier());
      if (accept("ENABLE")) s->action = AlterTableAction::EnableConstraint;
      else {
        expect("DISABLE");
        s->action = AlterTableAction::DisableConstraint;
      }
    } else {
      columnGroup(AlterTableAction::ModifyColumns);
    }
  } else if (accept("DROP")) {
    if (accept("CONSTRAINT")) {
      s->action = AlterTableAction::DropConstraint;
      s->names.push_back(parseIdentifier());
    } else if (accept("PRIMARY")) {
      expect("KEY");
      s->action = AlterTableAction::DropPrimaryKey;
    } else {
      s->action = AlterTableAction::DropColumns;
      if (accept("COLUMN")) s->names.push_back(parseIdentifier());
      else s->names = parseColumnList();
    }
    s->cascade = accept("CASCADE");
    if (s->cascade) accept("CONSTRAINTS");
  } else if (peek().is("ENABLE") || peek().is("DISABLE")) {
    s->action = next().is("ENABLE") ? AlterTableAction::EnableConstraint : AlterTableAction::DisableConstraint;
    accept("VALIDATE") || accept("NOVALIDATE");
    if (accept("PRIMARY")) {
      expect("KEY");
      s->names.push_back("");
      s->constraint.type = ConstraintType::PrimaryKey;
    } else {
      expect("CONSTRAINT");
      s->names.push_back(parseIdentifier());
    }
    s->cascade = accept("CASCADE");
  } else if (accept("RENAME")) {
    if (accept("COLUMN")) {
      s->action = AlterTableAction::RenameColumn;
      s->names.push_back(parseIdentifier());
      expect("TO");
      s->names.push_back(parseIdentifier());
    } else {
      expect("TO");
      s->action = AlterTableAction::RenameTo;
      s->names.push_back(parseIdentifier());
    }
  } else {
    fail(1735, peek());
  }
  return s;
}

StatementPtr Parser::parseDrop() {
  next();
  auto s = std::make_shared<DropStmt>();
  if (accept("PUBLIC")) {
    if (accept("DATABASE")) {
      expect("LINK", 950);
      s->objectType = "PUBLIC DATABASE LINK";
    } else {
      expect("SYNONYM", 950);
      s->objectType = "PUBLIC SYNONYM";
    }
  } else if (accept("DATABASE")) {
    expect("LINK", 950);
    s->objectType = "DATABASE LINK";
  } else {
    static const std::set<std::string> types = {"TABLE", "VIEW", "INDEX", "SEQUENCE", "SYNONYM", "USER", "ROLE", "DIRECTORY", "CONTEXT",
                                                 "TABLESPACE"};
    if (peek().is("MATERIALIZED") && peek(1).is("VIEW")) {
      next();
      next();
      s->objectType = "MATERIALIZED VIEW";
    } else {
      if (peek().kind != TokenKind::Identifier || !types.count(peek().text)) fail(950, peek());
      s->objectType = next().text;
    }
  }
  s->name = parseName();
  if (s->objectType == "TABLESPACE" && accept("INCLUDING")) {
    expect("CONTENTS");
    if (accept("AND") || accept("KEEP")) expect("DATAFILES");
  }
  if (accept("CASCADE")) {
    s->cascadeConstraints = true;
    accept("CONSTRAINTS");
  }
  accept("PURGE");
  accept("FORCE");
  return s;
}

StatementPtr Parser::parseGrant(StmtKind kind) {
  next();
  auto s = std::make_shared<GrantStmt>(kind);
  do {
    std::string priv;
    while (peek().kind == TokenKind::Identifier && !peek().is("ON") && !peek().is("TO") && !peek().is("FROM")) {
      if (!priv.empty()) priv += ' ';
      priv += next().text;
    }
    if (priv.empty()) fail(990, peek());
    if (priv == "ALL PRIVILEGES") priv = "ALL";
    if (peek().isOp("(")) parseColumnList();  // column lists are accepted for the whole table
    s->privileges.push_back(priv);
  } while (acceptOp(","));
  if (accept("ON")) {
    s->onObject = true;
    s->onDirectory = accept("DIRECTORY");
    s->object = parseName();
  }
  if (kind == StmtKind::Grant) expect("TO");
  else expect("FROM");
  do {
    s->grantees.push_back(parseIdentifier(987));
  } while (acceptOp(","));
  if (accept("WITH")) {
    if (!accept("ADMIN")) expect("GRANT");
    expect("OPTION");
    s->withOption = true;
  }
  return s;
}

StatementPtr Parser::parseComment() {
  next();
  expect("ON");
  auto s = std::make_shared<CommentStmt>();
  if (accept("COLUMN")) s->onColumn = true;
  else if (!accept("TABLE")) expect("VIEW");
  s->target = parseName();
  expect("IS");
  if (peek().kind != TokenKind::String) fail(1780, peek());
  s->text = next().text;
  return s;
}

// ---------------------------------------------------------------------------------------------------
// Queries

QueryPtr Parser::parseQuery() {
  Position start = peek().pos;
  std::vector<CommonTable> with;
  if (accept("WITH")) {
    do {
      CommonTable t;
      t.pos = peek().pos;
      t.name = parseIdentifier();
      if (peek().isOp("(")) t.columns = parseColumnList();
      expect("AS");
      expectOp("(", 906);
      t.query = parseQuery();
      expectOp(")", 907);
      with.push_back(std::move(t));
    } while (acceptOp(","));
    if (!peek().is("SELECT") && !peek().isOp("(")) fail(928, peek());
  }
  QueryPtr q = parseSetOperand();
  for (;;) {
    std::string op;
    if (peek().is("UNION")) op = peek(1).is("ALL") ? "UNION ALL" : "UNION";
    else if (peek().is("MINUS")) op = "MINUS";
    else if (peek().is("INTERSECT")) op = "INTERSECT";
    else break;
    next();
    if (op == "UNION ALL") next();
    auto combined = std::make_shared<Query>();
    combined->setOp = op;
    combined->left = q;
    combined->right = parseSetOperand();
    combined->pos = start;
    q = combined;
  }
  if (peek().is("ORDER")) {
    next();
    q->orderSiblings = accept("SIBLINGS");
    expect("BY");
    if (!q->orderBy.empty() || (q->block == nullptr && q->setOp.empty())) fail(933, peek());
    parseOrderBy(q->orderBy);
  }
  // [OFFSET n {ROW | ROWS}] [FETCH {FIRST | NEXT} [n [PERCENT]] {ROW | ROWS} {ONLY | WITH TIES}]
  if (peek().is("OFFSET")) {
    next();
    q->offset = parseExpr();
    if (!accept("ROWS")) expect("ROW");
  }
  if (peek().is("FETCH") && (peek(1).is("FIRST") || peek(1).is("NEXT"))) {
    next();
    next();
    if (peek().is("ROW") || peek().is("ROWS")) {
      auto one = make(ExprKind::Number, peek());
      one->text = "1";
      q->fetchFirst = one;
    } else {
      q->fetchFirst = parseExpr();
    }
    q->fetchPercent = accept("PERCENT");
    if (!accept("ROWS")) expect("ROW");
    if (accept("WITH")) {
      expect("TIES");
      q->withTies = true;
    } else {
      expect("ONLY");
    }
  }
  if (accept("FOR")) {
    expect("UPDATE", 905);
    q->forUpdate = true;
    if (accept("OF")) {
      do parseName(904);
      while (acceptOp(","));
    }
    if (accept("NOWAIT")) q->noWait = true;
    else if (accept("WAIT")) q->waitSeconds = static_cast<int>(parseSignedInteger());
    else if (accept("SKIP")) expect("LOCKED");
  }
  q->pos = start;
  q->endOffset = tokens_[i_ > 0 ? i_ - 1 : 0].endOffset;
  if (!with.empty()) q->with = std::move(with);
  return q;
}

QueryPtr Parser::parseSetOperand() {
  if (peek().isOp("(")) {
    next();
    QueryPtr inner = parseQuery();
    expectOp(")", 907);
    return inner;
  }
  auto q = std::make_shared<Query>();
  q->pos = peek().pos;
  q->block = parseQueryBlock();
  q->endOffset = tokens_[i_ - 1].endOffset;
  return q;
}

void Parser::parseOrderBy(std::vector<OrderItem>& out) {
  do {
    OrderItem item;
    item.expr = parseExpr();
    if (accept("DESC")) item.descending = true;
    else accept("ASC");
    if (accept("NULLS")) {
      if (accept("FIRST")) item.nulls = 1;
      else {
        expect("LAST");
        item.nulls = 2;
      }
    }
    out.push_back(std::move(item));
  } while (acceptOp(","));
}

std::shared_ptr<QueryBlock> Parser::parseQueryBlock() {
  if (!peek().is("SELECT")) fail(928, peek());
  next();
  auto b = std::make_shared<QueryBlock>();
  if (accept("DISTINCT") || accept("UNIQUE")) b->distinct = true;
  else accept("ALL");
  parseSelectList(*b);
  if (!accept("FROM")) fail(923, peek());
  parseFromList(*b);
  if (accept("WHERE")) b->where = parseExpr();
  for (;;) {
    if (peek().is("START") && peek(1).is("WITH")) {
      next();
      next();
      b->startWith = parseExpr();
    } else if (peek().is("CONNECT") && peek(1).is("BY")) {
      next();
      next();
      b->noCycle = accept("NOCYCLE");
      b->connectBy = parseExpr();
    } else if (peek().is("GROUP") && peek(1).is("BY")) {
      next();
      next();
      bool extended = false;
      std::vector<GroupingTerm> terms;
      do {
        terms.push_back(parseGroupingTerm(false));
        extended = extended || terms.back().kind != GroupingTerm::Kind::Plain || terms.back().columns.front().empty();
      } while (acceptOp(","));
      // Every expression once, for the checks of the select list.
      std::set<std::string> seen;
      std::function<void(const GroupingTerm&)> collect = [&](const GroupingTerm& t) {
        for (const auto& composite : t.columns)
          for (const auto& e : composite)
            if (seen.insert(std::string(text_.substr(static_cast<std::size_t>(e->pos.offset),
                                                     static_cast<std::size_t>(e->endOffset - e->pos.offset))))
                    .second)
              b->groupBy.push_back(e);
        for (const auto& sub : t.sets) collect(sub);
      };
      for (const auto& t : terms) collect(t);
      if (extended) b->grouping = std::move(terms);
    } else if (accept("HAVING")) {
      b->having = parseExpr();
    } else {
      break;
    }
  }
  return b;
}

void Parser::parseSelectList(QueryBlock& block) {
  do {
    SelectItem item;
    if (peek().isOp("*")) {
      next();
      item.star = true;
    } else if (isIdentifier(peek()) && peek(1).isOp(".") && peek(2).isOp("*")) {
      item.star = true;
      item.starTable = next().text;
      next();
      next();
    } else if (isIdentifier(peek()) && peek(1).isOp(".") && isIdentifier(peek(2)) && peek(3).isOp(".") &&
               peek(4).isOp("*")) {
      item.star = true;
      next();
      next();
      item.starTable = next().text;
      next();
      next();
    } else {
      if (peek().is("FROM")) fail(936, peek());
      int begin = peek().pos.offset;
      item.expr = parseExpr();
      item.heading = text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(item.expr->endOffset - begin));
      bool as = accept("AS");
      if (as || (isIdentifier(peek()))) {
        item.aliasQuoted = peek().quoted;
        item.alias = as ? parseIdentifier(923) : next().text;
      }
    }
    block.items.push_back(std::move(item));
  } while (acceptOp(","));
}

TableRef Parser::parseTableRef() {
  TableRef ref;
  parseTableTarget(ref);
  if ((peek().is("PIVOT") && peek(1).isOp("(")) ||
      (peek().is("UNPIVOT") && (peek(1).isOp("(") || peek(1).is("INCLUDE") || peek(1).is("EXCLUDE"))))
    ref.pivot = parsePivot();
  if (isIdentifier(peek()) && !peek().is("LEFT") && !peek().is("RIGHT") && !peek().is("FULL") &&
      !peek().is("INNER") && !peek().is("CROSS") && !peek().is("JOIN") && !peek().is("NATURAL"))
    ref.alias = next().text;
  return ref;
}

std::shared_ptr<PivotClause> Parser::parsePivot() {
  auto p = std::make_shared<PivotClause>();
  p->pos = peek().pos;
  p->unpivot = next().is("UNPIVOT");
  if (p->unpivot) {
    if (accept("INCLUDE")) {
      expect("NULLS");
      p->includeNulls = true;
    } else if (accept("EXCLUDE")) {
      expect("NULLS");
    }
    expectOp("(", 906);
    p->measureColumn = parseIdentifier();
    expect("FOR");
    p->forColumn = parseIdentifier();
    expect("IN");
    expectOp("(", 906);
    do {
      PivotClause::InItem item;
      item.pos = peek().pos;
      item.column = parseIdentifier();
      if (accept("AS")) item.value = parseExpr();
      p->in.push_back(std::move(item));
    } while (acceptOp(","));
    expectOp(")", 907);
    expectOp(")", 907);
    return p;
  }
  expectOp("(", 906);
  do {
    PivotClause::Aggregate a;
    a.call = parseExpr();
    if (accept("AS")) a.alias = parseIdentifier();
    else if (isIdentifier(peek()) && !peek().is("FOR")) a.alias = parseIdentifier();
    p->aggregates.push_back(std::move(a));
  } while (acceptOp(","));
  expect("FOR");
  if (acceptOp("(")) {
    // FOR (a, b) IN ((1, 'x') AS ..., ...): each value of the list is a parenthesized tuple.
    do p->forColumns.push_back(parseIdentifier());
    while (acceptOp(","));
    expectOp(")", 907);
  } else {
    p->forColumns.push_back(parseIdentifier());
  }
  p->forColumn = p->forColumns.front();
  expect("IN");
  expectOp("(", 906);
  do {
    PivotClause::InItem item;
    item.pos = peek().pos;
    if (p->forColumns.size() > 1) {
      Token start = peek();
      expectOp("(", 906);
      do item.values.push_back(parseExpr());
      while (acceptOp(","));
      expectOp(")", 907);
      if (item.values.size() != p->forColumns.size()) fail(p->forColumns.size() > item.values.size() ? 947 : 913, start);
    } else {
      item.value = parseExpr();
      item.values.push_back(item.value);
    }
    if (accept("AS")) item.alias = parseIdentifier();
    else if (isIdentifier(peek())) item.alias = parseIdentifier();
    p->in.push_back(std::move(item));
  } while (acceptOp(","));
  expectOp(")", 907);
  expectOp(")", 907);
  return p;
}

void Parser::parseFromList(QueryBlock& block) {
  block.from.push_back(parseTableRef());
  for (;;) {
    JoinKind kind;
    if (acceptOp(",")) {
      block.from.push_back(parseTableRef());
      continue;
    }
    if (accept("JOIN")) kind = JoinKind::Inner;
    else if (accept("INNER")) {
      expect("JOIN");
      kind = JoinKind::Inner;
    } else if (peek().is("LEFT") || peek().is("RIGHT") || peek().is("FULL")) {
      const Token& w = next();
      kind = w.is("LEFT") ? JoinKind::Left : w.is("RIGHT") ? JoinKind::Right : JoinKind::Full;
      accept("OUTER");
      expect("JOIN");
    } else if (accept("CROSS")) {
      expect("JOIN");
      kind = JoinKind::Cross;
    } else {
      return;
    }
    TableRef ref = parseTableRef();
    ref.join = kind;
    if (kind != JoinKind::Cross) {
      if (accept("ON")) ref.on = parseExpr();
      else if (accept("USING")) ref.usingColumns = parseColumnList();
      else fail(905, peek());
    }
    block.from.push_back(std::move(ref));
  }
}

// ---------------------------------------------------------------------------------------------------
// Expressions

ExprPtr Parser::make(ExprKind kind, const Token& at) {
  auto e = std::make_shared<Expr>();
  e->kind = kind;
  e->pos = at.pos;
  e->endOffset = at.endOffset;
  return e;
}

void Parser::finish(Expr& e) { e.endOffset = tokens_[i_ > 0 ? i_ - 1 : 0].endOffset; }

ExprPtr Parser::parseExpr() { return parseOr(); }

namespace {
// The binary operator at a token, as the syntax tree names it, or nullptr.
const char* orAt(const Token& t) { return t.is("OR") ? "OR" : nullptr; }
const char* andAt(const Token& t) { return t.is("AND") ? "AND" : nullptr; }
const char* additiveAt(const Token& t) {
  for (const char* op : {"+", "-", "||"})
    if (t.isOp(op)) return op;
  return nullptr;
}
const char* multiplicativeAt(const Token& t) {
  for (const char* op : {"*", "/"})
    if (t.isOp(op)) return op;
  return nullptr;
}
}  // namespace

// operand {op operand}: a left-associative chain of the operators opAt names.
ExprPtr Parser::parseChain(ExprPtr (Parser::*operand)(), const char* (*opAt)(const Token&)) {
  ExprPtr left = (this->*operand)();
  while (const char* op = opAt(peek())) {
    auto e = make(ExprKind::Binary, next());
    e->op = op;
    e->pos = left->pos;
    e->args = {left, (this->*operand)()};
    finish(*e);
    left = e;
  }
  return left;
}

ExprPtr Parser::parseOr() { return parseChain(&Parser::parseAnd, orAt); }

ExprPtr Parser::parseAnd() { return parseChain(&Parser::parseNot, andAt); }

ExprPtr Parser::parseNot() {
  if (peek().is("NOT")) {
    auto e = make(ExprKind::Unary, next());
    e->op = "NOT";
    e->args = {parseNot()};
    finish(*e);
    return e;
  }
  return parseComparison();
}

ExprPtr Parser::parseComparison() {
  ExprPtr left = parseAdditive();
  static const std::set<std::string> compare = {"=", "!=", "<>", "<", "<=", ">", ">="};
  const Token& t = peek();
  if (t.kind == TokenKind::Operator && compare.count(t.text)) {
    std::string op = next().text == "<>" ? "!=" : t.text;
    if (peek().is("ANY") || peek().is("SOME") || peek().is("ALL")) {
      auto e = make(ExprKind::Any, peek());
      e->all = next().is("ALL");
      e->op = op;
      e->pos = left->pos;
      expectOp("(", 906);
      if (peek().is("SELECT") || peek().is("WITH")) e->query = parseQuery();
      else {
        e->args.push_back(left);
        do e->args.push_back(parseExpr());
        while (acceptOp(","));
      }
      if (e->args.empty()) e->args.push_back(left);
      expectOp(")", 907);
      finish(*e);
      return e;
    }
    auto e = make(ExprKind::Binary, t);
    e->op = op;
    e->pos = left->pos;
    e->args = {left, parseAdditive()};
    finish(*e);
    return e;
  }
  bool negated = false;
  if (peek().is("NOT") && (peek(1).is("IN") || peek(1).is("LIKE") || peek(1).is("BETWEEN"))) {
    next();
    negated = true;
  }
  if (peek().is("IS")) {
    auto e = make(ExprKind::IsNull, next());
    e->negated = accept("NOT");
    if (peek().is("JSON")) fail(3001, peek());  // JSON is not built
    expect("NULL", 908);
    e->pos = left->pos;
    e->args = {left};
    finish(*e);
    return e;
  }
  if (peek().is("IN")) {
    next();
    auto e = std::make_shared<Expr>();
    e->pos = left->pos;
    e->negated = negated;
    expectOp("(", 906);
    if (peek().is("SELECT") || peek().is("WITH")) {
      e->kind = ExprKind::InSubquery;
      e->args = {left};
      e->query = parseQuery();
    } else {
      e->kind = ExprKind::InList;
      e->args = {left};
      do e->args.push_back(parseExpr());
      while (acceptOp(","));
    }
    expectOp(")", 907);
    finish(*e);
    return e;
  }
  if (peek().is("LIKE")) {
    auto e = make(ExprKind::Like, next());
    e->negated = negated;
    e->pos = left->pos;
    e->args = {left, parseAdditive()};
    if (accept("ESCAPE")) e->args.push_back(parseAdditive());
    finish(*e);
    return e;
  }
  if (peek().is("BETWEEN")) {
    auto e = make(ExprKind::Between, next());
    e->negated = negated;
    e->pos = left->pos;
    ExprPtr low = parseAdditive();
    expect("AND");
    e->args = {left, low, parseAdditive()};
    finish(*e);
    return e;
  }
  if (negated) fail(920, peek());
  return left;
}

ExprPtr Parser::parseAdditive() { return parseChain(&Parser::parseMultiplicative, additiveAt); }

ExprPtr Parser::parseMultiplicative() { return parseChain(&Parser::parseUnary, multiplicativeAt); }

ExprPtr Parser::parseUnary() {
  bool root = peek().is("CONNECT_BY_ROOT") && (peek(1).kind == TokenKind::Identifier || peek(1).isOp("("));
  if (peek().isOp("-") || peek().isOp("+") || peek().is("PRIOR") || root) {
    auto e = make(ExprKind::Unary, peek());
    e->op = next().text;
    e->args = {parseUnary()};
    finish(*e);
    return e;
  }
  ExprPtr e = parsePrimary();
  // datetime AT TIME ZONE zone, datetime AT LOCAL: a call of AT_TIME_ZONE with one or two arguments.
  while (peek().is("AT") && (peek(1).is("LOCAL") || (peek(1).is("TIME") && peek(2).is("ZONE")))) {
    auto at = make(ExprKind::Function, next());
    at->name.parts = {"AT_TIME_ZONE"};
    at->pos = e->pos;
    at->args = {e};
    if (!accept("LOCAL")) {
      next();
      next();
      at->args.push_back(parsePrimary());
    }
    finish(*at);
    e = at;
  }
  return e;
}

ExprPtr Parser::parsePrimary() {
  const Token& t = peek();
  switch (t.kind) {
    case TokenKind::Number:
    case TokenKind::String: {
      // The literal's number among the text's literal tokens, counted forward from the last one.
      for (; literalScan_ < i_; ++literalScan_)
        if (isLiteralToken(tokens_[literalScan_])) ++literalsSeen_;
      auto e = make(t.kind == TokenKind::Number ? ExprKind::Number : ExprKind::String, next());
      e->text = t.text;
      literals_.emplace_back(e.get(), literalsSeen_);
      return e;
    }
    case TokenKind::Bind: {
      auto e = make(ExprKind::Bind, next());
      e->text = t.text;
      // :NEW.column and :OLD.column of trigger bodies
      if (peek().isOp(".") && peek(1).kind == TokenKind::Identifier) {
        next();
        e->name.parts.push_back(next().text);
        finish(*e);
      }
      return e;
    }
    case TokenKind::Operator:
      if (t.isOp("(")) {
        const Token& open = next();
        if (peek().is("SELECT") || peek().is("WITH")) {
          auto e = make(ExprKind::Subquery, open);
          e->query = parseQuery();
          expectOp(")", 907);
          finish(*e);
          return e;
        }
        ExprPtr inner = parseExpr();
        if (peek().isOp(",")) {
          auto row = make(ExprKind::Row, open);
          row->args.push_back(inner);
          while (acceptOp(",")) row->args.push_back(parseExpr());
          expectOp(")", 907);
          finish(*row);
          return row;
        }
        expectOp(")", 907);
        // Keep the parentheses in the source span so headings quote them.
        inner->pos = open.pos;
        finish(*inner);
        if (ExprPtr qualified = parseIntervalQualifier(open, inner)) return qualified;
        return inner;
      }
      break;
    case TokenKind::Identifier:
      if (t.quoted) return parseNameOrCall();
      if (t.text == "NULL") {
        auto e = make(ExprKind::Null, next());
        return e;
      }
      if (t.text == "CASE") return parseCase();
      if (t.text == "EXISTS") {
        auto e = make(ExprKind::Exists, next());
        expectOp("(", 906);
        e->query = parseQuery();
        expectOp(")", 907);
        finish(*e);
        return e;
      }
      if ((t.text == "DATE" || t.text == "TIMESTAMP") && peek(1).kind == TokenKind::String) {
        std::string kind = t.text;
        auto e = make(ExprKind::Function, next());
        e->name.parts = {kind};
        auto lit = make(ExprKind::String, next());
        lit->text = peek(-1).text;
        e->args = {lit};
        finish(*e);
        return e;
      }
      if (t.text == "INTERVAL" && peek(1).kind == TokenKind::String) return parseIntervalLiteral();
      if (!isReserved(t.text) || t.text == "PRIOR") return parseNameOrCall();
      break;
    case TokenKind::End:
      break;
    default:
      break;
  }
  fail(936, t);
}

// An interval precision: one digit, 0 to 9 (ORA-30088).
int Parser::precisionDigit() {
  if (peek().kind != TokenKind::Number) fail(30088, peek());
  const Token& n = next();
  if (n.text.size() != 1 || n.text[0] < '0' || n.text[0] > '9') fail(30088, n);
  return n.text[0] - '0';
}

// INTERVAL 'text' leading[(p[, s])] [TO trailing[(s)]]: a call of INTERVAL whose argument is the text
// (kept inline, never a parameter) and whose op is "DS" or "YM"; text holds the leading and trailing
// fields (DAY 0 .. SECOND 3, YEAR 0, MONTH 1), the leading precision and the fractional digits.
ExprPtr Parser::parseIntervalLiteral() {
  auto e = make(ExprKind::Function, next());
  e->name.parts = {"INTERVAL"};
  auto lit = make(ExprKind::String, next());
  lit->text = peek(-1).text;
  e->args = {lit};
  static const std::map<std::string, int> daySecond = {{"DAY", 0}, {"HOUR", 1}, {"MINUTE", 2}, {"SECOND", 3}};
  static const std::map<std::string, int> yearMonth = {{"YEAR", 0}, {"MONTH", 1}};
  const Token& first = peek();
  bool ym = yearMonth.count(first.text) > 0;
  const auto& fields = ym ? yearMonth : daySecond;
  auto lead = fields.find(first.text);
  if (first.kind != TokenKind::Identifier || lead == fields.end()) fail(30089, first);
  next();
  int precision = 2, fraction = 6, trailing = lead->second;
  if (acceptOp("(")) {
    precision = precisionDigit();
    if (!ym && lead->second == 3 && acceptOp(",")) fraction = precisionDigit();
    expectOp(")", 907);
  }
  if (accept("TO")) {
    auto last = fields.find(peek().text);
    if (peek().kind != TokenKind::Identifier || last == fields.end() || last->second <= lead->second) fail(30089, peek());
    next();
    trailing = last->second;
    if (!ym && trailing == 3 && acceptOp("(")) {
      fraction = precisionDigit();
      expectOp(")", 907);
    }
  }
  e->op = ym ? "YM" : "DS";
  e->text = std::to_string(lead->second) + " " + std::to_string(trailing) + " " + std::to_string(precision) + " " +
            std::to_string(!ym && trailing == 3 ? fraction : 0);
  finish(*e);
  return e;
}

// (expr) DAY[(p)] TO SECOND[(s)] / (expr) YEAR[(p)] TO MONTH after a parenthesised expression: a call
// of INTERVAL whose op is "DSOF" or "YMOF", args[0] the expression, text the leading precision and the
// fractional digits. DAY or YEAR alone stays a column alias; null when no qualifier follows.
ExprPtr Parser::parseIntervalQualifier(const Token& open, const ExprPtr& inner) {
  bool ym = peek().is("YEAR");
  if (!(ym || peek().is("DAY")) || !(peek(1).is("TO") || peek(1).isOp("("))) return nullptr;
  auto e = make(ExprKind::Function, open);
  e->name.parts = {"INTERVAL"};
  e->args = {inner};
  next();
  int precision = 2, fraction = 6;
  if (acceptOp("(")) {
    precision = precisionDigit();
    expectOp(")", 907);
  }
  if (!accept("TO")) fail(30089, peek());
  if (!(ym ? peek().is("MONTH") : peek().is("SECOND"))) fail(30089, peek());
  next();
  if (!ym && acceptOp("(")) {
    fraction = precisionDigit();
    expectOp(")", 907);
  }
  e->op = ym ? "YMOF" : "DSOF";
  e->text = std::to_string(precision) + " " + std::to_string(ym ? 0 : fraction);
  finish(*e);
  return e;
}

ExprPtr Parser::parseCase() {
  auto e = make(ExprKind::Case, next());
  if (!peek().is("WHEN")) {
    e->hasOperand = true;
    e->args.push_back(parseExpr());
  }
  if (!peek().is("WHEN")) fail(905, peek());
  while (accept("WHEN")) {
    e->args.push_back(parseExpr());
    expect("THEN");
    e->args.push_back(parseExpr());
  }
  if (accept("ELSE")) {
    e->hasElse = true;
    e->args.push_back(parseExpr());
  }
  expect("END");
  finish(*e);
  return e;
}

ExprPtr Parser::parseNameOrCall() {
  const Token& first = peek();
  auto e = make(ExprKind::Column, first);
  e->name.pos = first.pos;
  e->name.parts.push_back(next().text);
  while (peek().isOp(".") && peek(1).kind == TokenKind::Identifier) {
    next();
    e->name.parts.push_back(next().text);
  }
  // PL/SQL attributes: c%ROWCOUNT, SQL%NOTFOUND.
  while (peek().isOp("%") && peek(1).kind == TokenKind::Identifier) {
    next();
    e->name.parts.push_back("%" + next().text);
  }
  // A sequence of another database: seq.NEXTVAL@link.
  if (e->name.parts.size() >= 2 && (e->name.parts.back() == "NEXTVAL" || e->name.parts.back() == "CURRVAL") &&
      peek().isOp("@")) {
    next();
    e->dbLink = parseName().parts.back();
  }
  if (peek().isOp("(") && peek(1).isOp("+") && peek(2).isOp(")")) {
    next();
    next();
    next();
    e->outerJoin = true;
  } else if (peek().isOp("(")) {
    e->kind = ExprKind::Function;
    parseFunctionArgs(e);
    if (!e->window && peek().isOp(".") && peek(1).kind == TokenKind::Identifier) {
      while (peek().isOp(".") && peek(1).kind == TokenKind::Identifier) {
        next();
        e->fields.push_back(next().text);
      }
      // list(i).method(): a method without arguments, called as it is without the parentheses
      if (peek().isOp("(") && peek(1).isOp(")")) {
        next();
        next();
      }
      finish(*e);
    }
    return e;
  }
  finish(*e);
  return e;
}

// A GROUP BY element; inside GROUPING SETS, () is the empty set.
GroupingTerm Parser::parseGroupingTerm(bool inSets) {
  GroupingTerm t;
  auto composite = [this]() {
    ExprPtr e = parseExpr();
    if (e->kind == ExprKind::Row) return e->args;
    return std::vector<ExprPtr>{e};
  };
  bool rollup = peek().is("ROLLUP") && peek(1).isOp("(");
  bool cube = peek().is("CUBE") && peek(1).isOp("(");
  if (rollup || cube) {
    next();
    next();
    t.kind = rollup ? GroupingTerm::Kind::Rollup : GroupingTerm::Kind::Cube;
    do t.columns.push_back(composite());
    while (acceptOp(","));
    expectOp(")", 907);
  } else if (!inSets && peek().is("GROUPING") && peek(1).is("SETS")) {
    next();
    next();
    expectOp("(", 906);
    t.kind = GroupingTerm::Kind::Sets;
    do t.sets.push_back(parseGroupingTerm(true));
    while (acceptOp(","));
    expectOp(")", 907);
  } else if (peek().isOp("(") && peek(1).isOp(")")) {
    next();
    next();
    t.columns.emplace_back();
  } else {
    t.columns.push_back(composite());
  }
  return t;
}

// OVER ([PARTITION BY ...] [ORDER BY ...]) after a function call makes it analytic.
void Parser::parseOver(Expr& call) {
  if (!accept("OVER")) return;
  expectOp("(", 906);
  call.window = std::make_shared<Window>();
  if (accept("PARTITION")) {
    expect("BY");
    do call.window->partitionBy.push_back(parseExpr());
    while (acceptOp(","));
  }
  if (accept("ORDER")) {
    expect("BY");
    parseOrderBy(call.window->orderBy);
  }
  // A windowing clause needs the ORDER BY before it.
  if (!call.window->orderBy.empty() && (peek().is("ROWS") || peek().is("RANGE"))) {
    call.window->framePos = peek().pos;
    call.window->frameUnit = next().text;
    if (accept("BETWEEN")) {
      call.window->frameStart = parseFrameBound();
      expect("AND");
      call.window->frameEnd = parseFrameBound();
    } else {
      // The short form names the start; the frame ends at the current row.
      call.window->frameStart = parseFrameBound();
    }
  }
  expectOp(")", 907);
  finish(call);
}

FrameBound Parser::parseFrameBound() {
  FrameBound b;
  b.pos = peek().pos;
  if (accept("UNBOUNDED")) {
    if (accept("PRECEDING")) b.kind = FrameBound::Kind::UnboundedPreceding;
    else if (accept("FOLLOWING")) b.kind = FrameBound::Kind::UnboundedFollowing;
    else fail(905, peek());
  } else if (accept("CURRENT")) {
    expect("ROW");
    b.kind = FrameBound::Kind::CurrentRow;
  } else {
    b.offset = parseExpr();
    if (accept("PRECEDING")) b.kind = FrameBound::Kind::Preceding;
    else if (accept("FOLLOWING")) b.kind = FrameBound::Kind::Following;
    else fail(905, peek());
  }
  return b;
}

ExprPtr Parser::parseFunctionArgs(ExprPtr call) {
  next();  // (
  const std::string& fname = call->name.last();
  if (fname == "TRIM" && call->name.parts.size() == 1) {
    // TRIM([LEADING|TRAILING|BOTH] [char] FROM text) or TRIM(text)
    std::string mode;
    if (peek().is("LEADING") || peek().is("TRAILING") || peek().is("BOTH")) mode = next().text;
    ExprPtr first;
    if (!peek().is("FROM")) first = parseExpr();
    if (accept("FROM") || !mode.empty()) {
      auto m = make(ExprKind::String, peek());
      m->text = mode.empty() ? "BOTH" : mode;
      ExprPtr source = parseExpr();
      call->name.parts = {"TRIM3"};
      call->args = {m, first ? first : ExprPtr(), source};
    } else {
      call->args = {first};
    }
    expectOp(")", 907);
    finish(*call);
    return call;
  }
  if (fname == "EXTRACT" && call->name.parts.size() == 1) {
    auto field = make(ExprKind::String, peek());
    field->text = parseIdentifier();
    expect("FROM");
    call->args = {field, parseExpr()};
    expectOp(")", 907);
    finish(*call);
    return call;
  }
  if (fname == "CAST" && call->name.parts.size() == 1) {
    // CAST(MULTISET(query) AS collection_type): the rows as a nested table or varray.
    bool multiset = peek().is("MULTISET") && peek(1).isOp("(");
    if (multiset) {
      auto rows = make(ExprKind::Subquery, next());
      next();
      rows->op = "MULTISET";
      rows->query = parseQuery();
      expectOp(")", 907);
      finish(*rows);
      call->args.push_back(rows);
    } else {
      call->args.push_back(parseExpr());
    }
    expect("AS");
    TypeSpec type = parseType(multiset);
    auto t = make(ExprKind::String, peek());
    t->text = type.name;
    // TIMESTAMP(n) ...: the compiler rounds to the precision
    if (type.name.rfind("TIMESTAMP", 0) == 0) t->text.insert(9, "(" + std::to_string(type.scale) + ")");
    if (type.name == "INTERVAL DAY TO SECOND")
      t->text = "INTERVAL DAY(" + std::to_string(type.precision) + ") TO SECOND(" + std::to_string(type.scale) + ")";
    if (type.name == "INTERVAL YEAR TO MONTH") t->text = "INTERVAL YEAR(" + std::to_string(type.precision) + ") TO MONTH";
    t->op = type.typeOwner;
    call->args.push_back(t);
    expectOp(")", 907);
    finish(*call);
    return call;
  }
  if (fname == "LISTAGG" && call->name.parts.size() == 1) return parseListagg(call);
  if (peek().isOp(")")) {
    next();
    finish(*call);
    parseOver(*call);
    return call;
  }
  if (accept("DISTINCT")) call->distinct = true;
  else accept("ALL");
  bool ignoreNulls = false;
  do {
    if (peek().kind == TokenKind::Identifier && peek(1).isOp("=>")) {
      // PL/SQL named argument
      call->argNames.resize(call->args.size());
      call->argNames.push_back(next().text);
      next();
      call->args.push_back(parseExpr());
    } else if (peek().isOp("*")) {
      call->args.push_back(make(ExprKind::Star, next()));
    } else {
      call->args.push_back(parseExpr());
    }
    // LAG(x IGNORE NULLS, 1) and FIRST_VALUE(x IGNORE NULLS): the null treatment after the value.
    bool ignore = false;
    if (nullTreatment(ignore)) {
      if (call->args.size() != 1) fail(907, peek());
      ignoreNulls = ignore;
    }
  } while (acceptOp(","));
  if (!peek().isOp(")")) fail(907, peek());
  next();
  finish(*call);
  bool after = false;
  if (nullTreatment(after)) ignoreNulls = after;
  parseOver(*call);
  if (ignoreNulls) {
    if (!call->window) fail(30484, peek());
    call->window->ignoreNulls = true;
  }
  return call;
}

// [IGNORE | RESPECT] NULLS: true when one is there, with ignore set by which.
bool Parser::nullTreatment(bool& ignore) {
  if (!(peek().is("IGNORE") || peek().is("RESPECT")) || !peek(1).is("NULLS")) return false;
  ignore = next().is("IGNORE");
  next();
  return true;
}

// LISTAGG([DISTINCT | ALL] value [, delimiter] [ON OVERFLOW {ERROR | TRUNCATE ['indicator']
// [WITH | WITHOUT COUNT]}]) WITHIN GROUP (ORDER BY ...) [OVER (PARTITION BY ...)]
ExprPtr Parser::parseListagg(ExprPtr call) {
  auto within = std::make_shared<WithinGroup>();
  if (accept("DISTINCT")) call->distinct = true;
  else accept("ALL");
  call->args.push_back(parseExpr());
  if (acceptOp(",")) call->args.push_back(parseExpr());
  if (accept("ON")) {
    expect("OVERFLOW");
    if (accept("TRUNCATE")) {
      within->truncate = true;
      if (peek().kind == TokenKind::String) within->indicator = parseExpr();
      if (accept("WITH")) expect("COUNT");
      else if (accept("WITHOUT")) {
        expect("COUNT");
        within->withCount = false;
      }
    } else {
      expect("ERROR");
    }
  }
  expectOp(")", 907);
  if (!accept("WITHIN")) fail(2000, peek(), "WITHIN");
  expect("GROUP");
  expectOp("(", 906);
  expect("ORDER");
  expect("BY");
  parseOrderBy(within->orderBy);
  expectOp(")", 907);
  call->withinGroup = within;
  finish(*call);
  parseOver(*call);
  return call;
}

}  // namespace engine::sql
