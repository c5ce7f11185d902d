// win32CopyFile, win32MoveFile, win32DeleteFile, win32DeleteDirectory and the file-time methods: done
// at once, or, for a file in use, completed at the next start through MoveFileExW (NT family) or
// WinInit.Ini (Windows 9x). Most tests force each family with the version the DLL sees.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/recorded_import.h"
#include "support/substituted_proc_address.h"

namespace fwtest {
namespace {

using Renames = std::vector<std::pair<std::wstring, std::wstring>>;

class FileOperationsTest : public FileServiceTest {
 protected:
  FileOperationsTest() {
    WriteBytes(source, "new contents");
    WriteBytes(target, "old");
  }
  jint Copy(bool overwrite, const std::wstring& to = L"") {
    return vm.Call(FW_FILE(win32CopyFile), self, Path(source), Path(to.empty() ? target : to), jboolean{overwrite});
  }
  jint Move(const std::wstring& to, bool overwrite) {
    return vm.Call(FW_FILE(win32MoveFile), self, Path(source), Path(to), jboolean{overwrite});
  }
  // Windows 9x refuses a file in use with access denied where Wine says sharing violation.
  template <typename Fn>
  FakeImport<Fn> DenyAccessTo(ImportOf<Fn> import, const std::wstring& path) {
    return ReplaceImport(Library(), import, [path](auto original, auto... args) {
      if (SamePath(std::get<0>(std::make_tuple(args...)), path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
      }
      return original(args...);
    });
  }
  static bool SamePath(const char* given, const std::wstring& path) { return given != nullptr && Ansi(path) == given; }
  static bool SamePath(const wchar_t* given, const std::wstring& path) { return given != nullptr && path == given; }
  void Reset() {
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(source, "new contents");
    WriteBytes(target, "old");
  }

  const std::wstring source = folder / L"new version.dll";
  const std::wstring target = folder / L"installed library.dll";
  // Held by a running program: it may be renamed but not written.
  static constexpr DWORD kRenamable = FILE_SHARE_READ | FILE_SHARE_DELETE;
};

TEST_F(FileOperationsTest, CopyHonoursOverwriteAndReplacesAReadOnlyTarget) {
  ExpectRefused(vm, Copy(false), -30017, ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadBytes(target), "old");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectResult(vm, Copy(true), 0);
  EXPECT_EQ(ReadBytes(target), "new contents");
  EXPECT_EQ(Attributes(target) & FILE_ATTRIBUTE_READONLY, 0u) << "the replaced target stays writable";
  // A missing source is reported, not scheduled.
  ExpectRefused(vm, vm.Call(FW_FILE(win32CopyFile), self, Path(folder / L"missing.dll"), Path(target), JNI_TRUE),
                -30017, ERROR_FILE_NOT_FOUND);
}

TEST_F(FileOperationsTest, NTFamilyCopiesOverABusyTargetAtTheNextStart) {
  auto xp = FakeWindowsXP(Library());
  const std::wstring aside = target + L".delete_on_reboot";
  const std::wstring besides = target + L".use_on_reboot";
  {
    const auto held = HoldOpen(target, kRenamable);
    ExpectResult(vm, Copy(true), 1);
    EXPECT_EQ(ReadBytes(target), "new contents") << "renamed aside: the new file is in place at once";
  }
  EXPECT_EQ(ReadBytes(aside), "old");
  DeleteFileW(aside.c_str());
  WriteBytes(target, "old");
  {
    const auto held = HoldOpen(target);  // share 0: Wine refuses the rename aside as well
    ExpectResult(vm, Copy(true), 1);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(besides), "new contents");
  EXPECT_EQ(pending.Added(), (Renames{{aside, L""}, {besides, L"!" + target}}));
  EXPECT_FALSE(winInit.Contents().has_value());
}

TEST_F(FileOperationsTest, NTFamilyPutsTheOldTargetBackWhenTheSecondCopyFails) {
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
    const auto held = HoldOpen(target, kRenamable);
    ExpectRefused(vm, Copy(true), -30017, ERROR_DISK_FULL);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_FALSE(Exists(target + L".delete_on_reboot"));
  EXPECT_EQ(pending.Added(), Renames{});
}

TEST_F(FileOperationsTest, Windows9xCopiesOverABusyTargetAtTheNextStart) {
  auto windows98 = FakeWindows98(Library());
  const std::wstring besides = target + L".use_on_reboot";
  {
    const auto held = HoldOpen(target);
    ExpectResult(vm, Copy(true), 1);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(besides), "new contents");
  EXPECT_EQ(winInit.Contents(), "[Rename]\n" + ShortPathOf(target) + "=" + ShortPathOf(besides) + "\n");
  EXPECT_EQ(pending.Added(), Renames{});
  // WinInit.Ini held by another writer: the copy reports the sharing violation.
  const std::wstring other = folder / L"other.dll";
  WriteBytes(other, "x");
  const auto heldTarget = HoldOpen(other);
  const auto heldWinInit = HoldOpen(winInit.path());
  ExpectRefused(vm, Copy(true, other), -30017, ERROR_SHARING_VIOLATION);
}

TEST_F(FileOperationsTest, NTFamilyMovesAtOnceOrAtTheNextStart) {
  auto xp = FakeWindowsXP(Library());
  ExpectRefused(vm, Move(target, false), -30018, ERROR_ALREADY_EXISTS);
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectResult(vm, Move(target, true), 0);
  EXPECT_EQ(ReadBytes(target), "new contents");
  EXPECT_FALSE(Exists(source));
  // Busy but renamable (open with every share mode, Wine still refuses to replace it): the old
  // file goes aside and is deleted at the next start.
  const std::wstring aside = target + L".delete_on_reboot";
  WriteBytes(source, "second");
  {
    const auto held = HoldOpen(target, kRenamable | FILE_SHARE_WRITE);
    ExpectResult(vm, Move(target, true), 1);
  }
  EXPECT_EQ(ReadBytes(target), "second");
  EXPECT_EQ(ReadBytes(aside), "new contents");
  // Busy and not renamable: the new file waits beside it.
  const std::wstring besides = target + L".move_on_reboot";
  WriteBytes(source, "third");
  {
    const auto held = HoldOpen(target);
    ExpectResult(vm, Move(target, true), 1);
  }
  EXPECT_EQ(ReadBytes(target), "second");
  EXPECT_EQ(ReadBytes(besides), "third");
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(pending.Added(), (Renames{{aside, L""}, {besides, L"!" + target}}));
}

TEST_F(FileOperationsTest, Windows9xMovesAtOnceWhenNothingIsBusy) {
  auto windows98 = FakeWindows98(Library());
  ExpectRefused(vm, Move(target, false), -30018, ERROR_ALREADY_EXISTS);
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(source), "new contents");
  // With overwrite, a target that is not there is no reason to fail.
  EXPECT_EQ(Move(folder / L"fresh.dll", true), 0);
  EXPECT_EQ(ReadBytes(folder / L"fresh.dll"), "new contents");
  WriteBytes(source, "third");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Move(target, true), 0);
  EXPECT_EQ(ReadBytes(target), "third");
  EXPECT_FALSE(Exists(source));
  // An empty target deletes the source.
  WriteBytes(source, "x");
  EXPECT_EQ(Move(L"", false), 0);
  EXPECT_FALSE(Exists(source));
  ExpectNoException(vm);
  EXPECT_FALSE(winInit.Contents().has_value());
}

TEST_F(FileOperationsTest, Windows9xMovesWhatIsBusyAtTheNextStart) {
  auto windows98 = FakeWindows98(Library());
  const std::string shortSource = ShortPathOf(source);
  const std::string shortTarget = ShortPathOf(target);
  {
    auto denied = DenyAccessTo(FWTEST_IMPORT(DeleteFileA), target);
    ExpectResult(vm, Move(target, true), 1);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(ReadBytes(source), "new contents");
  {
    auto denied = DenyAccessTo(FWTEST_IMPORT(DeleteFileA), source);
    ExpectResult(vm, Move(L"", false), 1);
  }
  {
    auto denied = DenyAccessTo(FWTEST_IMPORT(MoveFileA), source);
    EXPECT_EQ(Move(folder / L"DEST.DLL", true), 1) << "not there yet: its 8.3 name is used";
    ExpectNoException(vm);
    // A long destination name has no short form before it exists: reported, no line written.
    ExpectRefused(vm, Move(folder / L"a long destination.dll", true), -30018, ERROR_FILE_NOT_FOUND);
  }
  // Each flush puts its lines right under the header.
  EXPECT_EQ(winInit.Contents(), "[Rename]\n" + ShortPathOf(folder.path()) + "\\DEST.DLL=" + shortSource + "\nNUL=" +
                                    shortSource + "\nNUL=" + shortTarget + "\n" + shortTarget + "=" + shortSource + "\n");
  EXPECT_EQ(pending.Added(), Renames{});
}

TEST_F(FileOperationsTest, DeletesAtOnceOrAtTheNextStart) {
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectResult(vm, vm.Call(FW_FILE(win32DeleteFile), self, Path(target)), 0);
  EXPECT_FALSE(Exists(target));
  ExpectRefused(vm, vm.Call(FW_FILE(win32DeleteFile), self, Path(target)), -30019, ERROR_FILE_NOT_FOUND);
  ExpectRefused(vm, vm.Call(FW_FILE(win32DeleteFile), self, jstring{nullptr}), -30019, ERROR_INVALID_PARAMETER);

  const auto held = HoldOpen(source);
  ExpectResult(vm, vm.Call(FW_FILE(win32DeleteFile), self, Path(source)), 1);
  EXPECT_TRUE(Exists(source));
  if (fw::IsWindows9x()) {
    EXPECT_EQ(winInit.Contents(), "[Rename]\nNUL=" + ShortPathOf(source) + "\n");
    EXPECT_EQ(pending.Added(), Renames{});
  } else {
    EXPECT_EQ(pending.Added(), (Renames{{source, L""}}));
    EXPECT_FALSE(winInit.Contents().has_value());
  }
}

// Every place where a target is put aside, deleted or replaced before its replacement is sure: a
// failure there leaves it where it was, and without overwrite nothing replaces it at all.
TEST_F(FileOperationsTest, NTFamilyNeverLeavesATargetAsideOrReplacesOneItMayNotReplace) {
  auto xp = FakeWindowsXP(Library());
  const std::wstring aside = target + L".delete_on_reboot";
  const std::wstring besides = target + L".move_on_reboot";
  {
    int copies = 0;  // the first copy meets a source in use; with overwrite false the target must stay
    auto copy = ReplaceImport(Library(), FWTEST_IMPORT(CopyFileW), [&copies](auto original, auto... args) -> BOOL {
      if (++copies > 1) return original(args...);
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    });
    ExpectRefused(vm, Copy(false), -30017, ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadBytes(target), "old");
  }
  // MoveFileExW as Windows answers it: refusal(from, to, flags, call number) gives the error, or 0.
  using Refusal = std::function<DWORD(const std::wstring&, const std::wstring&, DWORD, int)>;
  Refusal refusal;
  int call = 0;
  auto moveFileEx = SubstituteProcAddress(Library(), FWTEST_IMPORT(MoveFileExW),
                                          [&](auto original, LPCWSTR from, LPCWSTR to, DWORD flags) -> BOOL {
                                            const DWORD error = refusal(from, to != nullptr ? to : L"", flags, ++call);
                                            if (error == 0) return original(from, to, flags);
                                            SetLastError(error);
                                            return FALSE;
                                          });
  const struct {
    const char* what;
    bool overwrite, readOnly;
    Refusal refusal;
    jint result;
    DWORD error;
    std::string targetAfter;
  } cases[] = {
      {"no overwrite, the source in use", false, false,
       [&](auto& from, auto&, DWORD, int) { return from == source ? ERROR_SHARING_VIOLATION : 0; }, -1,
       ERROR_ALREADY_EXISTS, "old"},
      {"the target in use, the second move fails", true, false,
       [&](auto& from, auto&, DWORD, int n) { return from != source ? 0 : n == 1 ? ERROR_ACCESS_DENIED : ERROR_DISK_FULL; },
       -1, ERROR_DISK_FULL, "old"},
      {"the replacement at the next start refused", true, false,
       [&](auto& from, auto& to, DWORD flags, int) -> DWORD {
         if (flags == (MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) return ERROR_NOT_ENOUGH_MEMORY;
         return (from == source && to == target) || from == target ? ERROR_SHARING_VIOLATION : 0;
       },
       -1, ERROR_NOT_ENOUGH_MEMORY, "old"},
      {"a read-only target, refused by Windows", true, true,
       [&](auto&, auto& to, DWORD, int) -> DWORD {
         const DWORD attributes = Attributes(target);
         const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
         return to == target && readOnly ? ERROR_ACCESS_DENIED : 0;
       },
       0, 0, "new contents"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    if (c.readOnly) SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    refusal = c.refusal;
    call = 0;
    EXPECT_EQ(Move(target, c.overwrite), c.result);
    if (c.error == 0) ExpectNoException(vm);
    if (c.error != 0) ExpectFailure(vm, -30018, c.error);
    EXPECT_EQ(ReadBytes(target), c.targetAfter);
    EXPECT_EQ(ReadBytes(source), c.result == 0 ? std::nullopt : std::optional<std::string>("new contents"));
    EXPECT_FALSE(Exists(aside) || Exists(besides));
  }
  EXPECT_EQ(pending.Added(), Renames{});
}

TEST_F(FileOperationsTest, Windows9xNeverSchedulesOverATargetItMayNotReplace) {
  auto windows98 = FakeWindows98(Library());
  const std::string lines = "NUL=" + ShortPathOf(target) + "\n" + ShortPathOf(target) + "=" + ShortPathOf(source) + "\n";
  {
    auto denied = DenyAccessTo(FWTEST_IMPORT(MoveFileA), source);
    ExpectRefused(vm, Move(target, false), -30018, ERROR_ALREADY_EXISTS);
    int copies = 0;  // the first copy meets a source in use
    auto busy = ReplaceImport(Library(), FWTEST_IMPORT(CopyFileA), [&copies](auto original, auto... args) -> BOOL {
      if (++copies > 1) return original(args...);
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    });
    ExpectRefused(vm, Copy(false), -30017, ERROR_FILE_EXISTS);
  }
  EXPECT_FALSE(winInit.Contents().has_value());
  {
    // The source in use: both lines are made while the target exists, and nothing goes now.
    const auto held = HoldOpen(source);
    ExpectResult(vm, Move(target, true), 1);
  }
  EXPECT_EQ(ReadBytes(target), "old");
  EXPECT_EQ(winInit.Contents(), "[Rename]\n" + lines);
  {
    // Refused only by the move itself: the target is gone, and its lines were made before it went.
    auto denied = DenyAccessTo(FWTEST_IMPORT(MoveFileA), source);
    ExpectResult(vm, Move(target, true), 1);
  }
  EXPECT_EQ(ReadBytes(source), "new contents");
  EXPECT_EQ(winInit.Contents(), "[Rename]\n" + lines + lines);
}

TEST_F(FileOperationsTest, AccessDeniedDeletesAtTheNextStartAsASharingViolationDoes) {
  for (const bool windows9x : {false, true}) {
    auto version = windows9x ? FakeWindows98(Library()) : FakeWindowsXP(Library());
    auto deniedW = DenyAccessTo(FWTEST_IMPORT(DeleteFileW), target);
    auto deniedA = DenyAccessTo(FWTEST_IMPORT(DeleteFileA), target);
    ExpectResult(vm, vm.Call(FW_FILE(win32DeleteFile), self, Path(target)), 1);
  }
  EXPECT_TRUE(Exists(target));
  EXPECT_EQ(pending.Added(), (Renames{{target, L""}}));
  EXPECT_EQ(winInit.Contents(), "[Rename]\nNUL=" + ShortPathOf(target) + "\n");
}

std::optional<ULONGLONG> Value(const FILETIME* time) {
  if (time == nullptr) return std::nullopt;
  return (static_cast<ULONGLONG>(time->dwHighDateTime) << 32) | time->dwLowDateTime;
}

TEST_F(FileOperationsTest, FileTimesAreSetAsGivenAndAReadOnlyFileStaysReadOnly) {
  constexpr jlong kCreated = 126227808000000000LL;   // 2001-01-01
  constexpr jlong kAccessed = 126543168000000000LL;  // 2002-01-01
  constexpr jlong kWritten = 126858528001234567LL;   // 2003-01-01, 100 ns precision
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  // What SetFileTime was given: each time or its absence.
  using TimesSeen = std::vector<std::optional<ULONGLONG>>;
  TimesSeen seen;
  auto setFileTime = ReplaceImport(
      Library(), FWTEST_IMPORT(SetFileTime),
      [&seen](auto original, HANDLE file, const FILETIME* c, const FILETIME* a, const FILETIME* w) -> BOOL {
        seen = {Value(c), Value(a), Value(w)};
        return original(file, c, a, w);
      });
  const std::nullopt_t none = std::nullopt;
  const struct {
    const char* method;
    std::function<void(const std::wstring&)> call;
    jint code;
    TimesSeen expected;
  } cases[] = {
      {"win32SetFileCreated", [&](auto& path) { vm.Call(FW_FILE(win32SetFileCreated), self, Path(path), kCreated); },
       -30011, {kCreated, none, none}},
      {"win32SetFileModified", [&](auto& path) { vm.Call(FW_FILE(win32SetFileModified), self, Path(path), kWritten); },
       -30016, {none, none, kWritten}},
      {"win32SetFileTimes",
       [&](auto& path) { vm.Call(FW_FILE(win32SetFileTimes), self, Path(path), kCreated, kAccessed, kWritten); },
       -30007, {kCreated, kAccessed, kWritten}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    seen = {};
    c.call(target);
    ExpectNoException(vm);
    EXPECT_EQ(seen, c.expected);
    EXPECT_NE(Attributes(target) & FILE_ATTRIBUTE_READONLY, 0u);
    c.call(folder / L"missing.txt");
    ExpectFailure(vm, c.code, ERROR_FILE_NOT_FOUND);
  }
}

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
  ExpectResult(vm, Delete(root, false, true), 0);
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
    ExpectResult(vm, Delete(root, false, true), 1);
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
  ExpectResult(vm, Delete(root, false, true), 0);
  EXPECT_FALSE(Exists(root));
  EXPECT_EQ(ReadBytes(elsewhere + L"\\x.txt"), "x");
}

// Without recursion a level's files go and its subdirectories stay; single mode takes only an empty
// directory.
TEST_F(DeleteDirectoryTest, WithoutRecursionOnlyFilesGoAndSingleModeOnlyAnEmptyDirectory) {
  MakeFolder(root + L"\\empty");
  const struct {
    const wchar_t* path;
    bool single, recursive;
    const wchar_t* gone;
    const wchar_t* stays;
  } cases[] = {
      {L"\\empty", true, true, L"\\empty", nullptr},
      {L"\\a", false, false, nullptr, L"\\a\\b\\deep.dll"},
      {L"\\d", false, false, L"\\d", nullptr},
      {L"", false, false, L"\\top.txt", L"\\a"},
      {L"\\a\\c", true, false, nullptr, L"\\a\\c\\x.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Ansi(c.path));
    const bool removed = c.stays == nullptr;
    EXPECT_EQ(Delete(root + c.path, c.single, c.recursive), removed ? 0 : -1);
    removed ? ExpectNoException(vm) : ExpectFailure(vm, -30020, ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(c.gone == nullptr || !Exists(root + c.gone));
    EXPECT_TRUE(c.stays == nullptr || Exists(root + c.stays));
  }
}

}  // namespace
}  // namespace fwtest
