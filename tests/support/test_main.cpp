#include <gtest/gtest.h>

#include "support/temp_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  nuvo::test::setUpTempEnvironment();
  int rc = RUN_ALL_TESTS();
  nuvo::test::removeTempEnvironment();
  return rc;
}
