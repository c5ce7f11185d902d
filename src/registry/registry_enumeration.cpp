// RegistryAccess: listing the value and subkey names of a key.
#include <windows.h>

#include <cwchar>

#include "bridge/string_conversion.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"
#include "registry/registry_text.h"

namespace fw {
namespace {

// Names of 1024 characters or more do not fit and end the listing with ERROR_MORE_DATA.
constexpr DWORD kNameBufferChars = 1024;

// Calls next(index, buffer, name) for index 0, 1, ... and appends each name it makes, until it
// returns a non-zero result: ERROR_NO_MORE_ITEMS ends normally; any other result empties the list
// and raises.
template <typename Next>
void Enumerate(OpenedKey& key, std::uint32_t elementSize, StringList& out, Next next) {
  ScratchBuffer buffer;
  buffer.Allocate(kNameBufferChars, elementSize);
  for (DWORD index = 0;; ++index) {
    WideString name;
    const LONG result = next(index, buffer, name);
    if (result == ERROR_NO_MORE_ITEMS) return;
    if (result != ERROR_SUCCESS) {
      out.clear();
      key.Close();
      throw RegistryException(static_cast<DWORD>(result));
    }
    out.push_back(std::move(name));
  }
}

}  // namespace

void RegistryAccess::EnumerateValueNames(RootKey root, const wchar_t* path, StringList& out) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  const HKEY handle = key.get();
  if (ansi_) {
    Enumerate(key, 1, out, [handle](DWORD index, ScratchBuffer& buffer, WideString& name) {
      DWORD length = kNameBufferChars;
      DWORD type = REG_NONE;
      const LONG result =
          RegEnumValueA(handle, index, buffer.As<char>(), &length, nullptr, &type, nullptr, nullptr);
      if (result == ERROR_SUCCESS) name = WideTextOfAnsi(buffer.As<const char>(), length);
      return result;
    });
  } else {
    Enumerate(key, sizeof(wchar_t), out, [handle](DWORD index, ScratchBuffer& buffer, WideString& name) {
      DWORD length = kNameBufferChars;
      DWORD type = REG_NONE;
      const LONG result =
          RegEnumValueW(handle, index, buffer.As<wchar_t>(), &length, nullptr, &type, nullptr, nullptr);
      if (result == ERROR_SUCCESS) name.assign(buffer.As<const wchar_t>(), length);
      return result;
    });
  }
}

void RegistryAccess::EnumerateSubkeyNames(RootKey root, const wchar_t* path, StringList& out) {
  OpenedKey key = OpenKey(root, path, KEY_READ);
  const HKEY handle = key.get();
  if (ansi_) {
    Enumerate(key, 1, out, [handle](DWORD index, ScratchBuffer& buffer, WideString& name) {
      const LONG result = RegEnumKeyA(handle, index, buffer.As<char>(), kNameBufferChars);
      if (result == ERROR_SUCCESS) name = WideTextOfAnsi(buffer.As<const char>(), kNameBufferChars);
      return result;
    });
  } else {
    Enumerate(key, sizeof(wchar_t), out, [handle](DWORD index, ScratchBuffer& buffer, WideString& name) {
      const LONG result = RegEnumKeyW(handle, index, buffer.As<wchar_t>(), kNameBufferChars);
      if (result == ERROR_SUCCESS) name = WideTextOf(buffer.As<const wchar_t>(), kNameBufferChars);
      return result;
    });
  }
}

}  // namespace fw
