#include <windows.h>

#include "bridge/scratch_buffer.h"
#include "bridge/unique_resource.h"
#include "registry/registry_access.h"

namespace fw {
namespace {

constexpr DWORD kSubkeyNameChars = 256;

}  // namespace

LONG DeleteKeyTree(HKEY parent, const wchar_t* subkey) {
  if (subkey == nullptr || subkey[0] == L'\0') return ERROR_BADKEY;
  UniqueKey key;
  LONG result = RegOpenKeyExW(parent, subkey, 0, DELETE | KEY_ENUMERATE_SUB_KEYS, key.put());
  if (result != ERROR_SUCCESS) return result;
  ScratchBuffer name;
  name.Allocate(kSubkeyNameChars, sizeof(wchar_t));
  do {
    // Always index 0: each child is gone before the next pass.
    DWORD length = kSubkeyNameChars;
    result = RegEnumKeyExW(key.get(), 0, name.As<wchar_t>(), &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) {
      key.reset();
      return RegDeleteKeyW(parent, subkey);
    }
    if (result != ERROR_SUCCESS) return result;
    result = DeleteKeyTree(key.get(), name.As<const wchar_t>());
  } while (result == ERROR_SUCCESS);
  return result;
}

}  // namespace fw
