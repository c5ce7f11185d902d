// Where the library's own code lies in a module, so that a fake can tell a call made by the library
// from one made by a test helper, the test VM or the runtime.
//
//   fwtest::CodeRange library = fwtest::LibraryCodeInProgram();
//   if (library.contains(fwtest::CallerOfCurrentFake())) ...   // the library made this call
//
// In the test program the library's objects are linked in with everything else. The build renames
// their code section to ".text$fwp1" (src/CMakeLists.txt); the linker sorts ".text$..." sections by
// name, so that code lies between two markers here, in ".text$fwp0" and ".text$fwp2". Inline
// functions of the library's headers are not in the range (the build checks that none of them calls
// a Unicode function). In a loaded fwnative.dll every byte of the image is library code.
#pragma once

#include <windows.h>

#include <cstdint>

namespace fwtest {

struct CodeRange {
  std::uintptr_t begin = 0;
  std::uintptr_t end = 0;  // one past the last byte

  bool contains(const void* address) const noexcept {
    const auto value = reinterpret_cast<std::uintptr_t>(address);
    return value >= begin && value < end;
  }
};

// The library's code linked into this program.
CodeRange LibraryCodeInProgram();

// The whole image of a loaded module.
CodeRange ImageOf(HMODULE module);

}  // namespace fwtest
