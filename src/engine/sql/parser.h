#pragma once
// The recursive-descent parser of Oracle SQL: text in, one Statement out. Syntax errors are
// engine::Error with Oracle's code (ORA-00900, 00904, 00907, 00911, 00923, 00933, 00936, ...) and the
// position of the offending token. The expression and query parsers are public so that PL/SQL can
// share them.

#include <string>
#include <string_view>
#include <vector>

#include "engine/sql/ast.h"

namespace engine::sql {

class Parser {
 public:
  explicit Parser(std::string_view text);

  // Parses the whole text as one statement; anything after it is ORA-00933 (a ";" is ORA-00911).
  StatementPtr parseStatement();

  // Pieces for other front ends (PL/SQL), working at the current token.
  ExprPtr parseExpr();
  QueryPtr parseQuery();
  const Token& peek(int ahead = 0) const;
  const Token& next();
  bool accept(std::string_view word);
  bool acceptOp(std::string_view op);
  void expect(std::string_view word, int code = 905);
  void expectOp(std::string_view op, int code);
  [[noreturn]] void fail(int code, const Token& at, const std::string& detail = {}) const;
  std::string_view source() const { return text_; }
  // The string and number literals parsed as values, each with its number among the text's literal
  // tokens (literalTokens below counts them the same way).
  const std::vector<std::pair<const Expr*, int>>& literals() const { return literals_; }

 private:
  StatementPtr parseSelectStatement();
  StatementPtr parseInsert();
  StatementPtr parseUpdate();
  StatementPtr parseDelete();
  StatementPtr parseMerge();
  StatementPtr parseCreate();
  StatementPtr parseCreateTable();
  StatementPtr parseCreateIndex(bool unique);
  StatementPtr parseCreateView(bool orReplace);
  StatementPtr parseCreateMView();
  StatementPtr parseSequence(StmtKind kind);
  void parseSequenceOptions(SequenceOptions& options);
  StatementPtr parseCreateSynonym(bool orReplace, bool isPublic);
  StatementPtr parseCreateUser(StmtKind kind);
  StatementPtr parseAlter();
  StatementPtr parseAlterTable();
  StatementPtr parseDrop();
  StatementPtr parseGrant(StmtKind kind);
  StatementPtr parseComment();
  StatementPtr parseTransaction();
  StatementPtr parseSetTransaction();
  StatementPtr parseExplain();
  StatementPtr parseAnalyze();

  QueryPtr parseSetOperand();
  std::shared_ptr<QueryBlock> parseQueryBlock();
  void parseSelectList(QueryBlock& block);
  void parseFromList(QueryBlock& block);
  TableRef parseTableRef();
  void parseOrderBy(std::vector<OrderItem>& out);
  void parseTableTarget(TableRef& ref);
  void parseReturning(ReturningClause& r);

  ExprPtr parseChain(ExprPtr (Parser::*operand)(), const char* (*opAt)(const Token&));
  ExprPtr parseOr();
  ExprPtr parseAnd();
  ExprPtr parseNot();
  ExprPtr parseComparison();
  ExprPtr parseAdditive();
  ExprPtr parseMultiplicative();
  ExprPtr parseUnary();
  ExprPtr parsePrimary();
  ExprPtr parseNameOrCall();
  ExprPtr parseCase();
  ExprPtr parseIntervalLiteral();
  ExprPtr parseIntervalQualifier(const Token& open, const ExprPtr& inner);
  int precisionDigit();
  ExprPtr parseFunctionArgs(ExprPtr call);
  void parseOver(Expr& call);
  bool nullTreatment(bool& ignore);
  FrameBound parseFrameBound();
  ExprPtr parseListagg(ExprPtr call);
  GroupingTerm parseGroupingTerm(bool inSets);
  std::shared_ptr<PivotClause> parsePivot();
  ExprPtr make(ExprKind kind, const Token& at);
  void finish(Expr& e);

  Name parseName(int code = 903);
  std::string parseIdentifier(int code = 904);
  std::string parseAlias();
  bool isIdentifier(const Token& t) const;
  TypeSpec parseType(bool userTypes = false);  // userTypes: a column may name a type
  void parseColumnDef(ColumnDef& col);
  bool parseConstraint(ConstraintDef& c, const std::string* inlineColumn);
  void parseConstraintState(ConstraintDef& c);
  std::vector<std::string> parseColumnList();
  void skipPhysicalClauses() { parsePhysicalClauses(nullptr); }
  // TABLESPACE, STORAGE (...), PCTFREE n, LOGGING, COMPRESS ...: recorded in `out` where it is given,
  // the rest accepted and ignored.
  void parsePhysicalClauses(PhysicalAttributes* out);
  std::shared_ptr<Partitioning> parsePartitioning();
  // The text between the parentheses that follow (the opening one is the current token).
  std::string parenthesizedText();
  long long parseSize();
  long long parseSignedInteger();

  std::string text_;
  std::vector<Token> tokens_;
  std::size_t i_ = 0;
  std::vector<std::pair<const Expr*, int>> literals_;
  int literalsSeen_ = 0;         // literal tokens before tokens_[literalScan_]
  std::size_t literalScan_ = 0;
};

// True for the tokens that are string or number literals.
inline bool isLiteralToken(const Token& t) { return t.kind == TokenKind::String || t.kind == TokenKind::Number; }

// True for words that cannot be an alias or an unquoted name in this position.
bool isReserved(const std::string& word);

}  // namespace engine::sql
