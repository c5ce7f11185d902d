// The product's entry in the system's list of installed programs: one key per product below
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall" holding "DisplayName" and
// "UninstallString" (both REG_SZ, nothing else).
//
//   RegisterUninstaller(L"Fernwick Editor", L"Fernwick Editor 2.1", L"\"C:\\Fernwick\\uninstall.exe\"");
//   UnregisterUninstaller(L"Fernwick Editor", L"Fernwick Editor 2.0");
//
// Administrators, and every user of the 9x family, register for the machine (HKEY_LOCAL_MACHINE);
// other users of the NT family for themselves (HKEY_CURRENT_USER). A failed administrator test
// counts as "not an administrator". Key names are cut to their first 63 characters, display names
// too except on Windows 2000, which keeps them whole.
//
// Failures raise RegistryException, except that registering without write access (5) stops
// quietly: the product then goes unlisted. Nothing is rolled back. A null or empty product key
// name raises 87 before anything is touched, since it would address the list key itself.
#pragma once

namespace fw {

void RegisterUninstaller(const wchar_t* productKey, const wchar_t* displayName, const wchar_t* uninstallCommand);

// Deletes the key named alternateKey (whole; none when null or empty) and then the product's key,
// each with everything below it and each only when present.
void UnregisterUninstaller(const wchar_t* productKey, const wchar_t* alternateKey);

}  // namespace fw
