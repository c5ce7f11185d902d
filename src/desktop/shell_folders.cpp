#include "desktop/shell_folders.h"

#include <shlobj.h>

#include <utility>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "desktop/shell_owners.h"
#include "desktop/trailing_separator.h"
#include "file/ansi_path.h"

namespace fw {
namespace {

struct FolderToken {
  const wchar_t* token;
  int ntFolder;
  int win9xFolder;  // Windows 9x has no all-users folders
};

// Resolved in this order.
constexpr FolderToken kFolderTokens[] = {
    {L"$UserPrograms$", CSIDL_PROGRAMS, CSIDL_PROGRAMS},
    {L"$AllUsersPrograms$", CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS},
    {L"$UserStartMenu$", CSIDL_STARTMENU, CSIDL_STARTMENU},
    {L"$AllUsersStartMenu$", CSIDL_COMMON_STARTMENU, CSIDL_STARTMENU},
    {L"$UserDesktop$", CSIDL_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY},
    {L"$AllUsersDesktop$", CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY},
};

constexpr DWORD kShellPathBytes = MAX_PATH;

const wchar_t* TextOrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }

}  // namespace

DWORD ResolveFolderTokens(WideString& path) {
  const bool win9x = IsWindows9x();
  for (const FolderToken& row : kFolderTokens) {
    const DWORD status = ReplaceFolderToken(path, row.token, win9x ? row.win9xFolder : row.ntFolder);
    if (status != 0) return status;
  }
  return 0;
}

DWORD ReplaceFolderToken(WideString& path, const WideString& token, int folderId) {
  std::size_t position = path.find(token);
  if (position == WideString::npos) return 0;

  ItemIdList list;
  const HRESULT located = SHGetSpecialFolderLocation(nullptr, folderId, list.put());
  if (FAILED(located)) return static_cast<DWORD>(located);
  ScratchBuffer ansiFolder;
  ansiFolder.Allocate(kShellPathBytes, 1);
  // The ANSI form on every family: the shell folders of the 9x family are ANSI-named.
  const bool converted = SHGetPathFromIDListA(list.get(), ansiFolder.As<char>()) != FALSE;
  list.reset();
  if (!converted) return ERROR_BAD_ARGUMENTS;

  ScratchBuffer wideFolder;
  AnsiToWide(ansiFolder.As<const char>(), wideFolder);
  const WideString folder = wideFolder.Empty() ? WideString() : WideString(wideFolder.As<const wchar_t>());
  while (position != WideString::npos) {
    path.replace(position, token.size(), folder);
    position = path.find(token, position + folder.size());
  }
  return static_cast<DWORD>(located);
}

bool PathExists(const WideString& path) {
  if (IsWindows9x()) return GetFileAttributesA(AnsiPath(path.c_str()).Checked()) != INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD DesktopFolderPath(const wchar_t* folder, const wchar_t* subFolder, WideString& out) {
  WideString resolved = TextOrEmpty(folder);
  const DWORD status = ResolveFolderTokens(resolved);
  if (status != 0) return status;
  EnsureTrailingSeparator(resolved);
  resolved += TextOrEmpty(subFolder);
  out = std::move(resolved);
  return 0;
}

DWORD DesktopItemPath(const wchar_t* folder, const wchar_t* subFolder, const wchar_t* itemName, WideString& out) {
  WideString path;
  const DWORD status = DesktopFolderPath(folder, subFolder, path);
  if (status != 0) return status;
  EnsureTrailingSeparator(path);
  path += TextOrEmpty(itemName);
  path += L".lnk";
  out = std::move(path);
  return 0;
}

}  // namespace fw
