#include "support/run_version.h"

#include "support/program_folder.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace fwtest {
namespace {

// What Wine reports for each AppDefaults version; "default" is the prefix's own (Windows 7 SP1).
constexpr RunVersion kVersions[] = {
    {"nt40", VER_PLATFORM_WIN32_NT, 4, 0},       {"win2k", VER_PLATFORM_WIN32_NT, 5, 0},
    {"winxp", VER_PLATFORM_WIN32_NT, 5, 1},      {"default", VER_PLATFORM_WIN32_NT, 6, 1},
    {"win98", VER_PLATFORM_WIN32_WINDOWS, 4, 10}, {"winme", VER_PLATFORM_WIN32_WINDOWS, 4, 90},
};

}  // namespace

std::optional<RunVersion> RunVersionOfProgram(const std::wstring& programPath) {
  const std::wstring fileName = programPath.substr(programPath.find_last_of(L"\\/") + 1);
  std::string name(fileName.begin(), fileName.end());  // the run names the copies in ASCII
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  const std::size_t dash = name.rfind('-');
  if (dash == std::string::npos) return std::nullopt;
  const std::string suffix = name.substr(dash + 1);
  for (const RunVersion& version : kVersions) {
    if (_stricmp(suffix.c_str(), version.name) == 0) return version;
  }
  throw std::runtime_error("the program name ends in \"-" + suffix + "\", which names no known Windows version");
}

bool CheckRunVersion() {
  std::optional<RunVersion> expected;
  try {
    expected = RunVersionOfProgram(ProgramPath());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "FAILED: %s\n", e.what());
    return false;
  }
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) {
    std::fprintf(stderr, "FAILED: GetVersionExA failed, error %lu\n", GetLastError());
    return false;
  }
  const bool matches = !expected || (info.dwPlatformId == expected->platformId &&
                                     info.dwMajorVersion == expected->major && info.dwMinorVersion == expected->minor);
  std::FILE* out = matches ? stdout : stderr;
  std::fprintf(out, "%sWindows reported: platform %lu, version %lu.%lu build %lu, CSD \"%s\"", matches ? "" : "FAILED: ",
               info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber & 0xFFFF,
               info.szCSDVersion);
  if (!expected) {
    std::fputs(" (no version in the program name: not checked)\n", out);
  } else {
    std::fprintf(out, " for \"%s\", which must be platform %lu, version %lu.%lu\n", expected->name,
                 expected->platformId, expected->major, expected->minor);
  }
  return matches;
}

}  // namespace fwtest
