#include "file/standard_directories.h"

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "file/file_attribute_calls.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"

namespace fw {
namespace {

constexpr wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The two-call shape the directory functions share: the size with no buffer, then the text.
// `wide` and `ansi` take (buffer or null, size) and return the system's count; 0 or the error.
template <typename Wide, typename Ansi>
DWORD AskForDirectory(Wide wide, Ansi ansi, WideString& out) {
  if (IsWindows9x()) {
    const UINT size = ansi(nullptr, 0);
    if (size == 0) return GetLastError();
    ScratchBuffer buffer;
    buffer.Allocate(size, 1);
    ansi(buffer.As<char>(), size);
    buffer.As<char>()[size - 1] = '\0';
    ScratchBuffer text;
    AnsiToWide(buffer.As<const char>(), text);
    out = text.Empty() ? WideString() : WideString(text.As<const wchar_t>());
    return 0;
  }
  const UINT size = wide(nullptr, 0);
  if (size == 0) return GetLastError();
  ScratchBuffer buffer;
  buffer.Allocate(size, sizeof(wchar_t));
  wide(buffer.As<wchar_t>(), size);
  buffer.As<wchar_t>()[size - 1] = L'\0';
  out = buffer.As<const wchar_t>();
  return 0;
}

}  // namespace

DWORD TempDirectory(WideString& out) {
  WideString path;
  const DWORD error = AskForDirectory([](wchar_t* b, DWORD n) { return GetTempPathW(n, b); },
                                      [](char* b, DWORD n) { return GetTempPathA(n, b); }, path);
  if (error != 0) return error;
  if (ReadFileAttributes(path.c_str()) == INVALID_FILE_ATTRIBUTES) return GetLastError();
  out = std::move(path);
  return 0;
}

DWORD WindowsDirectory(WideString& out) {
  return AskForDirectory([](wchar_t* b, UINT n) { return GetWindowsDirectoryW(b, n); },
                         [](char* b, UINT n) { return GetWindowsDirectoryA(b, n); }, out);
}

WideString SystemDirectory() {
  WideString path;
  if (AskForDirectory([](wchar_t* b, UINT n) { return GetSystemDirectoryW(b, n); },
                      [](char* b, UINT n) { return GetSystemDirectoryA(b, n); }, path) != 0) {
    return WideString();
  }
  return ReadFileAttributes(path.c_str()) == INVALID_FILE_ATTRIBUTES ? WideString() : path;
}

DWORD CurrentVersionDirectory(const wchar_t* valueName, WideString& out) {
  try {
    out = RegistryAccess().ReadString(RootKey::LocalMachine, kCurrentVersion, valueName, false);
  } catch (const RegistryException& e) {
    return e.Error();
  }
  return 0;
}

}  // namespace fw
