#pragma once
// The engine's own constraints. Each enabled constraint is a set of SQLite objects in the schema
// file of its table, named after it so that each can be dropped (DISABLE) and made again (ENABLE):
//   PRIMARY KEY, UNIQUE   unique index "C$<name>" (an INITIALLY DEFERRED key: a plain index, the
//                         duplicates checked at commit)
//   CHECK                 BEFORE INSERT / UPDATE triggers "K$<name>$I", "K$<name>$U" (none for an
//                         INITIALLY DEFERRED check: checked at commit)
//   NOT NULL              no SQLite object: the compiled INSERT and UPDATE check the columns of enabled
//                         NOT NULL constraints and primary keys (ORA-01400, 01407); they are compiled
//                         again whenever a constraint changes
//   FOREIGN KEY           child triggers "K$<name>$I", "K$<name>$U"; parent triggers "K$<name>$D"
//                         (error, CASCADE or SET NULL) and "K$<name>$P" (key change); an INITIALLY
//                         DEFERRED key has only its CASCADE / SET NULL trigger and is checked at commit
// The triggers raise Oracle's errors (ORA-02290, 02291, 02292) themselves.

#include <string>

#include "engine/catalog/catalog.h"

namespace engine::storage {

class SessionImpl;

// Creates the SQLite objects of an enabled constraint, after checking the rows already there
// (ORA-02437, 02299, 02293, 02296, 02298 when they break it).
void applyConstraint(SessionImpl& session, const catalog::ConstraintInfo& c);
// The error of the first INITIALLY DEFERRED constraint that the rows now break ("ORA-00001: ...",
// "ORA-02290: ...", "ORA-02291: ..."), or empty: checked at commit.
std::string deferredViolation(SessionImpl& session);
// Drops the SQLite objects of a constraint (disable or drop).
void removeConstraintObjects(SessionImpl& session, const catalog::ConstraintInfo& c);
// Drops and makes again the objects of every enabled constraint on the table and of the foreign
// keys referencing it (after renames and column changes).
void rebuildConstraints(SessionImpl& session, const std::string& owner, const std::string& table);

}  // namespace engine::storage
