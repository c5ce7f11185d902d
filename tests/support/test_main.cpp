// The test program's entry point. Each run copies the program under a name that selects a Windows
// version in Wine; the suite only starts once Wine is seen to report that version.
#include "support/run_version.h"
#include "support/wine_stub_guard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  fwtest::InstallWineStubGuard();
  std::string line;
  const bool versionMatches = fwtest::CheckRunVersion(&line);
  std::fputs(line.c_str(), versionMatches ? stdout : stderr);
  if (!versionMatches) {
    std::fputs("FAILED: no test was run\n", stderr);
    return 2;
  }
  std::fflush(stdout);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // A skipped test proves nothing: the run does not pass with one.
  const int skipped = ::testing::UnitTest::GetInstance()->skipped_test_count();
  if (result == 0 && skipped != 0) {
    std::fprintf(stderr, "FAILED: %d test(s) skipped; every test must run under every version\n", skipped);
    return 3;
  }
  return result;
}
