// The clean-up program's own work, linked in: requests, entries, whom it obeys, the wait, deleting;
// each with the family of the run's Windows version. The program run for real: sysutil's tests.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "bridge/platform.h"
#include "cleanup_run.h"
#include "deletion_request.h"
#include "entry_removal.h"
#include "entry_resolution.h"
#include "file/file_test_support.h"
#include "installer_process.h"
#include "process_snapshot.h"
#include "support/fake_import.h"
#include "support/program_folder.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace {

using Entries = std::vector<std::pair<std::string, bool>>;  // path, tree
using Renames = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring WideOf(const std::string& ansi) {
  std::wstring wide(ansi.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
  if (!wide.empty()) wide.pop_back();
  return wide;
}
std::wstring WideOf(const std::wstring& wide) { return wide; }

// The family's resolution (the A functions' text on 9x), in UTF-16 either way; with `remove`, the
// targets are removed too.
template <typename Text>
std::vector<std::wstring> ResolvedAs(const Entries& entries, std::optional<bool> remove) {
  std::vector<fwcleanup::DeletionEntry> request;
  for (const auto& [path, tree] : entries) request.push_back({path, tree});
  std::vector<fwcleanup::Target<Text>> targets;
  fwcleanup::ResolveEntries(request, targets);
  if (remove) fwcleanup::RemoveTargets(targets, *remove, 0);
  std::vector<std::wstring> paths;
  for (const auto& target : targets) paths.push_back(WideOf(target.path));
  return paths;
}
std::vector<std::wstring> Resolved(const Entries& entries, std::optional<bool> remove = std::nullopt) {
  return fw::IsWindows9x() ? ResolvedAs<std::string>(entries, remove) : ResolvedAs<std::wstring>(entries, remove);
}

TEST(CleanupRequestTest, OnlyTheLibrarysFormIsARequest) {
  const struct {
    std::string bytes;
    bool flag;
    DWORD pid;
    Entries entries;
  } cases[] = {
      {"02a a;b;*c", false, 0x2a, {{"a", false}, {"b", false}, {"c", true}}},
      {std::string("1ffffffff C:\\x\0;*y", 18), true, 0xffffffff, {{"C:\\x", false}}},  // ends at the zero
      {"0a ;;a;;*;", false, 0xa, {{"a", false}}},  // empty entries and a lone "*" name nothing
      {"0a C:\\my;dir\\f", false, 0xa, {{"C:\\my", false}, {"dir\\f", false}}},  // ";" always separates
  };
  for (const char* malformed : {"", "2a a", "0 a", "0123456789 a", "0a", "0xa a"}) {
    fwcleanup::DeletionRequest request;
    EXPECT_FALSE(fwcleanup::ParseDeletionRequest(malformed, request)) << malformed;
  }
  for (const auto& c : cases) {
    fwcleanup::DeletionRequest request;
    ASSERT_TRUE(fwcleanup::ParseDeletionRequest(c.bytes, request)) << c.bytes;
    Entries entries;
    for (const auto& entry : request.entries) entries.emplace_back(entry.path, entry.tree);
    EXPECT_EQ(std::make_tuple(request.deleteAtRestart, request.installerPid, entries), std::make_tuple(c.flag, c.pid, c.entries))
        << c.bytes;
  }
}

// The current directory is the installer's while the entries are resolved.
class CleanupTest : public ::testing::Test {
 protected:
  CleanupTest() {
    MakeFolder(work);
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(work.c_str());
  }
  ~CleanupTest() override { SetCurrentDirectoryW(saved); }

  TempFolder folder;
  const std::wstring work = folder / L"work";
  wchar_t saved[MAX_PATH] = {};
};

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::toupper(c));
  return text;
}

TEST_F(CleanupTest, EntriesMeanWhatTheInstallerMeantAndTheSystemsFoldersAreNeverTargets) {
  const std::wstring windows = ShellFolder(CSIDL_WINDOWS), system = ShellFolder(CSIDL_SYSTEM);
  const std::wstring programFiles = ShellFolder(CSIDL_PROGRAM_FILES), drive = work.substr(0, 2);
  const std::pair<std::wstring, std::wstring> resolved[] = {
      {L"sub\\a.txt", work + L"\\sub\\a.txt"}, {L"..", folder.path()}, {folder / L"a\\..\\b", folder / L"b"},
      {drive, work},  // the start folder is the drive's current one
      {windows + L"\\fwchild", windows + L"\\fwchild"},  // inside a folder that is refused itself
      {L"\\\\server\\share\\dir", L"\\\\server\\share\\dir"}};
  for (const auto& [entry, full] : resolved) {
    EXPECT_EQ(Resolved({{Ansi(entry), true}}), std::vector<std::wstring>{full}) << Ansi(entry);
  }
  const std::wstring refused[] = {drive + L"\\", L"\\\\server\\share\\", L"\\\\?\\" + work + L"\\x", work + L"\\*.txt",
                                  windows, Upper(windows) + L"\\", system, programFiles,
                                  WideOf(ShortPathOf(programFiles)), ShellFolder(CSIDL_PROFILE)};
  for (const std::wstring& entry : refused) EXPECT_TRUE(Resolved({{Ansi(entry), true}}).empty()) << Ansi(entry);
}

