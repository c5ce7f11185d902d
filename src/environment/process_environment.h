// Variables of the installer's own process (and of the processes it starts afterwards), through
// GetEnvironmentVariable / SetEnvironmentVariable: the W functions on the NT family, the A
// functions on converted text otherwise.
//
//   WideString value;
//   if (ReadProcessVariable(name.Get(), value)) return NewJavaString(env, value);
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

// False when the variable is not set or is set to an empty text; out is then untouched. The name
// must not be null or empty.
bool ReadProcessVariable(const wchar_t* name, WideString& out);

// Sets the variable, or deletes it for a null value. A null or empty name does nothing. Returns
// the error to report, or 0 (also for deleting a variable that is not set).
DWORD WriteProcessVariable(const wchar_t* name, const wchar_t* value);

}  // namespace fw
