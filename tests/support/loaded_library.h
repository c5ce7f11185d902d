// LoadedLibrary: loads a DLL that the run placed beside the test program (the built fwnative.dll)
// and frees it when it ends; exports are looked up by name, typed from their declarations.
//
//   fwtest::LoadedLibrary library(L"fwnative.dll");
//   auto fail = fwtest::FailImport(library.get(), FWTEST_IMPORT(GetVersionExA), FALSE, 87);
//   auto getVersion = FWTEST_EXPORT(library, Java_com_fernwick_..._getVersion);  // null if absent
//
// The constructor throws std::runtime_error, with the Win32 error, when the DLL does not load.
// While the library is loaded its W imports carry the Windows 98 stubs (windows98_stubs.h); all
// of the DLL's code is library code.
#pragma once

#include "bridge/unique_resource.h"
#include "support/program_folder.h"
#include "support/windows98_stubs.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace fwtest {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const wchar_t* fileName)
      : module_(Load(ProgramFolder() + L"\\" + fileName)), windows98_(module_.get()) {}

  HMODULE get() const noexcept { return module_.get(); }
  // Null when the DLL does not export the name.
  template <typename Fn>
  Fn exported(const char* name) const noexcept {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
  }

 private:
  static fw::UniqueModule Load(const std::wstring& path) {
    fw::UniqueModule module(LoadLibraryW(path.c_str()));
    if (!module) {
      const DWORD error = GetLastError();
      throw std::runtime_error("LoadLibraryW(" + std::string(path.begin(), path.end()) + ") failed, error " +
                               std::to_string(error));
    }
    return module;
  }

  fw::UniqueModule module_;
  Windows98Stubs windows98_;  // after module_: the stubs end before the DLL is freed
};

#define FWTEST_EXPORT(library, function) ((library).exported<decltype(&::function)>(#function))

}  // namespace fwtest
