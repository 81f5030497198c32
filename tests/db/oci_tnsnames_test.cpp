// The connect aliases of the client's tnsnames.ora, and the logon dialog's list that joins them
// with the embedded databases.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "db/default_driver.h"
#include "db/oci/oci_driver.h"
#include "db/oci/tnsnames.h"
#include "db_fixture.h"
#include "support/temp_env.h"

namespace nuvo::db::test {
namespace {

void writeFile(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

QString tempDir(const char* prefix) { return QString::fromStdString(nuvo::test::makeTempDir(prefix)); }

TEST(TnsnamesTest, NamesAtTheTopLevelAreAliases) {
  struct Case {
    const char* name;
    const char* text;
    QStringList expected;
  };
  const Case cases[] = {
      {"one entry", "prod = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = h)(PORT = 1521)))", {"prod"}},
      {"several names and lines",
       "# test servers\nTEST1, test2.world =\n  (DESCRIPTION =\n    (ADDRESS=(HOST=a))\n    (CONNECT_DATA=(SID=x))\n  )\n"
       "DEV=(DESCRIPTION=(ADDRESS=(HOST=b)))\n",
       {"TEST1", "test2.world", "DEV"}},
      {"comments hide names and parentheses", "#OLD = (DESCRIPTION=(\nNEW = (DESCRIPTION = (HOST = c)) # = (\n", {"NEW"}},
      {"values inside parentheses are not names", "A = (DESCRIPTION = (SERVICE_NAME = B))", {"A"}},
      {"include", "IFILE = /etc/other.ora\nX = (D = 1)", {"IFILE=/etc/other.ora", "X"}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(oci::parseTnsnames(QString::fromUtf8(c.text)), c.expected) << c.name;
}

TEST(TnsnamesTest, FileOfTnsAdminWinsOverOracleHomeAndIncludesAreRead) {
  const QString admin = tempDir("tnsadmin");
  const QString home = tempDir("orahome");
  writeFile(admin + "/tnsnames.ora", "zeta = (D = 1)\nAlpha, prod = (D = 2)\nIFILE = more.ora\n");
  writeFile(admin + "/more.ora", "extra = (D = 3)\nPROD = (D = 4)\nIFILE = tnsnames.ora\n");  // a loop is read once
  writeFile(home + "/network/admin/tnsnames.ora", "HOMEONLY = (D = 1)\n");

  EXPECT_EQ(oci::tnsnamesAliases(admin, home), QStringList({"ALPHA", "EXTRA", "PROD", "ZETA"}));
  EXPECT_EQ(oci::tnsnamesAliases(QString(), home), QStringList({"HOMEONLY"}));
  EXPECT_TRUE(oci::tnsnamesAliases(QString(), QString()).isEmpty());
  EXPECT_TRUE(oci::tnsnamesAliases(tempDir("emptyadmin"), home).isEmpty());  // TNS_ADMIN without the file
}

// The logon dialog's list: embedded databases and, with the client library, the client's aliases;
// upper case, sorted, each once. An alias that names an embedded database logs on to that one.
TEST(TnsnamesTest, DefaultDriverListsEmbeddedDatabasesAndClientAliases) {
  const QString data = QString::fromUtf8(qgetenv("NUVO_SQL_DATA"));
  ASSERT_FALSE(data.isEmpty());
  engine::CreateOptions options;
  options.durable = false;
  engine::Database::create((data + "/Local1").toStdString(), options);
  const QString admin = tempDir("tnsdialog");
  writeFile(admin + "/tnsnames.ora", "prod = (D = 1)\nLOCAL1 = (D = 2)\nAAA.WORLD = (D = 3)\n");
  const QByteArray oldAdmin = qgetenv("TNS_ADMIN"), oldHome = qgetenv("ORACLE_HOME");
  qputenv("TNS_ADMIN", admin.toUtf8());
  qputenv("ORACLE_HOME", QByteArray(NUVO_STANDIN_HOME));
  const QStringList aliases = defaultDriver().aliases();
  Session session;
  session.logOn("SYSTEM", "SYSTEM", "local1");  // the stand-in client cannot resolve it: embedded
  const QString user = session.user();
  qputenv("TNS_ADMIN", oldAdmin);
  qputenv("ORACLE_HOME", oldHome);
  EXPECT_EQ(aliases, QStringList({"AAA.WORLD", "LOCAL1", "PROD"}));
  EXPECT_EQ(user, "SYSTEM");
}

}  // namespace
}  // namespace nuvo::db::test
