// getFileOwner, setFileOwner, getFileOwnerGroup and setFileOwnerGroup. Reading is real under Wine;
// Wine reports a changed owner as done and keeps nothing, so SetFileSecurityW (bound by name) is
// replaced by a recorder that checks the descriptor it is given and the privileges held meanwhile.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "file/file_service_fixture.h"
#include "support/fake_version.h"
#include "support/substituted_proc_address.h"

namespace fwtest {
namespace {

const char* const kPrivileges[] = {"SeTakeOwnershipPrivilege", "SeRestorePrivilege", "SeBackupPrivilege"};

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

[[gnu::noipa]] bool Held(const char* privilege) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  PRIVILEGE_SET wanted = {1, PRIVILEGE_SET_ALL_NECESSARY, {}};
  LookupPrivilegeValueA(nullptr, privilege, &wanted.Privilege[0].Luid);
  BOOL held = FALSE;
  PrivilegeCheck(token, &wanted, &held);
  CloseHandle(token);
  return held != FALSE;
}

std::string SidText(PSID sid) {
  LPSTR text = nullptr;
  if (sid == nullptr || !ConvertSidToStringSidA(sid, &text)) return "";
  std::string copy = text;
  LocalFree(text);
  return copy;
}

// What SetFileSecurityW received, with the privileges held at that moment.
struct Received {
  SECURITY_INFORMATION what = 0;
  bool valid = false, absolute = false;
  std::string owner, group;
  bool daclOrSacl = false;
  std::vector<bool> privileges;
};

class FileSecurityTest : public FileServiceTest {
 protected:
  FileSecurityTest() { WriteBytes(file, "x"); }
  jstring Owner(bool owner) {
    return owner ? vm.Call(FW_FILE(getFileOwner), self, Path(file)) : vm.Call(FW_FILE(getFileOwnerGroup), self, Path(file));
  }
  void SetOwner(bool owner, const char16_t* account) {
    owner ? vm.Call(FW_FILE(setFileOwner), self, Path(file), vm.String(account))
          : vm.Call(FW_FILE(setFileOwnerGroup), self, Path(file), vm.String(account));
  }

