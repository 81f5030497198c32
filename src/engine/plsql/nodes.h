#pragma once
// The executable nodes of PL/SQL expressions and statements (built by compiler.cpp).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/plsql/unit.h"

namespace engine::plsql {

// ---------------------------------------------------------------------------------------------------
// Names

struct CursorDecl {
  std::shared_ptr<SqlStatement> sql;
  std::vector<Param> params;  // slots in the declaring frame
  TypePtr rowType;
  int depth = 0, slot = 0;    // where its CursorState lives
  Unit* package = nullptr;    // a package cursor lives in the package state
  bool currentOf = false;     // FOR UPDATE: the last column is the row's ROWID
};

struct Symbol {
  enum class Kind { Variable, Type, Exception, Cursor, Subprograms, Package };
  Kind kind = Kind::Variable;
  TypePtr type;
  int depth = 0, slot = 0;
  bool constant = false;
  Unit* package = nullptr;  // a package-level variable: slot in the package state
  std::vector<std::shared_ptr<Subprogram>> subs;
  std::shared_ptr<CursorDecl> cursor;
  std::shared_ptr<ExceptionDef> exception;
  std::shared_ptr<Unit> unit;
};

struct Scope {
  std::map<std::string, Symbol> names;
  std::shared_ptr<Scope> parent;
  int depth = 0;
  int* frameSize = nullptr;  // the frame slots of this depth are allocated here
  Unit* package = nullptr;   // package-level scope: variables go to the package state
  const Symbol* find(const std::string& name) const {
    for (const Scope* s = this; s; s = s->parent.get()) {
      auto it = s->names.find(name);
      if (it != s->names.end()) return &it->second;
    }
    return nullptr;
  }
};

// ---------------------------------------------------------------------------------------------------
// Expressions

struct ConstNode : ExprNode {
  Value value;
  Value eval(Exec&) override { return value; }
};

struct FrameVar : ExprNode {
  int hops = 0, slot = 0;
  Datum* ref(Exec& x) override {
    Frame* f = x.frame;
    for (int i = 0; i < hops; ++i) f = f->up;
    return &f->slots[static_cast<std::size_t>(slot)];
  }
  Value eval(Exec& x) override { return ref(x)->v; }
  Datum datum(Exec& x) override { return *ref(x); }
};

struct PackageVar : ExprNode {
  UnitLoader* loader = nullptr;
  Unit* package = nullptr;
  int slot = 0;
  Datum* ref(Exec& x) override {
    if (!package->state) loader->instantiate(x, *package);
    return &package->state->slots[static_cast<std::size_t>(slot)];
  }
  Value eval(Exec& x) override { return ref(x)->v; }
  Datum datum(Exec& x) override { return *ref(x); }
};

// A statement: the functions the compiler builds for each kind.
struct FnStmt : StmtNode {
  std::function<Flow(Exec&)> run;
  Flow exec(Exec& x) override { return run(x); }
};

// An expression as a function (the less common kinds).
struct FnExpr : ExprNode {
  std::function<Value(Exec&)> run;
  std::function<Datum(Exec&)> composite;
  std::function<Datum*(Exec&)> storage;
  Value eval(Exec& x) override { return run ? run(x) : datum(x).v; }
  Datum datum(Exec& x) override { return composite ? composite(x) : Datum{eval(x), nullptr, nullptr}; }
  Datum* ref(Exec& x) override { return storage ? storage(x) : nullptr; }
};

}  // namespace engine::plsql
