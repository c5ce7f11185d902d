// Folder tokens and desktop paths, called in the test program itself (the library's code is linked
// in), with the program's own imports faked where the shell must misbehave.
#include "desktop/shell_folders.h"

#include <cstring>
#include <tuple>

#include "desktop/desktop_test_support.h"
#include "support/fake_version.h"
#include "support/recorded_import.h"

namespace fwtest {
namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

TEST(DesktopFolderTokens, ResolveByFamilyEveryOccurrenceAndCaseSensitively) {
  for (const bool win9x : {true, false}) {
    SCOPED_TRACE(win9x ? "Windows 98" : "Windows 2000");
    auto version = win9x ? FakeWindows98(Self()) : FakeVersion(Self(), VER_PLATFORM_WIN32_NT, 5, 0);
    std::wstring tools = L"$AllUsersDesktop$\\Tools";
    EXPECT_EQ(fw::ResolveFolderTokens(tools), 0u);
    EXPECT_EQ(tools, ShellFolder(win9x ? CSIDL_DESKTOPDIRECTORY : CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Tools");

    auto asked = RecordImport(Self(), FWTEST_IMPORT(SHGetSpecialFolderLocation));
    std::wstring path = L"$AllUsersStartMenu$;$AllUsersPrograms$;$UserDesktop$;$AllUsersPrograms$;$userprograms$";
    EXPECT_EQ(fw::ResolveFolderTokens(path), 0u);
    const std::wstring programs = ShellFolder(win9x ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS);
    EXPECT_EQ(path, ShellFolder(win9x ? CSIDL_STARTMENU : CSIDL_COMMON_STARTMENU) + L";" + programs + L";" +
                        ShellFolder(CSIDL_DESKTOPDIRECTORY) + L";" + programs + L";$userprograms$");
    std::vector<int> ids;  // once per token that occurs, in the fixed token order
    for (const auto& call : asked.calls()) ids.push_back(std::get<1>(call));
    EXPECT_EQ(ids, (win9x ? std::vector<int>{2, 11, 16} : std::vector<int>{23, 22, 16}));
  }
}

TEST(DesktopFolderTokens, InsertedTextIsNotSearchedAgainAndFailuresStopAtTheirToken) {
  {
    auto odd = ReplaceImport(Self(), FWTEST_IMPORT(SHGetPathFromIDListA), [](auto, PCIDLIST_ABSOLUTE, LPSTR out) {
      std::strcpy(out, "C:\\Odd$UserPrograms$");
      return TRUE;
    });
    std::wstring path = L"$UserPrograms$\\x\\$UserPrograms$";
    EXPECT_EQ(fw::ReplaceFolderToken(path, L"$UserPrograms$", CSIDL_PROGRAMS), 0u);
    EXPECT_EQ(path, L"C:\\Odd$UserPrograms$\\x\\C:\\Odd$UserPrograms$");
  }
  auto refuse = ReplaceImport(Self(), FWTEST_IMPORT(SHGetSpecialFolderLocation),
                              [](auto original, HWND owner, int id, PIDLIST_ABSOLUTE* list) {
                                return id == CSIDL_STARTMENU ? E_ACCESSDENIED : original(owner, id, list);
                              });
  std::wstring path = L"$UserPrograms$;$UserStartMenu$;$UserDesktop$";
  EXPECT_EQ(fw::ResolveFolderTokens(path), static_cast<DWORD>(E_ACCESSDENIED));
  EXPECT_EQ(path, ShellFolder(CSIDL_PROGRAMS) + L";$UserStartMenu$;$UserDesktop$");
  auto noPath = FailImport(Self(), FWTEST_IMPORT(SHGetPathFromIDListA), FALSE, 0);
  std::wstring item = L"unchanged";
  EXPECT_EQ(fw::DesktopItemPath(L"$UserDesktop$", L"", L"Readme", item), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
  EXPECT_EQ(item, L"unchanged");
}

// A separator is added only where the folder has none.
TEST(DesktopPaths, ItemPathsJoinFolderSubFolderAndName) {
  std::wstring item;
  EXPECT_EQ(fw::DesktopItemPath(L"$UserDesktop$", L"", L"Readme", item), 0u);
  EXPECT_EQ(item, ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Readme.lnk");
  EXPECT_EQ(fw::DesktopItemPath(L"C:/", L"Fw/Tools", L"Readme", item), 0u);
  EXPECT_EQ(item, L"C:/Fw/Tools\\Readme.lnk");
  EXPECT_EQ(fw::DesktopItemPath(L"C:\\", L"", L"Readme", item), 0u);
  EXPECT_EQ(item, L"C:\\Readme.lnk");
}

}  // namespace
}  // namespace fwtest
