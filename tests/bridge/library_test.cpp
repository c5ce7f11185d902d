// The built DLL as a JVM sees it: loading and unloading, and the exported native methods.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"
#include "bridge/platform.h"
#include "support/fake_version.h"
#include "support/loaded_library.h"
#include "support/program_folder.h"
#include "support/run_version.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace {

using fwtest::TestVm;

constexpr char kSystemUtil[] = "com/fernwick/wizard/platform/win32/Win32SystemUtilServiceImpl";
constexpr char kService[] = "com/fernwick/wizard/platform/win32/Win32ServiceImpl";

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

TEST(Library, PlatformMethodsAnswerForTheVersionOfEachCall) {
  const auto version = fwtest::RunVersionOfProgram(fwtest::ProgramPath());
  ASSERT_TRUE(version) << "run the suite under a versioned program name (see the README)";
  const std::string name = version->name;
  fwtest::LoadedLibrary library(L"fwnative.dll");
  auto isWinNTor2K =
      FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinNTor2K);
  auto isWinME = FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinME);
  auto isWin2k = FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_isWin2k);
  ASSERT_TRUE(isWinNTor2K && isWinME && isWin2k);
  TestVm vm;
  const jobject util = vm.This(kSystemUtil);
  const bool nt = name != "win98" && name != "winme";
  EXPECT_EQ(fw::IsWindows9x(), !nt) << name;
  EXPECT_EQ(vm.Call(isWinNTor2K, util), nt ? JNI_TRUE : JNI_FALSE) << name;
  EXPECT_EQ(vm.Call(isWinME, util), name == "winme" ? JNI_TRUE : JNI_FALSE) << name;
  EXPECT_EQ(vm.Call(isWin2k, vm.This(kService)), name == "win2k" ? JNI_TRUE : JNI_FALSE) << name;
  // The system is asked again on every call.
  auto me = fwtest::FakeVersion(library.get(), VER_PLATFORM_WIN32_WINDOWS, 4, 90);
  EXPECT_EQ(vm.Call(isWinME, util), JNI_TRUE);
  EXPECT_EQ(vm.Call(isWinNTor2K, util), JNI_FALSE);
  fwtest::ExpectNoException(vm);
}

}  // namespace
