#include "environment/process_environment.h"

#include <cstring>
#include <cwchar>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"

namespace fw {
namespace {

// Most variables fit; a longer one is read again at the size the first call reports.
constexpr DWORD kFirstReadSize = 255;
// Characters of a variable's name or value, the terminator included.
constexpr DWORD kLongestText = 32767;

bool ReadWide(const wchar_t* name, WideString& out) {
  ScratchBuffer buffer;
  buffer.Allocate(kFirstReadSize, sizeof(wchar_t));
  DWORD count = GetEnvironmentVariableW(name, buffer.As<wchar_t>(), kFirstReadSize);
  if (count > kFirstReadSize) {
    const DWORD size = count;
    buffer.Allocate(size, sizeof(wchar_t));
    count = GetEnvironmentVariableW(name, buffer.As<wchar_t>(), size);
  }
  if (count == 0) return false;
  out.assign(buffer.As<const wchar_t>(), wcsnlen(buffer.As<const wchar_t>(), buffer.Count()));
  return true;
}

bool ReadAnsi(const wchar_t* name, WideString& out) {
  ScratchBuffer ansiName;
  WideToAnsi(name, ansiName);
  ScratchBuffer buffer;
  buffer.Allocate(kFirstReadSize, 1);
  DWORD count = GetEnvironmentVariableA(ansiName.As<const char>(), buffer.As<char>(), kFirstReadSize);
  if (count > kFirstReadSize) {
    const DWORD size = count;
    buffer.Allocate(size, 1);
    count = GetEnvironmentVariableA(ansiName.As<const char>(), buffer.As<char>(), size);
  }
  if (count == 0) return false;
  // A zero-filled buffer of the reported size keeps the text terminated whatever the second call did.
  const NarrowString text(buffer.As<const char>(), strnlen(buffer.As<const char>(), buffer.Count()));
  ScratchBuffer wide;
  AnsiToWide(text.c_str(), wide);
  out = wide.Empty() ? WideString() : WideString(wide.As<const wchar_t>());
  return true;
}

}  // namespace

bool ReadProcessVariable(const wchar_t* name, WideString& out) {
  return IsWindowsNT() ? ReadWide(name, out) : ReadAnsi(name, out);
}

DWORD WriteProcessVariable(const wchar_t* name, const wchar_t* value) {
  if (name == nullptr || name[0] == L'\0') return ERROR_SUCCESS;
  BOOL done;
  if (IsWindowsNT()) {
    done = SetEnvironmentVariableW(name, value);
  } else {
    // A name or value that does not convert throws its error: its empty copy would name no
    // variable, or delete one.
    ScratchBuffer ansiName;
    WideToAnsi(name, ansiName);
    ScratchBuffer ansiValue;
    WideToAnsi(value, ansiValue);  // a null value stays null and deletes
    // No variable holds 32,767 characters or more, and the ANSI entry point cannot even convert
    // such a text (Wine then passes on an uninitialised pointer and crashes).
    if (ansiName.Count() > kLongestText || ansiValue.Count() > kLongestText) return ERROR_INVALID_PARAMETER;
    done = SetEnvironmentVariableA(ansiName.As<const char>(), ansiValue.As<const char>());
  }
  if (done) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  // Deleting a variable that is not set leaves things as asked.
  if (error == ERROR_ENVVAR_NOT_FOUND && value == nullptr) return ERROR_SUCCESS;
  return error;
}

}  // namespace fw