// What stays is left as it was found; a link is never entered; what is in use waits for the next
// restart only when asked.
TEST_F(CleanupTest, WhatStaysIsLeftAsFoundAndOnlyWhatIsAskedForWaitsForTheRestart) {
  const ScopedWinInit winInit;
  const ScopedPendingRenames pending;
  const std::wstring full = folder / L"full", busy = folder / L"busy.dll", tree = folder / L"tree";
  const std::wstring link = tree + L"\\link", outside = link + L"\\outside.txt";
  for (const std::wstring& dir : {full, tree, link}) MakeFolder(dir);
  for (const std::wstring& file : {full + L"\\f.txt", busy, outside}) WriteBytes(file, "x");
  SetFileAttributesW(busy.c_str(), FILE_ATTRIBUTE_READONLY);
  // Wine keeps no read-only attribute on a directory, nor reports a link: the test keeps and adds them.
  DWORD fullAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
  const auto getAttributes = [&](auto original, auto path) -> DWORD {
    const std::wstring wide = WideOf(AnsiOf(path));
    if (wide == full) return fullAttributes;
    return wide == link ? original(path) | FILE_ATTRIBUTE_REPARSE_POINT : original(path);
  };
  const auto setAttributes = [&](auto original, auto path, DWORD attributes) -> BOOL {
    if (WideOf(AnsiOf(path)) != full) return original(path, attributes);
    fullAttributes = attributes;
    return TRUE;
  };
  const HMODULE self = GetModuleHandleW(nullptr);
  auto getW = ReplaceImport(self, FWTEST_IMPORT(GetFileAttributesW), getAttributes);
  auto getA = ReplaceImport(self, FWTEST_IMPORT(GetFileAttributesA), getAttributes);
  auto setW = ReplaceImport(self, FWTEST_IMPORT(SetFileAttributesW), setAttributes);
  auto setA = ReplaceImport(self, FWTEST_IMPORT(SetFileAttributesA), setAttributes);
  const auto held = HoldOpen(busy);
  const std::string busyShort = ShortPathOf(busy);
  const Entries entries = {{Ansi(full), false}, {Ansi(busy), false}, {Ansi(tree), true}};
  for (const bool atRestart : {false, true}) {
    Resolved(entries, atRestart);
    SCOPED_TRACE(atRestart ? "flag 1" : "flag 0");
    EXPECT_TRUE(Exists(full + L"\\f.txt") && Exists(outside)) << "a plain entry and what a link leads to stay";
    EXPECT_EQ(fullAttributes, DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY});
    // A file kept for the restart keeps its attribute cleared, so that the restart can delete it.
    EXPECT_EQ(GetFileAttributesW(busy.c_str()) & FILE_ATTRIBUTE_READONLY, atRestart ? 0u : DWORD{FILE_ATTRIBUTE_READONLY});
    const bool nt = !fw::IsWindows9x();
    EXPECT_EQ(pending.Added(), (atRestart && nt ? Renames{{busy, L""}} : Renames{}));
    EXPECT_EQ(winInit.Contents(), atRestart && !nt ? std::optional<std::string>("[Rename]\nNUL=" + busyShort + "\n")
                                                   : std::nullopt);
  }
}

// A program of the run that stays until it is ended: the installer of the waiting tests.
class RunningInstaller {
 public:
  explicit RunningInstaller(const std::wstring& copy) {
    CopyFileW((ProgramFolder() + L"\\fwtestreceiver.exe").c_str(), copy.c_str(), FALSE);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + copy + L"\"";
    if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started_)) {
      throw std::runtime_error("cannot start the installer's stand-in");
    }
    CloseHandle(started_.hThread);
  }
  ~RunningInstaller() {
    End();
    CloseHandle(started_.hProcess);
  }
  DWORD Pid() const { return started_.dwProcessId; }
  void End() {
    TerminateProcess(started_.hProcess, 0);
    WaitForSingleObject(started_.hProcess, INFINITE);
  }

 private:
  PROCESS_INFORMATION started_{};
};

