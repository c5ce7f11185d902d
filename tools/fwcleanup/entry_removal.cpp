#include "entry_removal.h"

#include <algorithm>
#include <type_traits>

#include "bridge/unique_resource.h"
#include "file/move_file_ex.h"
#include "file/win_init_rename_list.h"

namespace fwcleanup {
namespace {

constexpr DWORD kRetryIntervalMs = 200;

// Worst last: a target is tried again while anything in it is still in use.
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
bool DeleteAtRestart(const wchar_t* path, bool, fw::WinInitRenameList&) { return fw::DeleteAtRestart(path) == 0; }
// WinInit at a 9x start-up deletes files only.
bool DeleteAtRestart(const char* path, bool directory, fw::WinInitRenameList& list) {
  return !directory && list.AddDelete(path) == 0;
}

// One pass over the targets. atRestart is set when what is still in use is to be deleted at the
// next restart; nothing is deleted now when now is false (everything counts as in use).
struct Pass {
  fw::WinInitRenameList* atRestart;
  bool now;
};

template <typename String>
Outcome Remove(const String& path, bool tree, const Pass& pass);

// Everything in the directory. The names are read first: deleting would disturb the listing.
template <typename String>
Outcome RemoveContents(const String& directory, const Pass& pass) {
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
  for (const String& child : children) outcome = std::max(outcome, Remove(child, true, pass));
  return outcome;
}

template <typename String>
Outcome Remove(const String& path, bool tree, const Pass& pass) {
  const DWORD attributes = Attributes(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Outcome::kGone : Outcome::kFailed;
  }
  const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) SetAttributes(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  Outcome contents = Outcome::kGone;
  // A junction or directory link leads out of the tree: only the link itself goes.
  if (directory && tree && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) contents = RemoveContents(path, pass);
  if (pass.now && Delete(path.c_str(), directory)) return Outcome::kGone;
  const DWORD error = pass.now ? GetLastError() : ERROR_SHARING_VIOLATION;
  const bool inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
  const Outcome outcome = std::max(inUse ? Outcome::kInUse : Outcome::kFailed, contents);
  // A scheduled deletion needs the attribute off at the restart too.
  const bool scheduled = outcome == Outcome::kInUse && pass.atRestart != nullptr &&
                         DeleteAtRestart(path.c_str(), directory, *pass.atRestart);
  if (readOnly && !scheduled) SetAttributes(path.c_str(), attributes);
  return outcome;
}

template <typename String>
void RemoveAll(const std::vector<Target<String>>& targets, bool deleteAtRestart, int retries) {
  std::vector<Target<String>> pending = targets;
  fw::WinInitRenameList winInit;
  for (int attempt = 0; attempt <= retries && !pending.empty(); ++attempt) {
    if (attempt > 0) Sleep(kRetryIntervalMs);
    const Pass pass{deleteAtRestart && attempt == retries ? &winInit : nullptr, true};
    const auto done = [&](const Target<String>& target) { return Remove(target.path, target.tree, pass) != Outcome::kInUse; };
    pending.erase(std::remove_if(pending.begin(), pending.end(), done), pending.end());
  }
  if (winInit.Count() > 0) winInit.Flush();
}

template <typename String>
void ScheduleAll(const std::vector<Target<String>>& targets) {
  fw::WinInitRenameList winInit;
  const Pass pass{&winInit, false};
  for (const Target<String>& target : targets) Remove(target.path, target.tree, pass);
  if (winInit.Count() > 0) winInit.Flush();
}

}  // namespace

// Not templates themselves: their code stays in the object's own code section.
void RemoveTargets(const std::vector<Target<std::string>>& targets, bool deleteAtRestart, int retries) {
  RemoveAll(targets, deleteAtRestart, retries);
}
void RemoveTargets(const std::vector<Target<std::wstring>>& targets, bool deleteAtRestart, int retries) {
  RemoveAll(targets, deleteAtRestart, retries);
}
void ScheduleTargets(const std::vector<Target<std::string>>& targets) { ScheduleAll(targets); }
void ScheduleTargets(const std::vector<Target<std::wstring>>& targets) { ScheduleAll(targets); }

}  // namespace fwcleanup
