// Registry fixtures: a uniquely named key removed with everything below it when the test ends, the
// roots redirected below one, and direct W-function access to arrange and inspect values without the
// library. The raw helpers are never inlined, so a fake on the program's own imports reaches them
// too: install fakes after arranging, and end them before inspecting.
//
//   fwtest::TestRegistryKey key;                         // HKCU\Software\fwnative-tests\<unique>
//   fwtest::SetRawValue(key.Root(), key.Path(), L"v", REG_SZ, L"abc", 6);
//   auto raw = fwtest::GetRawValue(key.Root(), key.Path(), L"v");   // nullopt when missing
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bridge/local_memory_holder.h"
#include "bridge/unique_resource.h"
#include "registry/registry_exception.h"

namespace fwtest {

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> bytes;
};

// The key opened with all access (created when `create`), or null.
[[gnu::noipa]] inline fw::UniqueKey OpenRawKey(HKEY root, const std::wstring& path, bool create = false) {
  fw::UniqueKey key;
  if (create) RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
  else RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, key.put());
  return key;
}

inline void CreateRawKey(HKEY root, const std::wstring& path) {
  EXPECT_TRUE(OpenRawKey(root, path, true)) << "creating the test key";
}

inline bool RawKeyExists(HKEY root, const std::wstring& path) { return static_cast<bool>(OpenRawKey(root, path)); }

[[gnu::noipa]] inline void SetRawValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const void* data,
                                       DWORD size) {
  const fw::UniqueKey key = OpenRawKey(root, path);
  EXPECT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

[[gnu::noipa]] inline std::optional<RawValue> GetRawValue(HKEY root, const std::wstring& path, const wchar_t* name) {
  RawValue value{REG_NONE, std::vector<std::uint8_t>(1 << 16)};  // more than any value a test writes
  DWORD size = static_cast<DWORD>(value.bytes.size());
  const fw::UniqueKey key = OpenRawKey(root, path);
  if (RegQueryValueExW(key.get(), name, nullptr, &value.type, value.bytes.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  value.bytes.resize(size);
  return value;
}

[[gnu::noipa]] inline std::vector<std::wstring> RawValueNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  const fw::UniqueKey key = OpenRawKey(root, path);
  wchar_t name[16384];
  DWORD length = 16384;
  while (RegEnumValueW(key.get(), static_cast<DWORD>(names.size()), name, &length, nullptr, nullptr, nullptr, nullptr) == 0) {
    names.emplace_back(name, std::exchange(length, 16384));
  }
  return names;
}

// The text of a value up to its zero, when it exists with that type.
inline std::optional<std::wstring> RawText(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type = REG_SZ) {
  const auto raw = GetRawValue(root, path, name);
  if (!raw || raw->type != type) return std::nullopt;
  return std::wstring(reinterpret_cast<const wchar_t*>(raw->bytes.data()), raw->bytes.size() / sizeof(wchar_t)).c_str();
}

[[gnu::noipa]] inline void DeleteRawTree(HKEY root, const std::wstring& path) {
  // Bound by name: the test program may import only the W functions the Windows 9x stubs know.
  static const auto deleteTree = reinterpret_cast<decltype(&::SHDeleteKeyW)>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shlwapi.dll"), "SHDeleteKeyW")));
  deleteTree(root, path.c_str());
}

class TestRegistryKey {
 public:
  [[gnu::noipa]] explicit TestRegistryKey(HKEY root = HKEY_CURRENT_USER)
      : root_(root), path_(L"Software\\fwnative-tests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter_)) {
    DeleteRawTree(root_, path_);  // left over from an aborted run
    CreateRawKey(root_, path_);
  }
  [[gnu::noipa]] ~TestRegistryKey() {
    DeleteRawTree(root_, path_);
    EXPECT_FALSE(RawKeyExists(root_, path_)) << "test key left behind";
  }
  TestRegistryKey(const TestRegistryKey&) = delete;
  TestRegistryKey& operator=(const TestRegistryKey&) = delete;

  HKEY Root() const noexcept { return root_; }
  const std::wstring& Path() const noexcept { return path_; }
  // Path of a key below this one.
  std::wstring Below(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  static inline std::atomic<int> counter_{0};
  HKEY root_;
  std::wstring path_;
};

// What the library reports for a Win32 error: the system's text, a blank, the error in parentheses.
inline std::u16string ErrorMessage(DWORD error) {
  fw::LocalMemoryHolder text;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
  std::u16string message = text ? reinterpret_cast<const char16_t*>(text.as<wchar_t>()) : u"";
  const std::string number = std::to_string(error);
  return message + u" (" + std::u16string(number.begin(), number.end()) + u")";
}

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

// RedirectedRoots: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER lead, for the whole process, to keys
// below a test key while the object lives, so a test may change the system's own keys without
// touching the machine's. Only the keys named (machine's, user's) are made.
class RedirectedRoots {
 public:
  RedirectedRoots(std::initializer_list<std::wstring> machineKeys, std::initializer_list<std::wstring> userKeys) {
    for (const std::wstring& key : machineKeys) CreateRawKey(HKEY_CURRENT_USER, sandbox_.Below(L"machine\\" + key));
    for (const std::wstring& key : userKeys) CreateRawKey(HKEY_CURRENT_USER, sandbox_.Below(L"user\\" + key));
    // The machine first, while the current user's hive is still the real one.
    ok_ = Redirect(HKEY_LOCAL_MACHINE, L"machine") && Redirect(HKEY_CURRENT_USER, L"user");
  }
  ~RedirectedRoots() {
    Override(HKEY_CURRENT_USER, nullptr);
    Override(HKEY_LOCAL_MACHINE, nullptr);
  }
  bool ok() const noexcept { return ok_; }

 private:
  [[gnu::noipa]] static LONG Override(HKEY root, HKEY target) { return RegOverridePredefKey(root, target); }
  bool Redirect(HKEY root, const wchar_t* below) {
    const fw::UniqueKey target = OpenRawKey(HKEY_CURRENT_USER, sandbox_.Below(below), true);
    return target && Override(root, target.get()) == ERROR_SUCCESS;
  }

  TestRegistryKey sandbox_;
  bool ok_ = false;
};

}  // namespace fwtest
