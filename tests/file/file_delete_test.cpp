// win32DeleteFile and the three file-time methods.
#include <windows.h>

#include <optional>
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

using DeleteFileTest = FileServiceTest;

TEST_F(DeleteFileTest, DeletesPlainAndReadOnlyFiles) {
  for (const wchar_t* name : {L"plain.txt", L"read only.txt"}) {
    const std::wstring path = folder / name;
    WriteBytes(path, "x");
    if (name[0] == L'r') SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(vm.Call(service.deleteFile, self, Path(path)), 0);
    ExpectNoException(vm);
    EXPECT_FALSE(Exists(path));
  }
}

TEST_F(DeleteFileTest, MissingFileFails) {
  EXPECT_EQ(vm.Call(service.deleteFile, self, Path(folder / L"missing.txt")), -1);
  ExpectFailure(vm, -30019, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(vm.Call(service.deleteFile, self, jstring{nullptr}), -1);
  ExpectFailure(vm, -30019, ERROR_INVALID_PARAMETER);
}

TEST_F(DeleteFileTest, BusyFileIsDeletedAtTheNextStart) {
  const std::wstring path = folder / L"busy library.dll";
  WriteBytes(path, "x");
  const auto held = HoldOpen(path);
  EXPECT_EQ(vm.Call(service.deleteFile, self, Path(path)), 1);
  ExpectNoException(vm);
  EXPECT_TRUE(Exists(path));
  if (fw::IsWindows9x()) {
    EXPECT_EQ(winInit.RenameLines(), std::vector<std::string>{"NUL=" + ShortPathOf(path)});
    EXPECT_EQ(pending.Added(), Renames{});
  } else {
    EXPECT_EQ(pending.Added(), (Renames{{path, L""}}));
    EXPECT_FALSE(winInit.Contents().has_value());
  }
}

TEST_F(DeleteFileTest, NTFamilyReportsAMissingMoveFileEx) {
  auto xp = FakeWindowsXP(Library());
  HiddenProcAddresses hidden(Library(), {"MoveFileExW"});
  const std::wstring path = folder / L"busy.dll";
  WriteBytes(path, "x");
  const auto held = HoldOpen(path);
  EXPECT_EQ(vm.Call(service.deleteFile, self, Path(path)), -1);
  ExpectFailure(vm, -30019, ERROR_PROC_NOT_FOUND);
}

// What SetFileTime was given: each time or its absence.
struct TimesSeen {
  std::optional<ULONGLONG> created, accessed, written;
};

std::optional<ULONGLONG> Value(const FILETIME* time) {
  if (time == nullptr) return std::nullopt;
  return (static_cast<ULONGLONG>(time->dwHighDateTime) << 32) | time->dwLowDateTime;
}

using FileTimesTest = FileServiceTest;

TEST_F(FileTimesTest, SetsTheGivenTimesAndKeepsAReadOnlyFileReadOnly) {
  constexpr jlong kCreated = 126227808000000000LL;   // 2001-01-01
  constexpr jlong kAccessed = 126543168000000000LL;  // 2002-01-01
  constexpr jlong kWritten = 126858528001234567LL;   // 2003-01-01, 100 ns precision
  const std::wstring path = folder / L"times.txt";
  WriteBytes(path, "x");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);

  TimesSeen seen;
  auto setFileTime = ReplaceImport(Library(), FWTEST_IMPORT(SetFileTime),
                                   [&seen](auto original, HANDLE file, const FILETIME* c, const FILETIME* a,
                                           const FILETIME* w) -> BOOL {
                                     seen = {Value(c), Value(a), Value(w)};
                                     return original(file, c, a, w);
                                   });
  struct Case {
    const char* method;
    TimesSeen expected;
  };
  const Case cases[] = {
      {"win32SetFileCreated", {kCreated, std::nullopt, std::nullopt}},
      {"win32SetFileModified", {std::nullopt, std::nullopt, kWritten}},
      {"win32SetFileTimes", {kCreated, kAccessed, kWritten}},
  };
  for (const Case& c : cases) {
    seen = {};
    const std::string method = c.method;
    if (method == "win32SetFileCreated") vm.Call(service.setFileCreated, self, Path(path), kCreated);
    if (method == "win32SetFileModified") vm.Call(service.setFileModified, self, Path(path), kWritten);
    if (method == "win32SetFileTimes") vm.Call(service.setFileTimes, self, Path(path), kCreated, kAccessed, kWritten);
    ExpectNoException(vm);
    EXPECT_EQ(seen.created, c.expected.created) << c.method;
    EXPECT_EQ(seen.accessed, c.expected.accessed) << c.method;
    EXPECT_EQ(seen.written, c.expected.written) << c.method;
    EXPECT_NE(Attributes(path) & FILE_ATTRIBUTE_READONLY, 0u) << c.method;
  }
  // The times really changed (Wine keeps no creation time of its own).
  const fw::UniqueFileHandle file(HoldOpen(path, FILE_SHARE_READ));
  FILETIME accessed{}, written{};
  ASSERT_TRUE(GetFileTime(file.get(), nullptr, &accessed, &written));
  EXPECT_EQ(Value(&accessed), static_cast<ULONGLONG>(kAccessed));
  EXPECT_EQ(Value(&written), static_cast<ULONGLONG>(kWritten));
}

TEST_F(FileTimesTest, FailuresCarryEachMethodsCode) {
  const std::wstring missing = folder / L"missing.txt";
  vm.Call(service.setFileCreated, self, Path(missing), jlong{1});
  ExpectFailure(vm, -30011, ERROR_FILE_NOT_FOUND);
  vm.Call(service.setFileModified, self, Path(missing), jlong{1});
  ExpectFailure(vm, -30016, ERROR_FILE_NOT_FOUND);
  vm.Call(service.setFileTimes, self, Path(missing), jlong{1}, jlong{1}, jlong{1});
  ExpectFailure(vm, -30007, ERROR_FILE_NOT_FOUND);
  // A file in use cannot be opened for writing.
  const std::wstring busy = folder / L"busy.txt";
  WriteBytes(busy, "x");
  const auto held = HoldOpen(busy);
  vm.Call(service.setFileModified, self, Path(busy), jlong{1});
  ExpectFailure(vm, -30016, ERROR_SHARING_VIOLATION);
}

}  // namespace
}  // namespace fwtest
