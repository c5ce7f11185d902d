#include "desktop/desktop_service.h"

#include "bridge/com_init_result.h"
#include "bridge/wide_string.h"
#include "desktop/program_folder.h"
#include "desktop/shell_folders.h"
#include "desktop/shortcut.h"

namespace fw {

DWORD CreateDesktopFolder(const wchar_t* base, const wchar_t* name) {
  if (base == nullptr || name == nullptr) return ERROR_INVALID_PARAMETER;
  WideString resolved = base;
  const DWORD status = ResolveFolderTokens(resolved);
  if (status != 0) return status;
  WideString made;
  return CreateProgramFolder(resolved, name, made);
}

DWORD RemoveDesktopFolder(const wchar_t* base, const wchar_t* name) {
  if (base == nullptr || name == nullptr) return ERROR_INVALID_PARAMETER;
  WideString resolved = base;
  const DWORD status = ResolveFolderTokens(resolved);
  if (status != 0) return status;
  if (name[0] == L'\0') return 0;
  return RemoveProgramFolder(resolved, name);
}

DWORD CreateDesktopItem(const wchar_t* folder, const wchar_t* subFolder, const wchar_t* itemName, const wchar_t* target,
                        const wchar_t* arguments, const wchar_t* iconLocation, const wchar_t* workingDirectory) {
  const HRESULT comInit = ComInitResult();
  if (FAILED(comInit)) return static_cast<DWORD>(comInit);
  if (folder == nullptr || subFolder == nullptr || itemName == nullptr || target == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  WideString resolved = folder;
  const DWORD status = ResolveFolderTokens(resolved);
  if (status != 0) return status;
  return CreateShortcut(resolved, subFolder, itemName, target, arguments, iconLocation, workingDirectory);
}

DWORD RemoveDesktopItem(const wchar_t* folder, const wchar_t* subFolder, const wchar_t* itemName) {
  if (folder == nullptr || subFolder == nullptr || itemName == nullptr) return ERROR_INVALID_PARAMETER;
  WideString resolved = folder;
  const DWORD status = ResolveFolderTokens(resolved);
  if (status != 0) return status;
  const DWORD error = DeleteShortcutFile(resolved, subFolder, itemName);
  if (error != 0 || subFolder[0] == L'\0') return error;
  return RemoveProgramFolder(resolved, subFolder);
}

}  // namespace fw
