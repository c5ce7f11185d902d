// Win32SecurityServiceImpl through the built DLL. Wine's account functions keep nothing (users live
// in the adding process, groups are stubs, NetUserSetInfo ends the process), so the Netapi32
// functions the library binds by name are replaced by a small account store that answers as
// Windows documents and records what it received.
#include <windows.h>

#include <lm.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "bridge/token_fakes.h"
#include "com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl.h"
#include "file/file_service_fixture.h"
#include "security/local_accounts.h"
#include "support/fake_version.h"
#include "support/scoped_netmsg_dll.h"
#include "support/substituted_proc_address.h"

namespace fwtest {
namespace {

#define FW_SECURITY(method) FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32SecurityServiceImpl_##method)

// Local accounts as Windows keeps them: "Users" exists, and so does user "guest" in no group.
class AccountStore {
 public:
  explicit AccountStore(HMODULE library) {
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserAdd), [this](auto, LPCWSTR, DWORD level, LPBYTE buffer, LPDWORD) {
      const auto* user = reinterpret_cast<const USER_INFO_1*>(buffer);
      calls.push_back("add " + std::to_string(level) + ": flags " + std::to_string(user->usri1_flags) + ", privilege " +
                      std::to_string(user->usri1_priv) + ", home " + Narrow(user->usri1_home_dir));
      return users.insert(user->usri1_name).second ? NET_API_STATUS{0} : NET_API_STATUS{NERR_UserExists};
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserGetInfo), [this](auto, LPCWSTR, LPCWSTR name, DWORD level, LPBYTE* out) {
      calls.push_back("get " + std::to_string(level));
      if (users.count(name) == 0) return NET_API_STATUS{NERR_UserNotFound};
      info = {};
      info.usri3_full_name = storedFullName;
      *out = reinterpret_cast<LPBYTE>(&info);
      return NET_API_STATUS{0};
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserSetInfo), [this](auto, LPCWSTR, LPCWSTR, DWORD level, LPBYTE buffer, LPDWORD) {
      const auto* changed = reinterpret_cast<const USER_INFO_3*>(buffer);
      calls.push_back("set " + std::to_string(level) + ": expires " + std::to_string(changed->usri3_acct_expires) + ", name " +
                      Narrow(changed->usri3_full_name) + ", password expired " + std::to_string(changed->usri3_password_expired));
      return NET_API_STATUS{0};
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetApiBufferFree), [this](auto, LPVOID buffer) {
      calls.push_back(buffer == &info && info.usri3_full_name == storedFullName ? "free as returned" : "free changed");
      return NET_API_STATUS{0};
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetLocalGroupAdd), [this](auto, LPCWSTR, DWORD, LPBYTE buffer, LPDWORD) {
      const auto* group = reinterpret_cast<const LOCALGROUP_INFO_0*>(buffer);
      return members.emplace(group->lgrpi0_name, std::set<std::wstring>{}).second ? NET_API_STATUS{0} : NET_API_STATUS{ERROR_ALIAS_EXISTS};
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetLocalGroupAddMembers), [this](auto, LPCWSTR, LPCWSTR group, DWORD, LPBYTE buffer, DWORD count) {
      calls.push_back("members " + std::to_string(count));
      const auto it = members.find(group);
      if (it == members.end()) return NET_API_STATUS{NERR_GroupNotFound};
      const auto* entries = reinterpret_cast<const LOCALGROUP_MEMBERS_INFO_3*>(buffer);
      for (DWORD i = 0; i < count; ++i) {
        const std::wstring member = entries[i].lgrmi3_domainandname;
        if (users.count(member) == 0) return NET_API_STATUS{ERROR_NONE_MAPPED};
        if (!it->second.insert(member).second) return NET_API_STATUS{ERROR_MEMBER_IN_ALIAS};
      }
      return NET_API_STATUS{0};
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetLocalGroupDel), [this](auto, LPCWSTR, LPCWSTR group) {
      return members.erase(group) == 1 ? NET_API_STATUS{0} : NET_API_STATUS{NERR_GroupNotFound};
    }));
  }

  std::set<std::wstring> users{L"guest"};
  std::map<std::wstring, std::set<std::wstring>> members{{L"Users", {}}};
  std::vector<std::string> calls;  // each with what it was given
  USER_INFO_3 info = {};
  wchar_t storedFullName[8] = L"(none)";

 private:
  static std::string Narrow(const wchar_t* text) { return std::string(text, text + std::wcslen(text)); }
  template <typename T>
  void Keep(T&& patch) {
    patches_.push_back(std::make_shared<std::decay_t<T>>(std::forward<T>(patch)));
  }
  std::vector<std::shared_ptr<void>> patches_;
};

class LocalAccountsTest : public ::testing::Test {
 protected:
  jobjectArray Description(const char16_t* name, const char16_t* expiry = u"0", const char16_t* disabled = u"0",
                           const char16_t* expired = u"0") {
    return vm.StringArray({expiry, u"comment", u"C:\\home", u"logon.cmd", u"secret", u"Fern Wick", name, disabled, expired});
  }

  LoadedLibrary library{L"fwnative.dll"};
  TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32SecurityServiceImpl");
  FakeImport<decltype(&::GetVersionExA)> xp = FakeWindowsXP(library.get());
  AccountStore store{library.get()};
};

