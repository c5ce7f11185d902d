// Copies, moves, deletes and file times: done at once, or for a file in use at the next start through
// MoveFileExW (NT family) or WinInit.Ini (Windows 9x); most tests force each family through the DLL's version.
#include <windows.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "reliability/line_call.h"
#include "support/fake_import.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

using Renames = std::vector<std::pair<std::wstring, std::wstring>>;

// What is there before an operation besides the two files.
enum Setup : unsigned {
  kNothing = 0,
  kReadOnlyTarget = 1,
  kTargetHeld = 2,       // share 0: Wine refuses every rename and replacement
  kTargetRenamable = 4,  // held by a running program: it may be renamed but not written
  kTargetOpenToAll = 8,  // every share mode, and Wine still refuses to replace it
  kSourceHeld = 16,
  kWinInitHeld = 32,
};

// The `call`-th call (0: every one) of `function` whose first path is the source ('S'), the target
// ('T') or the new file beside it ('M'), or ('R') whose second path is the target while it is
// read-only, as Windows refuses a read-only target, fails with `error`.
struct Refusal {
  const char* function;
  char path;
  int call;
  DWORD error;
};

enum class Op { kCopy, kMove, kDelete };

// One operation on "new version.dll" ({S}) and "installed library.dll" ({T}, holding "old") in a
// fresh folder ({D}); beside the target {A} (.delete_on_reboot, the old file), {U} (.use_on_reboot)
// and {M} (.move_on_reboot, the new file).
struct Row {
  const char* what;
  bool windows9x;
  Op op;
  bool overwrite;
  unsigned setup;
  jint result;
  DWORD error;
  const char *targetAfter, *sourceAfter;  // nullptr: gone
  std::vector<Refusal> refusals = {};
  char side = 0;                // 'A', 'U' or 'M': the one file left beside the target
  const char* scheduled = "";   // for the next start, as WinInit.Ini lines: "to=from", "NUL=deleted"
  const wchar_t* to = nullptr;  // nullptr: the target; otherwise a name in the folder, or "" for none
};

std::optional<std::string> Contents(const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; }

class FileOperationsTest : public FileServiceTest {
 protected:
  // Every refusal the row asks for, through the functions of both families.
  template <typename Fn>
  auto Refuse(ImportOf<Fn> import) {
    return [this, name = import.name](auto original, auto... args) -> BOOL {
      std::vector<std::string> paths;  // the text arguments of either family, in ANSI
      const auto add = [&paths](auto arg) {
        if constexpr (std::is_pointer_v<decltype(arg)>) paths.push_back(arg != nullptr ? AnsiOf(arg) : "");
      };
      (add(args), ...);
      const DWORD attributes = GetFileAttributesW(target.c_str());
      const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
      bool counted = false;
      for (const Refusal& r : row->refusals) {
        if (std::strcmp(r.function, name) != 0) continue;
        const bool matches = r.path == 'S'   ? paths[0] == Ansi(source)
                             : r.path == 'T' ? paths[0] == Ansi(target)
                             : r.path == 'M' ? paths[0] == Ansi(target + L".move_on_reboot")
                                             : paths[1] == Ansi(target) && readOnly;
        if (matches && !counted) counted = ++calls;  // the refusals of a row name one function and path
        if (matches && (r.call == 0 || calls == r.call)) {
          SetLastError(r.error);
          return FALSE;
        }
      }
      return original(args...);
    };
  }

  const Row* row = nullptr;
  int calls = 0;
  std::wstring source = folder / L"new version.dll";
  std::wstring target = folder / L"installed library.dll";
};

constexpr bool k9x = true, kNT = false;
constexpr Op kCopy = Op::kCopy, kMove = Op::kMove, kDelete = Op::kDelete;
constexpr char kNew[] = "new contents";

