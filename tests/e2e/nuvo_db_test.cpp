// Runs the built nuvo_db against databases in a temporary data directory.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "support/temp_env.h"

namespace {

struct Outcome {
  int status = -1;
  QString out, err;
};

class NuvoDb : public testing::Test {
 protected:
  void SetUp() override {
    dataDir_ = QString::fromStdString(nuvo::test::makeTempDir("nuvo_db_data"));
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("NUVO_SQL_DATA", dataDir_);
    env_.insert("NUVO_SEED_DIR", QString::fromStdString(nuvo::test::makeTempDir("nuvo_db_seed")));
  }

  Outcome nuvoDb(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.setProcessEnvironment(env_);
    process.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), args);
    EXPECT_TRUE(process.waitForStarted()) << "nuvo_db did not start";
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000)) << "nuvo_db did not finish";
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
  }

  // Runs a script through `nuvo_db sql NAME LOGON -f FILE --csv`.
  Outcome sqlFile(const QString& logon, const QByteArray& script, const QStringList& extra = {}) {
    QString path = QString::fromStdString(nuvo::test::makeTempDir("nuvo_db_script")) + "/script.sql";
    writeFile(path, script);
    return nuvoDb(QStringList{"sql", "DEMO", logon, "-f", path, "--csv"} + extra);
  }

  void writeSeed(const QString& name, const QByteArray& text) { writeFile(env_.value("NUVO_SEED_DIR") + "/" + name, text); }

  static void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  void createDemo() {
    Outcome created = nuvoDb({"create", "DEMO"});
    ASSERT_EQ(created.status, 0) << created.err.toStdString();
  }

  QString dataDir_;
  QProcessEnvironment env_;
};

