#include <gtest/gtest.h>

#include "tests/skips.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return sevrik::test::TestProgramStatus(RUN_ALL_TESTS());
}
