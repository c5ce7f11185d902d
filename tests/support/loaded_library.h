// LoadedLibrary: loads a DLL the run placed beside the test program (the built fwnative.dll), with
// the Windows 9x stubs on its W imports, and frees it when it ends; throws std::runtime_error when
// the DLL does not load. Exports are looked up by name, typed from their declarations.
//
//   fwtest::LoadedLibrary library(L"fwnative.dll");
//   auto getVersion = FWTEST_EXPORT(library, Java_com_fernwick_..._getVersion);  // null if absent
#pragma once

#include "bridge/unique_resource.h"
#include "support/program_folder.h"
#include "support/windows9x_stubs.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace fwtest {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const wchar_t* fileName)
      : module_(Load(ProgramFolder() + L"\\" + fileName)), windows9x_(module_.get()) {}

  HMODULE get() const noexcept { return module_.get(); }

 private:
  static fw::UniqueModule Load(const std::wstring& path) {
    fw::UniqueModule module(LoadLibraryW(path.c_str()));
    const DWORD error = GetLastError();
    if (!module) throw std::runtime_error("loading " + std::string(path.begin(), path.end()) + ": error " + std::to_string(error));
    return module;
  }

  fw::UniqueModule module_;
  Windows9xStubs windows9x_;  // after module_: the stubs end before the DLL is freed
};

#define FWTEST_EXPORT(library, function) \
  reinterpret_cast<decltype(&::function)>(reinterpret_cast<void*>(GetProcAddress((library).get(), #function)))

}  // namespace fwtest
