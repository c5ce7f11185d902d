#include "bridge/platform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/program_folder.h"
#include "support/run_version.h"

namespace fw {
namespace {

struct PlatformAnswers {
  bool windows9x, windowsNT, windows2000, windowsME;
};

bool operator==(const PlatformAnswers& a, const PlatformAnswers& b) {
  return a.windows9x == b.windows9x && a.windowsNT == b.windowsNT && a.windows2000 == b.windows2000 &&
         a.windowsME == b.windowsME;
}

std::ostream& operator<<(std::ostream& out, const PlatformAnswers& a) {
  return out << "{9x " << a.windows9x << ", NT " << a.windowsNT << ", 2000 " << a.windows2000 << ", ME "
             << a.windowsME << "}";
}

PlatformAnswers Ask() { return {IsWindows9x(), IsWindowsNT(), IsWindows2000(), IsWindowsME()}; }

// What each emulated version must answer; the run names the version, so this does not come from
// the function under test.
PlatformAnswers Expected(const std::string& version) {
  if (version == "win98") return {true, false, false, false};
  if (version == "winme") return {true, false, false, true};
  if (version == "win2k") return {false, true, true, false};
  return {false, true, false, false};  // nt40, winxp, default (7)
}

HMODULE Self() { return GetModuleHandleW(nullptr); }

TEST(Platform, AnswersWhatTheEmulatedVersionMust) {
  const auto version = fwtest::RunVersionOfProgram(fwtest::ProgramPath());
  ASSERT_TRUE(version) << "run the suite under a versioned program name (see the README)";
  EXPECT_EQ(Ask(), Expected(version->name)) << "version " << version->name;
}

TEST(Platform, FallsBackToTheOlderStructureWhenTheExtendedOneIsRejected) {
  const PlatformAnswers real = Ask();
  auto only148 = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(GetVersionExA),
                                       [](auto original, LPOSVERSIONINFOA info) -> BOOL {
                                         if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
                                           SetLastError(ERROR_INVALID_PARAMETER);
                                           return FALSE;
                                         }
                                         return original(info);
                                       });
  EXPECT_EQ(Ask(), real);
  EXPECT_EQ(only148.calls(), 8) << "each test asks again, twice: nothing is cached";
}

TEST(Platform, EveryTestIsFalseWhenBothQueriesFail) {
  auto fail = fwtest::FailImport(Self(), FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Ask(), (PlatformAnswers{false, false, false, false}));
}

TEST(Platform, UnknownPlatformIsNeither9xNorNT) {
  auto win32s = fwtest::FakeVersion(Self(), VER_PLATFORM_WIN32s, 3, 10);
  EXPECT_EQ(Ask(), (PlatformAnswers{false, false, false, false}));
}

TEST(Platform, ReleasesAreToldApartByExactVersion) {
  struct Case {
    DWORD platform, major, minor;
    PlatformAnswers expected;
  };
  const Case cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 0, {false, true, true, false}},    // 2000
      {VER_PLATFORM_WIN32_NT, 5, 1, {false, true, false, false}},   // XP
      {VER_PLATFORM_WIN32_NT, 4, 0, {false, true, false, false}},   // NT 4
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, {true, false, false, true}},   // ME
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, {true, false, false, false}},  // 98
      {VER_PLATFORM_WIN32_WINDOWS, 5, 0, {true, false, false, false}},   // 9x id with NT 5.0 numbers
      {VER_PLATFORM_WIN32_NT, 4, 90, {false, true, false, false}},       // NT id with ME numbers
  };
  for (const Case& c : cases) {
    auto fake = fwtest::FakeVersion(Self(), c.platform, c.major, c.minor);
    EXPECT_EQ(Ask(), c.expected) << "platform " << c.platform << ", " << c.major << "." << c.minor;
  }
}

}  // namespace
}  // namespace fw
