// The import fakes: each restores the slots when it ends, and keeps its own behaviour whatever else
// is patched.
#include "support/fake_import.h"
#include "support/hidden_proc_addresses.h"
#include "support/import_table.h"
#include "support/recorded_import.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// An error no Windows function sets (bit 29 marks application-defined codes).
constexpr DWORD kFakeError = 0x20000077;

std::vector<void*> SlotValues(const char* function) {
  std::vector<void*> values;
  for (void** slot : fwtest::FindImportSlots(GetModuleHandleW(nullptr), function)) values.push_back(*slot);
  return values;
}

// The calls go through functions of their own: GCC takes an import slot for a constant and may
// reuse, after a patch, the address it read before it (code under test is called the same way).
[[gnu::noipa]] BOOL CallGetVersionExA(LPOSVERSIONINFOA info) { return GetVersionExA(info); }
[[gnu::noipa]] BOOL CallDeleteFileW(LPCWSTR path) { return DeleteFileW(path); }
[[gnu::noipa]] BOOL CallRemoveDirectoryW(LPCWSTR path) { return RemoveDirectoryW(path); }
[[gnu::noipa]] FARPROC CallGetProcAddress(HMODULE module, LPCSTR name) { return GetProcAddress(module, name); }

OSVERSIONINFOA PlainVersionInfo() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  return info;
}

// A fake answers as made until it ends; fakes stacked on one function may end in any order, and the
// slots are then as before.
TEST(FakeImportTest, FakesStackAndEndInAnyOrder) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const std::vector<void*> before = SlotValues("GetVersionExA");
  using GetVersionExAFn = decltype(&::GetVersionExA);
  std::optional<fwtest::FakeImport<GetVersionExAFn>> below;
  below.emplace(fwtest::FailImport(self, FWTEST_IMPORT(GetVersionExA), FALSE, kFakeError));
  std::optional<fwtest::RecordedImport<GetVersionExAFn>> above;
  above.emplace(fwtest::RecordImport(self, FWTEST_IMPORT(GetVersionExA)));
  OSVERSIONINFOA info = PlainVersionInfo();
  SetLastError(0);
  EXPECT_FALSE(CallGetVersionExA(&info)) << "the recording fake passes on to the failing one";
  EXPECT_EQ(GetLastError(), kFakeError);
  EXPECT_EQ(info.dwMajorVersion, 0u) << "the real function ran";
  EXPECT_EQ(below->calls(), 1);
  below.reset();  // the lower fake ends first: the upper one must now lead to the real function
  EXPECT_TRUE(CallGetVersionExA(&info));
  EXPECT_NE(info.dwMajorVersion, 0u);
  EXPECT_EQ(above->count(), 2u);
  above.reset();
  EXPECT_EQ(SlotValues("GetVersionExA"), before);
}

// Each fake keeps its own behaviour, also beside a fake of another function of the same type; a
// function the module does not import (from that DLL) cannot be faked.
TEST(FakeImportTest, FakesOfOneTypeStayApartAndMissingImportsThrow) {
  static_assert(std::is_same_v<decltype(&::DeleteFileW), decltype(&::RemoveDirectoryW)>);
  const HMODULE self = GetModuleHandleW(nullptr);
  auto deleteFails = fwtest::FailImport(self, FWTEST_IMPORT(DeleteFileW), FALSE, kFakeError);
  auto removeFails = fwtest::FailImport(self, FWTEST_IMPORT(RemoveDirectoryW), FALSE, kFakeError + 1);
  EXPECT_FALSE(CallDeleteFileW(L"C:\\fwtest-not-there.txt"));
  EXPECT_EQ(GetLastError(), kFakeError);
  EXPECT_FALSE(CallRemoveDirectoryW(L"C:\\fwtest-not-there"));
  EXPECT_EQ(GetLastError(), kFakeError + 1);
  EXPECT_EQ(deleteFails.calls(), 1);
  EXPECT_EQ(removeFails.calls(), 1);

  EXPECT_THROW(fwtest::FailImport(self, FWTEST_IMPORT(GetVersionExA).from("advapi32.dll"), FALSE, kFakeError),
               std::runtime_error);
  EXPECT_THROW(fwtest::FailImport(self, FWTEST_IMPORT(GetSystemPowerStatus), FALSE, kFakeError), std::runtime_error);
  auto fail = fwtest::FailImport(self, FWTEST_IMPORT(GetVersionExA).from("KeRnEl32.DlL"), FALSE, kFakeError);
  OSVERSIONINFOA info = PlainVersionInfo();
  EXPECT_FALSE(CallGetVersionExA(&info)) << "DLL names compare without case";
}

TEST(FakeImportTest, HiddenProcAddressesRefuseOnlyTheChosenNamesWhileTheyLive) {
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  {
    fwtest::HiddenProcAddresses hidden(GetModuleHandleW(nullptr), {"SetProcessAffinityMask", "GetNativeSystemInfo"});
    SetLastError(0);
    EXPECT_EQ(CallGetProcAddress(kernel32, "SetProcessAffinityMask"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_NE(CallGetProcAddress(kernel32, "GetProcessAffinityMask"), nullptr);
    EXPECT_EQ(hidden.refused(), std::vector<std::string>{"SetProcessAffinityMask"});
  }
  EXPECT_NE(CallGetProcAddress(kernel32, "SetProcessAffinityMask"), nullptr);
}

}  // namespace
