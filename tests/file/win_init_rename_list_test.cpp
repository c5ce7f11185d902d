// WinInitRenameList: the lines and how Flush writes them into WinInit.Ini, byte for byte.
#include "file/win_init_rename_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "file/file_test_support.h"

namespace fw {
namespace {

using fwtest::Ansi;
using fwtest::ShortPathOf;

// A path that is not there makes no line (a destination not there yet is FileOperationsTest's: an 8.3
// name in its folder's short form), and a list without lines no file.
TEST(WinInitRenameListTest, MakesNoLineWithoutAPathAndInsertsUnderTheHeaderKeepingEveryOtherByte) {
  const fwtest::TempFolder folder;
  const fwtest::ScopedWinInit winInit;
  const std::wstring source = folder / L"a long source name.dll", target = folder / L"a long target name.dll";
  fwtest::WriteBytes(source, "new");
  fwtest::WriteBytes(target, "old");
  WinInitRenameList refused;
  EXPECT_NE(refused.AddDelete(Ansi(folder / L"nofolder\\X.DLL").c_str()), 0u);
  EXPECT_NE(refused.AddMove(Ansi(folder / L"gone.dll").c_str(), Ansi(target).c_str()), 0u);
  EXPECT_EQ(refused.Flush(), 0u);
  EXPECT_FALSE(winInit.Contents().has_value());
  // One delete line and one move line.
  const std::string shortSource = ShortPathOf(source), shortTarget = ShortPathOf(target);
  ASSERT_NE(shortSource, shortTarget);
  const std::string lines = "NUL=" + shortTarget + "\n" + shortTarget + "=" + shortSource + "\n";
  const struct {
    const char* what;
    std::optional<std::string> before;  // nullopt: no file yet
    std::string head;   // the bytes before the insertion; the rest of `before` follows the lines
    std::string added;  // bytes that come with the lines besides them
  } cases[] = {
      {"no file", std::nullopt, "", "[Rename]\n"},
      {"existing lines", "[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\OLD.TXT\r\n[other]\r\nk=v",
       "[boot]\r\nshell=x\r\n[Rename]\r\n", ""},
      {"first header only", "[Rename]\nA=B\n[x]\n[Rename]\nC=D\n", "[Rename]\n", ""},
      {"header on the last line", "[boot]\nk=v\n[Rename]", "[boot]\nk=v\n[Rename]", "\n"},
      {"other sections, no header", "[boot]\r\nshell=x\r\n", "[boot]\r\nshell=x\r\n", "[Rename]\n"},
      {"no line break at the end", "[boot]", "[boot]", "[Rename]\n"},
      {"header in other case", "[rename]\nA=B\n", "[rename]\nA=B\n", "[Rename]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileW(winInit.path().c_str());
    if (c.before) fwtest::WriteBytes(winInit.path(), *c.before);
    WinInitRenameList list;
    ASSERT_EQ(list.AddDelete(Ansi(target).c_str()), 0u);
    ASSERT_EQ(list.AddMove(Ansi(source).c_str(), Ansi(target).c_str()), 0u);
    ASSERT_EQ(list.Flush(), 0u);
    const std::string before = c.before.value_or("");
    EXPECT_EQ(winInit.Contents(), c.head + c.added + lines + before.substr(c.head.size()));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_TRUE(list.Lines().empty());
  }
}

}  // namespace
}  // namespace fw
