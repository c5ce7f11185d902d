// The attribute and owner methods of the file service, and of the desktop service on its items and
// folders. Owners read for real under Wine; Wine reports a changed owner as done and keeps nothing,
// so SetFileSecurityW (bound by name) is replaced by a recorder of the descriptor and the privileges.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "reliability/line_call.h"
#include "support/fake_import.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

const char* const kStates[] = {"OWNER_READABLE",   "GROUP_READABLE",   "WORLD_READABLE", "OWNER_WRITEABLE",
                               "GROUP_WRITEABLE",  "WORLD_WRITEABLE",  "OWNER_EXECUTABLE", "GROUP_EXECUTABLE",
                               "WORLD_EXECUTABLE", "HIDDEN",           "ARCHIVE",        "SYSTEM"};

class FileAttributesTest : public FileServiceTest {
 protected:
  // The states in the order of kStates, each as its letter of "rrrwwwxxxhas" when true, else "-".
  std::string TrueStates(jobject peer) {
    std::string states;
    for (std::size_t i = 0; i < std::size(kStates); ++i) {
      const auto number = vm.StaticIntConstant(kFileAttributes, kStates[i]);
      const bool set = number && vm.BoolProperty(peer, TestVm::Indexed("AttributeState", *number));
      states += set ? "rrrwwwxxxhas"[i] : '-';
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
  const struct {
    const wchar_t* name;
    bool directory;
    DWORD set;
    const char* expected;
  } cases[] = {
      // Files always report archive under Wine; directories never keep read-only there.
      {L"plain.txt", false, FILE_ATTRIBUTE_NORMAL, "rrrwww----a-"},
      {L"readonly.exe", false, FILE_ATTRIBUTE_READONLY, "rrr-------a-"},
      {L"hs.txt", false, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, "rrr------has"},
      {L"folder", true, FILE_ATTRIBUTE_NORMAL, "rrrwwwxxx---"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Ansi(c.name));
    // On the NT family a name outside the ANSI code page, which only the W functions reach.
    const std::wstring path = folder / (c.name + std::wstring(fw::IsWindows9x() ? L"" : L"\u0416"));
    c.directory ? MakeFolder(path) : WriteBytes(path, "x");
    SetFileAttributesW(path.c_str(), c.set);
    const jobject peer = vm.Call(FW_FILE(getFileAttributes), self, Path(path));
    ExpectNoException(vm);
    EXPECT_EQ(vm.ClassNameOf(peer), kFileAttributes);
    EXPECT_EQ(TrueStates(peer), c.expected);
  }
}

// Exactly the word the states describe, through the family's function: never FILE_ATTRIBUTE_NORMAL.
// "." is refused before the system is asked; ".." is not. Nothing really changes here.
TEST_F(FileAttributesTest, WritesTheWordTheStatesDescribe) {
  constexpr DWORD kRefused = 0x80070057;  // E_INVALIDARG
  const struct {
    std::initializer_list<const char*> states;
    DWORD word;
    const wchar_t* path = nullptr;  // none: a file in the folder
  } cases[] = {
      {{}, FILE_ATTRIBUTE_READONLY},
      {{"WORLD_WRITEABLE"}, 0},
      {{"GROUP_WRITEABLE", "HIDDEN"}, FILE_ATTRIBUTE_HIDDEN},
      {{"OWNER_WRITEABLE", "ARCHIVE", "SYSTEM"}, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM},
      // Readable and executable states are not consulted.
      {{"OWNER_READABLE", "OWNER_EXECUTABLE", "WORLD_EXECUTABLE"}, FILE_ATTRIBUTE_READONLY},
      {{"OWNER_WRITEABLE"}, kRefused, L"."},
      {{"OWNER_WRITEABLE"}, 0, L".."},
  };
  std::vector<std::string> given;  // each call: "A" or "W", the path and the word
  const auto record = [&given](auto, auto path, DWORD word) -> BOOL {
    given.push_back((sizeof(*path) == 1 ? "A " : "W ") + AnsiOf(path) + " " + std::to_string(word));
    return TRUE;
  };
  auto ansi = ReplaceImport(Library(), FWTEST_IMPORT(SetFileAttributesA), record);
  auto wide = ReplaceImport(Library(), FWTEST_IMPORT(SetFileAttributesW), record);
  for (const auto& c : cases) {
    const std::wstring path = c.path != nullptr ? c.path : folder / L"target.txt";
    vm.Call(FW_FILE(setFileAttributes), self, Path(path), Peer(c.states));
    c.word == kRefused ? ExpectFailure(vm, -30001, kRefused) : ExpectNoException(vm);
    const std::string call = (fw::IsWindows9x() ? "A " : "W ") + Ansi(path) + " " + std::to_string(c.word);
    EXPECT_EQ(std::exchange(given, {}), c.word == kRefused ? std::vector<std::string>{} : std::vector{call});
  }
}

// A peer the getter cannot make: one ServiceException with E_FAIL's text, with no Java look-up error
// and no AttributeException code. (A peer the setter cannot read is the bad-input run's.)
TEST_F(FileAttributesTest, UnmakeablePeerGivesEFailAndNothingElse) {
  const std::wstring file = folder / L"system.txt";
  WriteBytes(file, "x");
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_SYSTEM);  // the peer needs its SYSTEM state
  const std::pair<const char*, void (*)(TestVm&)> cases[] = {
      {"SYSTEM constant", [](TestVm& v) { v.HideField(kFileAttributes, "SYSTEM"); }},
      {"class", [](TestVm& v) { v.HideClass(kFileAttributes); }},
      {"constructor", [](TestVm& v) { v.HideMethod(kFileAttributes, "<init>"); }},
      {"setAttributeState", [](TestVm& v) { v.HideMethod(kFileAttributes, "setAttributeState"); }},
  };
  for (const auto& [what, hide] : cases) {
    SCOPED_TRACE(what);
    TestVm local;
    const jobject localSelf = local.This(kFileService);
    hide(local);
    EXPECT_TRUE(local.IsNull(local.Call(FW_FILE(getFileAttributes), localSelf, local.String(U16(file)))));
    ExpectFailure(local, -30000, 0x80004005);
  }
}

// The name of the account that owns (or is the group of) the file, asked independently.
[[gnu::noipa]] std::u16string AccountOf(const std::wstring& path, bool owner) {
  PSID sid = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, owner ? OWNER_SECURITY_INFORMATION : GROUP_SECURITY_INFORMATION,
                        owner ? &sid : nullptr, owner ? nullptr : &sid, nullptr, nullptr, &descriptor);
  wchar_t name[256] = {}, domain[256] = {};
  DWORD nameLength = 256, domainLength = 256;
  SID_NAME_USE use;
  LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use);
  LocalFree(descriptor);
  return U16(name);
}

