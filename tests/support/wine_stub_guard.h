// Turns a call to a function that Wine has not implemented into a test failure that names the
// function, and ends the program with kWineStubExitCode. Without it Wine starts its debugger.
//
//   int main(...) { fwtest::InstallWineStubGuard(); ... }
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace fwtest {

inline constexpr unsigned kWineStubExitCode = 70;

// Wine raises this for an unimplemented function; parameter 0 names the DLL and parameter 1 the
// function (or its ordinal, when below 0x10000).
inline LONG CALLBACK OnWineStub(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->ExceptionCode != 0x80000100 || record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const auto* dll = reinterpret_cast<const char*>(record->ExceptionInformation[0]);
  const ULONG_PTR function = record->ExceptionInformation[1];
  if (function < 0x10000) {
    std::fprintf(stderr, "\nFAILED: call to unimplemented function %s.%lu", dll, static_cast<unsigned long>(function));
  } else {
    std::fprintf(stderr, "\nFAILED: call to unimplemented function %s.%s", dll, reinterpret_cast<const char*>(function));
  }
  if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    std::fprintf(stderr, " in test %s.%s", test->test_suite_name(), test->name());
  }
  std::fprintf(stderr, " (Wine stub); the test program stops here\n");
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), kWineStubExitCode);
  return EXCEPTION_CONTINUE_SEARCH;
}

inline void InstallWineStubGuard() { AddVectoredExceptionHandler(1, OnWineStub); }

}  // namespace fwtest
