// Local users and groups (NT family), through the network management functions of "Netapi32.dll".
// The library loads it on first use and keeps it for the process; its functions are looked up by
// name at every call, so a missing one ends the call with the look-up's error.
//
//   const UserDescription user = ...;                        // the nine texts from Java
//   AccountOutcome outcome = CreateUser(user, groups);
//   if (outcome.status != 0) report(outcome.inGroups ? -110001 : -110003, outcome.status);
//
// Statuses are Win32 errors or network management statuses (2100 to 2999). Nothing done before a
// failure is undone: a user whose update or group membership failed stays created.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace fw {

// The user as win32CreateUser describes it; texts are never null.
struct UserDescription {
  const char* expiry;  // ANSI decimal seconds since 1970; empty, negative or not a number: never
  const wchar_t* comment;
  const wchar_t* homeDirectory;
  const wchar_t* scriptPath;
  const wchar_t* password;
  const wchar_t* fullName;
  const wchar_t* name;
  const char* disabled;         // ANSI; true unless its first character is '0'
  const char* passwordExpired;  // ANSI; true unless its first character is '0'
};

// The account expiry as the system keeps it: the low 32 bits of a number that is not negative,
// else 0xFFFFFFFF (never).
DWORD ParseAccountExpiry(const char* text);

struct AccountOutcome {
  DWORD status = 0;
  bool inGroups = false;  // the failure came while adding the new user to its groups
};

// Adds the user (level 1), sets its expiry, full name and password expiry (level 3), then adds it
// to each group in turn, stopping at the first that fails.
AccountOutcome CreateUser(const UserDescription& user, const std::vector<const wchar_t*>& groups);
DWORD DeleteUser(const wchar_t* name);
// Adds the group, then all members in one call.
DWORD CreateGroup(const wchar_t* name, const std::vector<const wchar_t*>& members);
DWORD DeleteGroup(const wchar_t* name);

}  // namespace fw
