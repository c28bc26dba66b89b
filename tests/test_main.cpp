#include <gtest/gtest.h>

#include "tests/access_sql_check.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  sevrik::test::CheckOdbcStatementsAtExit();
  return RUN_ALL_TESTS();
}
