// nativeDeleteFilesAfterExit: the request's exact bytes as a program of the test's own receives
// them (fwtestreceiver.exe), and the whole hand-over with the clean-up program we ship
// (fwcleanup.exe): an "installer" (fwcall.exe) holds files, hands them over and exits, and they go.
#include <windows.h>
#include <process.h>

#include <gtest/gtest.h>

#include <string>

#include "com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl.h"
#include "file/file_service_fixture.h"
#include "json.h"
#include "support/program_folder.h"
#include "support/recorded_import.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace {

#define FW_AFTER_EXIT \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_nativeDeleteFilesAfterExit)

class DeleteAfterExitTest : public FileServiceTest {
 protected:
  // A copy of a program of the run's, since the library has its file deleted once it has run.
  std::wstring CopyOfProgram(const wchar_t* name) {
    const std::wstring copy = folder / name;
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
}

// The installer is fwcall.exe: it holds one file while it hands the list over, then exits. A third
// program (this test) holds another file throughout.
TEST_F(DeleteAfterExitTest, WhatTheInstallerLeavesGoesOnceItHasEnded) {
  for (const bool flag : {true, false}) {
    const std::wstring held = folder / L"held by the installer.dll", busy = folder / L"held by another.dll";
    const std::wstring loose = folder / L"loose.txt", tree = folder / L"tree";
    for (const std::wstring& folderPath : {tree, tree + L"\\deep"}) MakeFolder(folderPath);
    for (const std::wstring& file : {held, busy, loose, tree + L"\\deep\\file.txt"}) WriteBytes(file, "x");
    const std::wstring cleanup = CopyOfProgram(L"fwcleanup.exe");
    const std::wstring script = folder / L"installer.fwcall";
    const auto quoted = [](const std::wstring& path) { return Json::String(U16(path)).Write(); };
    WriteBytes(script, "!hold \"" + Ansi(held) + "\"\nWin32SystemUtilServiceImpl.nativeDeleteFilesAfterExit [" + quoted(held) +
                           ", " + quoted(loose) + ", " + quoted(busy) + "] [" + quoted(tree) + "] " +
                           (flag ? "true" : "false") + " \"" + Ansi(cleanup) + "\"\n");
    const auto third = HoldOpen(busy);
    const std::size_t scheduledBefore = pending.Added().size();
    const std::wstring dll = L"\"" + ProgramFolder() + L"\\fwnative.dll\"", scriptWord = L"\"" + script + L"\"";
    ASSERT_EQ(_wspawnl(_P_WAIT, (ProgramFolder() + L"\\fwcall.exe").c_str(), L"fwcall", L"--dll", dll.c_str(), L"--script", scriptWord.c_str(), nullptr), 0);
    EXPECT_TRUE(Eventually([&] { return !Exists(held) && !Exists(loose) && !Exists(tree); }));
    EXPECT_TRUE(Eventually([&] { return !Exists(cleanup); })) << "the clean-up program's file goes after it ends";
    EXPECT_TRUE(Exists(busy)) << "still held by another program";
    using Renames = std::vector<std::pair<std::wstring, std::wstring>>;
    const Renames scheduled = pending.Added();
    EXPECT_EQ(Renames(scheduled.begin() + scheduledBefore, scheduled.end()), (flag ? Renames{{busy, L""}} : Renames{}));
  }
}

}  // namespace
}  // namespace fwtest
