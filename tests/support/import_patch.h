// ImportPatch: points a module's import slots for one function at a replacement, and puts the
// previous pointers back when it ends. The module keeps calling "the Win32 function"; the
// replacement must have exactly that function's type, calling convention included.
//
//   fwtest::ImportPatch patch(GetModuleHandleW(nullptr), "GetVersionExA", &FakeGetVersionExA);
//   auto real = reinterpret_cast<decltype(&::GetVersionExA)>(patch.original());  // to pass through
//
// Throws std::runtime_error when the module does not import the function. Patches of the same
// function may be stacked and may end in any order: a patch that ends below another one hands its
// saved pointer to the one above, so original() always leads on to what is still in force.
// Patch and end patches on one thread; calls through the slots may come from any thread.
// The typed fakes (fake_import.h, recorded_import.h) are built on this.
#pragma once

#include <windows.h>

#include <memory>

namespace fwtest {

class ImportPatch {
 public:
  ImportPatch() noexcept;
  ImportPatch(HMODULE module, const char* function, void* replacement, const char* dll = nullptr);
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;
  ImportPatch(ImportPatch&& other) noexcept;
  ImportPatch& operator=(ImportPatch&& other) noexcept;
  ~ImportPatch();

  // What the first patched slot held before this patch, as updated when a patch below ends.
  void* original() const noexcept;
  // Puts the saved pointers back now; the destructor does the same.
  void restore() noexcept;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace fwtest
