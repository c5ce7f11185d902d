// win32DeleteDirectory: single directories and whole trees, with files in use deferred upwards.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/fake_import.h"
#include "support/recorded_import.h"

namespace fwtest {
namespace {

using Renames = std::vector<std::pair<std::wstring, std::wstring>>;

std::string AnsiOf(const char* text) { return text; }
std::string AnsiOf(const wchar_t* text) { return Ansi(text); }

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

// A file in use (sharing violation) and one Windows refuses (access denied) both wait for the next
// start; on the NT family their directories follow them there, deepest first.
TEST_F(DeleteDirectoryTest, WhatWaitsKeepsItsDirectoriesUntilTheNextStartAndTheRestGoes) {
  const std::wstring busy = root + L"\\a\\b\\deep.dll";
  const std::wstring denied = root + L"\\top.txt";
  const std::string shortBusy = ShortPathOf(busy), shortDenied = ShortPathOf(denied);
  {
    const auto deny = [&denied](auto original, auto path) -> BOOL {
      if (Ansi(denied) == AnsiOf(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
      }
      return original(path);
    };
    auto deniedW = ReplaceImport(Library(), FWTEST_IMPORT(DeleteFileW), deny);
    auto deniedA = ReplaceImport(Library(), FWTEST_IMPORT(DeleteFileA), deny);
    const auto held = HoldOpen(busy);
    EXPECT_EQ(Delete(root, false, true), 1);
    ExpectNoException(vm);
  }
  EXPECT_TRUE(Exists(busy) && Exists(denied));
  EXPECT_FALSE(Exists(root + L"\\a\\c")) << "the sibling after the busy subtree";
  EXPECT_FALSE(Exists(root + L"\\d")) << "the subtree after the busy one";
  if (fw::IsWindows9x()) {
    EXPECT_EQ(winInit.Contents(), "[Rename]\nNUL=" + shortDenied + "\nNUL=" + shortBusy + "\n");
    EXPECT_EQ(pending.Added(), Renames{});
    return;
  }
  EXPECT_EQ(pending.Added(), (Renames{{busy, L""}, {root + L"\\a\\b", L""}, {root + L"\\a", L""}, {denied, L""}, {root, L""}}));
  // What a restart does with them: nothing of the tree is left.
  RestartWindows();
  EXPECT_FALSE(Exists(root));
}

// Wine lists no reparse points: "a\c" is reported as one, and removing it moves it out of the tree,
// as removing a junction leaves the folder it leads to.
TEST_F(DeleteDirectoryTest, ALinkInTheTreeGoesAndWhatItLeadsToStays) {
  const std::wstring link = root + L"\\a\\c";
  const std::wstring elsewhere = folder / L"elsewhere";
  const auto markLink = [](auto& data) {
    if (AnsiOf(data.cFileName) == "c") data.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  };
  const auto first = [&](auto original, auto pattern, auto data) -> HANDLE {
    const HANDLE find = original(pattern, data);
    if (find != INVALID_HANDLE_VALUE) markLink(*data);
    return find;
  };
  const auto next = [&](auto original, HANDLE find, auto data) -> BOOL {
    const BOOL found = original(find, data);
    if (found) markLink(*data);
    return found;
  };
  const auto removeLink = [&](auto original, auto path) -> BOOL {
    return AnsiOf(path) == Ansi(link) ? MoveFileW(link.c_str(), elsewhere.c_str()) : original(path);
  };
  auto firstW = ReplaceImport(Library(), FWTEST_IMPORT(FindFirstFileW), first);
  auto firstA = ReplaceImport(Library(), FWTEST_IMPORT(FindFirstFileA), first);
  auto nextW = ReplaceImport(Library(), FWTEST_IMPORT(FindNextFileW), next);
  auto nextA = ReplaceImport(Library(), FWTEST_IMPORT(FindNextFileA), next);
  auto removeW = ReplaceImport(Library(), FWTEST_IMPORT(RemoveDirectoryW), removeLink);
  auto removeA = ReplaceImport(Library(), FWTEST_IMPORT(RemoveDirectoryA), removeLink);
  EXPECT_EQ(Delete(root, false, true), 0);
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(root));
  EXPECT_EQ(ReadBytes(elsewhere + L"\\x.txt"), "x");
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
