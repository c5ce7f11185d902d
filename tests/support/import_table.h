// A module's import address table: the slots through which it calls the functions of other DLLs,
// found by name and patched (the typed fakes of fake_import.h use ImportPatch).
//
//   std::vector<void**> slots = fwtest::FindImportSlots(module, "GetVersionExA", "kernel32.dll");
//   fwtest::ImportPatch patch(module, "GetVersionExA", &FakeGetVersionExA);   // patch.original()
//
// Function names match exactly, as the linker recorded them; DLL names without case, in every
// descriptor naming the DLL (a linker may emit several). Imports by ordinal never match.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fwtest {
namespace detail {

// Plain ASCII comparison: the walk must not call functions that a test may have patched.
inline bool SameDllName(const char* a, const char* b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

// Calls visit(name, slot) for every import by name of the module from `dll` (any DLL when null).
template <typename Visit>
void ForEachImport(HMODULE module, const char* dll, Visit visit) {
  if (module == nullptr) throw std::invalid_argument("import table: null module");
  auto* base = reinterpret_cast<BYTE*>(module);  // a loaded module's image, headers first
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);

  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (dll != nullptr && !SameDllName(reinterpret_cast<const char*>(base + descriptor->Name), dll)) continue;
    // Without the name table only addresses remain, and they cannot be matched to a name.
    if (descriptor->OriginalFirstThunk == 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&addresses->u1.Function));
    }
  }
}

inline void WriteSlot(void** slot, void* value) {
  DWORD oldProtection = 0;
  if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &oldProtection)) {
    const DWORD error = GetLastError();
    throw std::runtime_error("VirtualProtect on an import slot failed, error " + std::to_string(error));
  }
  *slot = value;
  DWORD ignored = 0;
  VirtualProtect(slot, sizeof(void*), oldProtection, &ignored);
  FlushInstructionCache(GetCurrentProcess(), slot, sizeof(void*));
}

}  // namespace detail

inline std::vector<void**> FindImportSlots(HMODULE module, const char* function, const char* dll = nullptr) {
  std::vector<void**> slots;
  detail::ForEachImport(module, dll, [&](const char* name, void** slot) {
    if (std::strcmp(name, function) == 0) slots.push_back(slot);
  });
  return slots;
}

// The names of every function the module imports by name, from any DLL, each once.
inline std::vector<std::string> ImportedFunctionNames(HMODULE module) {
  std::set<std::string> names;
  detail::ForEachImport(module, nullptr, [&](const char* name, void**) { names.insert(name); });
  return std::vector<std::string>(names.begin(), names.end());
}

// Points the module's slots for one function at a replacement of exactly its type, and puts the
// previous pointers back when it ends; throws std::runtime_error when the module does not import the
// function. Patches of one function may stack and end in any order: one that ends below another
// hands its saved pointer to the one above, so original() always leads on to what is still in force.
// Patch and end patches on one thread; calls through the slots may come from any thread.
class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* function, void* replacement) : replacement_(replacement) {
    const std::vector<void**> found = FindImportSlots(module, function);
    if (found.empty()) throw std::runtime_error(std::string("the module does not import ") + function);
    {
      std::lock_guard<std::mutex> lock(liveMutex_);
      for (void** address : found) slots_.emplace_back(address);
      live_.push_back(this);
    }
    try {
      for (Slot& slot : slots_) detail::WriteSlot(slot.address, replacement);
    } catch (...) {
      Restore();  // puts back the slots already written
      throw;
    }
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;
  ~ImportPatch() { Restore(); }

  // What the first patched slot held before this patch, as updated when a patch below ends.
  void* original() const noexcept { return slots_.front().saved.load(); }

 private:
  struct Slot {
    explicit Slot(void** at) : address(at), saved(*at) {}
    void** address;
    std::atomic<void*> saved;
  };

  void Restore() noexcept {
    const DWORD savedError = GetLastError();
    std::lock_guard<std::mutex> lock(liveMutex_);
    live_.erase(std::remove(live_.begin(), live_.end(), this), live_.end());
    for (Slot& slot : slots_) {
      // A patch stacked on this one saved our replacement: it now leads on to what we saved.
      Slot* above = nullptr;
      for (ImportPatch* other : live_) {
        for (Slot& otherSlot : other->slots_) {
          if (otherSlot.address == slot.address && otherSlot.saved.load() == replacement_) above = &otherSlot;
        }
      }
      if (above != nullptr) {
        above->saved = slot.saved.load();
      } else if (*slot.address == replacement_) {
        detail::WriteSlot(slot.address, slot.saved.load());  // cannot throw for a slot written once
      }
    }
    SetLastError(savedError);
  }

  // The live patches of the process, so that a patch ending below another can relink the chain.
  static inline std::mutex liveMutex_;
  static inline std::vector<ImportPatch*> live_;

  std::deque<Slot> slots_;  // a deque: a slot never moves, so the patches above may point at it
  void* replacement_;
};

}  // namespace fwtest
