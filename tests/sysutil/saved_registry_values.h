// SavedRegistryValues: lets a test change the values of a real system key (the run-once key, the
// environment keys). The values are saved (and, with clear, removed); at the end every value is
// removed and the saved ones written back. Levels of the path that were missing are created, and
// deleted again at the end.
//
//   fwtest::SavedRegistryValues runOnce(HKEY_LOCAL_MACHINE, kRunOncePath, /*clear=*/true);
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "bridge/unique_resource.h"
#include "registry/registry_test_key.h"

namespace fwtest {

[[gnu::noipa]] inline void DeleteRawValue(HKEY root, const std::wstring& path, const std::wstring& name) {
  fw::UniqueKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) {
    RegDeleteValueW(key.get(), name.c_str());
  }
}

class SavedRegistryValues {
 public:
  SavedRegistryValues(HKEY root, std::wstring path, bool clear) : root_(root), path_(std::move(path)) {
    for (std::size_t end = 0; created_.empty() && end != std::wstring::npos;) {
      end = path_.find(L'\\', end + 1);
      if (!RawKeyExists(root_, path_.substr(0, end))) created_ = path_.substr(0, end);
    }
    CreateRawKey(root_, path_);
    for (const std::wstring& name : RawValueNames(root_, path_)) {
      saved_.emplace_back(name, GetRawValue(root_, path_, name.c_str()).value_or(RawValue{}));
    }
    if (clear) RemoveAll();
  }
  ~SavedRegistryValues() {
    if (!created_.empty()) {
      DeleteRawTree(root_, created_);
      return;
    }
    RemoveAll();
    for (const auto& [name, value] : saved_) {
      SetRawValue(root_, path_, name.c_str(), value.type, value.bytes.data(), static_cast<DWORD>(value.bytes.size()));
    }
  }
  SavedRegistryValues(const SavedRegistryValues&) = delete;
  SavedRegistryValues& operator=(const SavedRegistryValues&) = delete;

 private:
  void RemoveAll() {
    for (const std::wstring& name : RawValueNames(root_, path_)) DeleteRawValue(root_, path_, name);
  }

  HKEY root_;
  std::wstring path_;
  std::wstring created_;  // the topmost level the test made
  std::vector<std::pair<std::wstring, RawValue>> saved_;
};

}  // namespace fwtest
