// win32MoveFile: the NT-family branches (MoveFileExW) and the Windows 9x branches (WinInit.Ini),
// each forced with the version the DLL sees, so every run covers both.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/fake_import.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

using Renames = std::vector<std::pair<std::wstring, std::wstring>>;
using Lines = std::vector<std::string>;

class MoveFileTest : public FileServiceTest {
 protected:
  MoveFileTest() {
    WriteBytes(source, "new contents");
    WriteBytes(target, "old");
  }
  jint Move(const std::wstring& to, bool overwrite) {
    return vm.Call(service.moveFile, self, Path(source), Path(to), overwrite ? JNI_TRUE : JNI_FALSE);
  }
  // Windows 9x refuses a file in use with access denied where Wine says sharing violation.
  template <typename Fn>
  FakeImport<Fn> DenyAccessTo(ImportOf<Fn> import, const std::wstring& path) {
    return ReplaceImport(Library(), import, [name = Ansi(path)](auto original, auto... args) {
      if (name == std::get<0>(std::make_tuple(args...))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
      }
      return original(args...);
    });
  }

  const std::wstring source = folder / L"new version.dll";
  const std::wstring target = folder / L"installed library.dll";
};

TEST_F(MoveFileTest, NTFamilyMovesAtOnceWhenNothingIsBusy) {
  auto xp = FakeWindowsXP(Library());
  EXPECT_EQ(Move(target, false), -1);
  ExpectFailure(vm, -30018, ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadBytes(source), "new contents");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Move(target, true), 0);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(target), "new contents");
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(pending.Added(), Renames{});
}

TEST_F(MoveFileTest, NTFamilyRenamesABusyTargetAside) {
  auto xp = FakeWindowsXP(Library());
  const std::wstring aside = target + L".delete_on_reboot";
  {
    // Open with every share mode: Wine still refuses to replace it (5) but lets it be renamed.
    const auto held = HoldOpen(target, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    EXPECT_EQ(Move(target, true), 1);
    ExpectNoException(vm);
  }
  EXPECT_EQ(ReadBytes(target), "new contents");
  EXPECT_EQ(ReadBytes(aside), "old");
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(pending.Added(), (Renames{{aside, L""}}));
}

TEST_F(MoveFileTest, NTFamilyMovesBesideATargetThatCannotBeRenamed) {
  auto xp = FakeWindowsXP(Library());
  const std::wstring besides = target + L".move_on_reboot";
  {
    const auto held = HoldOpen(target);
    EXPECT_EQ(Move(target, true), 1);
    ExpectNoException(vm);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(besides), "new contents");
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(pending.Added(), (Renames{{besides, L"!" + target}}));
}

TEST_F(MoveFileTest, Windows9xEmptyTargetDeletesTheSource) {
  auto windows98 = FakeWindows98(Library());
  EXPECT_EQ(Move(L"", false), 0);
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(source));
  EXPECT_TRUE(Exists(target));

  WriteBytes(source, "busy");
  const std::string shortSource = ShortPathOf(source);
  auto denied = DenyAccessTo(FWTEST_IMPORT(DeleteFileA), source);
  EXPECT_EQ(Move(L"", false), 1);
  ExpectNoException(vm);
  EXPECT_EQ(winInit.RenameLines(), Lines{"NUL=" + shortSource});
}

TEST_F(MoveFileTest, Windows9xReplacesATargetItCannotDeleteAtTheNextStart) {
  auto windows98 = FakeWindows98(Library());
  auto denied = DenyAccessTo(FWTEST_IMPORT(DeleteFileA), target);
  EXPECT_EQ(Move(target, true), 1);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(source), "new contents");
  EXPECT_EQ(winInit.RenameLines(),
            (Lines{"NUL=" + ShortPathOf(target), ShortPathOf(target) + "=" + ShortPathOf(source)}));
  EXPECT_EQ(pending.Added(), Renames{});
}

TEST_F(MoveFileTest, Windows9xPlainMove) {
  auto windows98 = FakeWindows98(Library());
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Move(target, true), 0);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(target), "new contents");
  EXPECT_FALSE(Exists(source));
  EXPECT_FALSE(winInit.Contents().has_value());
}

TEST_F(MoveFileTest, Windows9xMoveWithoutOverwriteNeverReplaces) {
  auto windows98 = FakeWindows98(Library());
  EXPECT_EQ(Move(target, false), -1);
  ExpectFailure(vm, -30018, ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(source), "new contents");
  // A target that is not there: moved, with or without overwrite.
  EXPECT_EQ(Move(folder / L"fresh.dll", false), 0);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(folder / L"fresh.dll"), "new contents");
  WriteBytes(source, "again");
  EXPECT_EQ(Move(folder / L"fresh2.dll", true), 0);
  ExpectNoException(vm);
  EXPECT_EQ(ReadBytes(folder / L"fresh2.dll"), "again");
}

TEST_F(MoveFileTest, Windows9xMovesABusySourceAtTheNextStart) {
  auto windows98 = FakeWindows98(Library());
  const std::wstring destination = folder / L"DEST.DLL";  // not there yet: its 8.3 name is used
  auto denied = DenyAccessTo(FWTEST_IMPORT(MoveFileA), source);
  EXPECT_EQ(Move(destination, true), 1);
  ExpectNoException(vm);
  EXPECT_EQ(winInit.RenameLines(), Lines{ShortPathOf(folder.path()) + "\\DEST.DLL=" + ShortPathOf(source)});
  // A long destination name has no short form before it exists: reported, no line written.
  EXPECT_EQ(Move(folder / L"a long destination.dll", true), -1);
  ExpectFailure(vm, -30018, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(winInit.RenameLines().size(), 1u);
}

}  // namespace
}  // namespace fwtest
