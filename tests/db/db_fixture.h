#pragma once
// A fresh embedded database per test with a logged-on SYSTEM session.

#include <gtest/gtest.h>

#include <QString>
#include <functional>

#include "db/error.h"
#include "db/oci/oci_driver.h"
#include "db/query.h"
#include "db/session.h"
#include "engine/engine.h"
#include "support/temp_env.h"

namespace nuvo::db::test {

inline QString createDatabase(const std::string& prefix = "db") {
  const std::string dir = nuvo::test::makeTempDir(prefix) + "/DB";
  engine::CreateOptions options;
  options.durable = false;
  engine::Database::create(dir, options);
  return QString::fromStdString(dir);
}

// The driver of the suite's sessions: the default driver, or with NUVO_TEST_DRIVER=oci the Oracle
// driver over the stand-in client library (ctest runs the query and dataset suites both ways).
inline Driver* testDriver() {
#ifdef NUVO_STANDIN_HOME
  if (qEnvironmentVariable("NUVO_TEST_DRIVER") == QLatin1String("oci")) {
    static OciDriver driver(oci::ClientLocation{QString(), QStringLiteral(NUVO_STANDIN_HOME), false});
    return &driver;
  }
#endif
  return nullptr;
}

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = createDatabase();
    session.logOn("SYSTEM", "SYSTEM", directory);
  }

  // Runs statements one by one on the test's session.
  void exec(std::initializer_list<const char*> statements) {
    Query q(&session);
    for (const char* sql : statements) {
      q.setSql(QString::fromUtf8(sql));
      q.execute();
    }
  }

  QString directory;
  Session session{testDriver()};
};

// The error a call throws; fails the test when it throws none.
inline Error errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no error thrown";
  return Error(0, QString());
}

}  // namespace nuvo::db::test