// Each family does what it can at once and completes the rest at the next start; a target it may
// not replace stays in place, and a failure on the way leaves nothing aside.
TEST_F(FileOperationsTest, EachFamilyReplacesAtOnceOrAtTheNextStartAndNeverWhatItMayNot) {
  const std::vector<Refusal> none;
  std::vector<Row> rows = {
      {"copy without overwrite", kNT, kCopy, false, kNothing, -1, ERROR_FILE_EXISTS, "old", kNew},
      {"copy over a read-only target", kNT, kCopy, true, kReadOnlyTarget, 0, 0, kNew, kNew},
      {"copy over a renamable busy target", kNT, kCopy, true, kTargetRenamable, 1, 0, kNew, kNew, none, 'A',
       "NUL={A}\n"},
      {"copy over a busy target", kNT, kCopy, true, kTargetHeld, 1, 0, "old", kNew, none, 'U', "!{T}={U}\n"},
      {"copy without overwrite, the source in use", kNT, kCopy, false, kNothing, -1, ERROR_FILE_EXISTS, "old", kNew,
       {{"CopyFileW", 'S', 1, ERROR_SHARING_VIOLATION}}},
      {"copy failing after the target went aside", kNT, kCopy, true, kNothing, -1, ERROR_DISK_FULL, "old", kNew,
       {{"CopyFileW", 'S', 1, ERROR_SHARING_VIOLATION}, {"CopyFileW", 'S', 2, ERROR_DISK_FULL}}},
      {"copy over a busy target", k9x, kCopy, true, kTargetHeld, 1, 0, "old", kNew, none, 'U', "{T}={U}\n"},
      {"copy while WinInit.Ini is held", k9x, kCopy, true, kTargetHeld | kWinInitHeld, -1, ERROR_SHARING_VIOLATION,
       "old", kNew, none, 'U'},
      {"move without overwrite", kNT, kMove, false, kNothing, -1, ERROR_ALREADY_EXISTS, "old", kNew},
      {"move over a read-only target", kNT, kMove, true, kReadOnlyTarget, 0, 0, kNew, nullptr,
       {{"MoveFileExW", 'R', 0, ERROR_ACCESS_DENIED}}},
      {"move over a busy target open to all", kNT, kMove, true, kTargetOpenToAll, 1, 0, kNew, nullptr, none, 'A',
       "NUL={A}\n"},
      {"move over a busy target", kNT, kMove, true, kTargetHeld, 1, 0, "old", nullptr, none, 'M', "!{T}={M}\n"},
      {"move without overwrite, the source in use", kNT, kMove, false, kNothing, -1, ERROR_ALREADY_EXISTS, "old",
       kNew, {{"MoveFileExW", 'S', 0, ERROR_SHARING_VIOLATION}}},
      {"move failing after the target went aside", kNT, kMove, true, kNothing, -1, ERROR_DISK_FULL, "old", kNew,
       {{"MoveFileExW", 'S', 1, ERROR_ACCESS_DENIED}, {"MoveFileExW", 'S', 2, ERROR_DISK_FULL}}},
      {"move whose replacement at the next start is refused", kNT, kMove, true, kTargetHeld, -1,
       ERROR_NOT_ENOUGH_MEMORY, "old", kNew, {{"MoveFileExW", 'M', 1, ERROR_NOT_ENOUGH_MEMORY}}},
      {"move without overwrite", k9x, kMove, false, kNothing, -1, ERROR_ALREADY_EXISTS, "old", kNew},
      {"move over a read-only target", k9x, kMove, true, kReadOnlyTarget, 0, 0, kNew, nullptr},
      {"move with overwrite where nothing is", k9x, kMove, true, kNothing, 0, 0, "old", nullptr, none, 0, "",
       L"fresh.dll"},
      {"move to no name deletes", k9x, kMove, false, kNothing, 0, 0, "old", nullptr, none, 0, "", L""},
      {"move over a target it may not delete", k9x, kMove, true, kNothing, 1, 0, "old", kNew,
       {{"DeleteFileA", 'T', 0, ERROR_ACCESS_DENIED}}, 0, "NUL={T}\n{T}={S}\n"},
      {"move to no name of a busy source", k9x, kMove, false, kNothing, 1, 0, "old", kNew,
       {{"DeleteFileA", 'S', 0, ERROR_ACCESS_DENIED}}, 0, "NUL={S}\n", L""},
      {"move of a busy source to an 8.3 name not there yet", k9x, kMove, true, kNothing, 1, 0, "old", kNew,
       {{"MoveFileA", 'S', 0, ERROR_ACCESS_DENIED}}, 0, "{D}\\DEST.DLL={S}\n", L"DEST.DLL"},
      {"move of a busy source to a long name not there yet", k9x, kMove, true, kNothing, -1, ERROR_FILE_NOT_FOUND,
       "old", kNew, {{"MoveFileA", 'S', 0, ERROR_ACCESS_DENIED}}, 0, "", L"a long destination.dll"},
      {"move without overwrite of a busy source", k9x, kMove, false, kNothing, -1, ERROR_ALREADY_EXISTS, "old", kNew,
       {{"MoveFileA", 'S', 0, ERROR_ACCESS_DENIED}}},
      {"move of a source in use", k9x, kMove, true, kSourceHeld, 1, 0, "old", kNew, none, 0, "NUL={T}\n{T}={S}\n"},
      {"move refused only by the move itself", k9x, kMove, true, kNothing, 1, 0, nullptr, kNew,
       {{"MoveFileA", 'S', 0, ERROR_ACCESS_DENIED}}, 0, "NUL={T}\n{T}={S}\n"},
  };
  // A delete goes at once; a file in use, or one Windows refuses, goes at the next start.
  for (const bool family : {kNT, k9x}) {
    rows.push_back({"delete", family, kDelete, false, kReadOnlyTarget, 0, 0, nullptr, kNew});
    rows.push_back({"delete a busy file", family, kDelete, false, kTargetHeld, 1, 0, "old", kNew, none, 0, "NUL={T}\n"});
    rows.push_back({"delete a file Windows refuses", family, kDelete, false, kNothing, 1, 0, "old", kNew,
                    {{"DeleteFileW", 'T', 0, ERROR_ACCESS_DENIED}, {"DeleteFileA", 'T', 0, ERROR_ACCESS_DENIED}}, 0,
                    "NUL={T}\n"});
  }
  auto copyW = ReplaceImport(Library(), FWTEST_IMPORT(CopyFileW), Refuse(FWTEST_IMPORT(CopyFileW)));
  auto copyA = ReplaceImport(Library(), FWTEST_IMPORT(CopyFileA), Refuse(FWTEST_IMPORT(CopyFileA)));
  auto moveA = ReplaceImport(Library(), FWTEST_IMPORT(MoveFileA), Refuse(FWTEST_IMPORT(MoveFileA)));
  auto deleteW = ReplaceImport(Library(), FWTEST_IMPORT(DeleteFileW), Refuse(FWTEST_IMPORT(DeleteFileW)));
  auto deleteA = ReplaceImport(Library(), FWTEST_IMPORT(DeleteFileA), Refuse(FWTEST_IMPORT(DeleteFileA)));
  auto moveEx = SubstituteProcAddress(Library(), FWTEST_IMPORT(MoveFileExW), Refuse(FWTEST_IMPORT(MoveFileExW)));
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.what) + (r.windows9x ? ", Windows 9x" : ", NT family"));
    row = &r;
    calls = 0;
    const TempFolder dir;
    const ScopedWinInit winInitNow;
    const ScopedPendingRenames pendingNow;
    auto version = r.windows9x ? FakeWindows98(Library()) : FakeWindowsXP(Library());
    source = dir / L"new version.dll";
    target = dir / L"installed library.dll";
    WriteBytes(source, kNew);
    WriteBytes(target, "old");
    if (r.setup & kReadOnlyTarget) SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    // Each name's path and short form (for WinInit.Ini), taken while the file is there.
    std::vector<std::tuple<std::string, std::wstring, std::string>> names = {
        {"{A}", target + L".delete_on_reboot", ""}, {"{U}", target + L".use_on_reboot", ""},
        {"{M}", target + L".move_on_reboot", ""},   {"{T}", target, ""},
        {"{S}", source, ""},                        {"{D}", dir.path(), ""}};
    for (auto& [name, path, shortPath] : names) shortPath = ShortPathOf(path);
    jint result;
    {
      std::vector<fw::UniqueFileHandle> held;
      if (r.setup & kTargetHeld) held.push_back(HoldOpen(target));
      if (r.setup & kTargetRenamable) held.push_back(HoldOpen(target, FILE_SHARE_READ | FILE_SHARE_DELETE));
      if (r.setup & kTargetOpenToAll) held.push_back(HoldOpen(target, FILE_SHARE_READ | FILE_SHARE_DELETE | FILE_SHARE_WRITE));
      if (r.setup & kSourceHeld) held.push_back(HoldOpen(source));
      if (r.setup & kWinInitHeld) {
        WriteBytes(winInitNow.path(), "[Rename]\n");
        held.push_back(HoldOpen(winInitNow.path()));
      }
      const std::wstring to = r.to == nullptr ? target : *r.to == L'\0' ? L"" : dir / r.to;
      result = r.op == kCopy   ? vm.Call(FW_FILE(win32CopyFile), self, Path(source), Path(to), jboolean{r.overwrite})
               : r.op == kMove ? vm.Call(FW_FILE(win32MoveFile), self, Path(source), Path(to), jboolean{r.overwrite})
                               : vm.Call(FW_FILE(win32DeleteFile), self, Path(target));
    }
    EXPECT_EQ(result, r.result);
    const jint code = r.op == kCopy ? -30017 : r.op == kMove ? -30018 : -30019;
    r.error == 0 ? ExpectNoException(vm) : ExpectFailure(vm, code, r.error);
    EXPECT_EQ(ReadBytes(target), Contents(r.targetAfter));
    EXPECT_EQ(ReadBytes(source), Contents(r.sourceAfter));
    if (r.result == 0 && r.targetAfter != nullptr) {
      EXPECT_EQ(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    for (auto& [name, path, shortPath] : names) {
      if (name == "{A}" || name == "{U}" || name == "{M}") {
        EXPECT_EQ(ReadBytes(path), r.side != name[1] ? std::nullopt : Contents(r.side == 'A' ? "old" : kNew)) << name;
      }
      if (shortPath.empty()) shortPath = ShortPathOf(path);  // made by the operation
    }
    // The scheduled lines with the names replaced by the full paths, or for WinInit.Ini the short ones.
    const auto expand = [&](std::string text, bool shortForm) {
      for (const auto& [name, path, shortPath] : names) text = Replaced(text, name, shortForm ? shortPath : Ansi(path));
      return text;
    };
    std::string pending;
    for (const auto& [from, into] : pendingNow.Added()) {
      pending += (into.empty() ? "NUL" : Ansi(into)) + "=" + Ansi(from) + "\n";
    }
    EXPECT_EQ(pending, r.windows9x ? "" : expand(r.scheduled, false));
    const bool lines = r.windows9x && (*r.scheduled != '\0' || (r.setup & kWinInitHeld));
    EXPECT_EQ(winInitNow.Contents(),
              lines ? std::optional<std::string>("[Rename]\n" + expand(r.scheduled, true)) : std::nullopt);
  }
}

