// The test program's entry point. Each run copies the program under a name that selects a Windows
// version in Wine; the suite only starts once Wine is seen to report that version. Whenever the
// library sees the 9x family, its W calls fail as on Windows 98 for the whole run.
#include "support/library_code.h"
#include "support/run_version.h"
#include "support/windows98_stubs.h"
#include "support/wine_stub_guard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <stdexcept>

// A crash fails the run: Wine's debugger, started otherwise, ends the program with exit code 0.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* pointers) {
  std::fprintf(stderr, "\nFAILED: unhandled exception 0x%08lx at %p; the test program stops here\n",
               pointers->ExceptionRecord->ExceptionCode, pointers->ExceptionRecord->ExceptionAddress);
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 5);
  return EXCEPTION_CONTINUE_SEARCH;
}

int main(int argc, char** argv) {
  fwtest::InstallWineStubGuard();
  SetUnhandledExceptionFilter(OnCrash);
  if (!fwtest::CheckRunVersion()) {
    std::fputs("FAILED: no test was run\n", stderr);
    return 2;
  }
  std::optional<fwtest::Windows98Stubs> windows98;
  try {
    windows98.emplace(GetModuleHandleW(nullptr), fwtest::LibraryCodeInProgram());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "FAILED: %s\n", e.what());
    return 4;
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