using FileSecurityTest = FileServiceTest;

TEST_F(FileSecurityTest, ASetOwnerSendsOneSidUnderThePrivilegesAndReleasesThemInReverse) {
  auto xp = FakeWindowsXP(Library());
  const std::wstring file = folder / L"owned.txt";
  WriteBytes(file, "x");
  // The privileges switched ("+name", "-name") and the descriptor sent ("set"), in order.
  std::vector<std::string> calls;
  std::string sent;  // what SetFileSecurityW was to set, and all its descriptor holds in SDDL
  auto set = SubstituteProcAddress(
      Library(), FWTEST_IMPORT(SetFileSecurityW), [&](auto, LPCWSTR, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR d) {
        constexpr SECURITY_INFORMATION kAll = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                                              DACL_SECURITY_INFORMATION | SACL_SECURITY_INFORMATION;
        LPSTR text = nullptr;
        ConvertSecurityDescriptorToStringSecurityDescriptorA(d, SDDL_REVISION_1, kAll, &text, nullptr);
        sent = std::to_string(what) + " " + (text != nullptr ? text : "invalid");
        LocalFree(text);
        calls.push_back("set");
        return TRUE;
      });
  auto adjust = SubstituteProcAddress(
      Library(), FWTEST_IMPORT(AdjustTokenPrivileges),
      [&calls](auto original, HANDLE token, BOOL all, PTOKEN_PRIVILEGES state, DWORD size, auto previous, auto length) {
        char name[64] = {};
        DWORD nameLength = sizeof(name);
        LookupPrivilegeNameA(nullptr, &state->Privileges[0].Luid, name, &nameLength);
        calls.push_back(((state->Privileges[0].Attributes & SE_PRIVILEGE_ENABLED) != 0 ? "+" : "-") + std::string(name));
        return original(token, all, state, size, previous, length);
      });
  vm.Call(FW_FILE(setFileOwner), self, Path(file), vm.String(u"Administrators"));
  ExpectNoException(vm);
  EXPECT_EQ(sent, "1 O:BA");  // OWNER_SECURITY_INFORMATION, Administrators, no DACL or SACL
  EXPECT_EQ(calls, (std::vector<std::string>{"+SeTakeOwnershipPrivilege", "+SeRestorePrivilege", "+SeBackupPrivilege",
                                             "set", "-SeBackupPrivilege", "-SeRestorePrivilege",
                                             "-SeTakeOwnershipPrivilege"}));
  vm.Call(FW_FILE(setFileOwnerGroup), self, Path(file), vm.String(u"SYSTEM"));
  ExpectNoException(vm);
  EXPECT_EQ(sent, "2 G:SY");  // GROUP_SECURITY_INFORMATION, SYSTEM
  // An account that does not resolve: nothing enabled, nothing sent.
  calls.clear();
  vm.Call(FW_FILE(setFileOwner), self, Path(file), vm.String(u"NoSuchAccountForFernwick"));
  ExpectFailure(vm, -30013, ERROR_NONE_MAPPED);
  EXPECT_TRUE(calls.empty());
}

