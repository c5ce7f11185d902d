// Win32SecurityServiceImpl through the built DLL. Wine's account functions keep nothing, so the
// Netapi32 functions the library binds by name are substitutes that record what they are given.
#include <windows.h>

#include <lm.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bridge/token_fakes.h"
#include "registry/fwcall_lines.h"
#include "support/fake_version.h"
#include "support/scoped_netmsg_dll.h"

namespace fwtest {
namespace {

// Records each account call with what it was given; every call succeeds except on the group
// "Nowhere", which does not exist, and the adding of "Users", which does.
class AccountCalls {
 public:
  explicit AccountCalls(HMODULE library) {
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserAdd), [this](auto, LPCWSTR, DWORD level, LPBYTE buffer, LPDWORD) {
      const auto* user = reinterpret_cast<const USER_INFO_1*>(buffer);
      return Record("add " + std::to_string(level) + " " + Narrow(user->usri1_name) + ": flags " + std::to_string(user->usri1_flags) +
                    ", privilege " + std::to_string(user->usri1_priv) + ", home " + Narrow(user->usri1_home_dir) + ", comment " +
                    Narrow(user->usri1_comment) + ", script " + Narrow(user->usri1_script_path) + ", password " +
                    Narrow(user->usri1_password) + ", age " + std::to_string(user->usri1_password_age));
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserGetInfo), [this](auto, LPCWSTR, LPCWSTR, DWORD level, LPBYTE* out) {
      info = {};
      info.usri3_full_name = storedFullName;
      *out = reinterpret_cast<LPBYTE>(&info);
      return Record("get " + std::to_string(level));
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserSetInfo), [this](auto, LPCWSTR, LPCWSTR, DWORD level, LPBYTE buffer, LPDWORD) {
      const auto* changed = reinterpret_cast<const USER_INFO_3*>(buffer);
      return Record("set " + std::to_string(level) + ": expires " + std::to_string(changed->usri3_acct_expires) + ", name " +
                    Narrow(changed->usri3_full_name) + ", password expired " + std::to_string(changed->usri3_password_expired));
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetApiBufferFree), [this](auto, LPVOID buffer) {
      return Record(buffer == &info && info.usri3_full_name == storedFullName ? "free as returned" : "free changed");
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetUserDel), [this](auto, LPCWSTR, LPCWSTR user) { return Record("delete " + Narrow(user)); }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetLocalGroupAdd), [this](auto, LPCWSTR, DWORD, LPBYTE buffer, LPDWORD) {
      const wchar_t* group = reinterpret_cast<const LOCALGROUP_INFO_0*>(buffer)->lgrpi0_name;
      return Record("group " + Narrow(group), group);
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetLocalGroupAddMembers), [this](auto, LPCWSTR, LPCWSTR group, DWORD, LPBYTE buffer, DWORD count) {
      std::string call = "members " + Narrow(group) + ":";
      const auto* entries = reinterpret_cast<const LOCALGROUP_MEMBERS_INFO_3*>(buffer);
      for (DWORD i = 0; i < count; ++i) call += " " + Narrow(entries[i].lgrmi3_domainandname);
      return Record(call, group);
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(NetLocalGroupDel),
                               [this](auto, LPCWSTR, LPCWSTR group) { return Record("delete group " + Narrow(group), group); }));
  }

  std::vector<std::string> calls;

 private:
  NET_API_STATUS Record(const std::string& call, LPCWSTR group = L"") {
    calls.push_back(call);
    if (call.rfind("group ", 0) == 0) return std::wstring(group) == L"Users" ? NET_API_STATUS{NERR_GroupExists} : NET_API_STATUS{0};
    return std::wstring(group) == L"Nowhere" ? NET_API_STATUS{NERR_GroupNotFound} : NET_API_STATUS{0};
  }
  template <typename T>
  void Keep(T&& patch) {
    patches_.push_back(std::make_shared<std::decay_t<T>>(std::forward<T>(patch)));
  }

  USER_INFO_3 info = {};
  wchar_t storedFullName[8] = L"(none)";
  std::vector<std::shared_ptr<void>> patches_;
};

class LocalAccountsTest : public ::testing::Test {
 protected:
  std::string Answer(const std::string& line) { return calls.Answer("Win32SecurityServiceImpl." + line); }
  // A win32CreateUser line up to its groups: the nine texts of the description.
  static std::string User(const char* name, const char* expiry = "0", const char* disabled = "0", const char* expired = "0") {
    return std::string("win32CreateUser [\"") + expiry + R"(", "Runs Fernwick", "C:\\home", "logon.cmd", "secret", "Fern Wick", ")" + name +
           "\", \"" + disabled + "\", \"" + expired + "\"]";
  }

