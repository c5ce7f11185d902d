// getFileAttributes and setFileAttributes: the translation between the attribute word and the
// FileAttributes peer, both ways, and the failures the Java side sees.
#include <windows.h>

#include <optional>
#include <string>
#include <tuple>
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
  const std::vector<std::string> readable = {"OWNER_READABLE", "GROUP_READABLE", "WORLD_READABLE"};
  const std::vector<std::string> readWrite = {"OWNER_READABLE",  "GROUP_READABLE",  "WORLD_READABLE",
                                              "OWNER_WRITEABLE", "GROUP_WRITEABLE", "WORLD_WRITEABLE"};
  const auto with = [](std::vector<std::string> states, std::initializer_list<const char*> more) {
    states.insert(states.end(), more.begin(), more.end());
    return states;
  };
  const struct {
    const wchar_t* name;
    bool directory;
    DWORD set;
    std::vector<std::string> expected;
  } cases[] = {
      // Files always report archive under Wine; directories never keep read-only there.
      {L"plain.txt", false, FILE_ATTRIBUTE_NORMAL, with(readWrite, {"ARCHIVE"})},
      {L"readonly.exe", false, FILE_ATTRIBUTE_READONLY, with(readable, {"ARCHIVE"})},
      {L"hs.txt", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY,
       with(readable, {"HIDDEN", "ARCHIVE", "SYSTEM"})},
      {L"folder", true, FILE_ATTRIBUTE_NORMAL,
       with(readWrite, {"OWNER_EXECUTABLE", "GROUP_EXECUTABLE", "WORLD_EXECUTABLE"})},
  };
  const bool windows9x = fw::IsWindows9x();
  for (const auto& c : cases) {
    SCOPED_TRACE(Ansi(c.name));
    const std::wstring path = folder / c.name;
    c.directory ? MakeFolder(path) : WriteBytes(path, "x");
    SetFileAttributesW(path.c_str(), c.set);
    auto ansi = RecordImport(Library(), FWTEST_IMPORT(GetFileAttributesA));
    auto wide = RecordImport(Library(), FWTEST_IMPORT(GetFileAttributesW));
    const jobject peer = vm.Call(FW_FILE(getFileAttributes), self, Path(path));
    ExpectNoException(vm);
    EXPECT_EQ(vm.ClassNameOf(peer), kFileAttributes);
    EXPECT_EQ(TrueStates(peer), c.expected);
    EXPECT_EQ(windows9x ? ansi.count() : wide.count(), 1u);
    EXPECT_EQ(windows9x ? wide.count() : ansi.count(), 0u);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(FileAttributesTest, WritesTheWordTheStatesDescribe) {
  const struct {
    std::initializer_list<const char*> states;
    DWORD word;
  } cases[] = {
      {{}, FILE_ATTRIBUTE_READONLY},
      {{"WORLD_WRITEABLE"}, 0},
      {{"GROUP_WRITEABLE", "HIDDEN"}, FILE_ATTRIBUTE_HIDDEN},
      {{"OWNER_WRITEABLE", "ARCHIVE", "SYSTEM"}, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM},
      // Readable and executable states are not consulted.
      {{"OWNER_READABLE", "OWNER_EXECUTABLE", "WORLD_EXECUTABLE"}, FILE_ATTRIBUTE_READONLY},
  };
  const std::wstring path = folder / L"target.txt";
  WriteBytes(path, "x");
  const bool windows9x = fw::IsWindows9x();
  for (const auto& c : cases) {
    auto ansi = RecordImport(Library(), FWTEST_IMPORT(SetFileAttributesA));
    auto wide = RecordImport(Library(), FWTEST_IMPORT(SetFileAttributesW));
    vm.Call(FW_FILE(setFileAttributes), self, Path(path), Peer(c.states));
    ExpectNoException(vm);
    // Exactly this word through the family's function: never FILE_ATTRIBUTE_NORMAL.
    ASSERT_EQ(windows9x ? ansi.count() : wide.count(), 1u);
    EXPECT_EQ(windows9x ? wide.count() : ansi.count(), 0u);
    if (windows9x) {
      EXPECT_EQ(ansi.calls()[0], std::make_tuple(std::optional<std::string>(Ansi(path)), c.word));
    } else {
      EXPECT_EQ(wide.calls()[0], std::make_tuple(std::optional<std::wstring>(path), c.word));
    }
  }
}

TEST_F(FileAttributesTest, FailuresTheJavaSideSees) {
  // "." is refused before the system is asked; ".." is not. Nothing really changes here.
  auto ansi = FailImport(Library(), FWTEST_IMPORT(SetFileAttributesA), TRUE, 0);
  auto wide = FailImport(Library(), FWTEST_IMPORT(SetFileAttributesW), TRUE, 0);
  vm.Call(FW_FILE(setFileAttributes), self, vm.String(u"."), Peer({"OWNER_WRITEABLE"}));
  ExpectFailure(vm, -30001, 0x80070057);
  // No peer: refused before any call on it (the test VM reports a call on a null reference).
  vm.Call(FW_FILE(setFileAttributes), self, vm.String(u".."), jobject{nullptr});
  ExpectFailure(vm, -30001, 0x80070057);
  EXPECT_EQ(ansi.calls() + wide.calls(), 0);
  vm.Call(FW_FILE(setFileAttributes), self, vm.String(u".."), Peer({"OWNER_WRITEABLE"}));
  ExpectNoException(vm);
  EXPECT_EQ(ansi.calls() + wide.calls(), 1);
}

TEST_F(FileAttributesTest, UnreachablePeerGivesEFailAndNothingElse) {
  const struct {
    const char* what;
    void (*hide)(TestVm&);
    bool getFails, setFails;
  } cases[] = {
      {"SYSTEM constant", [](TestVm& v) { v.HideField(kFileAttributes, "SYSTEM"); }, true, true},
      {"class", [](TestVm& v) { v.HideClass(kFileAttributes); }, true, true},
      {"constructor", [](TestVm& v) { v.HideMethod(kFileAttributes, "<init>"); }, true, false},
      {"getAttributeState", [](TestVm& v) { v.HideMethod(kFileAttributes, "getAttributeState"); }, false, true},
      {"setAttributeState", [](TestVm& v) { v.HideMethod(kFileAttributes, "setAttributeState"); }, true, false},
  };
  const std::wstring file = folder / L"system.txt";
  WriteBytes(file, "x");
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_SYSTEM);  // the peer needs its SYSTEM state
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestVm local;
    const jobject localSelf = local.This(kFileService);
    const jobject peer = local.NewPeer(kFileAttributes);
    c.hide(local);
    // One ServiceException with E_FAIL's text: no Java look-up error and no AttributeException code.
    EXPECT_EQ(local.IsNull(local.Call(FW_FILE(getFileAttributes), localSelf, local.String(U16(file)))), c.getFails);
    c.getFails ? ExpectFailure(local, -30000, 0x80004005) : ExpectNoException(local);
    local.Call(FW_FILE(setFileAttributes), localSelf, local.String(U16(file)), peer);
    c.setFails ? ExpectFailure(local, -30001, 0x80004005) : ExpectNoException(local);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_SYSTEM);
  }
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace fwtest
