// Start-up commands: command lines kept as values of the machine-wide run-once key, which Windows
// runs and removes at the next logon.
//
//   if (DWORD error = AddStartupCommand(command.Get())) ThrowServiceException(env, code, error);
//
// The library names its own values "FWNK" and a number of at least five digits (FWNK00001, ...),
// taking the lowest free number, so gaps left by removed commands are filled first. Listing shows
// every string value under the key, also those of other programs; removal only ever touches the
// library's own names. Values that are not strings are passed over. Registry failures raise
// RegistryException.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

// HKEY_LOCAL_MACHINE (RootKey 4) below this path.
constexpr const wchar_t kRunOncePath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const wchar_t kStartupCommandPrefix[] = L"FWNK";

// The value name for number n: the prefix and n zero-padded to five digits.
WideString StartupCommandName(int number);

// Stores the command under the lowest free name. Returns E_INVALIDARG for a null or empty command
// and ERROR_NO_MORE_ITEMS once every number up to 32767 is taken; 0 when stored.
DWORD AddStartupCommand(const wchar_t* command);

// Appends every string value under the key, in the system's order, with REG_EXPAND_SZ expanded.
void ListStartupCommands(StringList& out);

// Deletes the first of the library's values (in the system's order) whose text equals the command
// exactly, letter case included. Returns E_INVALIDARG for a null or empty command; finding nothing
// is no error.
DWORD RemoveStartupCommand(const wchar_t* command);

}  // namespace fw