TEST_F(LocalAccountsTest, ANewUserIsAddedDescribedAndJoinsItsGroups) {
  vm.Call(FW_SECURITY(win32CreateGroup), self, vm.String(u"Fernwick Users"), jobjectArray{nullptr});
  vm.Call(FW_SECURITY(win32CreateUser), self, Description(u"fern", u"86400", u"0", u"1"),
          vm.StringArray({u"Users", u"Fernwick Users"}));
  ExpectNoException(vm);
  // A script runs at logon (UF_SCRIPT | UF_NORMAL_ACCOUNT: 513), a user's privileges (1), expiry
  // one day after 1970.
  EXPECT_EQ(store.calls, (std::vector<std::string>{"add 1: flags 513, privilege 1, home C:\\home", "get 3",
                                                   "set 3: expires 86400, name Fern Wick, password expired 1",
                                                   "free as returned", "members 1", "members 1"}));
  EXPECT_EQ(store.members[L"Fernwick Users"], std::set<std::wstring>{L"fern"});

  // Any first character but '0' disables (UF_ACCOUNTDISABLE: 515); "0" leaves the password-expired
  // setting as returned; no expiry is TIMEQ_FOREVER.
  for (const char16_t* disabled : {u"1", u"false", u""}) {
    store.users.erase(L"sam");
    store.calls.clear();
    vm.Call(FW_SECURITY(win32CreateUser), self, Description(u"sam", u"-5", disabled, u"0"), jobjectArray{nullptr});
    ExpectNoException(vm);
    EXPECT_EQ(store.calls, (std::vector<std::string>{"add 1: flags 515, privilege 1, home C:\\home", "get 3",
                                                     "set 3: expires 4294967295, name Fern Wick, password expired 0",
                                                     "free as returned"}));
  }

  // A group that does not exist stops the call there; nothing done before it is undone. Network
  // statuses take their text from the network message file.
  ScopedNetmsgDll netmsg;
  vm.Call(FW_SECURITY(win32CreateUser), self, Description(u"new"), vm.StringArray({u"Users", u"Nowhere", u"Users"}));
  ExpectServiceException(vm, -110001, u"Test message table: 2220.\r\n (2220)");
  EXPECT_EQ(store.members[L"Users"], (std::set<std::wstring>{L"fern", L"new"}));
  EXPECT_EQ(store.users.count(L"new"), 1u);
  vm.Call(FW_SECURITY(deleteGroup), self, vm.String(u"Nowhere"));
  ExpectServiceException(vm, -110002, u"Test message table: 2220.\r\n (2220)");
}

TEST(AccountExpiry, LowThirtyTwoBitsOfANumberThatIsNotNegative) {
  const struct {
    const char* text;
    DWORD expected;
  } cases[] = {{"86400", 86400}, {"4294967296", 0}, {"4294967297", 1}, {"", TIMEQ_FOREVER},
               {"soon", TIMEQ_FOREVER}, {"-1", TIMEQ_FOREVER}, {"0", 0}};
  for (const auto& c : cases) EXPECT_EQ(fw::ParseAccountExpiry(c.text), c.expected) << c.text;
}

// A description of the wrong shape is refused first, on either family; then the 9x family, which
// has no local accounts, refuses every change and counts every user an administrator. The NT
// family asks the token (Wine runs programs as administrators).
TEST_F(LocalAccountsTest, TheShapeFirstThenTheFamily) {
  const jint notSupported = *vm.StaticIntConstant("com/fernwick/wizard/service/ServiceException", "OPERATION_NOT_SUPPORTED");
  for (const bool windows9x : {false, true}) {
    SCOPED_TRACE(windows9x ? "Windows 98" : "Windows XP");
    auto version = windows9x ? FakeWindows98(library.get()) : FakeWindowsXP(library.get());
    for (const jobjectArray wrong : {vm.StringArray({u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8"}), jobjectArray{nullptr}}) {
      vm.Call(FW_SECURITY(win32CreateUser), self, wrong, jobjectArray{nullptr});
      const auto e = ExpectServiceExceptionCode(vm, static_cast<jint>(0x80070057));
      EXPECT_TRUE(e && !e->hasMessage);
    }
    EXPECT_EQ(vm.Call(FW_SECURITY(isCurrentUserAdmin), self), JNI_TRUE);
    {
      auto standardUser = WithoutAdministratorsGroup(library.get());
      EXPECT_EQ(vm.Call(FW_SECURITY(isCurrentUserAdmin), self), windows9x ? JNI_TRUE : JNI_FALSE);
    }
    ExpectNoException(vm);
  }
  auto windows98 = FakeWindows98(library.get());
  vm.Call(FW_SECURITY(win32CreateUser), self, Description(u"fern"), jobjectArray{nullptr});
  ExpectServiceExceptionCode(vm, notSupported);
  vm.Call(FW_SECURITY(deleteUser), self, vm.String(u"fern"));
  ExpectServiceExceptionCode(vm, notSupported);
  vm.Call(FW_SECURITY(win32CreateGroup), self, vm.String(u"g"), jobjectArray{nullptr});
  ExpectServiceExceptionCode(vm, notSupported);
  vm.Call(FW_SECURITY(deleteGroup), self, vm.String(u"g"));
  ExpectServiceExceptionCode(vm, notSupported);
  EXPECT_TRUE(store.calls.empty());
}

}  // namespace
}  // namespace fwtest
