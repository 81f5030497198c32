// Runs the built nuvo_sql unattended with a command file against a temporary database, and reads
// what it left with the built nuvo_db.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "support/temp_env.h"

namespace {

class UnattendedProgram : public testing::Test {
 protected:
  void SetUp() override {
    root_ = QString::fromStdString(nuvo::test::makeTempDir("runner_e2e"));
    for (const char* dir : {"home", "data", "work"}) ASSERT_TRUE(QDir(root_).mkpath(dir));
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("NUVO_SQL_HOME", root_ + "/home");
    env_.insert("NUVO_SQL_DATA", root_ + "/data");
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.remove("NUVO_SEED_DIR");
    env_.remove("ORACLE_HOME");
    env_.remove("TNS_ADMIN");
    createDatabase(root_ + "/data", "DEMO");
  }

  QString work() const { return root_ + "/work"; }
  void writeWork(const QString& name, const QByteArray& text) {
    QFile file(work() + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  // Starts nuvo_sql in the work directory with these parameters.
  void startProgram(QProcess& program, const QStringList& parameters) {
    program.setProcessEnvironment(env_);
    program.setWorkingDirectory(work());
    program.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_sql"), parameters);
    ASSERT_TRUE(program.waitForStarted());
  }
  // Makes a seeded database with nuvo_db in a data directory.
  void createDatabase(const QString& dataDirectory, const QString& name) {
    QProcessEnvironment env = env_;
    env.insert("NUVO_SQL_DATA", dataDirectory);
    QProcess create;
    create.setProcessEnvironment(env);
    create.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"create", name});
    ASSERT_TRUE(create.waitForFinished(120000));
    ASSERT_EQ(create.exitCode(), 0) << create.readAllStandardError().toStdString();
  }
  // The rows of a query as KADE, in CSV without the header.
  QStringList rows(const QByteArray& query, const QString& database = "DEMO", const QString& dataDirectory = {}) {
    writeWork("query.sql", query + "\n");
    QProcessEnvironment env = env_;
    if (!dataDirectory.isEmpty()) env.insert("NUVO_SQL_DATA", dataDirectory);
    QProcess nuvoDb;
    nuvoDb.setProcessEnvironment(env);
    nuvoDb.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"sql", database, "KADE/KADE", "-f", work() + "/query.sql", "--csv"});
    EXPECT_TRUE(nuvoDb.waitForFinished(60000));
    QStringList lines = QString::fromUtf8(nuvoDb.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty()) lines.removeFirst();
    return lines;
  }

  QString root_;
  QProcessEnvironment env_;
};

TEST_F(UnattendedProgram, AScriptRunStoresAndRunsTheScriptAndEndsByItself) {
  writeWork("UPG_E2E.sql", "create table kade.e2e_t (id number)\r\n/\r\ninsert into kade.e2e_t values (5)\r\n/\r\n");
  writeWork("RUN.CMD", "CONNECT\r\nSCRIPT upg_e2e " + work().toUtf8() + "\r\n");
  QProcess program;
  startProgram(program, {"@RUN.CMD", "KADE", "KADE", "DEMO"});
  const bool ended = program.waitForFinished(120000);
  if (!ended) program.kill();
  ASSERT_TRUE(ended) << "the unattended run did not end by itself";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(rows("select script_counter || ':' || script_stat || ':' || script_owner from nuvo_util.nuvo_exs "
                 "where script_name = 'UPG_E2E' order by script_counter;"),
            QStringList({"1:X:KADE", "2:X:KADE"}));
  EXPECT_EQ(rows("select sum(id) from kade.e2e_t;"), QStringList({"5"}));
}

// An unattended REFRESH ends the program by itself: with status 0 when its tables were refreshed,
// and with status 1 and the reason on standard error when one failed (here an update the
// destination's check refuses).
TEST_F(UnattendedProgram, ARefreshRunEndsByItselfAndAFailedTableFailsIt) {
  rows("create table kade.rf_src (id number primary key, name varchar2(10));\n"
       "insert into kade.rf_src values (1, 'one');\ninsert into kade.rf_src values (2, 'two');\n"
       "create table kade.rf_ok (id number primary key, name varchar2(10));\n"
       "create table kade.rf_bad (id number primary key, name varchar2(10) check (name <> 'two'));\n"
       "insert into kade.rf_bad values (2, 'old');\ncommit;");
  const struct {
    const char* table;
    int exitCode;
    const char* report;
    const char* rows;
  } cases[] = {{"RF_OK", 0, "", "2"}, {"RF_BAD", 1, "ERROR ON REFRESHING TABLE RF_BAD: ORA-02290", "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    writeWork("ONE.RFS", QByteArray("OWNERS=KADE\r\nTABLES=RF_SRC\r\nOWNERD=KADE\r\nTABLED=") + c.table +
                             "\r\nCOMMIT=TRUE\r\n#\r\n");
    writeWork("RUN.CMD", "CONNECT\r\nREFRESH ONE.RFS\r\n");
    QProcess program;
    startProgram(program, {"@RUN.CMD", "KADE", "KADE", "DEMO"});
    const bool ended = program.waitForFinished(120000);
    if (!ended) program.kill();
    ASSERT_TRUE(ended) << "the unattended run did not end by itself";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.exitCode);
    const QByteArray errors = program.readAllStandardError();
    if (*c.report) EXPECT_TRUE(errors.contains(c.report)) << errors.toStdString();
    else EXPECT_FALSE(errors.contains("REFRESH")) << errors.toStdString();
    EXPECT_EQ(rows(QByteArray("select count(*) from kade.") + c.table + ";"), QStringList({c.rows}));
  }
}

