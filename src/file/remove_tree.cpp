#include "file/remove_tree.h"

#include <cstring>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/unique_resource.h"
#include "file/ansi_path.h"
#include "file/delete_core.h"
#include "file/move_file_ex.h"

namespace fw {
namespace {

// The two character sets differ only in their find functions and in how a path reaches DeleteCore.
struct WideWalk {
  using Char = wchar_t;
  using FindData = WIN32_FIND_DATAW;
  static HANDLE First(const wchar_t* pattern, FindData* data) { return FindFirstFileW(pattern, data); }
  static BOOL Next(HANDLE find, FindData* data) { return FindNextFileW(find, data); }
  static void Delete(int& result, DWORD& error, const std::wstring& path, bool isFile) {
    DeleteCore(result, error, path.c_str(), isFile);
  }
  // A directory kept by what waits inside it goes at the next start too, after its contents.
  static DWORD RemoveAtRestart(const std::wstring& path) { return IsWindowsNT() ? DeleteAtRestart(path.c_str()) : 0; }
  static constexpr wchar_t kAll[] = L"*";
  static constexpr wchar_t kDot[] = L".";
  static constexpr wchar_t kDotDot[] = L"..";
};

struct AnsiWalk {
  using Char = char;
  using FindData = WIN32_FIND_DATAA;
  static HANDLE First(const char* pattern, FindData* data) { return FindFirstFileA(pattern, data); }
  static BOOL Next(HANDLE find, FindData* data) { return FindNextFileA(find, data); }
  static void Delete(int& result, DWORD& error, const std::string& path, bool isFile) {
    ScratchBuffer wide;
    AnsiToWide(path.c_str(), wide);
    DeleteCore(result, error, wide.Empty() ? L"" : wide.As<const wchar_t>(), isFile);
  }
  // The start-up processing of Windows 9x deletes files only: a kept directory stays.
  static DWORD RemoveAtRestart(const std::string&) { return 0; }
  static constexpr char kAll[] = "*";
  static constexpr char kDot[] = ".";
  static constexpr char kDotDot[] = "..";
};

// Removes one empty directory, or a directory link itself; true when that waits for the next start.
template <typename Walk>
bool RemoveEmptyDirectory(int& result, DWORD& error, const std::basic_string<typename Walk::Char>& path) {
  int own = 0;
  Walk::Delete(own, error, path, false);
  if (own != 1) return false;
  result = 1;
  return true;
}

// Returns true when something in this directory, or the directory itself, waits for the next
// start. The shared result keeps 1 once anything waited, while a sibling subtree that holds
// nothing busy is still removed completely.
template <typename Walk>
bool RemoveLevel(int& result, DWORD& error, const std::basic_string<typename Walk::Char>& path, bool removeSelf,
                 bool recursive) {
  using String = std::basic_string<typename Walk::Char>;
  String folder = path;
  if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
  const String pattern = folder + Walk::kAll;

  bool deferred = false;
  std::vector<String> files;
  {
    typename Walk::FindData entry;
    const UniqueFindHandle find(Walk::First(pattern.c_str(), &entry));
    if (!find) {
      error = GetLastError();
      return deferred;
    }
    BOOL more = TRUE;
    do {
      const String name = entry.cFileName;
      if (name == Walk::kDot || name == Walk::kDotDot) continue;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        files.push_back(folder + name);
      } else if (!recursive) {
        // subdirectories stay; the directory's own removal then fails
      } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A junction or directory link: what it leads to is outside the tree, so only the link goes.
        if (RemoveEmptyDirectory<Walk>(result, error, folder + name)) deferred = true;
      } else if (RemoveLevel<Walk>(result, error, folder + name, removeSelf, recursive)) {
        deferred = true;
      }
      if (error != 0) break;
    } while ((more = Walk::Next(find.get(), &entry)) != FALSE);
    if (!more) {
      const DWORD listingError = GetLastError();
      // A listing that stops early is reported as itself, not as a directory left not empty.
      if (listingError != ERROR_NO_MORE_FILES) error = listingError;
    }
  }

  // Files go after the enumeration is closed: deleting while it is open would disturb it.
  int fileResult = 0;
  DWORD fileError = 0;
  for (const String& file : files) {
    Walk::Delete(fileResult, fileError, file, true);
    if (fileResult == 1) {
      result = 1;
      deferred = true;
    }
    if (fileError != 0) break;
  }
  if (error == 0 && fileError != 0) error = fileError;
  if (!removeSelf || error != 0) return deferred;
  if (!deferred) return RemoveEmptyDirectory<Walk>(result, error, path);
  error = Walk::RemoveAtRestart(path);
  return deferred;
}

}  // namespace

void RemoveTreeW(int& result, DWORD& error, const wchar_t* path, bool removeSelf, bool recursive) {
  result = 0;
  RemoveLevel<WideWalk>(result, error, path, removeSelf, recursive);
}

void RemoveTreeA(int& result, DWORD& error, const char* path, bool removeSelf, bool recursive) {
  result = 0;
  RemoveLevel<AnsiWalk>(result, error, path, removeSelf, recursive);
}

FileOutcome RemoveDirectoryOrTree(const wchar_t* path, bool single, bool recursive) {
  if (path == nullptr) return Failed(ERROR_INVALID_PARAMETER);
  // An empty path names no directory: the walk would make it "\*", the root of the current drive.
  if (*path == L'\0') return Failed(ERROR_PATH_NOT_FOUND);
  if (const DWORD error = AnsiPathError(path)) return Failed(error);
  int result = -1;
  DWORD error = 0;
  if (single) {
    DeleteCore(result, error, path, false);
  } else if (IsWindows9x()) {
    ScratchBuffer ansi;
    WideToAnsi(path, ansi);
    RemoveTreeA(result, error, ansi.Empty() ? "" : ansi.As<const char>(), true, recursive);
  } else {
    RemoveTreeW(result, error, path, true, recursive);
  }
  if (error != 0) return Failed(error);
  return result == 1 ? DoneAtRestart() : Done();
}

}  // namespace fw
