// win32DeleteDirectory: single directories and whole trees, with files in use deferred upwards.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/recorded_import.h"

namespace fwtest {
namespace {

using Renames = std::vector<std::pair<std::wstring, std::wstring>>;

class DeleteDirectoryTest : public FileServiceTest {
 protected:
  // root\a\b\deep.dll, root\a\c\x.txt, root\d\.hidden, root\d\ro.txt (read-only), root\top.txt
  DeleteDirectoryTest() {
    for (const wchar_t* dir : {L"", L"\\a", L"\\a\\b", L"\\a\\c", L"\\d"}) MakeFolder(root + dir);
    for (const wchar_t* file : {L"\\a\\b\\deep.dll", L"\\a\\c\\x.txt", L"\\d\\.hidden", L"\\d\\ro.txt", L"\\top.txt"}) {
      WriteBytes(root + file, "x");
    }
    SetFileAttributesW((root + L"\\d\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  }
  jint Delete(const std::wstring& path, bool single, bool recursive) {
    return vm.Call(FW_FILE(win32DeleteDirectory), self, Path(path), jboolean{single}, jboolean{recursive});
  }

  const std::wstring root = folder / L"tree root";
};

TEST_F(DeleteDirectoryTest, RemovesACleanTreeWithTheFamilysWalk) {
  auto ansi = RecordImport(Library(), FWTEST_IMPORT(FindFirstFileA));
  auto wide = RecordImport(Library(), FWTEST_IMPORT(FindFirstFileW));
  EXPECT_EQ(Delete(root, false, true), 0);
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(root));
  const bool windows9x = fw::IsWindows9x();
  EXPECT_EQ(ansi.count(), windows9x ? 5u : 0u);
  EXPECT_EQ(wide.count(), windows9x ? 0u : 5u);
  EXPECT_EQ(pending.Added(), Renames{});
  EXPECT_FALSE(winInit.Contents().has_value());
}

TEST_F(DeleteDirectoryTest, BusyFileKeepsItsDirectoriesAndTheRestGoes) {
  const std::wstring busy = root + L"\\a\\b\\deep.dll";
  {
    const auto held = HoldOpen(busy);
    EXPECT_EQ(Delete(root, false, true), 1);
    ExpectNoException(vm);
  }
  EXPECT_TRUE(Exists(busy));
  EXPECT_TRUE(Exists(root + L"\\a"));
  EXPECT_FALSE(Exists(root + L"\\a\\c")) << "the sibling after the busy subtree";
  EXPECT_FALSE(Exists(root + L"\\d")) << "the subtree after the busy one";
  EXPECT_FALSE(Exists(root + L"\\top.txt"));
  if (fw::IsWindows9x()) {
    EXPECT_EQ(winInit.Contents(), "[Rename]\nNUL=" + ShortPathOf(busy) + "\n");
  } else {
    EXPECT_EQ(pending.Added(), (Renames{{busy, L""}}));
  }
}

TEST_F(DeleteDirectoryTest, WithoutRecursionSubdirectoriesStay) {
  EXPECT_EQ(Delete(root + L"\\a", false, false), -1);
  ExpectFailure(vm, -30020, ERROR_DIR_NOT_EMPTY);
  EXPECT_TRUE(Exists(root + L"\\a\\b\\deep.dll"));
  // A directory holding only files is emptied and removed.
  EXPECT_EQ(Delete(root + L"\\d", false, false), 0);
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(root + L"\\d"));
  // Files of a level are deleted even when a subdirectory keeps the level itself.
  EXPECT_EQ(Delete(root, false, false), -1);
  ExpectFailure(vm, -30020, ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(Exists(root + L"\\top.txt"));
}

TEST_F(DeleteDirectoryTest, SingleModeRemovesOnlyAnEmptyDirectory) {
  EXPECT_EQ(Delete(folder / L"missing", false, true), -1);
  ExpectFailure(vm, -30020, ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Delete(root + L"\\a\\c", true, false), -1);
  ExpectFailure(vm, -30020, ERROR_DIR_NOT_EMPTY);
  EXPECT_TRUE(Exists(root + L"\\a\\c\\x.txt"));
  MakeFolder(root + L"\\empty");
  EXPECT_EQ(Delete(root + L"\\empty", true, true), 0);
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(root + L"\\empty"));
}

}  // namespace
}  // namespace fwtest
