#include <gtest/gtest.h>

#include "tests/access_sql_check.h"
#include "tests/skips.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  sevrik::test::CheckOdbcStatementsAtExit();
  return sevrik::test::TestProgramStatus(RUN_ALL_TESTS());
}
