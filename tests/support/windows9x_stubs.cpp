#include "support/windows9x_stubs.h"

#include "support/fake_import.h"
#include "support/import_table.h"
#include "support/win32_catalogue.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <tuple>

#if defined(__x86_64__)
// FormatMessageW's va_list* carries an ABI attribute GCC drops from template arguments (harmless
// where there is one calling convention).
#pragma GCC diagnostic ignored "-Wignored-attributes"
#endif

namespace fwtest {
namespace {

// The W functions Windows 98 implements for real (text output, resources, message boxes, the
// command line and string length); none of them is stubbed when imported.
const char* const kImplemented[] = {
    "EnumResourceLanguagesW", "EnumResourceNamesW", "EnumResourceTypesW", "ExtTextOutW",
    "FindResourceExW",        "FindResourceW",      "GetCharWidthW",      "GetCommandLineW",
    "GetTextExtentPoint32W",  "GetTextExtentPointW", "MessageBoxExW",     "MessageBoxW",
    "TextOutW",               "lstrlenW",
};

constexpr bool EndsInW(std::string_view name) { return name.size() > 1 && name.back() == 'W'; }

// Named by a list of the catalogue, or implemented by Windows 98.
bool Listed(const std::string& name) {
#define FWTEST_LISTED(function, failure) name == #function ||
  return FW_WIN32_IMPORTS(FWTEST_LISTED) FW_WIN32_BOUND(FWTEST_LISTED) FW_WIN32_STUBBED(FWTEST_LISTED)
      std::find(std::begin(kImplemented), std::end(kImplemented), name) != std::end(kImplemented);
#undef FWTEST_LISTED
}

// The library's code in the test program: the build renames its objects' code section to ".text$fwp1"
// (src/CMakeLists.txt; check-library-code.sh checks every W call comes from there, none from an
// inline function of a header), and the linker sorts ".text$..." sections by name, between these.
[[gnu::noipa, gnu::section(".text$fwp0")]] void LibraryCodeBegins() {}
[[gnu::noipa, gnu::section(".text$fwp2")]] void LibraryCodeEnds() {}

// What Windows 95 lacks and the library binds by name: GetDiskFreeSpaceExA came with OSR2, imm32 with
// the input-method editions. Export names compare exactly, module names without case.
bool AbsentFrom95(const char* function) {
  return reinterpret_cast<ULONG_PTR>(function) >= 0x10000 && std::string_view(function) == "GetDiskFreeSpaceExA";
}
bool ModuleAbsentFrom95(const char* fileName) { return fileName != nullptr && _stricmp(fileName, "imm32.dll") == 0; }

// The platform test's question, asked through the module's slot (with the structure every version
// takes): is this the 9x family (only Windows 95, 4.0 of it)?
bool Sees9x(void** versionSlot, bool onlyWindows95) {
  const SupportCall own;  // not a call of the code under test: fakes do not count it
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  const BOOL ok = reinterpret_cast<decltype(&::GetVersionExA)>(*versionSlot)(&info);
  return ok && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && (!onlyWindows95 || info.dwMinorVersion == 0);
}

}  // namespace

std::string Windows9xStubs::Unlisted(const std::vector<std::string>& importNames) {
  std::string unlisted;
  for (const std::string& name : importNames) {
    if (EndsInW(name) && !Listed(name)) unlisted += " " + name;
  }
  return unlisted;
}

bool Windows9xStubs::Fails(bool onlyWindows95, DWORD error) const {
  const DWORD callerError = GetLastError();
  const bool fails = InLibrary(CallerOfCurrentFake()) && Sees9x(versionSlot_, onlyWindows95);
  SetLastError(fails ? error : callerError);
  return fails;
}

Windows9xStubs::Windows9xStubs(HMODULE module) {
  const auto base = reinterpret_cast<std::uintptr_t>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  library_ = {base, base + nt->OptionalHeader.SizeOfImage};  // a loaded DLL is all library code
  if (module == GetModuleHandleW(nullptr)) {
    library_ = {reinterpret_cast<std::uintptr_t>(&LibraryCodeBegins), reinterpret_cast<std::uintptr_t>(&LibraryCodeEnds)};
  }
  const std::vector<std::string> imports = ImportedFunctionNames(module);
  const std::string unlisted = Unlisted(imports);
  if (!unlisted.empty()) throw std::runtime_error("W imports missing from tests/support/win32_catalogue.h:" + unlisted);
  const std::vector<void**> versionSlots = FindImportSlots(module, "GetVersionExA");
  if (versionSlots.empty()) throw std::runtime_error("the module does not import GetVersionExA");
  versionSlot_ = versionSlots.front();
  // A stub for each W function the module imports; the other functions of the lists get none.
  const auto stub = [&](auto import, Failure failure) {
    if (!EndsInW(import.name) || std::find(imports.begin(), imports.end(), import.name) == imports.end()) return;
    auto fake = ReplaceImport(module, import, [this, failure](auto original, auto... args) {
      using Result = decltype(original(args...));
      return Fails(false, ERROR_CALL_NOT_IMPLEMENTED) ? FailureResult<Result>(failure, ERROR_CALL_NOT_IMPLEMENTED)
                                                      : original(args...);
    });
    fakes_.push_back(std::make_shared<decltype(fake)>(std::move(fake)));
  };
#define FWTEST_STUB(function, failure) stub(FWTEST_IMPORT(function), Failure::failure);
  FW_WIN32_IMPORTS(FWTEST_STUB) FW_WIN32_BOUND(FWTEST_STUB) FW_WIN32_STUBBED(FWTEST_STUB)
#undef FWTEST_STUB
  // A look-up by name that finds nothing on Windows 95: null, and the system's error.
  const auto hide = [&](auto import, bool (*absent)(const char*), DWORD error) {
    if (std::find(imports.begin(), imports.end(), import.name) == imports.end()) return;
    auto fake = ReplaceImport(module, import, [this, absent, error](auto original, auto... args) {
      const char* const name = std::get<sizeof...(args) - 1>(std::make_tuple(args...));
      return absent(name) && Fails(true, error) ? nullptr : original(args...);
    });
    fakes_.push_back(std::make_shared<decltype(fake)>(std::move(fake)));
  };
  hide(FWTEST_IMPORT(GetProcAddress), AbsentFrom95, ERROR_PROC_NOT_FOUND);
  hide(FWTEST_IMPORT(GetModuleHandleA), ModuleAbsentFrom95, ERROR_MOD_NOT_FOUND);
  hide(FWTEST_IMPORT(LoadLibraryA), ModuleAbsentFrom95, ERROR_MOD_NOT_FOUND);
}

}  // namespace fwtest
