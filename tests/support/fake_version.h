// FakeVersion: makes a module's GetVersionExA report another platform and version (the rest of the
// structure real), so a test takes the 9x or the NT path whatever Wine emulates.
//
//   auto me = fwtest::FakeVersion(GetModuleHandleW(nullptr), VER_PLATFORM_WIN32_WINDOWS, 4, 90);
#pragma once

#include <windows.h>

#include "support/fake_import.h"

#include <tuple>

namespace fwtest {

inline FakeImport<decltype(&::GetVersionExA)> FakeVersion(HMODULE module, DWORD platformId, DWORD major,
                                                           DWORD minor) {
  return ReplaceImport(module, FWTEST_IMPORT(GetVersionExA), [=](auto original, LPOSVERSIONINFOA info) -> BOOL {
    const BOOL ok = original(info);
    std::tie(info->dwPlatformId, info->dwMajorVersion, info->dwMinorVersion) = std::tie(platformId, major, minor);
    return ok;
  });
}

// Windows 98 and Windows XP numbers, for tests that need one family whatever the run emulates.
inline FakeImport<decltype(&::GetVersionExA)> FakeWindows98(HMODULE module) {
  return FakeVersion(module, VER_PLATFORM_WIN32_WINDOWS, 4, 10);
}
inline FakeImport<decltype(&::GetVersionExA)> FakeWindowsXP(HMODULE module) {
  return FakeVersion(module, VER_PLATFORM_WIN32_NT, 5, 1);
}

}  // namespace fwtest
