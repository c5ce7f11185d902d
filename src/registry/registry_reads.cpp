// RegistryAccess: reading values.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "bridge/string_conversion.h"
#include "registry/multi_string.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"
#include "registry/registry_text.h"

namespace fw {
namespace {

// The first query's buffer serves the common case; larger data costs one more query at its size.
constexpr std::uint32_t kStringBufferChars = 256;
constexpr std::uint32_t kMultiStringBufferChars = 1024;

void RaiseUnlessType(DWORD type, DWORD expected) {
  if (type != expected) throw RegistryException(ERROR_INVALID_DATATYPE);
}

// Queries into data (already sized for the common case); on ERROR_MORE_DATA once more at exactly
// the reported size. Returns the result; size is the byte count the system reported.
LONG QueryGrowingOnce(RegistryAccess& access, HKEY key, const wchar_t* name, DWORD& type, ScratchBuffer& data,
                      DWORD& size) {
  size = data.ByteSize();
  LONG result = access.QueryValue(key, name, nullptr, &type, data.As<BYTE>(), &size);
  if (result == ERROR_MORE_DATA) {
    data.Allocate(size, 1);
    size = data.ByteSize();
    result = access.QueryValue(key, name, nullptr, &type, data.As<BYTE>(), &size);
  }
  return result;
}

}  // namespace

WideString RegistryAccess::ReadString(RootKey root, const wchar_t* path, const wchar_t* name, bool expand) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  ScratchBuffer data;
  data.Allocate(kStringBufferChars, sizeof(wchar_t));
  DWORD type = REG_NONE;
  DWORD size = 0;
  const LONG result = QueryGrowingOnce(*this, key.get(), name, type, data, size);
  key.Close();
  RaiseIfFailed(result);

  const std::uint32_t bytes = std::min<std::uint32_t>(size, data.ByteSize());
  WideString text = ansi_ ? WideTextOfAnsi(data.As<const char>(), bytes)
                          : WideTextOf(data.As<const wchar_t>(), bytes / sizeof(wchar_t));
  if (type == REG_EXPAND_SZ && expand) {
    ScratchBuffer expanded;
    if (ExpandString(text.c_str(), expanded) == 0) return WideString();
    return WideTextOf(expanded.As<const wchar_t>(), expanded.Count());
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw RegistryException(ERROR_INVALID_DATATYPE);
  return text;
}

void RegistryAccess::ReadMultiString(RootKey root, const wchar_t* path, const wchar_t* name, StringList& out) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  ScratchBuffer data;
  data.Allocate(kMultiStringBufferChars, sizeof(wchar_t));
  DWORD type = REG_NONE;
  DWORD size = 0;
  const LONG result = QueryGrowingOnce(*this, key.get(), name, type, data, size);
  key.Close();
  RaiseIfFailed(result);
  RaiseUnlessType(type, REG_MULTI_SZ);

  const std::uint32_t bytes = std::min<std::uint32_t>(size, data.ByteSize());
  if (ansi_) {
    ScratchBuffer wide;
    const std::uint32_t count = WideConvertedCounted(data.As<const char>(), bytes, wide);
    SplitMultiString(wide.As<const wchar_t>(), count, out);
  } else {
    SplitMultiString(data.As<const wchar_t>(), bytes / sizeof(wchar_t), out);
  }
}

std::uint32_t RegistryAccess::ReadDword(RootKey root, const wchar_t* path, const wchar_t* name) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD size = sizeof(value);
  // A longer value does not fit and raises ERROR_MORE_DATA.
  const LONG result = QueryValue(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  key.Close();
  RaiseIfFailed(result);
  RaiseUnlessType(type, REG_DWORD);
  return value;
}

void RegistryAccess::ReadBinary(RootKey root, const wchar_t* path, const wchar_t* name, ScratchBuffer& out) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG result = QueryValue(key.get(), name, nullptr, &type, nullptr, &size);
  ScratchBuffer data;
  if (result == ERROR_SUCCESS) {
    data.Allocate(size, 1);
    size = data.ByteSize();
    result = QueryValue(key.get(), name, nullptr, &type, data.As<BYTE>(), &size);
  }
  key.Close();
  RaiseIfFailed(result);
  RaiseUnlessType(type, REG_BINARY);
  out = std::move(data);
}

DWORD RegistryAccess::ReadValueType(RootKey root, const wchar_t* path, const wchar_t* name) {
  OpenedKey key = OpenKey(root, path, KEY_QUERY_VALUE);
  DWORD type = REG_NONE;
  const LONG result = QueryValue(key.get(), name, nullptr, &type, nullptr, nullptr);
  key.Close();
  RaiseIfFailed(result);
  return type;
}

}  // namespace fw