// The same run on a database that is not an embedded one: REMOTE is an alias of the client's
// tnsnames.ora, so the logon dialog offers it; the logon goes through the Oracle driver to the
// stand-in client library under ORACLE_HOME, which serves REMOTE from its own directory.
TEST_F(UnattendedProgram, AScriptRunReachesADatabaseThroughTheOracleClient) {
  const QString remote = root_ + "/remote";
  createDatabase(remote, "REMOTE");
  writeWork("tnsnames.ora", "REMOTE = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = dbhost)(PORT = 1521)))\n");
  env_.insert("TNS_ADMIN", work());
  env_.insert("ORACLE_HOME", NUVO_STANDIN_HOME);
  env_.insert("NUVO_STANDIN_DATA", remote);
  writeWork("UPG_E2E.sql", "create table kade.e2e_t (id number)\r\n/\r\ninsert into kade.e2e_t values (7)\r\n/\r\n");
  writeWork("RUN.CMD", "CONNECT\r\nSCRIPT upg_e2e " + work().toUtf8() + "\r\n");
  QProcess program;
  startProgram(program, {"@RUN.CMD", "KADE", "KADE", "REMOTE"});
  const bool ended = program.waitForFinished(120000);
  if (!ended) program.kill();
  ASSERT_TRUE(ended) << "the unattended run did not end by itself";
  EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  EXPECT_EQ(rows("select sum(id) from kade.e2e_t;", "REMOTE", remote), QStringList({"7"}));
  EXPECT_EQ(rows("select count(*) from nuvo_util.nuvo_exs where script_name = 'UPG_E2E';", "REMOTE", remote),
            QStringList({"2"}));
  // Nothing reached the embedded DEMO.
  EXPECT_TRUE(rows("select count(*) from all_tables where table_name = 'E2E_T';").contains("0"));
}

// COMPARE snapshots KADE's tables, writes the difference report and ends; run again with its own
// snapshot as the reference it finds nothing and removes the older report.
TEST_F(UnattendedProgram, ACompareRunWritesOrRemovesTheReportAndEndsByItself) {
  // The run's line is upper-cased, so files are found whatever the case of their names.
  const auto find = [this](const QString& name) {
    for (const QString& file : QDir(work()).entryList(QDir::Files))
      if (file.compare(name, Qt::CaseInsensitive) == 0) return work() + "/" + file;
    return QString();
  };
  // Paths relative to the working directory: the parameters of a line are short.
  writeWork("REF.sfg", "###TABLE#PR107PAR#\r\nSIFRA107 NUMBER(10) NOT NULL\r\nGONE_COL DATE\r\n###END##\r\n");
  writeWork("RUN.CMD", "CONNECT\r\nCOMPARE ./REF.sfg ./CUR.sfg ./diff.txt\r\n");
  const auto run = [this] {
    QProcess program;
    startProgram(program, {"@RUN.CMD", "KADE", "KADE", "DEMO"});
    const bool ended = program.waitForFinished(120000);
    if (!ended) program.kill();
    EXPECT_TRUE(ended) << "the unattended run did not end by itself";
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
  };
  run();
  const QString report = find("DF12345!.txt");
  ASSERT_FALSE(report.isEmpty());
  QFile reportFile(report);
  ASSERT_TRUE(reportFile.open(QIODevice::ReadOnly));
  const QByteArray text = reportFile.readAll();
  EXPECT_TRUE(text.contains("\r\nTABLE PR107PAR  \r\n      GONE_COL  DOES NOT EXISTS\r\n")) << text.toStdString();
  reportFile.close();
  const QString current = find("CUR.sfg");
  ASSERT_FALSE(current.isEmpty());

  ASSERT_TRUE(QFile::remove(work() + "/REF.sfg"));
  ASSERT_TRUE(QFile::copy(current, work() + "/REF.sfg"));
  run();
  EXPECT_TRUE(find("DF12345!.txt").isEmpty()) << "a stale report of differences is left";
}

