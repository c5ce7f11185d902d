#include "bridge/platform.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "support/fake_import.h"
#include "support/fake_version.h"

namespace fw {
namespace {

// IsWindows9x, IsWindowsNT, IsWindows2000, IsWindowsME.
using PlatformAnswers = std::tuple<bool, bool, bool, bool>;

PlatformAnswers Ask() { return {IsWindows9x(), IsWindowsNT(), IsWindows2000(), IsWindowsME()}; }

HMODULE Self() { return GetModuleHandleW(nullptr); }

TEST(Platform, FallsBackToTheOlderStructureAndIsNothingWhenBothFail) {
  const PlatformAnswers real = Ask();
  {
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
  auto fail = fwtest::FailImport(Self(), FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Ask(), (PlatformAnswers{false, false, false, false}));
}

TEST(Platform, ReleasesAreToldApartByExactVersion) {
  const struct {
    DWORD platform, major, minor;
    PlatformAnswers expected;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 0, {false, true, true, false}},         // 2000
      {VER_PLATFORM_WIN32_NT, 5, 1, {false, true, false, false}},        // XP
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, {true, false, false, true}},   // ME
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, {true, false, false, false}},  // 98
      {VER_PLATFORM_WIN32_WINDOWS, 5, 0, {true, false, false, false}},   // 9x id with NT 5.0 numbers
      {VER_PLATFORM_WIN32_NT, 4, 90, {false, true, false, false}},       // NT id with ME numbers
      {VER_PLATFORM_WIN32s, 3, 10, {false, false, false, false}},        // neither family
  };
  for (const auto& c : cases) {
    auto fake = fwtest::FakeVersion(Self(), c.platform, c.major, c.minor);
    EXPECT_EQ(Ask(), c.expected) << "platform " << c.platform << ", " << c.major << "." << c.minor;
  }
}

}  // namespace
}  // namespace fw
