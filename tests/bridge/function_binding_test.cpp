// GetOrLoadModule: a module already in the process is only looked up; another is loaded once.
#include <windows.h>

#include <gtest/gtest.h>

#include "bridge/function_binding.h"
#include "support/recorded_import.h"

namespace {

[[gnu::noipa]] HMODULE LoadedHandle(const wchar_t* name) { return GetModuleHandleW(name); }

TEST(FunctionBindingTest, LoadsAModuleOnceAndKeepsItLoaded) {
  const wchar_t* const kModule = L"msacm32.dll";  // nothing in the test program imports it
  ASSERT_EQ(LoadedHandle(kModule), nullptr) << "pick another module: this one is already loaded";
  auto loadsW = fwtest::RecordImport(GetModuleHandleW(nullptr), FWTEST_IMPORT(LoadLibraryW));
  auto loadsA = fwtest::RecordImport(GetModuleHandleW(nullptr), FWTEST_IMPORT(LoadLibraryA));  // 9x
  const HMODULE first = fw::GetOrLoadModule(kModule);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(fw::GetOrLoadModule(kModule), first);
  EXPECT_EQ(fw::GetOrLoadModule(L"advapi32.dll"), LoadedHandle(L"advapi32.dll"));
  EXPECT_EQ(loadsW.count() + loadsA.count(), 1u) << "only a module not yet in the process is loaded";
  EXPECT_EQ(LoadedHandle(kModule), first) << "and it is never freed";
}

}  // namespace