TEST_F(UnattendedProgram, AnActionWithoutItsWindowKeepsTheProgramOpen) {
  writeWork("RUN.CMD", "CONNECT\r\nCHECK_TABLES KADE\r\n");
  QProcess program;
  program.setProcessChannelMode(QProcess::MergedChannels);
  startProgram(program, {"@RUN.CMD", "KADE", "KADE", "DEMO"});
  QByteArray errors;
  while (!errors.contains("CHECK_TABLES skipped") && program.waitForReadyRead(60000)) errors += program.readAll();
  EXPECT_TRUE(errors.contains("Action CHECK_TABLES skipped")) << errors.toStdString();
  // Well past the closing timer of a complete run, the program is still there for the user.
  EXPECT_FALSE(program.waitForFinished(3000));
  EXPECT_EQ(program.state(), QProcess::Running);
  program.kill();
  program.waitForFinished();
}

// An unattended SCRIPT that cannot run, or stops on a failing statement, says why on standard error
// while the program waits, and leaves the program open as a failed run: its file is missing, the
// script is stored with rows a killed run left not executed, or its second statement fails.
TEST_F(UnattendedProgram, AScriptThatCannotRunOrStopsIsReportedOnStandardError) {
  writeWork("UPG_HALF.sql", "insert into kade.isec_users (user__id, username) values (96, 'H')\r\n/\r\n");
  writeWork("UPG_STOP.sql", "create table kade.stop_t (id number)\r\n/\r\ninsert into kade.no_such_t values (1)\r\n/\r\n"
                            "insert into kade.stop_t values (1)\r\n/\r\n");
  writeWork("half.sql",
            "insert into nuvo_util.nuvo_exs (script_name, script_counter, script_stat, script_cont, script_owner) "
            "values ('UPG_HALF', 1, 'N', 'insert into kade.isec_users (user__id, username) values (96, ''H'')', "
            "'KADE');\ncommit;\n");
  QProcess store;
  store.setProcessEnvironment(env_);
  store.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"sql", "DEMO", "SYS/SYS", "--sysdba", "-f", work() + "/half.sql"});
  ASSERT_TRUE(store.waitForFinished(60000));
  ASSERT_EQ(store.exitCode(), 0) << store.readAllStandardError().toStdString();
  const struct {
    const char* script;
    const char* report;
  } cases[] = {{"UPG_NONE", "SCRIPT FILE CANNOT BE READ: "},
               {"UPG_HALF", "SCRIPT UPG_HALF IS STORED ALREADY AND 1 OF ITS STATEMENTS ARE NOT EXECUTED"},
               {"UPG_STOP", "SCRIPT UPG_STOP STOPPED AT STATEMENT 2: ORA-00942"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    writeWork("RUN.CMD", QByteArray("CONNECT\r\nSCRIPT ") + c.script + " " + work().toUtf8() + "\r\n");
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    startProgram(program, {"@RUN.CMD", "KADE", "KADE", "DEMO"});
    QByteArray output;
    while (!output.contains(c.report) && program.waitForReadyRead(60000)) output += program.readAll();
    EXPECT_TRUE(output.contains(c.report)) << output.toStdString();
    // Well past the closing timer of a complete run, the program is still there for the user.
    EXPECT_FALSE(program.waitForFinished(3000));
    program.kill();
    program.waitForFinished();
  }
  EXPECT_EQ(rows("select script_stat from nuvo_util.nuvo_exs where script_name = 'UPG_HALF';"), QStringList({"N"}));
  // The stopped script ran up to its failing statement and no further.
  EXPECT_EQ(rows("select script_counter || script_stat from nuvo_util.nuvo_exs where script_name = 'UPG_STOP' "
                 "order by script_counter;"),
            QStringList({"1X", "2E", "3N"}));
}

// A run from the command line with a wrong password says on standard error why the logon window
// waits, and runs nothing.
TEST_F(UnattendedProgram, AWrongPasswordIsReportedWhileTheLogonWindowWaits) {
  writeWork("UPG_PW.sql", "create table kade.pw_t (id number)\r\n/\r\n");
  writeWork("RUN.CMD", "CONNECT\r\nSCRIPT upg_pw " + work().toUtf8() + "\r\n");
  QProcess program;
  program.setProcessChannelMode(QProcess::MergedChannels);
  startProgram(program, {"@RUN.CMD", "KADE", "WRONG", "DEMO"});
  const QByteArray report = "LOGON OF KADE TO DEMO FAILED: ORA-01017";
  QByteArray output;
  while (!output.contains(report) && program.waitForReadyRead(60000)) output += program.readAll();
  EXPECT_TRUE(output.contains(report)) << output.toStdString();
  EXPECT_EQ(program.state(), QProcess::Running);
  program.kill();
  program.waitForFinished();
  EXPECT_EQ(rows("select count(*) from nuvo_util.nuvo_exs where script_name = 'UPG_PW';"), QStringList({"0"}));
}

}  // namespace
