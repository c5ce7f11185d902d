// getFileAttributes and setFileAttributes: the translation between the attribute word and the
// FileAttributes peer, both ways, and the failures the Java side sees.
#include <windows.h>

#include <string>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/fake_import.h"
#include "support/recorded_import.h"

namespace fwtest {
namespace {

const char* const kStates[] = {"OWNER_READABLE",   "GROUP_READABLE",   "WORLD_READABLE", "OWNER_WRITEABLE",
                               "GROUP_WRITEABLE",  "WORLD_WRITEABLE",  "OWNER_EXECUTABLE", "GROUP_EXECUTABLE",
                               "WORLD_EXECUTABLE", "HIDDEN",           "ARCHIVE",        "SYSTEM"};

class FileAttributesTest : public FileServiceTest {
 protected:
  // The names of the states the peer holds true.
  std::vector<std::string> TrueStates(jobject peer) {
    std::vector<std::string> states;
    for (const char* name : kStates) {
      const auto number = vm.StaticIntConstant(kFileAttributes, name);
      if (number && vm.BoolProperty(peer, TestVm::Indexed("AttributeState", *number))) states.push_back(name);
    }
    return states;
  }
  jobject Peer(std::initializer_list<const char*> trueStates) {
    jobject peer = vm.NewPeer(kFileAttributes);
    for (const char* name : trueStates) {
      vm.SetBoolProperty(peer, TestVm::Indexed("AttributeState", *vm.StaticIntConstant(kFileAttributes, name)), true);
    }
    return peer;
  }
};

TEST_F(FileAttributesTest, ReadsTheWordIntoStates) {
  struct Case {
    const wchar_t* name;
    bool directory;
    DWORD set;
    std::vector<std::string> expected;
  };
  // Files always report archive under Wine; directories never keep read-only there.
  const Case cases[] = {
      {L"plain.txt", false, FILE_ATTRIBUTE_NORMAL,
       {"OWNER_READABLE", "GROUP_READABLE", "WORLD_READABLE", "OWNER_WRITEABLE", "GROUP_WRITEABLE", "WORLD_WRITEABLE",
        "ARCHIVE"}},
      {L"readonly.exe", false, FILE_ATTRIBUTE_READONLY, {"OWNER_READABLE", "GROUP_READABLE", "WORLD_READABLE", "ARCHIVE"}},
      {L"hs.txt", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY,
       {"OWNER_READABLE", "GROUP_READABLE", "WORLD_READABLE", "HIDDEN", "ARCHIVE", "SYSTEM"}},
      {L"folder", true, FILE_ATTRIBUTE_NORMAL,
       {"OWNER_READABLE", "GROUP_READABLE", "WORLD_READABLE", "OWNER_WRITEABLE", "GROUP_WRITEABLE", "WORLD_WRITEABLE",
        "OWNER_EXECUTABLE", "GROUP_EXECUTABLE", "WORLD_EXECUTABLE"}},
  };
  const bool windows9x = fw::IsWindows9x();
  for (const Case& c : cases) {
    const std::wstring path = folder / c.name;
    if (c.directory) {
      MakeFolder(path);
    } else {
      WriteBytes(path, "x");
    }
    SetFileAttributesW(path.c_str(), c.set);
    auto ansi = RecordImport(Library(), FWTEST_IMPORT(GetFileAttributesA));
    auto wide = RecordImport(Library(), FWTEST_IMPORT(GetFileAttributesW));
    const jobject peer = vm.Call(service.getFileAttributes, self, Path(path));
    ExpectNoException(vm);
    ASSERT_FALSE(vm.IsNull(peer));
    EXPECT_EQ(TrueStates(peer), c.expected) << Ansi(c.name);
    EXPECT_EQ(vm.ClassNameOf(peer), kFileAttributes);
    EXPECT_EQ(ansi.count(), windows9x ? 1u : 0u);
    EXPECT_EQ(wide.count(), windows9x ? 0u : 1u);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(FileAttributesTest, WritesTheWordTheStatesDescribe) {
  struct Case {
    std::initializer_list<const char*> states;
    DWORD word;
  };
  const Case cases[] = {
      {{}, FILE_ATTRIBUTE_READONLY},
      {{"WORLD_WRITEABLE"}, 0},
      {{"GROUP_WRITEABLE", "HIDDEN"}, FILE_ATTRIBUTE_HIDDEN},
      {{"OWNER_WRITEABLE", "ARCHIVE", "SYSTEM"}, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM},
      // Readable and executable states are not consulted.
      {{"OWNER_READABLE", "OWNER_EXECUTABLE", "WORLD_EXECUTABLE"}, FILE_ATTRIBUTE_READONLY},
  };
  const std::wstring file = folder / L"target.txt";
  const std::wstring directory = folder / L"dir";
  WriteBytes(file, "x");
  MakeFolder(directory);
  const bool windows9x = fw::IsWindows9x();
  for (const std::wstring& path : {file, directory}) {
    for (const Case& c : cases) {
      auto ansi = RecordImport(Library(), FWTEST_IMPORT(SetFileAttributesA));
      auto wide = RecordImport(Library(), FWTEST_IMPORT(SetFileAttributesW));
      vm.Call(service.setFileAttributes, self, Path(path), Peer(c.states));
      ExpectNoException(vm);
      // Exactly this word: never the directory bit, never FILE_ATTRIBUTE_NORMAL.
      if (windows9x) {
        ASSERT_EQ(ansi.count(), 1u);
        EXPECT_EQ(std::get<1>(ansi.calls()[0]), c.word);
        EXPECT_EQ(std::get<0>(ansi.calls()[0]), Ansi(path));
        EXPECT_EQ(wide.count(), 0u);
      } else {
        ASSERT_EQ(wide.count(), 1u);
        EXPECT_EQ(std::get<1>(wide.calls()[0]), c.word);
        EXPECT_EQ(std::get<0>(wide.calls()[0]), path);
        EXPECT_EQ(ansi.count(), 0u);
      }
    }
  }
  // The effect on the file itself: read-only exactly when no writeable state is set.
  vm.Call(service.setFileAttributes, self, Path(file), Peer({}));
  EXPECT_NE(Attributes(file) & FILE_ATTRIBUTE_READONLY, 0u);
  vm.Call(service.setFileAttributes, self, Path(file), Peer({"WORLD_WRITEABLE"}));
  EXPECT_EQ(Attributes(file) & FILE_ATTRIBUTE_READONLY, 0u);
  ExpectNoException(vm);
}

TEST_F(FileAttributesTest, RefusesTheDotPathButNotLongerOnes) {
  // Nothing may really change the attributes of the working directory's parent here.
  auto ansi = FailImport(Library(), FWTEST_IMPORT(SetFileAttributesA), TRUE, 0);
  auto wide = FailImport(Library(), FWTEST_IMPORT(SetFileAttributesW), TRUE, 0);
  vm.Call(service.setFileAttributes, self, vm.String(u"."), Peer({"OWNER_WRITEABLE"}));
  ExpectFailure(vm, -30001, 0x80070057);
  EXPECT_EQ(ansi.calls() + wide.calls(), 0);
  vm.Call(service.setFileAttributes, self, vm.String(u".."), Peer({"OWNER_WRITEABLE"}));
  ExpectNoException(vm);
  EXPECT_EQ(ansi.calls() + wide.calls(), 1);
}

TEST_F(FileAttributesTest, MissingFileReportsTheSystemError) {
  const jobject peer = vm.Call(service.getFileAttributes, self, Path(folder / L"missing.txt"));
  EXPECT_TRUE(vm.IsNull(peer));
  ExpectFailure(vm, -30000, ERROR_FILE_NOT_FOUND);
  vm.Call(service.setFileAttributes, self, Path(folder / L"missing.txt"), Peer({}));
  ExpectFailure(vm, -30001, ERROR_FILE_NOT_FOUND);
}

TEST_F(FileAttributesTest, UnreachablePeerGivesEFailAndNothingElse) {
  struct Case {
    const char* what;
    void (*hide)(TestVm&);
    bool getFails, setFails;
  };
  const Case cases[] = {
      {"SYSTEM constant", [](TestVm& v) { v.HideField(kFileAttributes, "SYSTEM"); }, true, true},
      {"class", [](TestVm& v) { v.HideClass(kFileAttributes); }, true, true},
      {"constructor", [](TestVm& v) { v.HideMethod(kFileAttributes, "<init>"); }, true, false},
      {"getAttributeState", [](TestVm& v) { v.HideMethod(kFileAttributes, "getAttributeState"); }, false, true},
      {"setAttributeState", [](TestVm& v) { v.HideMethod(kFileAttributes, "setAttributeState"); }, true, false},
  };
  const std::wstring file = folder / L"system.txt";
  WriteBytes(file, "x");
  for (const Case& c : cases) {
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_SYSTEM);  // the peer needs its SYSTEM state
    TestVm local;
    const jobject localSelf = local.This(kFileService);
    const jobject peer = local.NewPeer(kFileAttributes);
    c.hide(local);
    const jobject result = local.Call(service.getFileAttributes, localSelf, local.String(U16(file)));
    EXPECT_EQ(local.IsNull(result), c.getFails) << c.what;
    // One ServiceException with E_FAIL's text: no Java look-up error and no AttributeException code.
    if (c.getFails) {
      ExpectFailure(local, -30000, 0x80004005);
    } else {
      ExpectNoException(local);
    }
    local.Call(service.setFileAttributes, localSelf, local.String(U16(file)), peer);
    if (c.setFails) {
      ExpectFailure(local, -30001, 0x80004005);
    } else {
      ExpectNoException(local);
    }
  }
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace fwtest
