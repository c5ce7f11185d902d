#include "entry_removal.h"

#include <algorithm>
#include <type_traits>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/unique_resource.h"
#include "file/move_file_ex.h"
#include "file/win_init_rename_list.h"

namespace fwcleanup {
namespace {

constexpr DWORD kRetryIntervalMs = 200;
constexpr int kRetries = 50;  // 10 s

// Worst last: an entry is tried again while anything in it is still in use.
enum class Outcome { kGone, kFailed, kInUse };

// The Unicode calls (NT family) and the ANSI calls (Windows 9x), chosen by the path's type.
DWORD Attributes(const wchar_t* path) { return GetFileAttributesW(path); }
DWORD Attributes(const char* path) { return GetFileAttributesA(path); }
void SetAttributes(const wchar_t* path, DWORD attributes) { SetFileAttributesW(path, attributes); }
void SetAttributes(const char* path, DWORD attributes) { SetFileAttributesA(path, attributes); }
BOOL Delete(const wchar_t* path, bool directory) { return directory ? RemoveDirectoryW(path) : DeleteFileW(path); }
BOOL Delete(const char* path, bool directory) { return directory ? RemoveDirectoryA(path) : DeleteFileA(path); }
HANDLE FindFirst(const wchar_t* pattern, WIN32_FIND_DATAW* data) { return FindFirstFileW(pattern, data); }
HANDLE FindFirst(const char* pattern, WIN32_FIND_DATAA* data) { return FindFirstFileA(pattern, data); }
BOOL FindNext(HANDLE find, WIN32_FIND_DATAW* data) { return FindNextFileW(find, data); }
BOOL FindNext(HANDLE find, WIN32_FIND_DATAA* data) { return FindNextFileA(find, data); }
void DeleteAtRestart(const wchar_t* path, bool, fw::WinInitRenameList&) { fw::DeleteAtRestart(path); }
// WinInit at a 9x start-up deletes files only.
void DeleteAtRestart(const char* path, bool directory, fw::WinInitRenameList& list) {
  if (!directory) list.AddDelete(path);
}
void Convert(const std::string& ansi, std::string& out) { out = ansi; }
void Convert(const std::string& ansi, std::wstring& out) {
  fw::ScratchBuffer wide;
  fw::AnsiToWide(ansi.c_str(), wide);
  if (!wide.Empty()) out = wide.As<wchar_t>();
}

// atRestart is set on the last try when what is still in use is to be deleted at the next restart.
template <typename String>
Outcome Remove(const String& path, bool tree, fw::WinInitRenameList* atRestart);

// Everything in the directory. The names are read first: deleting would disturb the listing.
template <typename String>
Outcome RemoveContents(const String& directory, fw::WinInitRenameList* atRestart) {
  const String folder = directory.back() == '\\' || directory.back() == '/' ? directory : directory + String(1, '\\');
  std::vector<String> children;
  std::conditional_t<std::is_same_v<String, std::string>, WIN32_FIND_DATAA, WIN32_FIND_DATAW> found;
  const fw::UniqueFindHandle find(FindFirst((folder + String(1, '*')).c_str(), &found));
  if (!find) return Outcome::kFailed;
  do {
    const String name = found.cFileName;
    if (name != String(1, '.') && name != String(2, '.')) children.push_back(folder + name);
  } while (FindNext(find.get(), &found));
  Outcome outcome = Outcome::kGone;
  for (const String& child : children) outcome = std::max(outcome, Remove(child, true, atRestart));
  return outcome;
}

template <typename String>
Outcome Remove(const String& path, bool tree, fw::WinInitRenameList* atRestart) {
  const DWORD attributes = Attributes(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Outcome::kGone : Outcome::kFailed;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) SetAttributes(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  Outcome contents = Outcome::kGone;
  // A junction or directory link leads out of the tree: only the link itself goes.
  if (directory && tree && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) contents = RemoveContents(path, atRestart);
  if (Delete(path.c_str(), directory)) return Outcome::kGone;
  const DWORD error = GetLastError();
  const bool inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
  const Outcome outcome = std::max(inUse ? Outcome::kInUse : Outcome::kFailed, contents);
  if (outcome == Outcome::kInUse && atRestart != nullptr) DeleteAtRestart(path.c_str(), directory, *atRestart);
  return outcome;
}

template <typename String>
void RemoveAll(const std::vector<DeletionEntry>& entries, bool deleteAtRestart) {
  std::vector<std::pair<String, bool>> pending;
  for (const DeletionEntry& entry : entries) Convert(entry.path, pending.emplace_back(String(), entry.tree).first);
  fw::WinInitRenameList winInit;
  for (int attempt = 0; attempt <= kRetries && !pending.empty(); ++attempt) {
    if (attempt > 0) Sleep(kRetryIntervalMs);
    fw::WinInitRenameList* atRestart = deleteAtRestart && attempt == kRetries ? &winInit : nullptr;
    const auto done = [&](const auto& entry) { return Remove(entry.first, entry.second, atRestart) != Outcome::kInUse; };
    pending.erase(std::remove_if(pending.begin(), pending.end(), done), pending.end());
  }
  if (winInit.Count() > 0) winInit.Flush();
}

}  // namespace

void RemoveEntries(const std::vector<DeletionEntry>& entries, bool deleteAtRestart) {
  if (fw::IsWindows9x()) {
    RemoveAll<std::string>(entries, deleteAtRestart);
  } else {
    RemoveAll<std::wstring>(entries, deleteAtRestart);
  }
}

}  // namespace fwcleanup
