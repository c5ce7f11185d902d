#include "product/uninstaller_registration.h"

#include <windows.h>

#include <cstddef>

#include "bridge/current_user_administrator.h"
#include "bridge/platform.h"
#include "bridge/wide_string.h"
#include "desktop/trailing_separator.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"

namespace fw {
namespace {

constexpr wchar_t kUninstallList[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kUninstallListParent[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr wchar_t kUninstallListName[] = L"Uninstall";
// The uninstall list of the 9x family and of Windows XP shows no longer names.
constexpr std::size_t kNameLimit = 63;

WideString FirstCharacters(const wchar_t* text, std::size_t limit) {
  WideString value(text);
  if (value.size() > limit) value.resize(limit);
  return value;
}

WideString ProductKeyName(const wchar_t* productKey) {
  if (productKey == nullptr || *productKey == L'\0') throw RegistryException(ERROR_INVALID_PARAMETER);
  return FirstCharacters(productKey, kNameLimit);
}

WideString Below(const wchar_t* path, const WideString& name) {
  WideString below(path);
  EnsureTrailingSeparator(below);
  return below + name;
}

RootKey UninstallRoot() {
  if (IsWindows9x()) return RootKey::LocalMachine;
  DWORD unused = 0;  // a test that could not be made answers false, and that is all that matters here
  return IsCurrentUserAdministrator(unused) ? RootKey::LocalMachine : RootKey::CurrentUser;
}

void DeleteIfPresent(RegistryAccess& registry, RootKey root, const WideString& name) {
  if (registry.KeyExists(root, Below(kUninstallList, name).c_str())) {
    registry.DeleteKey(root, kUninstallList, name.c_str(), false);
  }
}

}  // namespace

void RegisterUninstaller(const wchar_t* productKey, const wchar_t* displayName, const wchar_t* uninstallCommand) {
  RegistryAccess registry;
  try {
    const WideString name = ProductKeyName(productKey);
    const RootKey root = UninstallRoot();
    // A user's own hive may not have an uninstall list yet; the machine's always has one.
    if (root == RootKey::CurrentUser && !registry.KeyExists(root, kUninstallList)) {
      registry.CreateKey(root, kUninstallListParent, kUninstallListName);
    }
    registry.CreateKey(root, kUninstallList, name.c_str());
    const WideString productPath = Below(kUninstallList, name);

    WideString shownName;
    if (displayName != nullptr) {
      shownName = IsWindows2000() ? WideString(displayName) : FirstCharacters(displayName, kNameLimit);
    }
    registry.WriteString(root, productPath.c_str(), L"DisplayName", false,
                         displayName != nullptr ? shownName.c_str() : nullptr);
    registry.WriteString(root, productPath.c_str(), L"UninstallString", false, uninstallCommand);
  } catch (const RegistryException& e) {
    // Without write access to the chosen root the product simply goes unlisted.
    if (e.Error() != ERROR_ACCESS_DENIED) throw;
  }
}

void UnregisterUninstaller(const wchar_t* productKey, const wchar_t* alternateKey) {
  RegistryAccess registry;
  const WideString name = ProductKeyName(productKey);
  const RootKey root = UninstallRoot();
  if (alternateKey != nullptr && *alternateKey != L'\0') DeleteIfPresent(registry, root, alternateKey);
  DeleteIfPresent(registry, root, name);
}

}  // namespace fw
