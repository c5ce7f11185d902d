// Token fakes for code that binds the token functions by name. Wine runs every program as an
// elevated administrator, so a standard user exists only this way.
//
//   auto standardUser = fwtest::WithoutAdministratorsGroup(library.get());   // no BUILTIN\Administrators
#pragma once

#include <windows.h>

#include "support/fake_import.h"

namespace fwtest {

[[gnu::noipa]] inline bool IsAdministratorsSid(PSID sid) {
  BYTE buffer[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof(buffer);
  return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

// Stands for the token of a standard user: the real TokenGroups answer with the Administrators
// entry taken out (the SIDs stay where they are in the buffer; only the table shrinks); with
// denyOnly, for the filtered token of an administrator who has not elevated: the entry kept, deny-only.
inline SubstitutedProcAddress<decltype(&::GetTokenInformation)> WithoutAdministratorsGroup(HMODULE module,
                                                                                           bool denyOnly = false) {
  return SubstituteProcAddress(
      module, FWTEST_IMPORT(GetTokenInformation),
      [denyOnly](auto original, HANDLE token, TOKEN_INFORMATION_CLASS type, LPVOID data, DWORD size,
                 PDWORD needed) -> BOOL {
        const BOOL ok = original(token, type, data, size, needed);
        if (!ok || type != TokenGroups) return ok;
        auto* groups = static_cast<TOKEN_GROUPS*>(data);
        DWORD kept = 0;
        for (DWORD i = 0; i < groups->GroupCount; ++i) {
          SID_AND_ATTRIBUTES group = groups->Groups[i];
          if (IsAdministratorsSid(group.Sid) && !denyOnly) continue;
          if (IsAdministratorsSid(group.Sid)) group.Attributes = SE_GROUP_USE_FOR_DENY_ONLY;
          groups->Groups[kept++] = group;
        }
        groups->GroupCount = kept;
        return ok;
      });
}

}  // namespace fwtest