// On Windows 9x a path whose ANSI form is another name (a best fit: "i" for a dotless i, "A" for
// an A with a macron) is refused with error 1113: the file of that other name is never deleted,
// moved away or overwritten.
TEST_F(FileOperationsTest, A9xPathThatNamesAnotherFileIsRefused) {
  auto version = FakeWindows98(Library());
  const std::wstring dotless = folder / L"\u0131.txt", macron = folder / L"\u0100.txt";
  const std::wstring others[] = {folder / L"i.txt", folder / L"A.txt", folder / L"idir\\f.txt"};
  MakeFolder(folder / L"idir");
  for (const std::wstring& other : others) WriteBytes(other, "kept");
  WriteBytes(source, kNew);
  const struct {
    jint code;
    std::function<jint()> call;
  } cases[] = {
      {-30019, [&] { return vm.Call(FW_FILE(win32DeleteFile), self, Path(dotless)); }},
      {-30018, [&] { return vm.Call(FW_FILE(win32MoveFile), self, Path(dotless), Path(folder / L"moved.txt"), jboolean{true}); }},
      {-30018, [&] { return vm.Call(FW_FILE(win32MoveFile), self, Path(source), Path(macron), jboolean{true}); }},
      {-30017, [&] { return vm.Call(FW_FILE(win32CopyFile), self, Path(source), Path(macron), jboolean{true}); }},
      {-30020, [&] { return vm.Call(FW_FILE(win32DeleteDirectory), self, Path(folder / L"\u0131dir"), jboolean{false}, jboolean{true}); }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), -1);
    ExpectFailure(vm, c.code, ERROR_NO_UNICODE_TRANSLATION);
    for (const std::wstring& other : others) EXPECT_EQ(ReadBytes(other), std::optional<std::string>("kept")) << c.code;
  }
}