// No deletion before the installer has ended, however long that takes; a wait that nothing can
// confirm deletes nothing and, asked to, leaves it to the next restart.
TEST_F(CleanupTest, NothingGoesBeforeTheInstallerHasEndedOrWhenItsEndCannotBeConfirmed) {
  enum Setup { kWaitOutlastsOldBound, kOpenDenied, kNothingConfirms };
  const struct {
    Setup setup;
    bool flag;
    bool deleted;  // once the installer has ended
    bool scheduled;
  } cases[] = {
      {kWaitOutlastsOldBound, true, true, false},
      {kOpenDenied, false, true, false},
      {kNothingConfirms, true, false, true},
      {kNothingConfirms, false, false, false},
  };
  const HMODULE self = GetModuleHandleW(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setup);
    const ScopedWinInit winInit;
    const ScopedPendingRenames pending;
    const std::wstring file = folder / L"left.txt";
    WriteBytes(file, "x");
    RunningInstaller installer(folder / L"installer.exe");
    const DWORD pid = installer.Pid();
    // Each timed-out wait stands for a bound running out: the old one was five minutes.
    std::atomic<int> timeouts{0};
    std::atomic<DWORD> cleanupThread{0};
    auto waits = ReplaceImport(self, FWTEST_IMPORT(WaitForSingleObject), [&](auto original, HANDLE h, DWORD ms) -> DWORD {
      if (c.setup != kWaitOutlastsOldBound || ms != INFINITE || GetCurrentThreadId() != cleanupThread || timeouts >= 1000) {
        return original(h, ms);
      }
      ++timeouts;
      return WAIT_TIMEOUT;
    });
    auto opens = SubstituteProcAddress(self, FWTEST_IMPORT(OpenProcess), [&](auto original, DWORD access, BOOL inherit, DWORD id) {
      if (c.setup == kWaitOutlastsOldBound) return original(access, inherit, id);
      SetLastError(ERROR_ACCESS_DENIED);
      return HANDLE{nullptr};
    });
    std::optional<HiddenProcAddresses> noList;
    if (c.setup == kNothingConfirms) noList.emplace(self, std::initializer_list<const char*>{"CreateToolhelp32Snapshot"});

    fwcleanup::InstallerProcess followed;
    ASSERT_TRUE(followed.Follow(pid));
    fwcleanup::DeletionRequest request{c.flag, pid, {{Ansi(file), false}}};
    std::atomic<bool> done{false};
    std::thread cleanup([&] {
      cleanupThread = GetCurrentThreadId();
      fwcleanup::RunCleanup(request, followed, 0);
      done = true;
    });
    if (c.setup == kNothingConfirms) {
      cleanup.join();  // it does not wait for what it cannot watch
    } else {
      ASSERT_TRUE(Eventually([&] { return c.setup != kWaitOutlastsOldBound || timeouts >= 1000; }));
      Sleep(500);  // long enough for a watch of the process list to have looked
      EXPECT_FALSE(done);
      EXPECT_TRUE(Exists(file)) << "deleted while the installer runs";
      installer.End();
      cleanup.join();
    }
    EXPECT_EQ(Exists(file), !c.deleted);
    const bool nt = !fw::IsWindows9x();
    EXPECT_EQ(pending.Added(), (c.scheduled && nt ? Renames{{file, L""}} : Renames{}));
    EXPECT_EQ(winInit.Contents().has_value(), c.scheduled && !nt);
    SetCurrentDirectoryW(work.c_str());
  }
}

// A request is taken only from the process that started the program, while it runs.
TEST_F(CleanupTest, OnlyTheParentProcessIsObeyed) {
  const HMODULE self = GetModuleHandleW(nullptr);
  RunningInstaller child(folder / L"child.exe");
  EXPECT_EQ(fwcleanup::ParentProcessId(child.Pid()), GetCurrentProcessId());
  {
    HiddenProcAddresses noList(self, {"CreateToolhelp32Snapshot"});  // NT 4: ntdll tells
    EXPECT_EQ(fwcleanup::ParentProcessId(child.Pid()), GetCurrentProcessId());
  }
  {
    HiddenProcAddresses nothing(self, {"CreateToolhelp32Snapshot", "NtQueryInformationProcess"});
    EXPECT_EQ(fwcleanup::ParentProcessId(child.Pid()), 0u);
  }
  // This program is nobody's installer here: neither its own id nor a running child's is obeyed.
  EXPECT_FALSE(fwcleanup::InstallerProcess().Accept(child.Pid()));
  EXPECT_FALSE(fwcleanup::InstallerProcess().Accept(GetCurrentProcessId()));
  EXPECT_TRUE(fwcleanup::InstallerProcess().Follow(child.Pid()));
  child.End();
  EXPECT_FALSE(fwcleanup::InstallerProcess().Follow(child.Pid())) << "a process that has ended";
}

}  // namespace
}  // namespace fwtest
