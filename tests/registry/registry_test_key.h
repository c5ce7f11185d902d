// Registry fixtures for the tests: a uniquely named key that is removed with everything below it
// when the test ends, and direct W-function access to arrange and inspect values without going
// through the library.
//
//   fwtest::TestRegistryKey key;                         // HKCU\Software\fwnative-tests\<unique>
//   fwtest::SetRawValue(key.Root(), key.Path(), L"v", REG_SZ, L"abc", 6);
//   auto raw = fwtest::GetRawValue(key.Root(), key.Path(), L"v");   // nullopt when missing
//
// The raw helpers are never inlined into a test, so a fake the test installs on the program's own
// imports reaches them too: install fakes after arranging, and end them before inspecting.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "registry/registry_exception.h"

namespace fwtest {

class TestRegistryKey {
 public:
  explicit TestRegistryKey(HKEY root = HKEY_CURRENT_USER);
  ~TestRegistryKey();
  TestRegistryKey(const TestRegistryKey&) = delete;
  TestRegistryKey& operator=(const TestRegistryKey&) = delete;

  HKEY Root() const noexcept { return root_; }
  const std::wstring& Path() const noexcept { return path_; }
  // Path of a key below this one.
  std::wstring Below(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  HKEY root_;
  std::wstring path_;
};

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> bytes;
};

void CreateRawKey(HKEY root, const std::wstring& path);
bool RawKeyExists(HKEY root, const std::wstring& path);
void SetRawValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size);
std::optional<RawValue> GetRawValue(HKEY root, const std::wstring& path, const wchar_t* name);
std::vector<std::wstring> RawValueNames(HKEY root, const std::wstring& path);
void DeleteRawTree(HKEY root, const std::wstring& path);

// What the library reports for a Win32 error: the system's text, a blank, the error in parentheses.
std::u16string ErrorMessage(DWORD error);
std::u16string ToU16(const std::wstring& text);

// The Win32 error a registry operation raised, or 0.
template <typename Operation>
DWORD RaisedBy(Operation operation) {
  try {
    operation();
  } catch (const fw::RegistryException& e) {
    return e.Error();
  }
  return 0;
}

}  // namespace fwtest
