#include "desktop/shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "bridge/platform.h"
#include "desktop/program_folder.h"
#include "desktop/shell_notification.h"
#include "desktop/shell_owners.h"
#include "desktop/trailing_separator.h"
#include "file/ansi_path.h"

namespace fw {
namespace {

const wchar_t* TextOrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }

// An absent or empty text leaves its property unset.
bool Given(const char* text) { return text != nullptr && text[0] != '\0'; }

bool FileExists(const WideString& path, bool win9x) {
  if (win9x) return GetFileAttributesA(AnsiPath(path.c_str()).Get()) != INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// 0 or the error of the failed call, read before the ANSI copy is released.
DWORD DeleteOneFile(const WideString& path, bool win9x) {
  if (win9x) return DeleteFileA(AnsiPath(path.c_str()).Get()) ? 0 : GetLastError();
  return DeleteFileW(path.c_str()) ? 0 : GetLastError();
}

}  // namespace

DWORD CreateShortcut(const WideString& folder, const WideString& subFolder, const wchar_t* itemName,
                     const wchar_t* target, const wchar_t* arguments, const wchar_t* iconLocation,
                     const wchar_t* workingDirectory) {
  // A text that does not convert would leave its property unset without a word: refused first.
  const ShellLinkTexts texts(target, itemName, arguments, workingDirectory, iconLocation);
  if (texts.Error() != 0) return texts.Error();
  WideString linkPath;
  const DWORD status = CreateProgramFolder(folder, subFolder, linkPath);
  if (status != 0) return status;
  EnsureTrailingSeparator(linkPath);
  linkPath += TextOrEmpty(itemName);
  linkPath += L".lnk";

  HRESULT result = WriteShellLink(texts, linkPath.c_str());
  if (result == CO_E_NOTINITIALIZED) {
    // A Java thread other than the one that loaded the library: COM for the length of this call.
    const HRESULT initialised = CoInitialize(nullptr);
    if (initialised != S_OK) {
      if (SUCCEEDED(initialised)) CoUninitialize();  // keep the thread's COM count as it was
      return static_cast<DWORD>(initialised);
    }
    result = WriteShellLink(texts, linkPath.c_str());
    CoUninitialize();
  }
  if (result == S_OK) NotifyShellOfPath(SHCNE_CREATE, linkPath);
  return static_cast<DWORD>(result);
}

ShellLinkTexts::ShellLinkTexts(const wchar_t* target, const wchar_t* itemName, const wchar_t* arguments,
                               const wchar_t* workingDirectory, const wchar_t* iconLocation)
    : target_(target), description_(itemName), arguments_(arguments), directory_(workingDirectory),
      icon_(iconLocation) {}

DWORD ShellLinkTexts::Error() const noexcept {
  for (const AnsiPath* text : {&target_, &description_, &arguments_, &directory_, &icon_}) {
    if (text->Error() != 0) return text->Error();
  }
  return 0;
}

HRESULT WriteShellLink(const ShellLinkTexts& texts, const wchar_t* linkPath) {
  ComInterface<IShellLinkA> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(link.put()));
  if (FAILED(result)) return result;
  ComInterface<IPersistFile> file;
  result = link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
  if (FAILED(result)) return result;

  result = link.get()->SetPath(texts.Target());
  // A refused property does not stop the link from being saved; the save decides the outcome.
  if (SUCCEEDED(result) && Given(texts.Description())) result = link.get()->SetDescription(texts.Description());
  if (SUCCEEDED(result) && Given(texts.Arguments())) result = link.get()->SetArguments(texts.Arguments());
  if (SUCCEEDED(result) && Given(texts.Directory())) result = link.get()->SetWorkingDirectory(texts.Directory());
  if (SUCCEEDED(result) && Given(texts.Icon())) link.get()->SetIconLocation(texts.Icon(), 0);
  return file.get()->Save(linkPath, TRUE);
}

DWORD DeleteShortcutFile(const WideString& folder, const WideString& subFolder, const wchar_t* itemName) {
  WideString stem = folder;
  EnsureTrailingSeparator(stem);
  stem += subFolder;
  EnsureTrailingSeparator(stem);
  stem += TextOrEmpty(itemName);

  const bool win9x = IsWindows9x();
  WideString candidate;
  bool exists = false;
  // Windows 9x installers also left DOS program items and Internet shortcuts under an item's name.
  for (const wchar_t* suffix : {L".lnk", L".pif", L".url"}) {
    candidate = stem + suffix;
    exists = FileExists(candidate, win9x);
    if (exists || !win9x) break;
  }
  if (exists) {
    const DWORD error = DeleteOneFile(candidate, win9x);
    if (error != 0) return error;
  }
  NotifyShellOfPath(SHCNE_DELETE, candidate);
  return 0;
}

}  // namespace fw
