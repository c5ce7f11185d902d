// RegistryAccess: the family record and the primitives every operation goes through.
#include "registry/registry_access.h"

#include <cstring>
#include <utility>

#include "bridge/platform.h"
#include "bridge/string_conversion.h"
#include "registry/registry_exception.h"
#include "registry/registry_text.h"

namespace fw {

RegistryAccess::RegistryAccess() : ansi_(IsWindows9x()) {}

OpenedKey RegistryAccess::OpenKey(RootKey root, const wchar_t* path, REGSAM access) {
  const HKEY rootHandle = RootKeyHandle(root);
  if (path == nullptr) return OpenedKey::Borrowed(rootHandle);
  UniqueKey key;
  LONG result;
  if (ansi_) {
    const ScratchBuffer ansiPath = AnsiConverted(path);
    result = RegOpenKeyExA(rootHandle, ansiPath.As<const char>(), 0, access, key.put());
  } else {
    result = RegOpenKeyExW(rootHandle, path, 0, access, key.put());
  }
  RaiseIfFailed(result);
  return OpenedKey::Owned(std::move(key));
}

LONG RegistryAccess::QueryValue(HKEY key, const wchar_t* name, DWORD* reserved, DWORD* type, BYTE* data,
                                DWORD* size) {
  if (ansi_) {
    const ScratchBuffer ansiName = AnsiConverted(name);
    return RegQueryValueExA(key, ansiName.As<const char>(), reserved, type, data, size);
  }
  return RegQueryValueExW(key, name, reserved, type, data, size);
}

LONG RegistryAccess::SetValue(HKEY key, const wchar_t* name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size) {
  if (ansi_) {
    const ScratchBuffer ansiName = AnsiConverted(name);
    return RegSetValueExA(key, ansiName.As<const char>(), reserved, type, data, size);
  }
  return RegSetValueExW(key, name, reserved, type, data, size);
}

std::uint32_t RegistryAccess::ExpandString(const wchar_t* text, ScratchBuffer& out) {
  if (!ansi_) {
    wchar_t probe[4] = {};
    const DWORD needed = ExpandEnvironmentStringsW(text, probe, 4);
    if (needed == 0) return 0;
    out.Allocate(needed, sizeof(wchar_t));
    return ExpandEnvironmentStringsW(text, out.As<wchar_t>(), needed);
  }
  const ScratchBuffer ansiText = AnsiConverted(text);
  char probe[4] = {};
  DWORD count = ExpandEnvironmentStringsA(ansiText.As<const char>(), probe, 4);
  if (count != 0) {
    ScratchBuffer expanded;
    expanded.Allocate(count, 1);
    count = ExpandEnvironmentStringsA(ansiText.As<const char>(), expanded.As<char>(), count);
    const char* bytes = expanded.As<const char>();
    if (count != 0) WideConvertedCounted(bytes, static_cast<std::uint32_t>(std::strlen(bytes) + 1), out);
  }
  return count;
}

}  // namespace fw
