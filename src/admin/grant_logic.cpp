#include "admin/grant_logic.h"

#include <QRegularExpression>

#include "db/error.h"
#include "db/query.h"
#include "shell/sql_catalog.h"

namespace nuvo::admin {

namespace {

// The two blocks differ only in how a statement runs. Both read the objects first (the statements
// change the dictionary they come from), give a package and its body one statement, never hand out
// the owner's DODELIPRAVICE, quote the owner and object names, and keep at most 50 failures, each
// with the server's error, in a text that cannot overflow.
QStringList grantBlock(const QStringList& probe, const QStringList& execute, const QStringList& onFailure) {
  QStringList lines{
      "DECLARE",
      "  TYPE t_objekt IS RECORD (vrsta VARCHAR2(10), ime VARCHAR2(128));",
      "  TYPE t_objekti IS TABLE OF t_objekt INDEX BY PLS_INTEGER;",
      "  v_objekti  t_objekti;",
      "  v_akcija   VARCHAR2(20) := UPPER(:vAkcija);",
      "  v_lastnik  VARCHAR2(128) := :vLastnik;",
      "  v_filter   VARCHAR2(4000) := UPPER(:vFilter);",
      "  v_tip      VARCHAR2(4000) := UPPER(:vTip);",
      "  v_pravice  VARCHAR2(4000) := :vPravice;",
      "  v_uporabnik VARCHAR2(128) := :vUporabnik;",
      "  v_zveza    VARCHAR2(6);",
      "  v_stavek   VARCHAR2(4000);",
      "  v_napake   VARCHAR2(32767);",
      "  v_stevilo  PLS_INTEGER := 0;",
      "  v_cursor   INTEGER;",
      "  i          PLS_INTEGER := 0;",
      "BEGIN",
      "  IF v_akcija IS NULL OR v_akcija NOT IN ('GRANT', 'REVOKE') THEN",
      "    :vIzhod := 'ACTION IS GRANT OR REVOKE!';",
      "  ELSE",
      "    IF v_akcija = 'REVOKE' THEN",
      "      v_zveza := ' FROM ';",
      "    ELSE",
      "      v_zveza := ' TO ';",
      "    END IF;",
  };
  lines << probe;
  lines << QStringList{
      "    FOR o IN (SELECT DECODE(object_type, 'TABLE', 'TABLE', 'EXECUTE') vrsta, object_name ime",
      "                FROM all_objects",
      "               WHERE owner = v_lastnik AND object_name LIKE v_filter",
      "                 AND INSTR(v_tip, object_type) > 0",
      "                 AND object_name NOT IN ('PCKSEMAPHORSERVER', 'DODELIPRAVICE')",
      "               GROUP BY DECODE(object_type, 'TABLE', 'TABLE', 'EXECUTE'), object_name",
      "               ORDER BY 2, 1) LOOP",
      "      i := i + 1;",
      "      v_objekti(i).vrsta := o.vrsta;",
      "      v_objekti(i).ime := o.ime;",
      "    END LOOP;",
      "    i := 1;",
      "    WHILE i <= v_objekti.COUNT AND v_stevilo <= 50 LOOP",
      "      IF v_objekti(i).vrsta = 'TABLE' THEN",
      "        v_stavek := v_akcija || ' ' || v_pravice;",
      "      ELSE",
      "        v_stavek := v_akcija || ' EXECUTE';",
      "      END IF;",
      "      v_stavek := v_stavek || ' ON \"' || v_lastnik || '\".\"' || v_objekti(i).ime || '\"' || v_zveza "
      "|| v_uporabnik;",
      "      BEGIN",
  };
  lines << execute;
  lines << "      EXCEPTION WHEN OTHERS THEN";
  lines << onFailure;
  lines << QStringList{
      "        v_stevilo := v_stevilo + 1;",
      "        IF v_stevilo > 50 THEN",
      "          v_napake := v_napake || ' VEČ KOT 50 NAPAK' || CHR(13) || CHR(10);",
      "        ELSE",
      "          v_napake := v_napake || v_objekti(i).ime || ': ' || SUBSTR(SQLERRM, 1, 300) || CHR(13) || CHR(10);",
      "        END IF;",
      "      END;",
      "      i := i + 1;",
      "    END LOOP;",
      "    IF v_stevilo = 0 THEN",
      "      :vIzhod := 'OK';",
      "    ELSE",
      "      :vIzhod := v_napake;",
      "    END IF;",
      "  END IF;",
      "END;",
  };
  return lines;
}

// The owner is the connected user: each statement is parsed through DBMS_SQL, which runs it.
const SqlText kConnectedUserBlock{
    "allGrant.quPravice",
    grantBlock({},
               {"        v_cursor := DBMS_SQL.OPEN_CURSOR;", "        DBMS_SQL.PARSE(v_cursor, v_stavek, DBMS_SQL.V7);",
                "        DBMS_SQL.CLOSE_CURSOR(v_cursor);"},
               {"        IF DBMS_SQL.IS_OPEN(v_cursor) THEN", "          DBMS_SQL.CLOSE_CURSOR(v_cursor);",
                "        END IF;"})};

// Another owner: each statement goes to the owner's DODELIPRAVICE, which runs it with the owner's
// rights. A procedure the connected user cannot call fails the whole block before anything runs.
const SqlText kOwnerProcedureBlock{
    "allGrant.quPraviceRazlicenUser",
    grantBlock({"    EXECUTE IMMEDIATE 'BEGIN IF 1 = 0 THEN \"' || v_lastnik || '\".DODELIPRAVICE(NULL); END IF; END;';"},
               {"        EXECUTE IMMEDIATE 'BEGIN \"' || v_lastnik || '\".DODELIPRAVICE(:stavek); END;' USING v_stavek;"},
               {})};

const QRegularExpression kPlainName(QStringLiteral("^[A-Za-z][A-Za-z0-9_$#]*$"));
const QRegularExpression kRights(QStringLiteral("^[A-Za-z0-9_ ,()]*[A-Za-z][A-Za-z0-9_ ,()]*$"));

}  // namespace

GrantBlock grantBlockFor(const QString& owner, const QString& connUser) {
  return owner.toUpper() == connUser.toUpper() ? GrantBlock::ConnectedUser : GrantBlock::OwnerProcedure;
}

QString grantRequestFault(const GrantRequest& request, bool slovene) {
  const auto t = [slovene](const char* english, const char* slo) { return QString::fromUtf8(slovene ? slo : english); };
  if (!kPlainName.match(request.owner).hasMatch())
    return t("The owner must be a user name: \"%1\"", "Lastnik mora biti ime uporabnika: \"%1\"").arg(request.owner);
  if (!kPlainName.match(request.grantee).hasMatch() || request.grantee.size() > kMaxGranteeLength)
    return t("The grantee must be a user or role name of at most %1 characters: \"%2\"",
             "Uporabnik mora biti ime uporabnika ali vloge z največ %1 znaki: \"%2\"")
        .arg(kMaxGranteeLength)
        .arg(request.grantee);
  if (!kRights.match(request.rights).hasMatch())
    return t("The rights must be a list of privileges such as ALL or SELECT,INSERT: \"%1\"",
             "Pravice morajo biti seznam pravic, na primer ALL ali SELECT,INSERT: \"%1\"")
        .arg(request.rights);
  return {};
}

QString ownerProcedureMissingText(const QString& owner) {
  return QStringLiteral("PROCEDURE ") + owner + QStringLiteral(".DODELIPRAVICE NE OBSTAJA !");
}

QString tooManyFailuresLine() { return QStringLiteral(" VEČ KOT %1 NAPAK").arg(kMaxGrantFailures); }

GrantOutcome runGrant(db::Session& session, const GrantRequest& request, const QString& connUser, bool slovene) {
  GrantOutcome outcome;
  outcome.text = grantRequestFault(request, slovene);
  if (!outcome.text.isEmpty()) return outcome;
  const GrantBlock block = grantBlockFor(request.owner, connUser);
  db::Query query(&session);
  query.setSql(block == GrantBlock::ConnectedUser ? kConnectedUserBlock : kOwnerProcedureBlock);
  const std::pair<const char*, QString> inputs[] = {
      {"vFilter", request.filter},
      {"vAkcija", QString::fromLatin1(request.revoke ? "REVOKE" : "GRANT")},
      {"vUporabnik", request.grantee.toUpper()},
      {"vTip", request.types},
      {"vPravice", request.rights},
      {"vLastnik", request.owner.toUpper()},
  };
  for (const auto& [name, value] : inputs) {
    query.declareVariable(QString::fromLatin1(name), db::DataType::String);
    query.setVariable(QString::fromLatin1(name), value);
  }
  query.declareVariable(QStringLiteral("vIzhod"), db::DataType::String);
  try {
    query.execute();
    outcome.text = query.getVariable(QStringLiteral("vIzhod")).toString();
  } catch (const db::Error& e) {
    const QString fixed = block == GrantBlock::OwnerProcedure ? ownerProcedureMissingText(request.owner)
                                                              : QString::fromLatin1(kGrantBlockFailedText);
    outcome.text = fixed + QStringLiteral("\r\n") + e.message();
    return outcome;
  }
  outcome.ok = outcome.text == u"OK";
  return outcome;
}

}  // namespace nuvo::admin
