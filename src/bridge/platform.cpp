#include "bridge/platform.h"

#include <windows.h>

namespace fw {
namespace {

struct VersionFacts {
  bool known = false;
  DWORD platformId = 0;
  DWORD major = 0;
  DWORD minor = 0;
};

VersionFacts QueryVersion() {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  BOOL ok = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
  if (!ok) {
    // Systems before NT 4 SP6 and Windows 98 know only the shorter structure.
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    ok = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
  }
  VersionFacts facts;
  if (!ok) return facts;
  facts.known = true;
  facts.platformId = info.dwPlatformId;
  facts.major = info.dwMajorVersion;
  facts.minor = info.dwMinorVersion;
  return facts;
}

}  // namespace

bool IsWindows9x() {
  const VersionFacts v = QueryVersion();
  return v.known && v.platformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool IsWindowsNT() {
  const VersionFacts v = QueryVersion();
  return v.known && v.platformId == VER_PLATFORM_WIN32_NT;
}

bool IsWindows2000() {
  const VersionFacts v = QueryVersion();
  return v.known && v.platformId == VER_PLATFORM_WIN32_NT && v.major == 5 && v.minor == 0;
}

bool IsWindowsME() {
  const VersionFacts v = QueryVersion();
  return v.known && v.platformId == VER_PLATFORM_WIN32_WINDOWS && v.major == 4 && v.minor == 90;
}

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the extended version structure is 156 bytes");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the older version structure is 148 bytes");

}  // namespace fw
