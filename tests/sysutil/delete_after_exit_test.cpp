// nativeDeleteFilesAfterExit: the request's exact bytes as a program of the test's own receives
// them (fwtestreceiver.exe), and the whole hand-over with the clean-up program we ship
// (fwcleanup.exe): an "installer" (fwcall.exe) holds files, hands them over and exits, and they go.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"
#include "file/file_service_fixture.h"
#include "json.h"
#include "bridge/platform.h"
#include "support/program_folder.h"
#include "support/fake_import.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace {

#define FW_AFTER_EXIT \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_nativeDeleteFilesAfterExit)

class DeleteAfterExitTest : public FileServiceTest {
 protected:
  // A copy of a program of the run's, since the library has its file deleted once it has run.
  std::wstring CopyOfProgram(const std::wstring& name, const std::wstring& copyName = L"") {
    const std::wstring copy = folder / (copyName.empty() ? name : copyName);
    CopyFileW((ProgramFolder() + L"\\" + name).c_str(), copy.c_str(), FALSE);
    return copy;
  }
  void HandOver(const StringList& files, const StringList& trees, bool flag, const std::wstring& program) {
    vm.Call(FW_AFTER_EXIT, vm.This(kSystemUtil), vm.Enumeration(files), vm.Enumeration(trees), jboolean{flag},
            Path(program));
  }

  static constexpr char kSystemUtil[] = "com/fernwick/wizard/platform/win32/Win32SystemUtilServiceImpl";
};

TEST_F(DeleteAfterExitTest, TheRequestArrivesByteForByte) {
  char hex[16] = {};
  const std::string id(hex, wsprintfA(hex, "%lx", GetCurrentProcessId()));
  const struct {
    StringList files, trees;
    bool flag;
    std::string request;
  } cases[] = {{{u"a", u"b"}, {u"C:\\one tree"}, false, "0" + id + " a;b;*C:\\one tree"}, {{}, {}, true, "1" + id + " "}};
  for (const auto& c : cases) {
    const std::wstring receiver = CopyOfProgram(L"fwtestreceiver.exe");
    const std::wstring received = folder / L"received.bin";
    DeleteFileW(received.c_str());
    HandOver(c.files, c.trees, c.flag, receiver);
    ExpectNoException(vm);
    ASSERT_TRUE(Eventually([&] { return Exists(received) && !Exists(receiver); })) << c.request;
    EXPECT_EQ(ReadBytes(received), c.request + std::string(1, '\0'));
  }
  // Nothing to hand over: nothing is started, and the program's file stays.
  auto started = RecordImport(Library(), FWTEST_IMPORT(CreateProcessA));
  const std::wstring unused = CopyOfProgram(L"fwtestreceiver.exe");
  HandOver({}, {}, false, unused);
  ExpectNoException(vm);
  EXPECT_EQ(started.count(), 0u);
  EXPECT_TRUE(Exists(unused));
  // An entry or a program whose ANSI form names another file (a best fit: "i" for a dotless i) is
  // refused on either family: the request is ANSI text, and the clean-up program would delete, or
  // the library start and delete, that other file.
  WriteBytes(folder / L"i.txt", "kept");
  HandOver({U16(folder / L"\u0131.txt")}, {}, true, unused);
  ExpectFailure(vm, -70007, ERROR_NO_UNICODE_TRANSLATION);
  HandOver({}, {}, true, folder / L"\u0131.exe");
  ExpectFailure(vm, -70007, ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(started.count(), 0u);
  EXPECT_TRUE(Exists(folder / L"i.txt"));
}

// The installer, fwcall.exe started in the folder of the relative entry, holds one file while it hands
// the list over, then exits. This test holds another file, which waits for the restart, and sends a
// request of its own first. Both programs run as the run's Windows version (copies fwcall-<version>.exe).
TEST_F(DeleteAfterExitTest, WhatTheInstallerLeavesGoesOnceItHasEndedAndNobodyElseIsObeyed) {
  const auto run = RunVersionOfProgram(ProgramPath());
  const std::wstring suffix = run ? L"-" + std::wstring(run->name, run->name + std::strlen(run->name)) : L"";
  const std::wstring held = folder / L"held by the installer.dll", busy = folder / L"held by another.dll";
  const std::wstring loose = folder / L"loose.txt", tree = folder / L"tree", relative = folder / L"reltree";
  const std::wstring decoy = folder / L"decoy.txt";
  for (const std::wstring& folderPath : {tree, tree + L"\\deep", relative}) MakeFolder(folderPath);
  for (const std::wstring& file : {held, busy, loose, decoy, tree + L"\\deep\\file.txt", relative + L"\\r.txt"}) {
    WriteBytes(file, "x");
  }
  const std::wstring cleanup = CopyOfProgram(L"fwcleanup.exe", L"fwcleanup" + suffix + L".exe");
  const std::wstring installer = CopyOfProgram(L"fwcall.exe", L"fwcall" + suffix + L".exe");
  const std::wstring script = folder / L"installer.fwcall";
  const auto quoted = [](const std::wstring& path) { return Json::String(U16(path)).Write(); };
  WriteBytes(script, "!hold \"" + Ansi(held) + "\"\nWin32SystemUtilServiceImpl.nativeDeleteFilesAfterExit [" + quoted(held) +
                         ", " + quoted(loose) + ", " + quoted(busy) + "] [" + quoted(tree) + ", \"reltree\"] true \"" +
                         Ansi(cleanup) + "\"\n");
  const auto third = HoldOpen(busy);
  const std::string busyShort = ShortPathOf(busy);
  std::wstring commandLine = L"\"" + installer + L"\" --dll \"" + ProgramFolder() + L"\\fwnative.dll\" --script \"" + script + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(installer.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.path().c_str(), &startup, &started));
  const fw::UniqueHandle process(started.hProcess), thread(started.hThread);

  HWND window = nullptr;
  ASSERT_TRUE(Eventually([&] { return (window = FindWindowA("FernwickCleanupRequest", nullptr)) != nullptr; }));
  char hex[16] = {};
  std::string forged(hex, wsprintfA(hex, "1%lx ", GetCurrentProcessId()));
  forged += Ansi(decoy) + ";*" + Ansi(folder.path());
  COPYDATASTRUCT data = {0, static_cast<DWORD>(forged.size() + 1), forged.data()};
  EXPECT_EQ(SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);

  DWORD exitCode = 1;
  ASSERT_EQ(WaitForSingleObject(process.get(), 4 * 60 * 1000), WAIT_OBJECT_0);
  GetExitCodeProcess(process.get(), &exitCode);
  ASSERT_EQ(exitCode, 0u);
  EXPECT_TRUE(Eventually([&] { return !Exists(held) && !Exists(loose) && !Exists(tree) && !Exists(relative); }));
  EXPECT_TRUE(Eventually([&] { return !Exists(cleanup); })) << "the clean-up program's file goes after it ends";
  EXPECT_TRUE(Exists(busy)) << "still held by another program";
  EXPECT_TRUE(Exists(decoy)) << "named only by another program's request";
  const bool nt = !fw::IsWindows9x();
  using Renames = std::vector<std::pair<std::wstring, std::wstring>>;
  EXPECT_EQ(pending.Added(), (nt ? Renames{{busy, L""}} : Renames{}));
  EXPECT_EQ(winInit.Contents(), nt ? std::nullopt : std::optional<std::string>("[Rename]\nNUL=" + busyShort + "\n"));
}

}  // namespace
}  // namespace fwtest
