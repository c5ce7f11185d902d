// createDesktopFolder and removeDesktopFolder below a temporary base folder.
#include "desktop/desktop_test_support.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

using ProgramFolderTest = DesktopTest;

TEST_F(ProgramFolderTest, CreatesMissingLevelsAndNotifiesOnceAsWritten) {
  MakeFolder(folder / L"A");
  vm.Call(createFolder, self, Str(folder.path()), Str(L"A\\B\\C"));
  vm.Call(createFolder, self, Str(folder.path()), Str(L"D/E"));
  ExpectNoException(vm);
  EXPECT_TRUE(Exists(folder / L"A\\B\\C") && Exists(folder / L"D\\E"));
  EXPECT_EQ(TakeNotes(), (Notes{Note(SHCNE_MKDIR, folder / L"A\\B\\C"), Note(SHCNE_MKDIR, folder / L"D/E")}));

  vm.Call(createFolder, self, jstring{nullptr}, Str(L"A"));
  ExpectFailure(vm, -80000, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(TakeNotes(), Notes{});
}

TEST_F(ProgramFolderTest, AFailingLevelUndoesOnlyWhatThisCallMade) {
  MakeFolder(folder / L"A");
  const auto deny = [](auto original, auto path, LPSECURITY_ATTRIBUTES security) {
    auto end = path;
    while (*end != 0) ++end;
    if (end[-1] != 'C') return original(path, security);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  };
  auto wide = ReplaceImport(Library(), FWTEST_IMPORT(CreateDirectoryW), deny);
  auto ansi = ReplaceImport(Library(), FWTEST_IMPORT(CreateDirectoryA), deny);
  vm.Call(createFolder, self, Str(folder.path()), Str(L"A\\B\\C\\D"));
  ExpectFailure(vm, -80000, ERROR_ACCESS_DENIED);
  EXPECT_TRUE(Exists(folder / L"A"));
  EXPECT_FALSE(Exists(folder / L"A\\B"));
  EXPECT_EQ(TakeNotes(), Notes{});
}

TEST_F(ProgramFolderTest, EmptyLevelsNeverReachOutsideTheBase) {
  const std::wstring base = folder / L"base";  // empty: a walk one level too far would remove it
  MakeFolder(base);
  vm.Call(createFolder, self, Str(base), Str(L"\\A\\\\B\\"));
  EXPECT_TRUE(Exists(base + L"\\A\\B"));
  vm.Call(removeFolder, self, Str(base), Str(L"\\A\\\\B\\"));
  vm.Call(removeFolder, self, Str(base), Str(L"/"));
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(base + L"\\A"));
  EXPECT_TRUE(Exists(base));
}

TEST_F(ProgramFolderTest, RemovalKeepsFoldersInUseAndOnlyTheNTFamilyReportsOtherErrors) {
  MakeFolder(folder / L"A");
  MakeFolder(folder / L"A\\B");
  WriteBytes(folder / L"A\\other.lnk", "x");
  vm.Call(removeFolder, self, Str(folder.path()), Str(L"A\\B"));
  vm.Call(removeFolder, self, Str(folder.path()), Str(L"Gone\\X"));
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(folder / L"A\\B"));
  EXPECT_TRUE(Exists(folder / L"A\\other.lnk"));
  EXPECT_EQ(TakeNotes(), Notes{Note(SHCNE_RMDIR, folder / L"Gone\\X")});  // "not empty" is not announced

  for (const bool win9x : {false, true}) {
    auto version = win9x ? FakeWindows98(Library()) : FakeWindowsXP(Library());
    auto wide = FailImport(Library(), FWTEST_IMPORT(RemoveDirectoryW), FALSE, ERROR_ACCESS_DENIED);
    auto ansi = FailImport(Library(), FWTEST_IMPORT(RemoveDirectoryA), FALSE, ERROR_ACCESS_DENIED);
    vm.Call(removeFolder, self, Str(folder.path()), Str(L"A"));
    if (win9x) {
      ExpectNoException(vm);
    } else {
      ExpectFailure(vm, -80001, ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(win9x ? ansi.calls() : wide.calls(), 1);
  }
  EXPECT_EQ(TakeNotes(), Notes{});
}

}  // namespace
}  // namespace fwtest
