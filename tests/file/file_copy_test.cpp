// win32CopyFile: plain copies, and a target in use replaced at the next start by each family.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/hidden_proc_addresses.h"

namespace fwtest {
namespace {

using Renames = std::vector<std::pair<std::wstring, std::wstring>>;

class CopyFileTest : public FileServiceTest {
 protected:
  CopyFileTest() {
    WriteBytes(source, "new contents");
    WriteBytes(target, "old");
  }
  jint Copy(bool overwrite) {
    return vm.Call(service.copyFile, self, Path(source), Path(target), overwrite ? JNI_TRUE : JNI_FALSE);
  }

  const std::wstring source = folder / L"new version.dll";
  const std::wstring target = folder / L"installed library.dll";
};

TEST_F(CopyFileTest, CopiesAndHonoursOverwrite) {
  EXPECT_EQ(Copy(false), -1);
  ExpectFailure(vm, -30017, ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(Copy(true), 0);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(target), "new contents");
  // A missing source is reported, not scheduled.
  EXPECT_EQ(vm.Call(service.copyFile, self, Path(folder / L"missing.dll"), Path(target), JNI_TRUE), -1);
  ExpectFailure(vm, -30017, ERROR_FILE_NOT_FOUND);
}

TEST_F(CopyFileTest, ReadOnlyTargetIsReplacedAndStaysWritable) {
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Copy(true), 0);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(target), "new contents");
  EXPECT_EQ(Attributes(target) & FILE_ATTRIBUTE_READONLY, 0u);
}

// The family this run emulates, with the target held open by another program.
TEST_F(CopyFileTest, BusyTargetIsReplacedAtTheNextStart) {
  const std::wstring besides = target + L".use_on_reboot";
  {
    const auto held = HoldOpen(target);  // share 0: Wine refuses the rename aside as well
    EXPECT_EQ(Copy(true), 1);
    ExpectNoException(vm);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(besides), "new contents");
  if (fw::IsWindows9x()) {
    EXPECT_EQ(winInit.RenameLines(), std::vector<std::string>{ShortPathOf(target) + "=" + ShortPathOf(besides)});
    EXPECT_EQ(pending.Added(), Renames{});
  } else {
    EXPECT_EQ(pending.Added(), (Renames{{besides, L"!" + target}}));
    EXPECT_FALSE(winInit.Contents().has_value());
  }
  // A leftover side file of the earlier run makes a copy without overwrite fail.
  {
    const auto held = HoldOpen(target);
    EXPECT_EQ(Copy(false), -1);
    ExpectFailure(vm, -30017, ERROR_FILE_EXISTS);
  }
}

TEST_F(CopyFileTest, NTFamilyRenamesARenamableBusyTargetAside) {
  auto xp = FakeWindowsXP(Library());
  const std::wstring aside = target + L".delete_on_reboot";
  {
    // Like a running program: the file may be renamed but not written.
    const auto held = HoldOpen(target, FILE_SHARE_READ | FILE_SHARE_DELETE);
    EXPECT_EQ(Copy(true), 1);
    ExpectNoException(vm);
    EXPECT_EQ(ReadBytes(target), "new contents") << "the new file is in place at once";
  }
  EXPECT_EQ(ReadBytes(aside), "old");
  EXPECT_EQ(pending.Added(), (Renames{{aside, L""}}));
}

TEST_F(CopyFileTest, NTFamilyPutsTheOldTargetBackWhenTheSecondCopyFails) {
  auto xp = FakeWindowsXP(Library());
  int copies = 0;
  auto copy = ReplaceImport(Library(), FWTEST_IMPORT(CopyFileW),
                            [&copies](auto original, LPCWSTR from, LPCWSTR to, BOOL failIfExists) -> BOOL {
                              if (++copies == 2) {
                                SetLastError(ERROR_DISK_FULL);
                                return FALSE;
                              }
                              return original(from, to, failIfExists);
                            });
  {
    const auto held = HoldOpen(target, FILE_SHARE_READ | FILE_SHARE_DELETE);
    EXPECT_EQ(Copy(true), -1);
    ExpectFailure(vm, -30017, ERROR_DISK_FULL);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_FALSE(Exists(target + L".delete_on_reboot"));
  EXPECT_EQ(pending.Added(), Renames{});
}

TEST_F(CopyFileTest, NTFamilyReportsAMissingMoveFileEx) {
  auto xp = FakeWindowsXP(Library());
  HiddenProcAddresses hidden(Library(), {"MoveFileExW"});
  const auto held = HoldOpen(target);
  EXPECT_EQ(Copy(true), -1);
  ExpectFailure(vm, -30017, ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(hidden.refused(), std::vector<std::string>{"MoveFileExW"});
}

TEST_F(CopyFileTest, Windows9xSchedulesTheSideFileInWinInit) {
  auto windows98 = FakeWindows98(Library());
  const std::wstring besides = target + L".use_on_reboot";
  {
    const auto held = HoldOpen(target);
    EXPECT_EQ(Copy(true), 1);
    ExpectNoException(vm);
  }
  EXPECT_EQ(ReadBytes(besides), "new contents");
  EXPECT_EQ(winInit.Contents(), "[Rename]\n" + ShortPathOf(target) + "=" + ShortPathOf(besides) + "\n");
  EXPECT_EQ(pending.Added(), Renames{});
  // WinInit.Ini held by another writer: the copy reports the sharing violation.
  const std::wstring other = folder / L"other.dll";
  WriteBytes(other, "x");
  const auto heldTarget = HoldOpen(other);
  const auto heldWinInit = HoldOpen(winInit.path());
  EXPECT_EQ(vm.Call(service.copyFile, self, Path(source), Path(other), JNI_TRUE), -1);
  ExpectFailure(vm, -30017, ERROR_SHARING_VIOLATION);
}

}  // namespace
}  // namespace fwtest