  const std::wstring file = folder / L"owned.txt";
};

TEST_F(FileSecurityTest, OwnersReadAsBareAccountNames) {
  auto xp = FakeWindowsXP(Library());
  std::vector<SECURITY_INFORMATION> asked;
  auto getInfo = SubstituteProcAddress(
      Library(), FWTEST_IMPORT(GetNamedSecurityInfoW),
      [&asked](auto original, auto path, auto type, SECURITY_INFORMATION what, PSID* owner, PSID* group, auto dacl,
               auto sacl, auto descriptor) {
        asked.push_back(what | (owner != nullptr ? 0x100 : 0) | (group != nullptr ? 0x200 : 0));
        return original(path, type, what, owner, group, dacl, sacl, descriptor);
      });
  const auto owner = vm.StringValue(Owner(true));
  const auto group = vm.StringValue(Owner(false));
  ExpectNoException(vm);
  EXPECT_EQ(owner, AccountOf(file, true));
  EXPECT_EQ(group, AccountOf(file, false));
  EXPECT_TRUE(owner && !owner->empty() && owner->find(u'\\') == std::u16string::npos);
  // The owner SID only, then the group SID only.
  EXPECT_EQ(asked, (std::vector<SECURITY_INFORMATION>{OWNER_SECURITY_INFORMATION | 0x100,
                                                       GROUP_SECURITY_INFORMATION | 0x200}));
}

TEST_F(FileSecurityTest, ASetOwnerSendsOneSidUnderThePrivilegesAndReleasesThemInReverse) {
  auto xp = FakeWindowsXP(Library());
  Received received;
  auto set = SubstituteProcAddress(Library(), FWTEST_IMPORT(SetFileSecurityW),
                                   [&received](auto, LPCWSTR, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR d) -> BOOL {
                                     received = {};
                                     received.what = what;
                                     received.valid = IsValidSecurityDescriptor(d) != FALSE;
                                     SECURITY_DESCRIPTOR_CONTROL control = 0;
                                     DWORD revision = 0;
                                     GetSecurityDescriptorControl(d, &control, &revision);
                                     received.absolute = (control & SE_SELF_RELATIVE) == 0;
                                     received.daclOrSacl = (control & (SE_DACL_PRESENT | SE_SACL_PRESENT)) != 0;
                                     PSID sid = nullptr;
                                     BOOL defaulted = FALSE;
                                     GetSecurityDescriptorOwner(d, &sid, &defaulted);
                                     received.owner = SidText(sid);
                                     GetSecurityDescriptorGroup(d, &sid, &defaulted);
                                     received.group = SidText(sid);
                                     for (const char* p : kPrivileges) received.privileges.push_back(Held(p));
                                     return TRUE;
                                   });
  // The order in which the privileges are switched, as "+name" and "-name".
  std::vector<std::string> switched;
  auto adjust = SubstituteProcAddress(
      Library(), FWTEST_IMPORT(AdjustTokenPrivileges),
      [&switched](auto original, HANDLE token, BOOL all, PTOKEN_PRIVILEGES state, DWORD size, auto previous,
                  auto length) {
        char name[64] = {};
        DWORD nameLength = sizeof(name);
        LookupPrivilegeNameA(nullptr, &state->Privileges[0].Luid, name, &nameLength);
        switched.push_back(((state->Privileges[0].Attributes & SE_PRIVILEGE_ENABLED) != 0 ? "+" : "-") + std::string(name));
        return original(token, all, state, size, previous, length);
      });
  SetOwner(true, u"Administrators");
  ExpectNoException(vm);
  EXPECT_EQ(received.what, static_cast<SECURITY_INFORMATION>(OWNER_SECURITY_INFORMATION));
  EXPECT_TRUE(received.valid && received.absolute && !received.daclOrSacl);
  EXPECT_EQ(received.owner, "S-1-5-32-544");
  EXPECT_EQ(received.group, "");
  EXPECT_EQ(received.privileges, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(switched, (std::vector<std::string>{"+SeTakeOwnershipPrivilege", "+SeRestorePrivilege", "+SeBackupPrivilege",
                                                "-SeBackupPrivilege", "-SeRestorePrivilege", "-SeTakeOwnershipPrivilege"}));
  for (const char* p : kPrivileges) EXPECT_FALSE(Held(p)) << p << " is disabled again";

  SetOwner(false, u"SYSTEM");
  ExpectNoException(vm);
  EXPECT_EQ(received.what, static_cast<SECURITY_INFORMATION>(GROUP_SECURITY_INFORMATION));
  EXPECT_EQ(received.owner, "");
  EXPECT_EQ(received.group, "S-1-5-18");
  // An account that does not resolve: nothing enabled, nothing sent.
  switched.clear();
  received = {};
  SetOwner(true, u"NoSuchAccountForFernwick");
  ExpectFailure(vm, -30013, ERROR_NONE_MAPPED);
  EXPECT_TRUE(switched.empty());
  EXPECT_EQ(received.what, 0u);
}

// Windows 9x has no file security: refused before the path is looked at, even a missing one.
TEST_F(FileSecurityTest, Windows9xRefusesEveryMethod) {
  auto windows98 = FakeWindows98(Library());
  const jint notSupported = *vm.StaticIntConstant("com/fernwick/wizard/service/ServiceException", "OPERATION_NOT_SUPPORTED");
  const jstring missing = Path(folder / L"missing.txt");
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_FILE(getFileOwner), self, missing)));
  ExpectServiceExceptionCode(vm, notSupported);
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_FILE(getFileOwnerGroup), self, missing)));
  ExpectServiceExceptionCode(vm, notSupported);
  vm.Call(FW_FILE(setFileOwner), self, missing, vm.String(u"SYSTEM"));
  ExpectServiceExceptionCode(vm, notSupported);
  vm.Call(FW_FILE(setFileOwnerGroup), self, missing, vm.String(u"SYSTEM"));
  ExpectServiceExceptionCode(vm, notSupported);
}

}  // namespace
}  // namespace fwtest