std::optional<ULONGLONG> Value(const FILETIME* t) {
  return t != nullptr ? std::optional((ULONGLONG{t->dwHighDateTime} << 32) | t->dwLowDateTime) : std::nullopt;
}

TEST_F(FileOperationsTest, FileTimesAreSetAsGivenAndAReadOnlyFileStaysReadOnly) {
  constexpr jlong kCreated = 126227808000000000LL, kAccessed = 126543168000000000LL;  // 2001-01-01, 2002-01-01
  constexpr jlong kWritten = 126858528001234567LL;  // 2003-01-01, 100 ns precision
  WriteBytes(target, "old");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  using TimesSeen = std::vector<std::optional<ULONGLONG>>;
  TimesSeen seen;  // what SetFileTime was given: each time or its absence
  auto setFileTime = ReplaceImport(Library(), FWTEST_IMPORT(SetFileTime), [&seen](auto original, HANDLE file, auto... times) {
    seen = {Value(times)...};
    return original(file, times...);
  });
  const std::nullopt_t none = std::nullopt;
  vm.Call(FW_FILE(win32SetFileCreated), self, Path(target), kCreated);
  EXPECT_EQ(seen, (TimesSeen{kCreated, none, none}));
  vm.Call(FW_FILE(win32SetFileModified), self, Path(target), kWritten);
  EXPECT_EQ(seen, (TimesSeen{none, none, kWritten}));
  vm.Call(FW_FILE(win32SetFileTimes), self, Path(target), kCreated, kAccessed, kWritten);
  EXPECT_EQ(seen, (TimesSeen{kCreated, kAccessed, kWritten}));
  ExpectNoException(vm);
  EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

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

  // On the NT family a name outside the ANSI code page, which only the W functions reach.
  const std::wstring root = folder / (fw::IsWindows9x() ? L"tree root" : L"tree root \u0416");
};

