// Kills nuvo_db and nuvo_sql at random moments of their work and checks what the database kept:
// a commit over two schemas, a DDL statement and a script statement with its status row are each
// whole or absent, and every table the dictionary lists is usable afterwards.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <random>

#include "support/temp_env.h"

namespace {

constexpr int kKills = 5;

class KilledMidWork : public testing::Test {
 protected:
  void SetUp() override {
    root_ = QString::fromStdString(nuvo::test::makeTempDir("kill_test"));
    for (const char* dir : {"home", "data", "work"}) ASSERT_TRUE(QDir(root_).mkpath(dir));
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("NUVO_SQL_HOME", root_ + "/home");
    env_.insert("NUVO_SQL_DATA", root_ + "/data");
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.remove("NUVO_SEED_DIR");
    std::random_device device;
    seed_ = device();
    random_.seed(seed_);
    QProcess create;
    create.setProcessEnvironment(env_);
    create.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"create", "DEMO"});
    ASSERT_TRUE(create.waitForFinished(120000));
    ASSERT_EQ(create.exitCode(), 0) << create.readAllStandardError().toStdString();
  }

  QString work() const { return root_ + "/work"; }

  void writeWork(const QString& name, const QByteArray& text) {
    QFile file(work() + "/" + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  // Runs a script to its end as `logon`; returns its standard error.
  QString runSql(const QString& logon, const QByteArray& script) {
    writeWork("check.sql", script);
    QProcess p;
    p.setProcessEnvironment(env_);
    p.start(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"sql", "DEMO", logon, "-f", work() + "/check.sql", "--csv"});
    EXPECT_TRUE(p.waitForFinished(120000));
    lastOut_ = QString::fromUtf8(p.readAllStandardOutput());
    return QString::fromUtf8(p.readAllStandardError());
  }

  // The rows of a query, in CSV without the header.
  QStringList rows(const QByteArray& query) {
    QString errors = runSql("SYSTEM/SYSTEM", query + "\n");
    EXPECT_EQ(errors.toStdString(), "") << query.toStdString();
    QStringList lines = lastOut_.split('\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty()) lines.removeFirst();
    return lines;
  }

  // Starts a program and kills it (SIGKILL) after a random time within the window, unless it ended.
  void runAndKill(const QString& program, const QStringList& args, int minMs, int maxMs) {
    QProcess p;
    p.setProcessEnvironment(env_);
    p.setWorkingDirectory(work());
    p.start(program, args);
    ASSERT_TRUE(p.waitForStarted());
    int delay = std::uniform_int_distribution<int>(minMs, maxMs)(random_);
    if (!p.waitForFinished(delay)) {
      p.kill();
      p.waitForFinished();
    }
  }

  QString root_;
  QProcessEnvironment env_;
  QString lastOut_;
  unsigned seed_ = 0;
  std::mt19937 random_;
};

TEST_F(KilledMidWork, ACommitOverTwoSchemasIsWholeOrAbsent) {
  ASSERT_EQ(runSql("SYSTEM/SYSTEM", "create table kade.kill_a (id number);\n"
                                    "create table nuvo_util.kill_b (id number);\n")
                .toStdString(),
            "");
  int committed = 0;
  for (int round = 0; round < kKills; ++round) {
    QByteArray script;
    for (int i = 0; i < 3000; ++i) {
      QByteArray id = QByteArray::number(round * 10000 + i);
      script += "insert into kade.kill_a values (" + id + ");\ninsert into nuvo_util.kill_b values (" + id + ");\ncommit;\n";
    }
    writeWork("pairs.sql", script);
    runAndKill(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"sql", "DEMO", "SYSTEM/SYSTEM", "-f", work() + "/pairs.sql"}, 300,
               1500);
    EXPECT_EQ(rows("select count(*) from kade.kill_a a where not exists "
                   "(select 1 from nuvo_util.kill_b b where b.id = a.id);")
                  .join(',')
                  .toStdString(),
              "0")
        << "rows of KADE without their NUVO_UTIL half, round " << round << ", seed " << seed_;
    EXPECT_EQ(rows("select count(*) from nuvo_util.kill_b b where not exists "
                   "(select 1 from kade.kill_a a where a.id = b.id);")
                  .join(',')
                  .toStdString(),
              "0")
        << "rows of NUVO_UTIL without their KADE half, round " << round << ", seed " << seed_;
    committed = rows("select count(*) from kade.kill_a;").value(0).toInt();
  }
  EXPECT_GT(committed, 0) << "no pair was committed before the kills";
}

