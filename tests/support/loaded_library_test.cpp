#include "support/loaded_library.h"

#include "support/fake_import.h"
#include "support/import_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

[[gnu::noipa]] BOOL CallGetVersionExA(LPOSVERSIONINFOA info) { return GetVersionExA(info); }

// The library's own import table is patched, not the test program's, and is restored afterwards.
TEST(LoadedLibraryTest, FakesInTheBuiltDllLeaveTheProgramsImportsAlone) {
  fwtest::LoadedLibrary library(L"fwnative.dll");
  const HMODULE self = GetModuleHandleW(nullptr);
  const std::vector<void*> dllBefore = fwtest::ReadImportSlots(library.get(), "GetVersionExA");
  const std::vector<void*> programBefore = fwtest::ReadImportSlots(self, "GetVersionExA");
  ASSERT_FALSE(dllBefore.empty()) << "fwnative.dll no longer imports GetVersionExA; pick another function";
  {
    auto fail = fwtest::FailImport(library.get(), FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
    EXPECT_NE(fwtest::ReadImportSlots(library.get(), "GetVersionExA"), dllBefore);
    EXPECT_EQ(fwtest::ReadImportSlots(self, "GetVersionExA"), programBefore);
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    EXPECT_TRUE(CallGetVersionExA(&info));
    EXPECT_EQ(fail.calls(), 0);
  }
  EXPECT_EQ(fwtest::ReadImportSlots(library.get(), "GetVersionExA"), dllBefore);
}

}  // namespace
