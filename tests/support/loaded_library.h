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
#include "support/windows98_stubs.h"

#include <windows.h>

namespace fwtest {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const wchar_t* fileName);

  HMODULE get() const noexcept { return module_.get(); }
  // Null when the DLL does not export the name.
  void* address(const char* name) const noexcept;
  template <typename Fn>
  Fn exported(const char* name) const noexcept {
    return reinterpret_cast<Fn>(address(name));
  }

 private:
  fw::UniqueModule module_;
  Windows98Stubs windows98_;  // after module_: the stubs end before the DLL is freed
};

#define FWTEST_EXPORT(library, function) ((library).exported<decltype(&::function)>(#function))

}  // namespace fwtest