TEST_F(KilledMidWork, DdlLeavesDictionaryAndTablesAgreeing) {
  constexpr int kTables = 40;
  for (int round = 0; round < kKills; ++round) {
    QByteArray script;
    for (int i = 0; i < kTables; ++i) {
      QByteArray t = "kade.kill_d" + QByteArray::number(round) + "_" + QByteArray::number(i);
      script += "create table " + t + " (id number primary key, v varchar2(10));\n";
      script += "insert into " + t + " values (1, 'x');\ncommit;\n";
      script += "alter table " + t + " add (w number);\n";
      script += "create index " + t + "_i on " + t + " (v);\n";
      script += "alter table " + t + " modify (v varchar2(20));\n";
      if (i % 2) script += "drop table " + t + ";\n";
    }
    writeWork("ddl.sql", script);
    runAndKill(QStringLiteral(NUVO_BIN_DIR "/nuvo_db"), {"sql", "DEMO", "SYSTEM/SYSTEM", "-f", work() + "/ddl.sql"}, 200,
               2500);
    // Every table the dictionary lists takes queries, DML and DDL; every name it does not list can be
    // created (no table is left without its dictionary rows).
    QStringList listed = rows("select lower(table_name) from dba_tables where owner = 'KADE' and table_name like 'KILL\\_D" +
                              QByteArray::number(round) + "\\_%' escape '\\';");
    QByteArray check;
    for (int i = 0; i < kTables; ++i) {
      QByteArray name = "kill_d" + QByteArray::number(round) + "_" + QByteArray::number(i);
      QByteArray t = "kade." + name;
      if (listed.contains(QString::fromUtf8(name))) {
        check += "select count(*) from " + t + ";\ninsert into " + t + " (id, v) values (2, 'y');\ncommit;\n";
        check += "alter table " + t + " add (z number);\ndrop table " + t + ";\n";
      } else {
        check += "create table " + t + " (id number);\ndrop table " + t + ";\n";
      }
    }
    EXPECT_EQ(runSql("SYSTEM/SYSTEM", check).toStdString(), "") << "round " << round << ", seed " << seed_;
  }
}

TEST_F(KilledMidWork, AScriptStatementIsDoneExactlyWhenItIsMarkedDone) {
  constexpr int kStatements = 400;
  ASSERT_EQ(runSql("KADE/KADE", "create table kill_s (id number);\n").toStdString(), "");
  for (int round = 0; round < kKills; ++round) {
    QByteArray name = "KILL_S" + QByteArray::number(round);
    QByteArray script;
    for (int i = 1; i <= kStatements; ++i)
      script += "insert into kade.kill_s values (" + QByteArray::number(round * 1000 + i) + ")\r\n/\r\n";
    writeWork(QString::fromUtf8(name) + ".sql", script);
    writeWork("RUN.CMD", "CONNECT\r\nSCRIPT " + name.toLower() + " " + work().toUtf8() + "\r\n");
    // The program starts in about half a second and runs a statement in a few milliseconds.
    runAndKill(QStringLiteral(NUVO_BIN_DIR "/nuvo_sql"), {"@RUN.CMD", "KADE", "KADE", "DEMO"}, 300, 2600);
    QStringList done = rows("select script_counter from nuvo_util.nuvo_exs where script_name = '" + name +
                            "' and script_stat = 'X' order by 1;");
    QStringList inserted = rows("select id - " + QByteArray::number(round * 1000) + " from kade.kill_s where id between " +
                                QByteArray::number(round * 1000 + 1) + " and " + QByteArray::number(round * 1000 + 999) +
                                " order by 1;");
    QSet<QString> marked(done.begin(), done.end()), worked(inserted.begin(), inserted.end());
    EXPECT_EQ(QStringList((worked - marked).values()).join(',').toStdString(), "")
        << "statements done but not marked X, round " << round << ", seed " << seed_;
    EXPECT_EQ(QStringList((marked - worked).values()).join(',').toStdString(), "")
        << "statements marked X but not done, round " << round << ", seed " << seed_;
  }
}

}  // namespace
