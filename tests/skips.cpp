#include "tests/skips.h"

#include <cstdio>
#include <cstdlib>

namespace sevrik::test {

namespace {
int cannot_run = 0;
}

bool InCi() {
  const char* ci = std::getenv("CI");
  return ci && (std::string(ci) == "true" || std::string(ci) == "1");
}

void CountCannotRun() { ++cannot_run; }

int TestProgramStatus(int run_all_tests) {
  if (run_all_tests == 0 && cannot_run > 0) {
    std::printf("%d test(s) could not run here: the program counts as skipped\n", cannot_run);
    return kSkippedStatus;
  }
  return run_all_tests;
}

}  // namespace sevrik::test
