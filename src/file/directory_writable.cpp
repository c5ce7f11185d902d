#include "file/directory_writable.h"

#include <windows.h>

#include <cstdarg>
#include <cstdint>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/unique_resource.h"
#include "bridge/wide_string.h"
#include "file/critical_errors_suppressed.h"

namespace fw {
namespace {

constexpr int kProbeNames = 100;
constexpr DWORD kProbeNameLimit = MAX_PATH;
constexpr DWORD kProbeFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE;

// FormatMessage with the template's inserts passed as they come.
DWORD FormatW(wchar_t* out, const wchar_t* format, ...) {
  va_list inserts;
  va_start(inserts, format);
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_STRING, format, 0, LANG_USER_DEFAULT, out, kProbeNameLimit, &inserts);
  va_end(inserts);
  return length;
}

DWORD FormatA(char* out, const char* format, ...) {
  va_list inserts;
  va_start(inserts, format);
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_STRING, format, 0, LANG_USER_DEFAULT, out, kProbeNameLimit, &inserts);
  va_end(inserts);
  return length;
}

// Probe `attempt` directly in the folder (which ends with a backslash).
HANDLE CreateProbe(const WideString& folder, const ScratchBuffer& ansiFolder, int attempt) {
  const long number = attempt;
  if (IsWindows9x()) {
    char name[kProbeNameLimit + 1] = {};
    if (FormatA(name, "%1!s!fw_test%2!ld!.txt", ansiFolder.As<const char>(), number) == 0) return INVALID_HANDLE_VALUE;
    return CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, kProbeFlags, nullptr);
  }
  wchar_t name[kProbeNameLimit + 1] = {};
  if (FormatW(name, L"%1!ls!fw_test%2!ld!.txt", folder.c_str(), number) == 0) return INVALID_HANDLE_VALUE;
  return CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, kProbeFlags, nullptr);
}

}  // namespace

bool IsDirectoryWritable(const wchar_t* directory) {
  WideString folder(directory);
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  ScratchBuffer ansiFolder;
  if (IsWindows9x()) WideToAnsi(folder.c_str(), ansiFolder);

  const CriticalErrorsSuppressed quiet;
  UniqueFileHandle probe;  // delete-on-close: the probe vanishes when this ends
  DWORD error = 0;
  for (int attempt = 0; attempt < kProbeNames && !probe && error == 0; ++attempt) {
    probe.reset(CreateProbe(folder, ansiFolder, attempt));
    if (probe) break;
    error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) error = 0;  // taken: the next name
  }
  return error == 0;
}

}  // namespace fw
