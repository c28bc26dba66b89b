// Tests that cannot run on a machine, and the exit status that tells CTest so (both suites
// share them).
#pragma once

#include <string>

namespace sevrik::test {

// A test that cannot run on this machine (a mount without root, a window test started outside
// its script) is skipped on a developer's machine and fails in CI (the environment variable CI
// is "true"), where every test must run. A case that does not apply to a variant of the run
// (one adapter, a system without symbolic links) is skipped with GTEST_SKIP as usual.
#define SEVRIK_CANNOT_RUN_HERE(why)                                                            \
  do {                                                                                         \
    const std::string why_ = (why);                                                            \
    if (::sevrik::test::InCi()) FAIL() << "cannot run here, and CI runs every test: " << why_; \
    ::sevrik::test::CountCannotRun();                                                          \
    GTEST_SKIP() << why_;                                                                      \
  } while (0)
bool InCi();
void CountCannotRun();

// The exit status of a test program, from RUN_ALL_TESTS's: kSkippedStatus when nothing failed
// but some test could not run here, so that CTest (SKIP_RETURN_CODE) shows the program as
// skipped, not as passed. A failure is always a failure.
inline constexpr int kSkippedStatus = 77;
int TestProgramStatus(int run_all_tests);

}  // namespace sevrik::test
