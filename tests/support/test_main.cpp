// The test program's entry point: the suite starts once Wine reports the version the program's name
// selects, with the Windows 9x stubs for the whole run. A crash, or a call to a function Wine has not
// implemented, ends the program as a failure (Wine's debugger would end it with exit code 0).
#include "support/program_folder.h"
#include "support/windows9x_stubs.h"

#include <gtest/gtest.h>
#include <lm.h>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

constexpr int kCrashExitCode = 5;
constexpr int kWineStubExitCode = 70;

// Ends the message with the running test and ends the program.
LONG StopHere(int exitCode) {
  if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    std::fprintf(stderr, " in test %s.%s", test->test_suite_name(), test->name());
  }
  std::fputs("; the test program stops here\n", stderr);
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), exitCode);
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* pointers) {
  std::fprintf(stderr, "\nFAILED: unhandled exception 0x%08lx at %p", pointers->ExceptionRecord->ExceptionCode,
               pointers->ExceptionRecord->ExceptionAddress);
  return StopHere(kCrashExitCode);
}

// Wine raises 0x80000100 for an unimplemented function; parameter 0 names the DLL and parameter 1
// the function (or its ordinal, when below 0x10000).
LONG CALLBACK OnWineStub(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->ExceptionCode != 0x80000100 || record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const ULONG_PTR function = record->ExceptionInformation[1];
  const std::string name = function < 0x10000 ? std::to_string(function) : reinterpret_cast<const char*>(function);
  std::fprintf(stderr, "\nFAILED: call to unimplemented function %s.%s (Wine stub)",
               reinterpret_cast<const char*>(record->ExceptionInformation[0]), name.c_str());
  return StopHere(kWineStubExitCode);
}

// NetUserSetInfo is one of Wine's unimplemented stubs.
TEST(WineStubGuardDeathTest, AnUnimplementedFunctionEndsTheProgramNamingIt) {
  USER_INFO_1003 password = {const_cast<LPWSTR>(L"fwtest-password")};
  EXPECT_EXIT(NetUserSetInfo(nullptr, L"fwtest-nobody", 1003, reinterpret_cast<LPBYTE>(&password), nullptr),
              ::testing::ExitedWithCode(kWineStubExitCode),
              "FAILED: call to unimplemented function netapi32\\.dll\\.NetUserSetInfo \\(Wine stub\\) in test "
              "WineStubGuardDeathTest\\.");
}

// Prints what GetVersionExA reports; throws std::runtime_error when it is not the version the
// program's name asks for.
void CheckRunVersion() {
  const std::optional<fwtest::RunVersion> expected = fwtest::RunVersionOfProgram(fwtest::ProgramPath());
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) throw std::runtime_error("GetVersionExA failed, error " + std::to_string(GetLastError()));
  std::printf("Windows reported: platform %lu, version %lu.%lu build %lu, CSD \"%s\"\n", info.dwPlatformId,
              info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber & 0xFFFF, info.szCSDVersion);
  if (!expected) return;  // no version in the program name (run by hand): nothing to check
  if (info.dwPlatformId != expected->platformId || info.dwMajorVersion != expected->major ||
      info.dwMinorVersion != expected->minor) {
    throw std::runtime_error("\"" + std::string(expected->name) + "\" must report platform " +
                             std::to_string(expected->platformId) + ", version " + std::to_string(expected->major) +
                             "." + std::to_string(expected->minor));
  }
}

}  // namespace

int main(int argc, char** argv) {
  AddVectoredExceptionHandler(1, OnWineStub);
  SetUnhandledExceptionFilter(OnCrash);
  std::optional<fwtest::Windows9xStubs> windows9x;
  try {
    CheckRunVersion();
    windows9x.emplace(GetModuleHandleW(nullptr));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "FAILED: %s; no test was run\n", e.what());
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
