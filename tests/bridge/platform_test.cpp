// The platform tests (the version asked at every call, with its fallback) and the built DLL as a JVM
// sees it: COM for the loading thread, and the platform methods it exports.
#include "bridge/platform.h"

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/loaded_library.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

// IsWindows9x, IsWindowsNT, IsWindows2000, IsWindowsME.
using PlatformAnswers = std::tuple<bool, bool, bool, bool>;

PlatformAnswers Ask() { return {IsWindows9x(), IsWindowsNT(), IsWindows2000(), IsWindowsME()}; }

HMODULE Self() { return GetModuleHandleW(nullptr); }

TEST(Platform, FallsBackToTheOlderStructureAndIsNothingWhenBothFail) {
  const PlatformAnswers real = Ask();
  {
    auto only148 = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(GetVersionExA),
                                         [](auto original, LPOSVERSIONINFOA info) -> BOOL {
                                           if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
                                             SetLastError(ERROR_INVALID_PARAMETER);
                                             return FALSE;
                                           }
                                           return original(info);
                                         });
    EXPECT_EQ(Ask(), real);
    EXPECT_EQ(only148.calls(), 8) << "each test asks again, twice: nothing is cached";
  }
  auto fail = fwtest::FailImport(Self(), FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Ask(), (PlatformAnswers{false, false, false, false}));
}

constexpr char kSystemUtil[] = "com/fernwick/wizard/platform/win32/Win32SystemUtilServiceImpl";
constexpr char kService[] = "com/fernwick/wizard/platform/win32/Win32ServiceImpl";

// The answers inside the library and from the DLL's platform methods, for the version of each call.
TEST(Platform, ReleasesAreToldApartByExactVersion) {
  fwtest::LoadedLibrary library(L"fwnative.dll");
  auto isWinNTor2K =
      FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K);
  auto isWinME = FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinME);
  auto isWin2k = FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_isWin2k);
  ASSERT_TRUE(isWinNTor2K && isWinME && isWin2k);
  TestVm vm;
  const jobject util = vm.This(kSystemUtil);
  const jobject service = vm.This(kService);
  const auto exported = [&] {
    return PlatformAnswers{false, vm.Call(isWinNTor2K, util) == JNI_TRUE, vm.Call(isWin2k, service) == JNI_TRUE,
                           vm.Call(isWinME, util) == JNI_TRUE};
  };
  const struct {
    DWORD platform, major, minor;
    PlatformAnswers expected;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, 5, 0, {false, true, true, false}},         // 2000
      {VER_PLATFORM_WIN32_NT, 5, 1, {false, true, false, false}},        // XP
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, {true, false, false, true}},   // ME
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, {true, false, false, false}},  // 98
      {VER_PLATFORM_WIN32_WINDOWS, 5, 0, {true, false, false, false}},   // 9x id with NT 5.0 numbers
      {VER_PLATFORM_WIN32_NT, 4, 90, {false, true, false, false}},       // NT id with ME numbers
      {VER_PLATFORM_WIN32s, 3, 10, {false, false, false, false}},        // neither family
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "platform " << c.platform << ", " << c.major << "." << c.minor);
    auto fake = fwtest::FakeVersion(Self(), c.platform, c.major, c.minor);
    auto fakeInDll = fwtest::FakeVersion(library.get(), c.platform, c.major, c.minor);
    EXPECT_EQ(Ask(), c.expected);
    auto expected = c.expected;
    std::get<0>(expected) = false;  // the DLL exports no 9x test
    EXPECT_EQ(exported(), expected);
  }
  fwtest::ExpectNoException(vm);
}

TEST(Library, InitialisesComOnTheLoadingThreadAndUninitialisesAtUnload) {
  // A thread of its own, so that no other test's COM state is involved.
  HRESULT whileLoaded = E_UNEXPECTED;
  HRESULT afterUnload = E_UNEXPECTED;
  std::thread([&] {
    {
      fwtest::LoadedLibrary library(L"fwnative.dll");
      whileLoaded = CoInitialize(nullptr);  // S_FALSE: the library's initialisation is in force
      if (SUCCEEDED(whileLoaded)) CoUninitialize();
    }
    afterUnload = CoInitialize(nullptr);  // S_OK: the library's unload uninitialised it
    if (SUCCEEDED(afterUnload)) CoUninitialize();
  }).join();
  EXPECT_EQ(whileLoaded, S_FALSE);
  EXPECT_EQ(afterUnload, S_OK);
}

}  // namespace
}  // namespace fw
