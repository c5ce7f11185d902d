#include "support/import_table.h"

#include <cstring>
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
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) throw std::invalid_argument("import table: not a PE module");
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) throw std::invalid_argument("import table: not a PE module");

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

}  // namespace

std::vector<void**> FindImportSlots(HMODULE module, const char* function, const char* dll) {
  if (function == nullptr) throw std::invalid_argument("FindImportSlots: null name");
  std::vector<void**> slots;
  ForEachImport(module, dll, [&](const char* name, void** slot) {
    if (std::strcmp(name, function) == 0) slots.push_back(slot);
  });
  return slots;
}

std::vector<void*> ReadImportSlots(HMODULE module, const char* function, const char* dll) {
  std::vector<void*> values;
  for (void** slot : FindImportSlots(module, function, dll)) values.push_back(*slot);
  return values;
}

std::vector<std::string> ImportedFunctionNames(HMODULE module) {
  std::set<std::string> names;
  ForEachImport(module, nullptr, [&](const char* name, void**) { names.insert(name); });
  return std::vector<std::string>(names.begin(), names.end());
}

}  // namespace fwtest
