// RegistryAccess: writing and deleting values.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "registry/multi_string.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"
#include "registry/registry_text.h"

namespace fw {
namespace {

// Strings are stored without their terminating zero; an empty one still needs one byte, since a
// zero-byte value is how a null text is stored.
DWORD StoredStringBytes(std::size_t characters, std::size_t characterSize, bool present) {
  if (!present) return 0;
  return characters == 0 ? 1 : static_cast<DWORD>(characters * characterSize);
}

}  // namespace

void RegistryAccess::WriteString(RootKey root, const wchar_t* path, const wchar_t* name, bool expand,
                                 const wchar_t* text) {
  OpenedKey key = OpenKey(root, path, KEY_SET_VALUE);
  const DWORD type = expand ? REG_EXPAND_SZ : REG_SZ;
  LONG result;
  if (ansi_) {
    const ScratchBuffer ansiText = AnsiConverted(text);
    const char* bytes = ansiText.As<const char>();
    const DWORD size = StoredStringBytes(bytes != nullptr ? std::strlen(bytes) : 0, 1, bytes != nullptr);
    result = SetValue(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes), size);
  } else {
    const DWORD size = StoredStringBytes(text != nullptr ? std::wcslen(text) : 0, sizeof(wchar_t), text != nullptr);
    result = SetValue(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(text), size);
  }
  key.Close();
  RaiseIfFailed(result);
}

void RegistryAccess::WriteMultiString(RootKey root, const wchar_t* path, const wchar_t* name,
                                      const StringList& list) {
  OpenedKey key = OpenKey(root, path, KEY_SET_VALUE);
  const ScratchBuffer joined = JoinMultiString(list);
  LONG result;
  if (ansi_) {
    const ScratchBuffer ansiData = AnsiConvertedCounted(joined.As<const wchar_t>(), joined.Count());
    result = SetValue(key.get(), name, 0, REG_MULTI_SZ, ansiData.As<const BYTE>(), ansiData.ByteSize());
  } else {
    result = SetValue(key.get(), name, 0, REG_MULTI_SZ, joined.As<const BYTE>(), joined.ByteSize());
  }
  key.Close();
  RaiseIfFailed(result);
}

void RegistryAccess::WriteDword(RootKey root, const wchar_t* path, const wchar_t* name, std::uint32_t value) {
  OpenedKey key = OpenKey(root, path, KEY_SET_VALUE);
  const DWORD data = value;
  const LONG result = SetValue(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
  key.Close();
  RaiseIfFailed(result);
}

void RegistryAccess::WriteBinary(RootKey root, const wchar_t* path, const wchar_t* name,
                                 const ScratchBuffer& data) {
  OpenedKey key = OpenKey(root, path, KEY_SET_VALUE);
  const LONG result = SetValue(key.get(), name, 0, REG_BINARY, data.As<const BYTE>(), data.ByteSize());
  key.Close();
  RaiseIfFailed(result);
}

void RegistryAccess::DeleteValue(RootKey root, const wchar_t* path, const wchar_t* name, bool reportMissing) {
  OpenedKey key = OpenKey(root, path, KEY_SET_VALUE);
  LONG result;
  if (ansi_) {
    const ScratchBuffer ansiName = AnsiConverted(name);
    result = RegDeleteValueA(key.get(), ansiName.As<const char>());
  } else {
    result = RegDeleteValueW(key.get(), name);
  }
  key.Close();
  if (!reportMissing && result == ERROR_FILE_NOT_FOUND) return;
  RaiseIfFailed(result);
}

}  // namespace fw
