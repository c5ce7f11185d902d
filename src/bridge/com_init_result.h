// ComInitResult: the HRESULT of the CoInitialize call made once when the library is loaded. The
// shortcut code uses COM on the loading thread only when this is a success (non-negative).
#pragma once

#include <windows.h>

namespace fw {

HRESULT ComInitResult() noexcept;
void SetComInitResult(HRESULT result) noexcept;

// The library's own module handle, remembered when it is loaded (null inside the test program).
HMODULE LibraryModule() noexcept;
void SetLibraryModule(HMODULE module) noexcept;

}  // namespace fw
