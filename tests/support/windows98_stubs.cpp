#include "support/windows98_stubs.h"

#include "support/fake_import.h"
#include "support/import_table.h"

#include <shlobj.h>
#include <tlhelp32.h>
#include <winsvc.h>
#include <aclapi.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#if defined(__x86_64__)
// FormatMessageW takes a va_list*, and the 64-bit va_list type carries an ABI attribute that GCC
// drops from template arguments; 64-bit code has one calling convention, so the type stays exact.
#pragma GCC diagnostic ignored "-Wignored-attributes"
#endif

namespace fwtest {
namespace {

// Every W function the test program or fwnative.dll imports, with the result its Windows 98 stub
// gives (the registry and security functions return the error itself).
#define FWTEST_WINDOWS98_STUBS(X)                                            \
  X(CopyFileW, FALSE)                                                        \
  X(CreateDirectoryW, FALSE)                                                 \
  X(CreateFileW, INVALID_HANDLE_VALUE)                                       \
  X(CreateProcessW, FALSE)                                                   \
  X(CreateSemaphoreW, nullptr)                                               \
  X(CreateServiceW, nullptr)                                                 \
  X(DeleteFileW, FALSE)                                                      \
  X(ExpandEnvironmentStringsW, 0)                                            \
  X(FindFirstFileW, INVALID_HANDLE_VALUE)                                    \
  X(FindNextFileW, FALSE)                                                    \
  X(FormatMessageW, 0)                                                       \
  X(FreeEnvironmentStringsW, FALSE)                                          \
  X(GetCurrentDirectoryW, 0)                                                 \
  X(GetDiskFreeSpaceW, FALSE)                                                \
  X(GetDriveTypeW, DRIVE_UNKNOWN)                                            \
  X(GetEnvironmentStringsW, nullptr)                                         \
  X(GetEnvironmentVariableW, 0)                                              \
  X(GetFileAttributesW, INVALID_FILE_ATTRIBUTES)                             \
  X(GetFileVersionInfoSizeW, 0)                                              \
  X(GetFileVersionInfoW, FALSE)                                              \
  X(GetFullPathNameW, 0)                                                     \
  X(GetLogicalDriveStringsW, 0)                                              \
  X(GetLongPathNameW, 0)                                                     \
  X(GetModuleFileNameW, 0)                                                   \
  X(GetModuleHandleW, nullptr)                                               \
  X(GetNamedSecurityInfoW, ERROR_CALL_NOT_IMPLEMENTED)                       \
  X(GetSystemDirectoryW, 0)                                                  \
  X(GetTempPathW, 0)                                                         \
  X(GetUserNameW, FALSE)                                                     \
  X(GetVersionExW, FALSE)                                                    \
  X(GetVolumeInformationW, FALSE)                                            \
  X(GetWindowsDirectoryW, 0)                                                 \
  X(LoadLibraryW, nullptr)                                                   \
  X(LookupAccountSidW, FALSE)                                                \
  X(MoveFileW, FALSE)                                                        \
  X(OpenSCManagerW, nullptr)                                                 \
  X(OpenServiceW, nullptr)                                                   \
  X(Process32FirstW, FALSE)                                                  \
  X(Process32NextW, FALSE)                                                   \
  X(RegCreateKeyExW, ERROR_CALL_NOT_IMPLEMENTED)                             \
  X(RegDeleteKeyW, ERROR_CALL_NOT_IMPLEMENTED)                               \
  X(RegDeleteValueW, ERROR_CALL_NOT_IMPLEMENTED)                             \
  X(RegEnumKeyExW, ERROR_CALL_NOT_IMPLEMENTED)                               \
  X(RegEnumKeyW, ERROR_CALL_NOT_IMPLEMENTED)                                 \
  X(RegEnumValueW, ERROR_CALL_NOT_IMPLEMENTED)                               \
  X(RegGetValueW, ERROR_CALL_NOT_IMPLEMENTED)                                \
  X(RegOpenKeyExW, ERROR_CALL_NOT_IMPLEMENTED)                               \
  X(RegQueryInfoKeyW, ERROR_CALL_NOT_IMPLEMENTED)                            \
  X(RegQueryValueExW, ERROR_CALL_NOT_IMPLEMENTED)                            \
  X(RegSetValueExW, ERROR_CALL_NOT_IMPLEMENTED)                              \
  X(RemoveDirectoryW, FALSE)                                                 \
  X(SetCurrentDirectoryW, FALSE)                                             \
  X(SetEnvironmentVariableW, FALSE)                                          \
  X(SetFileAttributesW, FALSE)                                               \
  X(SHGetFolderPathW, HRESULT_FROM_WIN32(ERROR_CALL_NOT_IMPLEMENTED))        \
  X(SHGetSpecialFolderPathW, FALSE)                                          \
  X(VerQueryValueW, FALSE)

// The W functions Windows 98 implements for real (text output, resources, message boxes, the
// command line and string length); none of them is stubbed when imported.
const char* const kImplemented[] = {
    "EnumResourceLanguagesW", "EnumResourceNamesW", "EnumResourceTypesW", "ExtTextOutW",
    "FindResourceExW",        "FindResourceW",      "GetCharWidthW",      "GetCommandLineW",
    "GetTextExtentPoint32W",  "GetTextExtentPointW", "MessageBoxExW",     "MessageBoxW",
    "TextOutW",               "lstrlenW",
};

#define FWTEST_STUB_NAME(function, failure) #function,
const char* const kStubbed[] = {FWTEST_WINDOWS98_STUBS(FWTEST_STUB_NAME)};
#undef FWTEST_STUB_NAME

bool IsUnicodeName(const std::string& name) { return name.size() > 1 && name.back() == 'W'; }

bool Listed(const std::string& name) {
  auto same = [&](const char* listed) { return name == listed; };
  return std::any_of(std::begin(kStubbed), std::end(kStubbed), same) ||
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

  template <typename Fn, typename Failure>
  std::shared_ptr<void> Stub(ImportOf<Fn> import, Failure failure) const {
    return std::make_shared<FakeImport<Fn>>(module, import, [this, failure](auto original, auto... args) {
      using Result = decltype(original(args...));
      return Fails() ? static_cast<Result>(failure) : original(args...);
    });
  }
};

std::vector<std::string> Windows98Stubs::Unlisted(const std::vector<std::string>& importNames) {
  std::vector<std::string> unlisted;
  for (const std::string& name : importNames) {
    if (IsUnicodeName(name) && !Listed(name)) unlisted.push_back(name);
  }
  return unlisted;
}

Windows98Stubs::Windows98Stubs(HMODULE module, CodeRange library) {
  const std::vector<std::string> imports = ImportedFunctionNames(module);
  const std::vector<std::string> unlisted = Unlisted(imports);
  if (!unlisted.empty()) {
    std::string names;
    for (const std::string& name : unlisted) names += " " + name;
    throw std::runtime_error("W imports missing from the Windows 98 stub list (tests/support/windows98_stubs.cpp):" +
                             names);
  }
  const std::vector<void**> versionSlots = FindImportSlots(module, "GetVersionExA");
  if (versionSlots.empty()) throw std::runtime_error("the module does not import GetVersionExA");
  context_ = std::make_unique<Context>(Context{module, library, versionSlots.front()});
  auto imported = [&](const char* name) { return std::find(imports.begin(), imports.end(), name) != imports.end(); };
#define FWTEST_STUB(function, failure) \
  if (imported(#function)) fakes_.push_back(context_->Stub(FWTEST_IMPORT(function), failure));
  FWTEST_WINDOWS98_STUBS(FWTEST_STUB)
#undef FWTEST_STUB
}

Windows98Stubs::Windows98Stubs(Windows98Stubs&&) noexcept = default;
Windows98Stubs::~Windows98Stubs() = default;

}  // namespace fwtest
