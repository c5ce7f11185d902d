// The running test program's own file and folder, where the run places the DLLs it needs, and the
// Windows version Wine emulates for this copy of it, named by the end of its name
// ("fwnative_tests-win98.exe"); test_main.cpp checks that version before any test runs, since a
// prefix setting that did not take would silently run the suite under the wrong version.
//
//   std::wstring dll = fwtest::ProgramFolder() + L"\\fwnative.dll";
//   const auto run = fwtest::RunVersionOfProgram(fwtest::ProgramPath());   // run->name: "win98"
#pragma once

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace fwtest {

inline std::wstring ProgramPath() {
  std::wstring path(32768, L'\0');  // the longest path Win32 has
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0) throw std::runtime_error("GetModuleFileNameW failed, error " + std::to_string(GetLastError()));
  return path.substr(0, length);
}

// Without the trailing backslash (GetModuleFileNameW gives a full path).
inline std::wstring ProgramFolder() {
  const std::wstring path = ProgramPath();
  return path.substr(0, path.find_last_of(L"\\/"));
}

struct RunVersion {
  const char* name;  // the AppDefaults value: nt40, win2k, winxp, default, win95, win98, winme
  DWORD platformId, major, minor;
};

// Null for a program name without a version suffix (run by hand: nothing to check); throws
// std::runtime_error for a suffix that names no version.
inline std::optional<RunVersion> RunVersionOfProgram(const std::wstring& programPath) {
  // What Wine reports for each AppDefaults version; "default" is the prefix's own (Windows 7 SP1).
  static constexpr RunVersion kVersions[] = {
      {"nt40", VER_PLATFORM_WIN32_NT, 4, 0},       {"win2k", VER_PLATFORM_WIN32_NT, 5, 0},
      {"winxp", VER_PLATFORM_WIN32_NT, 5, 1},      {"default", VER_PLATFORM_WIN32_NT, 6, 1},
      {"win95", VER_PLATFORM_WIN32_WINDOWS, 4, 0},  {"win98", VER_PLATFORM_WIN32_WINDOWS, 4, 10},
      {"winme", VER_PLATFORM_WIN32_WINDOWS, 4, 90},
  };
  const std::wstring fileName = programPath.substr(programPath.find_last_of(L"\\/") + 1);
  const std::wstring stem = fileName.substr(0, fileName.rfind(L'.'));
  const std::size_t dash = stem.rfind(L'-');
  if (dash == std::wstring::npos) return std::nullopt;
  const std::string suffix(stem.begin() + dash + 1, stem.end());  // the run names the copies in ASCII
  for (const RunVersion& version : kVersions) {
    if (_stricmp(suffix.c_str(), version.name) == 0) return version;
  }
  throw std::runtime_error("the program name ends in \"-" + suffix + "\", which names no known Windows version");
}

}  // namespace fwtest