  FwcallLines calls;
  FakeImport<decltype(&::GetVersionExA)> xp = FakeWindowsXP(calls.library.get());
  AccountCalls store{calls.library.get()};
};

TEST_F(LocalAccountsTest, ANewUserIsAddedDescribedAndJoinsItsGroups) {
  EXPECT_EQ(Answer("win32CreateGroup \"Fernwick Users\" null"), "null");
  EXPECT_EQ(Answer(R"(win32CreateGroup Fernwick ["fern", "sam", "VM\\root"])"), "null");  // all members in one call
  EXPECT_EQ(Answer(User("fern", "86400", "0", "1") + R"( ["Users", "Fernwick Users"])"), "null");
  // A script runs at logon (UF_SCRIPT | UF_NORMAL_ACCOUNT: 513), a user's privileges (1), expiry
  // one day after 1970; each text of the description in its own field.
  const std::string described = ", privilege 1, home C:\\home, comment Runs Fernwick, script logon.cmd, password secret, age 0";
  EXPECT_EQ(store.calls, (std::vector<std::string>{"group Fernwick Users", "group Fernwick", "members Fernwick: fern sam VM\\root",
                                                   "add 1 fern: flags 513" + described, "get 3",
                                                   "set 3: expires 86400, name Fern Wick, password expired 1", "free as returned",
                                                   "members Users: fern", "members Fernwick Users: fern"}));

  // Any first character but '0' disables (UF_ACCOUNTDISABLE: 515); the expiry is the low 32 bits of a
  // number that is not negative, otherwise TIMEQ_FOREVER.
  const struct {
    const char *disabled, *expiry, *expires;
  } cases[] = {{"1", "-5", "4294967295"}, {"false", "4294967297", "1"}, {"", "soon", "4294967295"}};
  for (const auto& c : cases) {
    store.calls.clear();
    EXPECT_EQ(Answer(User("sam", c.expiry, c.disabled) + " null"), "null");
    EXPECT_EQ(store.calls, (std::vector<std::string>{"add 1 sam: flags 515" + described, "get 3",
                                                     "set 3: expires " + std::string(c.expires) + ", name Fern Wick, password expired 0",
                                                     "free as returned"}))
        << c.disabled << " " << c.expiry;
  }

  // A group that does not exist stops the call there, undoing nothing; its text from netmsg.dll.
  ScopedNetmsgDll netmsg;
  store.calls.clear();
  EXPECT_EQ(Answer(User("new") + R"( ["Users", "Nowhere", "Users"])"),
            R"j({"exception": {"code": -110001, "message": "Test message table: 2220.\r\n (2220)"}})j");
  EXPECT_EQ(std::vector<std::string>(store.calls.begin() + 4, store.calls.end()),
            (std::vector<std::string>{"members Users: new", "members Nowhere: new"}));
  // A group that is already there gets no members.
  store.calls.clear();
  EXPECT_EQ(Answer(R"(win32CreateGroup Users ["new"])"), Thrown(-110001, NERR_GroupExists));
  EXPECT_EQ(store.calls, std::vector<std::string>{"group Users"});
}

// A description of the wrong shape is refused first; then the 9x family, which has no local accounts,
// refuses every change and counts every user an administrator; the NT family asks the token.
TEST_F(LocalAccountsTest, TheShapeFirstThenTheFamily) {
  for (const bool windows9x : {false, true}) {
    SCOPED_TRACE(windows9x ? "Windows 98" : "Windows XP");
    auto version = windows9x ? FakeWindows98(calls.library.get()) : FakeWindowsXP(calls.library.get());
    EXPECT_EQ(Answer(R"(win32CreateUser ["1", "2", "3", "4", "5", "6", "7", "8"] null)"),
              R"({"exception": {"code": -2147024809, "message": null}})");
    EXPECT_EQ(Answer("isCurrentUserAdmin"), "true");
    auto standardUser = WithoutAdministratorsGroup(calls.library.get());
    EXPECT_EQ(Answer("isCurrentUserAdmin"), windows9x ? "true" : "false");
  }
  auto windows98 = FakeWindows98(calls.library.get());  // OPERATION_NOT_SUPPORTED, -10000
  for (const std::string& line : {User("fern") + " null", std::string("deleteUser fern"), std::string("win32CreateGroup g null"), std::string("deleteGroup g")}) {
    EXPECT_EQ(Answer(line), R"({"exception": {"code": -10000, "message": null}})") << line;
  }
  EXPECT_TRUE(store.calls.empty());
}

}  // namespace
}  // namespace fwtest
