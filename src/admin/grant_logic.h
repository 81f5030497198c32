#pragma once
// What the grant window does without its window: the checks of its boxes, the choice of the server
// block and the run of that block, which grants or revokes rights on every matching object of an
// owner to or from one grantee.

#include <QString>

namespace nuvo::db {
class Session;
}

namespace nuvo::admin {

// The type list of a new window.
inline constexpr const char* kDefaultGrantTypes = "TABLE,PROCEDURE,FUNCTION,PACKAGE,PACKAGE BODY";
// A grantee's name holds at most this many characters.
inline constexpr int kMaxGranteeLength = 30;
// Past this many failed statements the run lists no more names and stops.
inline constexpr int kMaxGrantFailures = 50;

// The boxes of the window as they stand.
struct GrantRequest {
  QString owner;
  QString filter;   // LIKE pattern of the object names, compared in upper case
  QString types;    // comma-separated object types; an object whose type occurs in the text matches
  QString rights;   // the rights given on tables; every other object gets EXECUTE
  QString grantee;
  bool revoke = false;
};

// Which server block runs: the connected user's own (the statements run in the session), or the
// one that hands each statement to the owner's DODELIPRAVICE.
enum class GrantBlock { ConnectedUser, OwnerProcedure };
// The owner's procedure when the owner differs from the connected user, compared without regard
// to case.
GrantBlock grantBlockFor(const QString& owner, const QString& connUser);

// The first fault of the boxes, or "" when the request may be sent: the owner and the grantee must
// be plain names (a letter, then letters, digits, "_", "$" or "#"; the grantee at most 30
// characters), the rights a list of words (letters, digits, "_", blanks, commas and parentheses).
// English or Slovene.
QString grantRequestFault(const GrantRequest& request, bool slovene);

// The fixed texts of a block that could not run, above the server's own error.
QString ownerProcedureMissingText(const QString& owner);
inline constexpr const char* kGrantBlockFailedText = "NAPAKA PRI KLICANJU PROCEDURE ZA DODELJEVANJU PRAVIC!";
// The last line of a failure list that reached its limit.
QString tooManyFailuresLine();

struct GrantOutcome {
  bool ok = false;
  // "OK"; the failed objects, each with the server's error and CR LF; or a fixed text with the
  // server's error under it.
  QString text;
};

// Runs the request's block on the session. A request with a fault is not sent (its fault is the
// outcome's text); a block that fails as a whole gives its fixed text and, on the next line, the
// server's error.
GrantOutcome runGrant(db::Session& session, const GrantRequest& request, const QString& connUser,
                      bool slovene = false);

}  // namespace nuvo::admin
