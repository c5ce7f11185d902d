// Shortcut items: ".lnk" files written through the shell's link object, and their removal.
//
//   DWORD status = CreateShortcut(folder, L"Fernwick", L"Readme", L"C:\\App\\readme.txt", L"", L"", L"");
//
// CreateShortcut makes the program folder (CreateProgramFolder), writes folder\item.lnk and tells
// the shell (SHCNE_CREATE). A call on a thread without COM initialises COM for that one call and
// uninitialises it before returning. Link properties reach the shell as ANSI text on both
// families; an absent or empty text leaves its property unset, and a text that does not convert
// is refused with the conversion's error before anything is made. On Windows 9x a path that does
// not convert is reported (Win32Exception) rather than taken for a missing item. Statuses are 0,
// an HRESULT or a Win32 error.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"
#include "file/ansi_path.h"

namespace fw {

DWORD CreateShortcut(const WideString& folder, const WideString& subFolder, const wchar_t* itemName,
                     const wchar_t* target, const wchar_t* arguments, const wchar_t* iconLocation,
                     const wchar_t* workingDirectory);

// The link's texts in the ANSI code page, converted once for every attempt to write it.
class ShellLinkTexts {
 public:
  ShellLinkTexts(const wchar_t* target, const wchar_t* itemName, const wchar_t* arguments,
                 const wchar_t* workingDirectory, const wchar_t* iconLocation);
  // 0, or the error of the first text that did not convert (which the link must not go without).
  DWORD Error() const noexcept;
  const char* Target() const { return target_.Get(); }
  const char* Description() const { return description_.Get(); }
  const char* Arguments() const { return arguments_.Get(); }
  const char* Directory() const { return directory_.Get(); }
  const char* Icon() const { return icon_.Get(); }

 private:
  const AnsiPath target_, description_, arguments_, directory_, icon_;
};

// Writes one link file, overwriting any file of that name; the result is that of
// IPersistFile::Save, which is called even when a property was refused. The item name becomes the
// description; the icon index is always 0.
HRESULT WriteShellLink(const ShellLinkTexts& texts, const wchar_t* linkPath);

// Deletes folder\subFolder\itemName.lnk; on Windows 9x a ".pif" or ".url" item of that name too
// (".lnk" first). A missing item is no failure; the shell is told (SHCNE_DELETE) either way. A
// file that cannot be deleted gives its error, without notification.
DWORD DeleteShortcutFile(const WideString& folder, const WideString& subFolder, const wchar_t* itemName);

}  // namespace fw
