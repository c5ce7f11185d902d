// Shared pieces of the file-service tests: a temporary folder per test, files and their bytes, files
// held open the way an installer meets them, and backups of the machine-wide reboot-time records.
#pragma once

#include <windows.h>

#include <jni.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bridge/unique_resource.h"
#include "registry/registry_test_key.h"

namespace fwtest {

inline constexpr char kFileService[] = "com/fernwick/wizard/platform/win32/Win32FileServiceImpl";
inline constexpr char kFileAttributes[] = "com/fernwick/util/FileAttributes";

// A new empty folder under the temporary directory, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

void RemoveAll(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// nullopt when the file cannot be opened.
std::optional<std::string> ReadBytes(const std::wstring& path);
inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
void MakeFolder(const std::wstring& path);

// The path of a shell folder (CSIDL), asked independently of the code under test; "" when there is none.
inline std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// Held open by "another program": share 0 refuses every other open; FILE_SHARE_READ |
// FILE_SHARE_DELETE lets the file be renamed but not written or replaced, like a running program.
fw::UniqueFileHandle HoldOpen(const std::wstring& path, DWORD share = 0);

// UTF-16 and ANSI (code page of the moment) conversions for test values.
inline std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::string Ansi(const std::wstring& text);
std::string ShortPathOf(const std::wstring& path);  // GetShortPathNameA of the ANSI path
// A text argument of either family's function, in ANSI.
inline std::string AnsiOf(const char* text) { return text; }
inline std::string AnsiOf(const wchar_t* text) { return Ansi(text); }

// Backs up "WinInit.Ini" of the Windows directory, removes it, and puts the original back at the
// end, so no test leaves lines that a later start would carry out.
class ScopedWinInit {
 public:
  ScopedWinInit();
  ~ScopedWinInit();
  ScopedWinInit(const ScopedWinInit&) = delete;
  ScopedWinInit& operator=(const ScopedWinInit&) = delete;

  const std::wstring& path() const { return path_; }
  std::optional<std::string> Contents() const { return ReadBytes(path_); }

 private:
  std::wstring path_;
  std::optional<std::string> saved_;
};

// Backs up the system's pending renames (PendingFileRenameOperations) and restores them at the end.
class ScopedPendingRenames {
 public:
  ScopedPendingRenames();
  ~ScopedPendingRenames();
  ScopedPendingRenames(const ScopedPendingRenames&) = delete;
  ScopedPendingRenames& operator=(const ScopedPendingRenames&) = delete;

  // The (source, destination) pairs recorded since the backup, with the "\??\" prefix removed;
  // an empty destination is a deletion, a "!" before it a replacement.
  std::vector<std::pair<std::wstring, std::wstring>> Added() const;

 private:
  std::optional<RawValue> saved_;
};

}  // namespace fwtest
