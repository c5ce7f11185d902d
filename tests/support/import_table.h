// Finds the import address table slots through which a module calls a function of another DLL.
//
//   std::vector<void**> slots = fwtest::FindImportSlots(GetModuleHandleW(nullptr), "GetVersionExA");
//   // each *slot is the address the module calls; "kernel32.dll" as a third argument narrows it
//   std::vector<void*> now = fwtest::ReadImportSlots(module, "GetVersionExA");  // to compare later
//   std::vector<std::string> names = fwtest::ImportedFunctionNames(module);     // of every DLL
//
// Imports are matched by name (exact, case-sensitive, as the linker recorded them); the DLL name
// is compared case-insensitively. Every import descriptor naming the DLL counts, since a linker
// may emit several for one DLL. Imports by ordinal are never matched.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fwtest {

std::vector<void**> FindImportSlots(HMODULE module, const char* function, const char* dll = nullptr);

// The addresses the slots hold now, in the same order.
std::vector<void*> ReadImportSlots(HMODULE module, const char* function, const char* dll = nullptr);

// The names of every function the module imports by name, from any DLL, each once.
std::vector<std::string> ImportedFunctionNames(HMODULE module);

}  // namespace fwtest
