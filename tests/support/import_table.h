// A module's import address table: the slots through which it calls the functions of other DLLs,
// found by name and patched.
//
//   std::vector<void**> slots = fwtest::FindImportSlots(GetModuleHandleW(nullptr), "GetVersionExA");
//   // each *slot is the address the module calls; "kernel32.dll" as a third argument narrows it
//   std::vector<std::string> names = fwtest::ImportedFunctionNames(module);     // of every DLL
//   fwtest::ImportPatch patch(GetModuleHandleW(nullptr), "GetVersionExA", &FakeGetVersionExA);
//   auto real = reinterpret_cast<decltype(&::GetVersionExA)>(patch.original());  // to pass through
//
// Imports are matched by name (exact, case-sensitive, as the linker recorded them); the DLL name
// is compared case-insensitively. Every import descriptor naming the DLL counts, since a linker
// may emit several for one DLL. Imports by ordinal are never matched.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <string>
#include <vector>

namespace fwtest {

std::vector<void**> FindImportSlots(HMODULE module, const char* function, const char* dll = nullptr);

// The names of every function the module imports by name, from any DLL, each once.
std::vector<std::string> ImportedFunctionNames(HMODULE module);

// Points the module's slots for one function at a replacement, and puts the previous pointers back
// when it ends. The module keeps calling "the Win32 function"; the replacement must have exactly
// that function's type, calling convention included. Throws std::runtime_error when the module
// does not import the function. Patches of the same function may be stacked and may end in any
// order: a patch that ends below another one hands its saved pointer to the one above, so
// original() always leads on to what is still in force. Patch and end patches on one thread;
// calls through the slots may come from any thread. The typed fakes (fake_import.h) use this.
class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* function, void* replacement, const char* dll = nullptr);
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;
  ~ImportPatch() { Restore(); }

  // What the first patched slot held before this patch, as updated when a patch below ends.
  void* original() const noexcept { return slots_.front().saved.load(); }

 private:
  struct Slot {
    void** address = nullptr;
    std::atomic<void*> saved{nullptr};
  };
  void Restore() noexcept;

  std::deque<Slot> slots_;  // a deque: a slot never moves, so the patches above may point at it
  void* replacement_;
};

}  // namespace fwtest
