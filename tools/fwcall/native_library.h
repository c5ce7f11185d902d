// NativeLibrary: the DLL under test, loaded as a JVM loads a JNI library (LoadLibrary, then each
// native method looked up by the names the JNI rule gives), and freed at the end.
//
//   NativeLibrary dll;
//   if (!dll.Load(L"C:\\fw\\fwnative.dll", &error)) ...
//   FARPROC f = dll.Find(method);      // null when the DLL does not export the method
#pragma once

#include <windows.h>

#include <string>

#include "fwcall/method_table.h"

namespace fwcall {

class NativeLibrary {
 public:
  NativeLibrary() = default;
  ~NativeLibrary();
  NativeLibrary(const NativeLibrary&) = delete;
  NativeLibrary& operator=(const NativeLibrary&) = delete;

  // False, with a message naming the path and the system's reason, when the DLL does not load.
  bool Load(const std::wstring& path, std::string* error);
  FARPROC Find(const NativeMethod& method) const;
  bool IsLoaded() const { return module_ != nullptr; }

 private:
  HMODULE module_ = nullptr;
};

// "fwnative.dll" in the folder of the running program.
std::wstring DefaultLibraryPath();

}  // namespace fwcall