TEST_F(NuvoDb, CreatesListsAndDropsDatabases) {
  EXPECT_EQ(nuvoDb({"list"}).out, "");
  createDemo();
  EXPECT_TRUE(QDir(dataDir_ + "/DEMO").exists());
  ASSERT_EQ(nuvoDb({"create", "OTHER"}).status, 0);
  Outcome listed = nuvoDb({"list"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, "DEMO\nOTHER\n");

  Outcome again = nuvoDb({"create", "DEMO"});
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(again.err.contains("already exists")) << again.err.toStdString();

  EXPECT_EQ(nuvoDb({"drop", "OTHER"}).status, 0);
  EXPECT_EQ(nuvoDb({"list"}).out, "DEMO\n");
  Outcome missing = nuvoDb({"drop", "OTHER"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.contains("no database OTHER")) << missing.err.toStdString();
}

TEST_F(NuvoDb, RefusesBadArgumentsWithUsage) {
  const QStringList cases[] = {
      {},
      {"frobnicate"},
      {"create"},
      {"create", "../escape"},
      {"create", "DEMO", "--banner-version"},
      {"drop"},
      {"list", "extra"},
      {"sql", "DEMO"},
      {"sql", "DEMO", "kade"},
      {"sql", "DEMO", "kade/kade", "--verbose"},
  };
  for (const auto& args : cases) {
    Outcome run = nuvoDb(args);
    EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains("usage:")) << args.join(' ').toStdString();
  }
  EXPECT_FALSE(QDir(dataDir_ + "/../escape").exists());
}

TEST_F(NuvoDb, CreatesTheApplicationUsersWithTheirNamesAsPasswords) {
  createDemo();
  for (const char* user : {"KADE", "ZOZURO", "NUVO_UTIL"}) {
    QString logon = QString("%1/%1").arg(QString(user).toLower());
    Outcome run = sqlFile(logon, "SELECT USER AS u FROM dual;\nCREATE TABLE t (a NUMBER);\n");
    EXPECT_EQ(run.status, 0) << user << ": " << run.err.toStdString();
    EXPECT_EQ(run.out, QString("U\n%1\n\n").arg(user));
  }
  Outcome sys = sqlFile("sys/sys", "SELECT USER AS u FROM dual;\n", {"--sysdba"});
  EXPECT_EQ(sys.out, "U\nSYS\n\n");
  Outcome system = sqlFile("SYSTEM/SYSTEM", "SELECT USER AS u FROM dual;\n");
  EXPECT_EQ(system.out, "U\nSYSTEM\n\n");
}

TEST_F(NuvoDb, RefusesAWrongLogonAndAMissingDatabase) {
  createDemo();
  Outcome wrong = sqlFile("kade/wrong", "SELECT 1 AS a FROM dual;\n");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_TRUE(wrong.err.contains("ORA-01017: invalid username/password; logon denied")) << wrong.err.toStdString();
  EXPECT_EQ(wrong.out, "");

  Outcome missing = nuvoDb({"sql", "NOPE", "kade/kade"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.contains("no database NOPE")) << missing.err.toStdString();

  Outcome noFile = nuvoDb({"sql", "DEMO", "kade/kade", "-f", dataDir_ + "/absent.sql"});
  EXPECT_EQ(noFile.status, 1);
  EXPECT_TRUE(noFile.err.contains("cannot read")) << noFile.err.toStdString();
}

TEST_F(NuvoDb, PrintsQueriesAsCsvAndKeepsCommittedRows) {
  createDemo();
  Outcome first = sqlFile("kade/kade",
                      "CREATE TABLE notes (id NUMBER PRIMARY KEY, text VARCHAR2(40), amount NUMBER);\n"
                      "INSERT INTO notes VALUES (1, 'plain', 0.5);\n"
                      "INSERT INTO notes VALUES (2, 'a, b', -1.25);\n"
                      "INSERT INTO notes\n  VALUES (3, 'say \"hi\"', NULL)\n/\n"
                      "INSERT INTO notes VALUES (4, '', 100);\n"
                      "SELECT id, text, amount FROM notes ORDER BY id;\n");
  EXPECT_EQ(first.status, 0) << first.err.toStdString();
  const QString rows = "ID,TEXT,AMOUNT\n1,plain,.5\n2,\"a, b\",-1.25\n3,\"say \"\"hi\"\"\",\n4,,100\n\n";
  EXPECT_EQ(first.out, rows);
  // The rows of the first run were committed when it ended.
  EXPECT_EQ(sqlFile("kade/kade", "SELECT id, text, amount FROM notes ORDER BY id;\n").out, rows);
}

TEST_F(NuvoDb, ReadsWindows1250AndUtf8ScriptsWithAnyLineEnds) {
  createDemo();
  // "ČŠŽ čšž" in Windows-1250 is not valid UTF-8; in UTF-8 it must be read as it stands.
  const QByteArray windows1250 = "\xC8\x8A\x8E \xE8\x9A\x9E";
  const QByteArray utf8 = QString::fromUtf8("ČŠŽ čšž").toUtf8();
  const struct {
    const char* name;
    QByteArray script;
  } cases[] = {
      {"Windows-1250, CR LF", "SELECT '" + windows1250 + "' AS t, LENGTH('" + windows1250 + "') AS n FROM dual;\r\n"},
      {"UTF-8", "SELECT '" + utf8 + "' AS t, LENGTH('" + utf8 + "') AS n FROM dual;\n"},
      {"UTF-8 with a byte order mark, CR LF", "\xEF\xBB\xBFSELECT '" + utf8 + "' AS t, LENGTH('" + utf8 + "') AS n FROM dual;\r\n"},
  };
  for (const auto& c : cases) {
    Outcome run = sqlFile("kade/kade", c.script);
    EXPECT_EQ(run.status, 0) << c.name << ": " << run.err.toStdString();
    EXPECT_EQ(run.out, QString::fromUtf8("T,N\nČŠŽ čšž,7\n\n")) << c.name;
  }
}

TEST_F(NuvoDb, PrintsAlignedTablesAndFeedbackWithoutCsv) {
  createDemo();
  Outcome run = nuvoDb({"sql", "DEMO", "kade/kade"},
                       "CREATE TABLE t (id NUMBER, name VARCHAR2(20));\n"
                       "INSERT INTO t VALUES (1, 'first');\n"
                       "INSERT INTO t SELECT id + 1, NULL FROM t;\n"
                       "UPDATE t SET name = 'a much longer name' WHERE id = 2;\n"
                       "SELECT id, name FROM t ORDER BY id;\n"
                       "DELETE FROM t;\n");
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out,
            "Done.\n\n"
            "1 row inserted.\n\n"
            "1 row inserted.\n\n"
            "1 row updated.\n\n"
            "ID NAME\n"
            "-- ------------------\n"
            "1  first\n"
            "2  a much longer name\n"
            "\n2 rows selected.\n\n"
            "2 rows deleted.\n\n");
}

TEST_F(NuvoDb, PrintsDbmsOutputAfterEachStatement) {
  createDemo();
  Outcome run = sqlFile("kade/kade",
                        "BEGIN\n  DBMS_OUTPUT.PUT_LINE('one');\n  DBMS_OUTPUT.PUT_LINE('two');\nEND;\n/\n"
                        "SELECT 'row' AS r FROM dual;\n");
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "one\ntwo\nR\nrow\n\n");
}