// A file in use (sharing violation) and one Windows refuses (access denied) both wait for the next
// start; on the NT family their directories follow them there, deepest first. Wine lists no reparse
// points: "a\c" is reported as one, and removing it moves it out of the tree, as removing a junction
// leaves the folder it leads to.
TEST_F(DeleteDirectoryTest, WhatWaitsKeepsItsDirectoriesAndALinkGoesWithoutWhatItLeadsTo) {
  const std::wstring busy = root + L"\\a\\b\\deep.dll";
  const std::wstring denied = root + L"\\top.txt";
  const std::wstring link = root + L"\\a\\c";
  const std::wstring elsewhere = folder / L"elsewhere";
  {
    const auto deny = [&denied](auto original, auto path) -> BOOL {
      if (Ansi(denied) == AnsiOf(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
      }
      return original(path);
    };
    // FindFirstFile and FindNextFile (the entry of a call that finds nothing is not read).
    const auto markLink = [](auto original, auto patternOrFind, auto data) {
      const auto found = original(patternOrFind, data);
      if (AnsiOf(data->cFileName) == "c") data->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
      return found;
    };
    const auto removeLink = [&](auto original, auto path) -> BOOL {
      return AnsiOf(path) == Ansi(link) ? MoveFileW(link.c_str(), elsewhere.c_str()) : original(path);
    };
    auto deniedW = ReplaceImport(Library(), FWTEST_IMPORT(DeleteFileW), deny);
    auto deniedA = ReplaceImport(Library(), FWTEST_IMPORT(DeleteFileA), deny);
    auto firstW = ReplaceImport(Library(), FWTEST_IMPORT(FindFirstFileW), markLink);
    auto firstA = ReplaceImport(Library(), FWTEST_IMPORT(FindFirstFileA), markLink);
    auto nextW = ReplaceImport(Library(), FWTEST_IMPORT(FindNextFileW), markLink);
    auto nextA = ReplaceImport(Library(), FWTEST_IMPORT(FindNextFileA), markLink);
    auto removeW = ReplaceImport(Library(), FWTEST_IMPORT(RemoveDirectoryW), removeLink);
    auto removeA = ReplaceImport(Library(), FWTEST_IMPORT(RemoveDirectoryA), removeLink);
    const auto held = HoldOpen(busy);
    EXPECT_EQ(Delete(root, false, true), 1);
    ExpectNoException(vm);
  }
  EXPECT_TRUE(Exists(busy) && Exists(denied));
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(ReadBytes(elsewhere + L"\\x.txt"), "x");
  EXPECT_FALSE(Exists(root + L"\\d")) << "the subtree after the busy one";
  const std::string lines = "[Rename]\nNUL=" + ShortPathOf(denied) + "\nNUL=" + ShortPathOf(busy) + "\n";
  EXPECT_EQ(winInit.Contents(), fw::IsWindows9x() ? std::optional(lines) : std::nullopt);
  const Renames waiting = {{busy, L""}, {root + L"\\a\\b", L""}, {root + L"\\a", L""}, {denied, L""}, {root, L""}};
  EXPECT_EQ(pending.Added(), fw::IsWindows9x() ? Renames{} : waiting);
}

// Without recursion a level's files go and its subdirectories stay; single mode takes only an empty
// directory; with recursion the whole tree goes.
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
      {L"", false, true, L"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Ansi(c.path));
    const bool removed = c.stays == nullptr;
    EXPECT_EQ(Delete(root + c.path, c.single, c.recursive), removed ? 0 : -1);
    removed ? ExpectNoException(vm) : ExpectFailure(vm, -30020, ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(c.gone == nullptr || !Exists(root + c.gone));
    EXPECT_TRUE(c.stays == nullptr || Exists(root + c.stays));
  }
  EXPECT_EQ(pending.Added(), Renames{});
  EXPECT_FALSE(winInit.Contents().has_value());
}

}  // namespace
}  // namespace fwtest
