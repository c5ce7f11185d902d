// RegistryAccess: keys and what they hold.
#include <windows.h>

#include <optional>

#include "bridge/platform.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"
#include "registry/registry_text.h"

namespace fw {
namespace {

// KEY_WRITE with DELETE on the parent of the key to delete.
constexpr REGSAM kDeleteSubkeyAccess = KEY_WRITE | DELETE;

// The key, or nothing when it is missing; other failures raise.
std::optional<OpenedKey> OpenIfPresent(RegistryAccess& access, RootKey root, const wchar_t* path) {
  try {
    return access.OpenKey(root, path, KEY_QUERY_VALUE);
  } catch (const RegistryException& e) {
    if (e.Error() == ERROR_FILE_NOT_FOUND) return std::nullopt;
    throw;
  }
}

}  // namespace

void RegistryAccess::CreateKey(RootKey root, const wchar_t* path, const wchar_t* subkey) {
  OpenedKey parent = OpenKey(root, path, KEY_CREATE_SUB_KEY);
  UniqueKey created;
  LONG result;
  if (ansi_) {
    const ScratchBuffer ansiSubkey = AnsiConverted(subkey);
    result = RegCreateKeyExA(parent.get(), ansiSubkey.As<const char>(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_SET_VALUE, nullptr, created.put(), nullptr);
  } else {
    result = RegCreateKeyExW(parent.get(), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                             created.put(), nullptr);
  }
  created.reset();
  parent.Close();
  RaiseIfFailed(result);
}

void RegistryAccess::DeleteKey(RootKey root, const wchar_t* path, const wchar_t* subkey, bool reportMissing) {
  OpenedKey parent = OpenKey(root, path, kDeleteSubkeyAccess);
  LONG result;
  if (IsWindowsNT()) {
    result = DeleteKeyTree(parent.get(), subkey);
  } else if (subkey == nullptr || *subkey == L'\0') {
    // RegDeleteKeyA would take "" for the opened key itself and delete it with its whole tree.
    result = ERROR_BADKEY;
  } else {
    // The 9x RegDeleteKeyA removes the whole subtree itself.
    const ScratchBuffer ansiSubkey = AnsiConverted(subkey);
    result = RegDeleteKeyA(parent.get(), ansiSubkey.As<const char>());
  }
  parent.Close();
  if (!reportMissing && result == ERROR_FILE_NOT_FOUND) return;
  RaiseIfFailed(result);
}

bool RegistryAccess::KeyExists(RootKey root, const wchar_t* path) {
  if (path == nullptr) return true;
  return OpenIfPresent(*this, root, path).has_value();
}

bool RegistryAccess::ValueExists(RootKey root, const wchar_t* path, const wchar_t* name) {
  std::optional<OpenedKey> key = OpenIfPresent(*this, root, path);
  if (!key) return false;
  DWORD type = REG_NONE;
  const LONG result = QueryValue(key->get(), name, nullptr, &type, nullptr, nullptr);
  key.reset();
  if (result == ERROR_FILE_NOT_FOUND) return false;
  RaiseIfFailed(result);
  return true;
}

void RegistryAccess::QueryKeyInfo(RootKey root, const wchar_t* path, KeyInfo& out) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
  LONG result;
  if (ansi_) {
    result = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                              &longestName, &longestData, nullptr, nullptr);
  } else {
    result = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                              &longestName, &longestData, nullptr, nullptr);
  }
  key.Close();
  RaiseIfFailed(result);
  out = KeyInfo{subkeys, longestSubkey, values, longestName, longestData};
}

}  // namespace fw
