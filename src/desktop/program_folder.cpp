#include "desktop/program_folder.h"

#include <shlobj.h>

#include "bridge/platform.h"
#include "desktop/shell_folders.h"
#include "desktop/shell_notification.h"
#include "desktop/trailing_separator.h"
#include "file/ansi_path.h"

namespace fw {
namespace {

constexpr wchar_t kSeparators[] = L"\\/";

// 0 or the error of the failed call (or conversion), read before the ANSI copy is released.
DWORD MakeDirectory(const WideString& path, bool win9x) {
  if (win9x) {
    const AnsiPath ansi(path.c_str());
    if (ansi.Error() != 0) return ansi.Error();
    return CreateDirectoryA(ansi.Get(), nullptr) ? 0 : GetLastError();
  }
  return CreateDirectoryW(path.c_str(), nullptr) ? 0 : GetLastError();
}

// A level Windows 9x cannot remove is left without a word, but one whose path does not even
// convert is reported (Win32Exception): nothing was tried on it.
DWORD RemoveEmptyDirectory(const WideString& path, bool win9x) {
  if (win9x) return RemoveDirectoryA(AnsiPath(path.c_str()).Get()) ? 0 : GetLastError();
  return RemoveDirectoryW(path.c_str()) ? 0 : GetLastError();
}

// Undoing what this call made: whatever cannot be removed stays.
void RemoveMadeDirectory(const WideString& path, bool win9x) {
  if (win9x) {
    const AnsiPath ansi(path.c_str());
    if (ansi.Error() == 0) RemoveDirectoryA(ansi.Get());
    return;
  }
  RemoveDirectoryW(path.c_str());
}

// base, a separator unless it ends in one, then the name exactly as written.
WideString JoinAsWritten(const WideString& base, const WideString& name) {
  WideString path = base;
  EnsureTrailingSeparator(path);
  path += name;
  return path;
}

}  // namespace

DWORD CreateProgramFolder(const WideString& base, const WideString& name, WideString& made) {
  const DWORD error = CreateFolderLevels(base, name, made);
  if (error != 0) return error;
  NotifyShellOfPath(SHCNE_MKDIR, JoinAsWritten(base, name));  // once, however many levels were made
  return 0;
}

DWORD RemoveProgramFolder(const WideString& base, const WideString& name) {
  DWORD error = RemoveFolderLevels(base, name);
  if (error == ERROR_FILE_NOT_FOUND) error = 0;  // already gone
  if (error == 0) NotifyShellOfPath(SHCNE_RMDIR, JoinAsWritten(base, name));
  if (IsWindows9x()) return 0;
  return error == ERROR_DIR_NOT_EMPTY ? 0 : error;  // a folder still in use by other items stays
}

DWORD CreateFolderLevels(const WideString& base, const WideString& name, WideString& made) {
  made.clear();
  const bool win9x = IsWindows9x();
  if (!base.empty() && !PathExists(base)) return ERROR_FILE_NOT_FOUND;
  made = base;
  if (name.empty()) return 0;

  StringList created;
  DWORD error = 0;
  std::size_t position = 0;
  bool lastLevel = false;
  while (error == 0 && !lastLevel) {
    std::size_t separator = name.find_first_of(kSeparators, position);
    if (separator == WideString::npos) {
      separator = name.size();
      lastLevel = true;
    }
    EnsureTrailingSeparator(made);
    made.append(name, position, separator - position);
    if (separator > position) {
      error = MakeDirectory(made, win9x);
      if (error == 0) {
        created.push_back(made);
      } else if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
        error = 0;  // an existing level is no failure, and not ours to undo
      }
    }
    position = separator + 1;
  }
  if (error == 0) return 0;

  for (auto level = created.rbegin(); level != created.rend(); ++level) RemoveMadeDirectory(*level, win9x);
  made.clear();
  return error;
}

DWORD RemoveFolderLevels(const WideString& base, const WideString& name) {
  const bool win9x = IsWindows9x();
  if (!PathExists(name.empty() ? base : JoinAsWritten(base, name))) return ERROR_FILE_NOT_FOUND;
  if (name.empty()) return 0;

  DWORD error = 0;
  std::size_t end = name.size();
  bool lastLevel = false;
  while (error == 0 && !lastLevel) {
    // The level being removed is the text between the separator before `end` and `end`.
    std::size_t levelStart = 0;
    std::size_t nextEnd = 0;
    const std::size_t separator = end == 0 ? WideString::npos : name.find_last_of(kSeparators, end - 1);
    if (separator == WideString::npos) {
      lastLevel = true;
    } else {
      levelStart = separator + 1;
      nextEnd = separator;
    }
    if (end > levelStart) error = RemoveEmptyDirectory(JoinAsWritten(base, name.substr(0, end)), win9x);
    end = nextEnd;
  }
  return error;
}

}  // namespace fw
