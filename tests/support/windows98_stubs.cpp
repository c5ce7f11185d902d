#include "support/windows98_stubs.h"

#include "support/fake_import.h"
#include "support/import_table.h"
#include "support/win32_catalogue.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#if defined(__x86_64__)
// FormatMessageW takes a va_list*, and the 64-bit va_list type carries an ABI attribute that GCC
// drops from template arguments; 64-bit code has one calling convention, so the type stays exact.
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

#define FWTEST_STUB_NAME(function, failure) #function,
const char* const kListed[] = {FW_WIN32_IMPORTS(FWTEST_STUB_NAME) FW_WIN32_BOUND(FWTEST_STUB_NAME)
                                   FW_WIN32_STUBBED(FWTEST_STUB_NAME)};
#undef FWTEST_STUB_NAME

constexpr bool EndsInW(std::string_view name) { return name.size() > 1 && name.back() == 'W'; }

bool Listed(const std::string& name) {
  auto same = [&](const char* listed) { return name == listed; };
  return std::any_of(std::begin(kListed), std::end(kListed), same) ||
         std::any_of(std::begin(kImplemented), std::end(kImplemented), same);
}

}  // namespace

struct Windows98Stubs::Context {
  HMODULE module;
  CodeRange library;
  void** versionSlot;  // the module's GetVersionExA slot; read at each call, so fakes of it count

  // The platform test's question, asked through the module's slot: is this the 9x family?
  bool LibrarySees9x() const {
    const SupportCall own;  // not a call of the code under test: fakes do not count it
    const auto getVersion = reinterpret_cast<decltype(&::GetVersionExA)>(*versionSlot);
    OSVERSIONINFOEXA info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    BOOL ok = getVersion(reinterpret_cast<OSVERSIONINFOA*>(&info));
    if (!ok) {
      info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
      ok = getVersion(reinterpret_cast<OSVERSIONINFOA*>(&info));
    }
    return ok && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  }

  // True when the current call must fail as on Windows 98; leaves the last error alone otherwise.
  bool Fails() const {
    const DWORD error = GetLastError();
    const bool fails = library.contains(CallerOfCurrentFake()) && LibrarySees9x();
    SetLastError(fails ? ERROR_CALL_NOT_IMPLEMENTED : error);
    return fails;
  }

  // A stub for each W function the module imports; the other functions of the lists get none.
  template <bool kUnicode, typename Fn>
  void Stub(ImportOf<Fn> import, Failure failure, const std::vector<std::string>& imports,
            std::vector<std::shared_ptr<void>>& fakes) const {
    if constexpr (kUnicode) {
      if (std::find(imports.begin(), imports.end(), import.name) == imports.end()) return;
      fakes.push_back(std::make_shared<FakeImport<Fn>>(module, import, [this, failure](auto original, auto... args) {
        using Result = decltype(original(args...));
        return Fails() ? FailureResult<Result>(failure, ERROR_CALL_NOT_IMPLEMENTED) : original(args...);
      }));
    }
  }
};

std::vector<std::string> Windows98Stubs::Unlisted(const std::vector<std::string>& importNames) {
  std::vector<std::string> unlisted;
  for (const std::string& name : importNames) {
    if (EndsInW(name) && !Listed(name)) unlisted.push_back(name);
  }
  return unlisted;
}

Windows98Stubs::Windows98Stubs(HMODULE module, CodeRange library) {
  const std::vector<std::string> imports = ImportedFunctionNames(module);
  const std::vector<std::string> unlisted = Unlisted(imports);
  if (!unlisted.empty()) {
    std::string names;
    for (const std::string& name : unlisted) names += " " + name;
    throw std::runtime_error("W imports missing from tests/support/win32_catalogue.h:" + names);
  }
  const std::vector<void**> versionSlots = FindImportSlots(module, "GetVersionExA");
  if (versionSlots.empty()) throw std::runtime_error("the module does not import GetVersionExA");
  context_ = std::make_unique<Context>(Context{module, library, versionSlots.front()});
#define FWTEST_STUB(function, failure) \
  context_->Stub<EndsInW(#function)>(FWTEST_IMPORT(function), Failure::failure, imports, fakes_);
  FW_WIN32_IMPORTS(FWTEST_STUB) FW_WIN32_BOUND(FWTEST_STUB) FW_WIN32_STUBBED(FWTEST_STUB)
#undef FWTEST_STUB
}

Windows98Stubs::~Windows98Stubs() = default;

}  // namespace fwtest
