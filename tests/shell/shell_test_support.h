#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <string>

#include "support/temp_env.h"

namespace nuvo::test {

// Points NUVO_SQL_HOME (MONITOR.INI, vecInstalacij, ...) at a directory of the test's own and
// restores it afterwards.
class HomeDirFixture : public testing::Test {
 protected:
  void SetUp() override {
    previousHome_ = qgetenv("NUVO_SQL_HOME");
    home_ = makeTempDir("home");
    qputenv("NUVO_SQL_HOME", QByteArray::fromStdString(home_));
  }
  void TearDown() override { qputenv("NUVO_SQL_HOME", previousHome_); }

  const std::string& home() const { return home_; }

 private:
  QByteArray previousHome_;
  std::string home_;
};

}  // namespace nuvo::test
