// The running test program's own file and folder, where the run places the DLLs it needs.
//
//   std::wstring dll = fwtest::ProgramFolder() + L"\\fwnative.dll";
#pragma once

#include <windows.h>

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

}  // namespace fwtest
