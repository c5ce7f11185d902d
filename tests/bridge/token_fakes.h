// Token fakes for code that binds the token functions by name (GetProcAddress substitutes, see
// support/substituted_proc_address.h). Wine runs every program as an elevated administrator, so a
// standard user exists only this way.
//
//   auto standardUser = fwtest::WithoutAdministratorsGroup(library.get());
//   ... the code under test now sees a token without BUILTIN\Administrators ...
#pragma once

#include <windows.h>

#include <algorithm>

#include "support/substituted_proc_address.h"

namespace fwtest {

[[gnu::noipa]] inline bool IsAdministratorsSid(PSID sid) {
  BYTE buffer[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof(buffer);
  return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

// Stands for the token of a standard user: the real TokenGroups answer with the Administrators
// entry taken out (the SIDs stay where they are in the buffer; only the table shrinks).
inline SubstitutedProcAddress<decltype(&::GetTokenInformation)> WithoutAdministratorsGroup(HMODULE module) {
  return SubstituteProcAddress(
      module, FWTEST_IMPORT(GetTokenInformation),
      [](auto original, HANDLE token, TOKEN_INFORMATION_CLASS type, LPVOID data, DWORD size, PDWORD needed) -> BOOL {
        const BOOL ok = original(token, type, data, size, needed);
        if (ok && type == TokenGroups) {
          auto* groups = static_cast<TOKEN_GROUPS*>(data);
          SID_AND_ATTRIBUTES* first = groups->Groups;
          SID_AND_ATTRIBUTES* last = std::remove_if(first, first + groups->GroupCount,
                                                    [](const SID_AND_ATTRIBUTES& g) { return IsAdministratorsSid(g.Sid); });
          groups->GroupCount = static_cast<DWORD>(last - first);
        }
        return ok;
      });
}

}  // namespace fwtest
