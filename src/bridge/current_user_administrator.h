// IsCurrentUserAdministrator: whether the token of the caller lists the local Administrators group
// (S-1-5-32-544). The thread's token is asked when the thread impersonates, the process token
// otherwise. The group's attributes are not looked at: a deny-only entry still counts.
//
//   DWORD error = 0;
//   const bool administrator = IsCurrentUserAdministrator(error);
//   if (error != 0) ... the test could not be made; the answer is then false
//
// The token functions are bound by name from "advapi32.dll"; a missing one (the 9x family has only
// stubs) gives false with the look-up's error. Nothing is thrown but std::bad_alloc.
#pragma once

#include <windows.h>

namespace fw {

bool IsCurrentUserAdministrator(DWORD& error);

}  // namespace fw
