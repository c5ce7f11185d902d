#include "registry/registry_test_key.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <atomic>

#include "bridge/local_memory_holder.h"
#include "bridge/unique_resource.h"

namespace fwtest {
namespace {

std::atomic<int> keyCounter{0};

}  // namespace

[[gnu::noipa]] TestRegistryKey::TestRegistryKey(HKEY root)
    : root_(root),
      path_(L"Software\\fwnative-tests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++keyCounter)) {
  DeleteRawTree(root_, path_);  // left over from an aborted run
  CreateRawKey(root_, path_);
}

[[gnu::noipa]] TestRegistryKey::~TestRegistryKey() {
  DeleteRawTree(root_, path_);
  EXPECT_FALSE(RawKeyExists(root_, path_)) << "test key left behind";
}

[[gnu::noipa]] void CreateRawKey(HKEY root, const std::wstring& path) {
  fw::UniqueKey key;
  const LONG result = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
  EXPECT_EQ(result, ERROR_SUCCESS) << "creating the test key";
}

[[gnu::noipa]] bool RawKeyExists(HKEY root, const std::wstring& path) {
  fw::UniqueKey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

[[gnu::noipa]] void SetRawValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
                                const void* data, DWORD size) {
  fw::UniqueKey key;
  ASSERT_EQ(RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, key.put()), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

[[gnu::noipa]] std::optional<RawValue> GetRawValue(HKEY root, const std::wstring& path, const wchar_t* name) {
  fw::UniqueKey key;
  RawValue value;
  DWORD size = 1 << 16;  // more than any value a test writes
  value.bytes.resize(size);
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
      RegQueryValueExW(key.get(), name, nullptr, &value.type, value.bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.bytes.resize(size);
  return value;
}

[[gnu::noipa]] std::vector<std::wstring> RawValueNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  fw::UniqueKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return names;
  wchar_t name[16384];
  for (DWORD index = 0;; ++index) {
    DWORD length = 16384;
    if (RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

[[gnu::noipa]] void DeleteRawTree(HKEY root, const std::wstring& path) {
  // Bound by name: the test program may import only the W functions the Windows 98 stubs know.
  static const auto deleteTree = reinterpret_cast<decltype(&::SHDeleteKeyW)>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"shlwapi.dll"), "SHDeleteKeyW")));
  deleteTree(root, path.c_str());
}

std::u16string ErrorMessage(DWORD error) {
  fw::LocalMemoryHolder text;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                 nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(text.put()),
                 0, nullptr);
  std::u16string message = text ? reinterpret_cast<const char16_t*>(text.as<wchar_t>()) : u"";
  const std::string number = std::to_string(error);
  return message + u" (" + std::u16string(number.begin(), number.end()) + u")";
}

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace fwtest
