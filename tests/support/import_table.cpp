#include "support/import_table.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>

namespace fwtest {
namespace {

// Plain ASCII comparison: the walk must not call functions that a test may have patched.
bool SameDllName(const char* a, const char* b) {
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

// The live patches of the process, so that a patch ending below another can relink the chain.
struct LivePatches {
  std::mutex mutex;
  std::vector<ImportPatch*> patches;
};
LivePatches& Live() {
  static LivePatches live;
  return live;
}

void WriteSlot(void** slot, void* value) {
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

}  // namespace

std::vector<void**> FindImportSlots(HMODULE module, const char* function, const char* dll) {
  std::vector<void**> slots;
  ForEachImport(module, dll, [&](const char* name, void** slot) {
    if (std::strcmp(name, function) == 0) slots.push_back(slot);
  });
  return slots;
}

std::vector<std::string> ImportedFunctionNames(HMODULE module) {
  std::set<std::string> names;
  ForEachImport(module, nullptr, [&](const char* name, void**) { names.insert(name); });
  return std::vector<std::string>(names.begin(), names.end());
}

ImportPatch::ImportPatch(HMODULE module, const char* function, void* replacement, const char* dll)
    : replacement_(replacement) {
  const std::vector<void**> found = FindImportSlots(module, function, dll);
  if (found.empty()) {
    throw std::runtime_error(std::string("the module does not import ") + function +
                             (dll != nullptr ? std::string(" from ") + dll : std::string()));
  }
  {
    std::lock_guard<std::mutex> lock(Live().mutex);
    for (void** address : found) {
      Slot& slot = slots_.emplace_back();
      slot.address = address;
      slot.saved = *address;
    }
    Live().patches.push_back(this);
  }
  try {
    for (Slot& slot : slots_) WriteSlot(slot.address, replacement);
  } catch (...) {
    Restore();  // puts back the slots already written
    throw;
  }
}

void ImportPatch::Restore() noexcept {
  const DWORD savedError = GetLastError();
  std::lock_guard<std::mutex> lock(Live().mutex);
  auto& live = Live().patches;
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  for (Slot& slot : slots_) {
    // A patch stacked on this one saved our replacement: it now leads on to what we saved.
    Slot* above = nullptr;
    for (ImportPatch* other : live) {
      for (Slot& otherSlot : other->slots_) {
        if (otherSlot.address == slot.address && otherSlot.saved.load() == replacement_) above = &otherSlot;
      }
    }
    if (above != nullptr) {
      above->saved = slot.saved.load();
    } else if (*slot.address == replacement_) {
      try {
        WriteSlot(slot.address, slot.saved.load());
      } catch (const std::exception&) {
        // Cannot happen for a slot that was written once; nothing better to do in a destructor.
      }
    }
  }
  SetLastError(savedError);
}

}  // namespace fwtest
