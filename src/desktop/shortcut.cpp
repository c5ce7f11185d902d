#include "desktop/shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "desktop/program_folder.h"
#include "desktop/shell_notification.h"
#include "desktop/shell_owners.h"
#include "desktop/trailing_separator.h"
#include "file/ansi_path.h"

namespace fw {
namespace {

const wchar_t* TextOrEmpty(const wchar_t* text) { return text != nullptr ? text : L""; }

// The ANSI copy of one link property; a null text stays absent.
class AnsiText {
 public:
  explicit AnsiText(const wchar_t* text) { WideToAnsi(text, ansi_); }
  const char* Get() const noexcept { return ansi_.As<const char>(); }
  bool Given() const noexcept { return !ansi_.Empty() && Get()[0] != '\0'; }

 private:
  ScratchBuffer ansi_;
};

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
  WideString linkPath;
  const DWORD status = CreateProgramFolder(folder, subFolder, linkPath);
  if (status != 0) return status;
  EnsureTrailingSeparator(linkPath);
  linkPath += TextOrEmpty(itemName);
  linkPath += L".lnk";

  HRESULT result = WriteShellLink(target, arguments, workingDirectory, linkPath.c_str(), itemName, iconLocation);
  if (result == CO_E_NOTINITIALIZED) {
    // A Java thread other than the one that loaded the library: COM for the length of this call.
    const HRESULT initialised = CoInitialize(nullptr);
    if (initialised != S_OK) {
      if (SUCCEEDED(initialised)) CoUninitialize();  // keep the thread's COM count as it was
      return static_cast<DWORD>(initialised);
    }
    result = WriteShellLink(target, arguments, workingDirectory, linkPath.c_str(), itemName, iconLocation);
    CoUninitialize();
  }
  if (result == S_OK) NotifyShellOfPath(SHCNE_CREATE, linkPath);
  return static_cast<DWORD>(result);
}

HRESULT WriteShellLink(const wchar_t* target, const wchar_t* arguments, const wchar_t* workingDirectory,
                       const wchar_t* linkPath, const wchar_t* itemName, const wchar_t* iconLocation) {
  ComInterface<IShellLinkA> link;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(link.put()));
  if (FAILED(result)) return result;
  ComInterface<IPersistFile> file;
  result = link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
  if (FAILED(result)) return result;

  const AnsiText ansiTarget(target);
  const AnsiText description(itemName);
  const AnsiText ansiArguments(arguments);
  const AnsiText directory(workingDirectory);
  const AnsiText icon(iconLocation);
  result = link.get()->SetPath(ansiTarget.Get());
  // A refused property does not stop the link from being saved; the save decides the outcome.
  if (SUCCEEDED(result) && description.Given()) result = link.get()->SetDescription(description.Get());
  if (SUCCEEDED(result) && ansiArguments.Given()) result = link.get()->SetArguments(ansiArguments.Get());
  if (SUCCEEDED(result) && directory.Given()) result = link.get()->SetWorkingDirectory(directory.Get());
  if (SUCCEEDED(result) && icon.Given()) link.get()->SetIconLocation(icon.Get(), 0);
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
