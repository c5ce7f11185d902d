// The running test program's own file and folder, where the run places the DLLs it needs.
//
//   std::wstring dll = fwtest::ProgramFolder() + L"\\fwnative.dll";
#pragma once

#include <string>

namespace fwtest {

std::wstring ProgramPath();
// Without the trailing backslash.
std::wstring ProgramFolder();

}  // namespace fwtest
