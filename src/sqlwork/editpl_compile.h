#pragma once
// Compiling the PL/SQL editor's source on a session block by block: each block runs as one
// statement, and the compile errors the server records for the object its CREATE header names are
// read back and placed on the editor's lines.

#include <QString>
#include <QStringList>
#include <functional>

#include "sqlwork/editpl_logic.h"

namespace nuvo::db {
class Session;
}

namespace nuvo::sqlwork {

struct PlCompileOptions {
  // The schema of objects whose header names no owner.
  QString connUser;
  // Renames the application schemas for an installation; empty: the text compiles as it stands.
  std::function<QString(const QString&)> rename;
  // Called before each block runs with its text (the debug mode shows it).
  std::function<void(const QString& block)> beforeBlock;
  // A block's statement failed: its first editor line (0-based) and the server's message.
  std::function<void(int line, const QString& message)> executionFailed;
  // Removes a plain SQL statement's final ";" (PL/SQL keeps it).
  std::function<QString(const QString&)> stripSemicolon;
};

struct PlCompileResult {
  EditorErrorList errors;
  // Blocks whose statement failed, or that compiled with errors none of which could be read.
  int failedBlocks = 0;
  int blocksRun = 0;
  // The text as compiled (renamed when a rename was given).
  QString compiledText;
  bool ok() const { return failedBlocks == 0 && errors.count() == 0; }
};

// Runs every non-empty block of `editorLines` in order on `session`; a failing block does not stop
// the later ones. Database errors other than a block's own are thrown as db::Error.
PlCompileResult compilePlSource(nuvo::db::Session& session, const QStringList& editorLines,
                                const PlCompileOptions& options);

}  // namespace nuvo::sqlwork
