// FileServiceTest: one test of the file service's native methods, in its own temporary folder,
// with WinInit.Ini and the system's pending renames restored afterwards.
//
//   TEST_F(FileServiceTest, DeletesAFile) {
//     WriteBytes(folder / L"a.txt", "x");
//     EXPECT_EQ(vm.Call(FW_FILE(win32DeleteFile), self, Path(folder / L"a.txt")), 0);
//     ExpectNoException(vm);
//   }
#pragma once

#include <gtest/gtest.h>

#include "bridge/platform.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "file/file_test_support.h"
#include "support/loaded_library.h"
#include "test_vm.h"
#include "vm_expectations.h"

// One native method of the file service in the fixture's DLL.
#define FW_FILE(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_##method)

namespace fwtest {

class FileServiceTest : public ::testing::Test {
 protected:
  jstring Path(const std::wstring& path) { return vm.String(U16(path)); }
  HMODULE Library() const { return library.get(); }

  TempFolder folder;
  ScopedWinInit winInit;
  ScopedPendingRenames pending;
  LoadedLibrary library{L"fwnative.dll"};
  TestVm vm;
  jobject self = vm.This(kFileService);
};

// A ServiceException of `code` whose message is the system's text for `error` and the number.
inline void ExpectFailure(TestVm& vm, jint code, DWORD error) { ExpectServiceException(vm, code, ErrorMessage(error)); }

}  // namespace fwtest
