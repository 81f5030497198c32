#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/temp_env.h"

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing::InitGoogleTest(&argc, argv);
  nuvo::test::setUpTempEnvironment();
  int rc;
  {
    QApplication app(argc, argv);
    rc = RUN_ALL_TESTS();
  }
  nuvo::test::removeTempEnvironment();
  return rc;
}
