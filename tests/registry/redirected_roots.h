// RedirectedRoots: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER lead, for the whole process, to keys
// below a test key while the object lives, so a test may change the system's own keys without
// touching the machine's. Only the keys named (machine's, user's) are made. RawText reads a text.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "bridge/unique_resource.h"
#include "registry/registry_test_key.h"

namespace fwtest {

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

// The text of a value up to its zero, when it exists with that type.
inline std::optional<std::wstring> RawText(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type = REG_SZ) {
  const auto raw = GetRawValue(root, path, name);
  if (!raw || raw->type != type) return std::nullopt;
  return std::wstring(reinterpret_cast<const wchar_t*>(raw->bytes.data()), raw->bytes.size() / sizeof(wchar_t)).c_str();
}

}  // namespace fwtest
