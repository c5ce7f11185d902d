#include "support/library_code.h"

namespace fwtest {
namespace {

// The two markers around the library's code; their section names sort before and after
// ".text$fwp1". noipa keeps each a function of its own that the linker places.
[[gnu::noipa, gnu::section(".text$fwp0")]] void LibraryCodeBegins() {}
[[gnu::noipa, gnu::section(".text$fwp2")]] void LibraryCodeEnds() {}

}  // namespace

CodeRange LibraryCodeInProgram() {
  return CodeRange{reinterpret_cast<std::uintptr_t>(&LibraryCodeBegins),
                   reinterpret_cast<std::uintptr_t>(&LibraryCodeEnds)};
}

CodeRange ImageOf(HMODULE module) {
  const auto base = reinterpret_cast<std::uintptr_t>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return CodeRange{base, base + nt->OptionalHeader.SizeOfImage};
}

}  // namespace fwtest