TEST_F(NuvoDb, GoesOnAfterAnErrorAndExitsWithOne) {
  createDemo();
  // The "/" after a statement ended by ";" sends nothing more.
  Outcome run = sqlFile("kade/kade", "SELECT * FROM nosuch;\nSELECT 'after' AS w FROM dual;\n/\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "SELECT * FROM nosuch\n              *\nERROR at line 1:\nORA-00942: table or view does not exist\n");
  EXPECT_EQ(run.out, "W\nafter\n\n");
}

TEST_F(NuvoDb, PrintsEveryLineOfABlocksErrorAndNoRowsOfAFailedQuery) {
  createDemo();
  Outcome run = sqlFile("kade/kade",
                        "CREATE TABLE v (s VARCHAR2(5));\n"
                        "INSERT INTO v VALUES ('1');\nINSERT INTO v VALUES ('x');\nCOMMIT;\n"
                        "SELECT TO_NUMBER(s) AS n FROM v;\n"
                        "BEGIN\n  nosuch_proc;\nEND;\n/\n");
  EXPECT_EQ(run.status, 1);
  // The query fails at its second row: neither its header nor its first row is printed.
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "ORA-01722: invalid number\n"
            "ERROR at line 1:\n"
            "ORA-06550: line 2, column 3:\n"
            "PLS-00201: identifier 'NOSUCH_PROC' must be declared\n"
            "ORA-06550: line 2, column 3:\n"
            "PL/SQL: Statement ignored\n");
}

TEST_F(NuvoDb, ExecRunsOneCallAsABlock) {
  createDemo();
  Outcome run = sqlFile("kade/kade",
                        "CREATE OR REPLACE PROCEDURE say(p VARCHAR2) IS BEGIN DBMS_OUTPUT.PUT_LINE('said ' || p); END;\n/\n"
                        "exec say('hello')\n"
                        "EXECUTE say('again');\n");
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "said hello\nsaid again\n");
}

TEST_F(NuvoDb, ReadsStandardInputWithoutAPrompt) {
  createDemo();
  Outcome run = nuvoDb({"sql", "DEMO", "zozuro/zozuro", "--csv"}, "SELECT 'in' AS w FROM dual;\nexit\nSELECT 'never' AS w FROM dual;\n");
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "W\nin\n\n");
}

TEST_F(NuvoDb, SetsTheBannerVersion) {
  ASSERT_EQ(nuvoDb({"create", "DEMO", "--banner-version", "12.1.0.2.0"}).status, 0);
  Outcome run = sqlFile("system/system", "SELECT COUNT(*) AS n FROM v$version WHERE banner LIKE '%12.1.0.2.0%';\n");
  EXPECT_EQ(run.out, "N\n1\n\n") << run.err.toStdString();
}

TEST_F(NuvoDb, RunsTheSeedScriptsInFileNameOrderAsSys) {
  writeSeed("10_fill.sql", "INSERT INTO kade.seeded VALUES (USER);\n");
  writeSeed("02_make.sql", "CREATE TABLE kade.seeded (who VARCHAR2(30));\n");
  writeSeed("notes.txt", "not a script;\n");
  createDemo();
  Outcome run = sqlFile("kade/kade", "SELECT who FROM seeded;\n");
  EXPECT_EQ(run.out, "WHO\nSYS\n\n") << run.err.toStdString();
}

TEST_F(NuvoDb, StopsAtAFailingSeedScriptAndLeavesNoDatabase) {
  writeSeed("01_good.sql", "CREATE TABLE kade.t (a NUMBER);\n");
  writeSeed("02_bad.sql", "\nINSERT INTO kade.nosuch VALUES (1);\nCREATE TABLE kade.never (a NUMBER);\n");
  Outcome run = nuvoDb({"create", "DEMO"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("02_bad.sql:2: ORA-00942: table or view does not exist")) << run.err.toStdString();
  EXPECT_EQ(nuvoDb({"list"}).out, "");
}

}  // namespace
