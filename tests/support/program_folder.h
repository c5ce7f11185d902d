// The running test program's own file and folder, where the run places the DLLs it needs.
//
//   std::wstring dll = fwtest::ProgramFolder() + L"\\fwnative.dll";
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace fwtest {

inline std::wstring ProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      const DWORD error = GetLastError();
      throw std::runtime_error("GetModuleFileNameW failed, error " + std::to_string(error));
    }
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// Without the trailing backslash.
inline std::wstring ProgramFolder() {
  const std::wstring path = ProgramPath();
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring(L".") : path.substr(0, separator);
}

}  // namespace fwtest
