// WinInitRenameList: the lines and how Flush writes them into WinInit.Ini, byte for byte.
#include "file/win_init_rename_list.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "file/file_test_support.h"
#include "support/fake_import.h"

namespace fw {
namespace {

using fwtest::Ansi;
using fwtest::ShortPathOf;

HMODULE Self() { return GetModuleHandleW(nullptr); }

class WinInitRenameListTest : public ::testing::Test {
 protected:
  WinInitRenameListTest() {
    fwtest::WriteBytes(source, "new");
    fwtest::WriteBytes(target, "old");
  }
  // A list with one delete line and one move line; returns the bytes they make.
  std::string AddTwoLines(WinInitRenameList& list) {
    EXPECT_EQ(list.AddDelete(Ansi(target).c_str()), 0u);
    EXPECT_EQ(list.AddMove(Ansi(source).c_str(), Ansi(target).c_str()), 0u);
    return "NUL=" + ShortPathOf(target) + "\n" + ShortPathOf(target) + "=" + ShortPathOf(source) + "\n";
  }

  fwtest::TempFolder folder;
  fwtest::ScopedWinInit winInit;
  const std::wstring source = folder / L"a long source name.dll";
  const std::wstring target = folder / L"a long target name.dll";
};

TEST_F(WinInitRenameListTest, LinesNameShortPaths) {
  WinInitRenameList list;
  ASSERT_EQ(list.AddDelete(Ansi(target).c_str()), 0u);
  ASSERT_EQ(list.AddMove(Ansi(source).c_str(), Ansi(target).c_str()), 0u);
  ASSERT_EQ(list.Count(), 2u);
  const std::string shortSource = ShortPathOf(source);
  const std::string shortTarget = ShortPathOf(target);
  EXPECT_TRUE(fwtest::IsShortShape(shortSource)) << shortSource;
  EXPECT_TRUE(fwtest::IsShortShape(shortTarget)) << shortTarget;
  EXPECT_NE(shortSource, shortTarget);
  EXPECT_EQ(list.Lines()[0], "NUL=" + shortTarget);
  EXPECT_EQ(list.Lines()[1], shortTarget + "=" + shortSource);
}

TEST_F(WinInitRenameListTest, MissingPathNeverMakesALineWithoutAPath) {
  WinInitRenameList list;
  // An 8.3 name that does not exist yet: its folder's short form and the name itself.
  ASSERT_EQ(list.AddMove(Ansi(source).c_str(), Ansi(folder / L"NEW.DLL").c_str()), 0u);
  EXPECT_EQ(list.Lines().back(), ShortPathOf(folder.path()) + "\\NEW.DLL=" + ShortPathOf(source));
  // A long name that does not exist has no short form yet, nor has anything in a missing folder.
  EXPECT_EQ(list.AddMove(Ansi(source).c_str(), Ansi(folder / L"a new long name.dll").c_str()),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(list.AddDelete(Ansi(folder / L"nofolder\\X.DLL").c_str()), 0u);
  EXPECT_NE(list.AddMove(Ansi(folder / L"gone.dll").c_str(), Ansi(target).c_str()), 0u);
  EXPECT_EQ(list.Count(), 1u);
}

TEST_F(WinInitRenameListTest, EmptyListTouchesNothing) {
  WinInitRenameList list;
  EXPECT_EQ(list.Flush(), 0u);
  EXPECT_FALSE(winInit.Contents().has_value());
}

TEST_F(WinInitRenameListTest, MissingFileIsCreatedWithTheHeaderAndTheLines) {
  WinInitRenameList list;
  const std::string lines = AddTwoLines(list);
  ASSERT_EQ(list.Flush(), 0u);
  EXPECT_EQ(winInit.Contents(), "[Rename]\n" + lines);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(list.Lines().empty());
}

TEST_F(WinInitRenameListTest, InsertsUnderTheHeaderAndKeepsEveryOtherByte) {
  struct Case {
    const char* what;
    std::string before;
    std::string head;  // the bytes before the insertion; the rest of `before` follows the lines
    std::string added;  // bytes that come with the lines besides them
  };
  const Case cases[] = {
      {"existing lines", "[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\OLD.TXT\r\n[other]\r\nk=v",
       "[boot]\r\nshell=x\r\n[Rename]\r\n", ""},
      {"first header only", "[Rename]\nA=B\n[x]\n[Rename]\nC=D\n", "[Rename]\n", ""},
      {"header on the last line", "[boot]\nk=v\n[Rename]", "[boot]\nk=v\n[Rename]", "\n"},
      {"other sections, no header", "[boot]\r\nshell=x\r\n", "[boot]\r\nshell=x\r\n", "[Rename]\n"},
      {"no line break at the end", "[boot]", "[boot]", "[Rename]\n"},
      {"header in other case", "[rename]\nA=B\n", "[rename]\nA=B\n", "[Rename]\n"},
  };
  for (const Case& c : cases) {
    fwtest::WriteBytes(winInit.path(), c.before);
    WinInitRenameList list;
    const std::string lines = AddTwoLines(list);
    ASSERT_EQ(list.Flush(), 0u) << c.what;
    const std::string expected = c.head + c.added + lines + c.before.substr(c.head.size());
    EXPECT_EQ(winInit.Contents(), expected) << c.what;
    EXPECT_EQ(winInit.Contents()->size(), c.before.size() + c.added.size() + lines.size()) << c.what;
  }
}

TEST_F(WinInitRenameListTest, FileHeldOpenElsewhereIsLeftAsItWas) {
  const std::string before = "[Rename]\nA=B\n";
  fwtest::WriteBytes(winInit.path(), before);
  WinInitRenameList list;
  AddTwoLines(list);
  {
    const auto held = fwtest::HoldOpen(winInit.path());
    EXPECT_EQ(list.Flush(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(winInit.Contents(), before);
  EXPECT_EQ(list.Count(), 2u) << "the lines stay pending";
}

TEST_F(WinInitRenameListTest, MappingFailuresKeepContentsAndSize) {
  const std::string before = "[Rename]\nA=B\n";
  {
    fwtest::WriteBytes(winInit.path(), before);
    auto fail = fwtest::FailImport(Self(), FWTEST_IMPORT(CreateFileMappingA), HANDLE{nullptr}, ERROR_NOT_ENOUGH_MEMORY);
    WinInitRenameList list;
    AddTwoLines(list);
    EXPECT_EQ(list.Flush(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(winInit.Contents(), before);
  }
  {
    // The mapping has already grown the file when the view fails: it is cut back.
    auto fail = fwtest::FailImport(Self(), FWTEST_IMPORT(MapViewOfFile), static_cast<LPVOID>(nullptr),
                                   ERROR_NOT_ENOUGH_MEMORY);
    WinInitRenameList list;
    AddTwoLines(list);
    EXPECT_EQ(list.Flush(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(winInit.Contents(), before);
    EXPECT_EQ(list.Count(), 2u);
  }
}

}  // namespace
}  // namespace fw