// Every owner and attribute method of both services, on "<folder>\Fw\Item.lnk" or "<folder>\Fw": each
// answers, a getter with something, an owner or group with the bare account name the system gives
// (an item and its folder have the same here); Windows 9x has no file security and refuses every
// owner method. A desktop method refuses a null name with its own code.
TEST_F(FileSecurityTest, EveryOwnerAndAttributeMethodAnswersAndWindows9xRefusesTheOwners) {
  MakeFolder(folder / L"Fw");
  WriteBytes(folder / L"Fw\\Item.lnk", "link");
  const std::u16string owner = AccountOf(folder / L"Fw\\Item.lnk", true), group = AccountOf(folder / L"Fw", false);
  ASSERT_TRUE(!owner.empty() && !group.empty() && owner != group);
  const fwcall::MethodTable table(vm);
  const std::string f = "Win32FileServiceImpl.", d = "Win32DesktopServiceImpl.";
  const std::string writable = R"( {"attributeState": {"OWNER_WRITEABLE": true}})";
  // Each getter with its setter, which is given the value that follows, and the getter's code (the
  // setter's is the next below). An empty sub-folder names the folder itself.
  const std::tuple<std::string, const char*, std::string, jint> pairs[] = {
      {f, "FileOwner {F}\\Fw\\Item.lnk", " SYSTEM", -30012},         {f, "FileOwnerGroup {F}\\Fw", " SYSTEM", -30008},
      {d, "DesktopItemOwnerGroup {F} Fw Item", " SYSTEM", -80010}, {d, "DesktopItemOwner {F} Fw Item", " SYSTEM", -80012},
      {d, "DesktopFolderOwnerGroup {F} Fw", " SYSTEM", -80014},    {d, "DesktopFolderOwner {F} Fw", " SYSTEM", -80016},
      {d, "DesktopItemAttributes {F} Fw Item", writable, -80018},  {d, "DesktopFolderAttributes {F} Fw", writable, -80020},
      {d, "DesktopFolderAttributes {F}\\Fw \"\"", writable, -80020}};
  std::vector<std::pair<std::string, jint>> calls;
  for (const auto& [service, method, value, code] : pairs) {
    calls.emplace_back(service + "get" + method, code);
    calls.emplace_back(service + "set" + method + value, code - 1);
  }
  const jint notSupported = *vm.StaticIntConstant("com/fernwick/wizard/service/ServiceException", "OPERATION_NOT_SUPPORTED");
  for (const bool windows9x : {false, true}) {
    auto version = windows9x ? FakeWindows98(Library()) : FakeWindowsXP(Library());
    for (const auto& [call, code] : calls) {
      SCOPED_TRACE(call + (windows9x ? " on Windows 98" : " on Windows XP"));
      const LineCall c = CallLine(vm, table, Library(), Replaced(call, "{F}", Ansi(folder.path())));
      const bool ofOwner = call.find("Owner") != std::string::npos;
      const std::u16string& account = call.find("Group") != std::string::npos ? group : owner;
      if (windows9x && ofOwner) {
        ExpectServiceExceptionCode(vm, notSupported);
        continue;
      }
      ExpectNoException(vm);
      // A null folder, sub-folder or item name is refused, never taken for the current drive's root.
      for (const char* named : {"{F} ", " Fw", " Item"}) {
        const std::string refused = Replaced(call, named, named[0] == ' ' ? " null" : "null ");
        if (call.rfind(d, 0) != 0 || refused == call) continue;
        CallLine(vm, table, Library(), Replaced(refused, "{F}", Ansi(folder.path())));
        ExpectFailure(vm, code, ERROR_INVALID_PARAMETER);
      }
      if (c.method->signature.result.kind == 'V') continue;
      EXPECT_FALSE(vm.IsNull(c.result.l));
      EXPECT_TRUE(!ofOwner || vm.StringValue(static_cast<jstring>(c.result.l)) == account) << call;
    }
  }
}

}  // namespace
}  // namespace fwtest
