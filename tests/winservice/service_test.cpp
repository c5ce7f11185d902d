// Win32ServiceImpl through the built DLL: the argument checks of every method, a real service
// (tests/service, fwtestsvc.exe) from creation to deletion under Wine's service control manager,
// substitutes for what Wine does not keep (dependencies, failure actions, the database lock), and
// the two file methods: short paths and version information.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "support/hidden_proc_addresses.h"
#include "support/program_folder.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace {

// The process of that program name, as the system lists it (0: none).
DWORD ProcessIdOf(const wchar_t* program) {
  const fw::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, program) == 0) return entry.th32ProcessID;
  }
  return 0;
}

// A failing call of each method is the call-site sweep's, a bad value of each argument the
// bad-input sweep's; here, what they cannot see: an empty or null name, and a null peer, is
// refused with ERROR_BAD_ARGUMENTS before anything is asked.
TEST_F(ServiceTest, EveryMethodChecksItsArguments) {
  const struct {
    jint code;
    std::function<void(jstring)> call;
  } cases[] = {
      {-120000, [&](jstring n) { vm.Call(FW_SERVICE(createNTService), self, n, Config(u"x", 0x10, 3, 1, u"x.exe")); }},
      {-120004, [&](jstring n) { vm.Call(FW_SERVICE(changeNTServiceConfig), self, n, Config(std::nullopt, -1, -1, -1, std::nullopt)); }},
      {-1200005, [&](jstring n) { EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryNTServiceConfig), self, n))); }},
      {-1200006, [&](jstring n) { EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryNTServiceStatus), self, n))); }},
      {-1200010, [&](jstring n) { EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryWin2kServiceFailureActions), self, n))); }},
      {-1200013, [&](jstring n) { vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, n, vm.NewPeer(kFailureActionsClass)); }},
      {-1200011, [&](jstring n) { EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryWin2kServiceDescription), self, n))); }},
      {-1200012, [&](jstring n) { vm.Call(FW_SERVICE(changeWin2kServiceDescription), self, n, vm.String(u"text")); }},
      {-1200014, [&](jstring n) { EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryWin2kServiceStatusProcess), self, n))); }},
  };
  for (const auto& c : cases) {  // the code names the row
    for (const jstring empty : {Str(L""), jstring{nullptr}}) {
      c.call(empty);
      ExpectServiceException(vm, c.code, ErrorMessage(ERROR_BAD_ARGUMENTS));
    }
  }
  vm.Call(FW_SERVICE(createNTService), self, Str(name), jobject{nullptr});
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_BAD_ARGUMENTS));
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), jobject{nullptr});
  ExpectServiceException(vm, -1200013, ErrorMessage(ERROR_BAD_ARGUMENTS));
  // A description that cannot be read is null, silently.
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryWin2kServiceDescription), self, Str(kMissing))));
  ExpectNoException(vm);
  // Without the manager's own function nothing can be asked and nothing is reported.
  HiddenProcAddresses noManager(library.get(), {"OpenSCManagerW"});
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(kMissing)), JNI_FALSE);
  vm.Call(FW_SERVICE(deleteNTService), self, Str(kMissing));
  ExpectNoException(vm);
}

TEST_F(ServiceTest, ARealServiceFromCreationToDeletion) {
  const std::wstring record = folder / L"record.txt";
  const std::wstring command = L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" \"" + record + L"\"";
  const std::wstring display = L"Fernwick Test Service " + std::to_wstring(GetCurrentProcessId());
  // Own process (0x10) with desktop interaction, demand start (3), normal error control (1).
  const jobject config = Config(U16(display), 0x10, 3, 1, U16(command));
  vm.SetBoolProperty(config, "EnableDesktopInteraction", true);
  vm.Call(FW_SERVICE(createNTService), self, Str(name), config);
  ExpectNoException(vm);
  vm.Call(FW_SERVICE(createNTService), self, Str(name), config);
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(name)), JNI_TRUE);
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(kMissing)), JNI_FALSE);

  const jobject read = vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(name));
  ASSERT_FALSE(vm.IsNull(read));
  EXPECT_EQ(vm.StringProperty(read, "DisplayName"), U16(display));
  EXPECT_EQ(vm.IntProperty(read, "ServiceType"), 0x10);
  EXPECT_TRUE(vm.BoolProperty(read, "EnableDesktopInteraction"));
  EXPECT_EQ(vm.IntProperty(read, "StartType"), 3);
  EXPECT_EQ(vm.IntProperty(read, "ErrorControl"), 1);
  EXPECT_EQ(vm.StringProperty(read, "Command"), U16(command));
  EXPECT_EQ(vm.StringProperty(read, "UserName"), u"LocalSystem");
  EXPECT_TRUE(vm.HasProperty(read, "Password") && !vm.StringProperty(read, "Password"));
  EXPECT_EQ(vm.StringValue(vm.Call(FW_SERVICE(getNTServiceDisplayName), self, Str(name))), U16(display));
  EXPECT_EQ(vm.StringValue(vm.Call(FW_SERVICE(getNTServiceKeyName), self, Str(display))), U16(name));
  const auto keys = vm.StringArrayValue(vm.Call(FW_SERVICE(enumNTServiceKeys), self, jint{SERVICE_WIN32}, jint{3}));
  ASSERT_TRUE(keys);
  EXPECT_EQ(std::count(keys->begin(), keys->end(), U16(name)), 1);
  ExpectNoException(vm);

  vm.Call(FW_SERVICE(changeWin2kServiceDescription), self, Str(name), vm.String(u"Keeps the product running"));
  EXPECT_EQ(vm.StringValue(vm.Call(FW_SERVICE(queryWin2kServiceDescription), self, Str(name))),
            u"Keeps the product running");
  vm.Call(FW_SERVICE(changeWin2kServiceDescription), self, Str(name), jstring{nullptr});  // removes it
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(queryWin2kServiceDescription), self, Str(name))));
  ExpectNoException(vm);

  // Only what is set changes: disabled (4), everything else left as it is.
  vm.Call(FW_SERVICE(changeNTServiceConfig), self, Str(name), Config(std::nullopt, -1, SERVICE_DISABLED, -1, std::nullopt));
  ExpectNoException(vm);
  const jobject changed = vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(name));
  EXPECT_EQ(vm.IntProperty(changed, "StartType"), SERVICE_DISABLED);
  EXPECT_EQ(vm.StringProperty(changed, "DisplayName"), U16(display));
  EXPECT_TRUE(vm.BoolProperty(changed, "EnableDesktopInteraction"));
  vm.Call(FW_SERVICE(startNTService), self, Str(name), jobjectArray{nullptr});
  ExpectServiceException(vm, -120002, ErrorMessage(ERROR_SERVICE_DISABLED));
  vm.Call(FW_SERVICE(changeNTServiceConfig), self, Str(name), Config(std::nullopt, -1, SERVICE_DEMAND_START, -1, std::nullopt));
  EXPECT_TRUE(vm.IsNull(ServiceStatus(SERVICE_CONTROL_STOP)));
  ExpectServiceException(vm, -120003, ErrorMessage(ERROR_SERVICE_NOT_ACTIVE));

  // The one start: arguments, controls (a user-defined one included), the start refused twice.
  vm.Call(FW_SERVICE(startNTService), self, Str(name), vm.StringArray({u"first", u"second arg"}));
  ExpectNoException(vm);
  ASSERT_TRUE(Eventually([&] {
    const jobject status = vm.Call(FW_SERVICE(queryNTServiceStatus), self, Str(name));
    return !vm.IsNull(status) && vm.IntProperty(status, "CurrentState") == SERVICE_RUNNING;
  }));
  vm.Call(FW_SERVICE(startNTService), self, Str(name), jobjectArray{nullptr});
  ExpectServiceException(vm, -120002, ErrorMessage(ERROR_SERVICE_ALREADY_RUNNING));
  const jobject interrogated = ServiceStatus(SERVICE_CONTROL_INTERROGATE);
  EXPECT_EQ(vm.IntProperty(interrogated, "CurrentState"), SERVICE_RUNNING);
  EXPECT_EQ(vm.IntProperty(interrogated, "ServiceType"), 0x110) << "the status keeps the interaction bit";
  const jobject process = vm.Call(FW_SERVICE(queryWin2kServiceStatusProcess), self, Str(name));
  EXPECT_EQ(vm.IntProperty(process, "ServiceType"), 0x110);
  EXPECT_EQ(vm.IntProperty(process, "CurrentState"), SERVICE_RUNNING);
  EXPECT_EQ(static_cast<DWORD>(vm.IntProperty(process, "ProcessId")), ProcessIdOf(L"fwtestsvc.exe"));
  ServiceStatus(200);
  ExpectNoException(vm);

  // Deleted while it runs: marked for deletion until it stops.
  vm.Call(FW_SERVICE(deleteNTService), self, Str(name));
  ExpectNoException(vm);
  vm.Call(FW_SERVICE(deleteNTService), self, Str(name));
  ExpectServiceException(vm, -120001, ErrorMessage(ERROR_SERVICE_MARKED_FOR_DELETE));
  ServiceStatus(SERVICE_CONTROL_STOP);
  ExpectNoException(vm);
  EXPECT_TRUE(Eventually([&] { return vm.Call(FW_SERVICE(serviceExists), self, Str(name)) == JNI_FALSE; })) << "gone once stopped";
  EXPECT_EQ(ReadBytes(record), "start \"first\" \"second arg\"\ncontrol 4\ncontrol 200\ncontrol 1\n");
}

// What Wine does not do, shown through substitutes of the functions the methods bind by name.
TEST_F(ServiceTest, WhatWineCannotShow) {
  // CreateServiceW as the system receives it: dependencies as a multi-string, the account rule.
  std::optional<std::wstring> display, user, password;
  std::wstring dependencies;  // each unit up to the final zero, followed by '|'
  DWORD type = 0;
  const auto text = [](LPCWSTR t) { return t != nullptr ? std::optional<std::wstring>(t) : std::nullopt; };
  auto create = SubstituteProcAddress(
      library.get(), FWTEST_IMPORT(CreateServiceW),
      [&](auto, SC_HANDLE, LPCWSTR, LPCWSTR sentDisplay, DWORD, DWORD sentType, DWORD, DWORD, LPCWSTR, LPCWSTR, LPDWORD,
          LPCWSTR sentDependencies, LPCWSTR sentUser, LPCWSTR sentPassword) -> SC_HANDLE {
        display = text(sentDisplay);
        user = text(sentUser);
        password = text(sentPassword);
        type = sentType;
        dependencies.clear();
        for (LPCWSTR p = sentDependencies; p != nullptr && *p != L'\0'; p += std::wcslen(p) + 1) dependencies += std::wstring(p) + L'|';
        SetLastError(ERROR_SERVICE_EXISTS);  // nothing is made
        return nullptr;
      });
  const struct {
    const char16_t *user, *password;
    std::optional<std::wstring> userSent, passwordSent;
  } accounts[] = {{u"", u"pw", std::nullopt, std::nullopt}, {u".\\installer", u"", L".\\installer", std::nullopt},
                  {u".\\installer", u"pw", L".\\installer", L"pw"}};
  for (const auto& a : accounts) {
    const jobject config = Config(u"x", 0x10, 3, 1, u"x.exe");
    vm.SetStringProperty(config, "UserName", a.user);
    vm.SetStringProperty(config, "Password", a.password);
    vm.SetBoolProperty(config, "EnableDesktopInteraction", true);
    vm.SetObjectProperty(config, "Dependencies", vm.StringArray({u"RpcSs", u"+Network"}));
    vm.Call(FW_SERVICE(createNTService), self, Str(name), config);
    ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
    EXPECT_EQ(user, a.userSent);
    EXPECT_EQ(password, a.passwordSent);
    EXPECT_EQ(dependencies, L"RpcSs|+Network|");
    EXPECT_EQ(type, 0x110u);
    EXPECT_EQ(display, L"x");
  }

  // Dependencies read back (Wine never returns them), from a configuration the system hands over.
  const SC_HANDLE anyService = reinterpret_cast<SC_HANDLE>(0x5e5);
  auto open = SubstituteProcAddress(library.get(), FWTEST_IMPORT(OpenServiceW), [anyService](auto, auto...) { return anyService; });
  auto close = SubstituteProcAddress(library.get(), FWTEST_IMPORT(CloseServiceHandle), [anyService](auto original, SC_HANDLE handle) {
    return handle == anyService ? TRUE : original(handle);
  });
  struct Stored {
    QUERY_SERVICE_CONFIGW config;
    wchar_t dependencies[8], user[12];
  };
  auto query = SubstituteProcAddress(
      library.get(), FWTEST_IMPORT(QueryServiceConfigW),
      [](auto, SC_HANDLE, LPQUERY_SERVICE_CONFIGW buffer, DWORD size, LPDWORD needed) -> BOOL {
        *needed = sizeof(Stored);
        if (size < sizeof(Stored)) {
          SetLastError(ERROR_INSUFFICIENT_BUFFER);
          return FALSE;
        }
        Stored* stored = reinterpret_cast<Stored*>(buffer);
        *stored = {{0x110, 0, 0, nullptr, nullptr, 0, stored->dependencies, stored->user, nullptr}, L"A\0BC\0", L"LocalSystem"};
        return TRUE;
      });
  const jobject read = vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(L"AnyService"));
  ExpectNoException(vm);
  EXPECT_EQ(vm.StringArrayValue(vm.ObjectProperty(read, "Dependencies")), (StringList{u"A", u"BC"}));
  EXPECT_EQ(vm.IntProperty(read, "ServiceType"), 0x10);
  EXPECT_TRUE(vm.BoolProperty(read, "EnableDesktopInteraction"));
  EXPECT_FALSE(vm.StringProperty(read, "Password"));

  // A list that grows between the two calls: exactly one retry, then the error.
  int calls = 0;
  auto enumerate = SubstituteProcAddress(library.get(), FWTEST_IMPORT(EnumServicesStatusW),
                                         [&calls](auto, auto, auto, auto, auto, auto, LPDWORD needed, auto, auto) -> BOOL {
                                           *needed = 1000 * static_cast<DWORD>(++calls);
                                           SetLastError(ERROR_MORE_DATA);
                                           return FALSE;
                                         });
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(enumNTServiceKeys), self, jint{SERVICE_WIN32}, jint{3})));
  ExpectServiceException(vm, -1200009, ErrorMessage(ERROR_MORE_DATA));
  EXPECT_EQ(calls, 2);

  // A getter the peer's class lacks: that setting is absent.
  const jobject shown = Config(u"shown", 0x10, 3, 1, u"x.exe");
  vm.HideMethod(kConfigClass, "getDisplayName");
  vm.Call(FW_SERVICE(createNTService), self, Str(name), shown);
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
  EXPECT_FALSE(display);
}

// Stands for what Wine drops: the failure actions a service keeps (level 2), and a real database
// lock. Records the order of the library's calls and whether SeShutdownPrivilege was on during
// each change.
class FailureActionsStore {
 public:
  explicit FailureActionsStore(HMODULE library) {
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(LockServiceDatabase), [this](auto, SC_HANDLE) {
      calls.push_back("lock");
      return reinterpret_cast<SC_LOCK>(0x10c);
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(UnlockServiceDatabase), [this](auto, SC_LOCK) {
      calls.push_back("unlock");
      return TRUE;
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(OpenServiceW), [this](auto original, auto... args) {
      calls.push_back("open");
      return original(args...);
    }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(ChangeServiceConfig2W),
                               [this](auto, SC_HANDLE, DWORD, LPVOID info) { return Change(static_cast<SERVICE_FAILURE_ACTIONSW*>(info)); }));
    Keep(SubstituteProcAddress(library, FWTEST_IMPORT(QueryServiceConfig2W),
                               [this](auto, SC_HANDLE, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed) {
                                 return Query(buffer, size, needed);
                               }));
  }

  std::vector<std::string> calls;
  std::vector<bool> shutdownPrivilegeHeld;
  DWORD resetPeriod = 0;
  std::optional<std::wstring> rebootMessage, command;  // as last sent: nullopt when not sent
  std::vector<SC_ACTION> actions;

 private:
  // The stored actions laid out as the system lays them out: the structure, then what it points to.
  struct Layout {
    SERVICE_FAILURE_ACTIONSW info;
    SC_ACTION actions[4];
    wchar_t rebootMessage[32], command[32];
  };

  template <typename T>
  void Keep(T&& patch) {
    patches_.push_back(std::make_shared<std::decay_t<T>>(std::forward<T>(patch)));
  }
  BOOL Change(const SERVICE_FAILURE_ACTIONSW* sent) {
    calls.push_back("change");
    shutdownPrivilegeHeld.push_back(ShutdownPrivilegeHeld());
    resetPeriod = sent->dwResetPeriod;
    rebootMessage = sent->lpRebootMsg != nullptr ? std::optional<std::wstring>(sent->lpRebootMsg) : std::nullopt;
    command = sent->lpCommand != nullptr ? std::optional<std::wstring>(sent->lpCommand) : std::nullopt;
    if (sent->lpsaActions != nullptr) actions.assign(sent->lpsaActions, sent->lpsaActions + sent->cActions);
    return TRUE;
  }
  BOOL Query(LPBYTE buffer, DWORD size, LPDWORD needed) {
    *needed = sizeof(Layout);
    if (size < sizeof(Layout)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    auto* out = reinterpret_cast<Layout*>(buffer);
    *out = {};
    std::copy(actions.begin(), actions.end(), out->actions);
    rebootMessage.value_or(L"").copy(out->rebootMessage, 31);
    command.value_or(L"").copy(out->command, 31);
    out->info = {resetPeriod, out->rebootMessage, out->command, static_cast<DWORD>(actions.size()),
                 actions.empty() ? nullptr : out->actions};
    return TRUE;
  }
  static bool ShutdownPrivilegeHeld() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    PRIVILEGE_SET wanted = {1, PRIVILEGE_SET_ALL_NECESSARY, {}};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &wanted.Privilege[0].Luid);
    BOOL held = FALSE;
    PrivilegeCheck(token, &wanted, &held);
    CloseHandle(token);
    return held != FALSE;
  }

  std::vector<std::shared_ptr<void>> patches_;
};

TEST_F(ServiceTest, FailureActionsRoundTripUnderTheDatabaseLock) {
  vm.Call(FW_SERVICE(createNTService), self, Str(name), Config(u"Fernwick Actions", 0x10, 3, 1, U16(L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" x")));
  ExpectNoException(vm);
  FailureActionsStore store(library.get());
  // Restart, reboot, run a command, and a type no Windows knows (sent as SC_ACTION_NONE).
  const jint types[] = {1, 2, 3, 7};
  const jobject actions = vm.NewPeer(kFailureActionsClass);
  vm.SetIntProperty(actions, "ResetPeriod", 86400);
  vm.SetStringProperty(actions, "RebootMsg", u"Restarting for Fernwick");
  vm.SetStringProperty(actions, "Command", u"");
  vm.SetIntProperty(actions, "ActionCount", 4);
  for (jint i = 0; i < 4; ++i) {
    const jobject action = vm.NewPeer("com/fernwick/wizard/platform/win32/win32service/Win2kSCAction");
    vm.SetIntProperty(action, "ActionType", types[i]);
    vm.SetIntProperty(action, "Delay", 1000 * (i + 1));
    vm.SetObjectProperty(actions, "ActionAt[" + std::to_string(i) + "]", action);
  }
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), actions);
  ExpectNoException(vm);
  EXPECT_EQ(store.calls, (std::vector<std::string>{"lock", "open", "change", "unlock"}));
  // Windows 9x has no privileges: nothing is enabled there.
  const bool privileges = !fw::IsWindows9x();
  EXPECT_EQ(store.shutdownPrivilegeHeld, std::vector<bool>{privileges});
  EXPECT_EQ(store.command, L"") << "\"\" is sent, which removes the command";
  ASSERT_EQ(store.actions.size(), 4u);
  EXPECT_EQ(store.actions[3].Type, SC_ACTION_NONE);

  const jobject read = vm.Call(FW_SERVICE(queryWin2kServiceFailureActions), self, Str(name));
  ExpectNoException(vm);
  EXPECT_EQ(vm.IntProperty(read, "ResetPeriod"), 86400);
  EXPECT_EQ(vm.StringProperty(read, "RebootMsg"), u"Restarting for Fernwick");
  const std::vector<jobject> added = vm.ListProperty(read, "Action");
  ASSERT_EQ(added.size(), 4u);
  for (std::size_t i = 0; i < added.size(); ++i) {  // each made with its (type, delay) constructor
    EXPECT_EQ(vm.ConstructorDescriptor(added[i]), "(II)V");
    EXPECT_EQ(vm.IntArgument(added[i], 0), i < 3 ? types[i] : 0);
    EXPECT_EQ(vm.IntArgument(added[i], 1), 1000 * static_cast<jlong>(i + 1));
  }

  // No actions: a null action pointer keeps the service's; the texts absent stay as they are, and
  // without a reboot action the privilege is not touched.
  const jobject none = vm.NewPeer(kFailureActionsClass);
  vm.SetIntProperty(none, "ResetPeriod", 60);
  vm.SetIntProperty(none, "ActionCount", 0);
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), none);
  ExpectNoException(vm);
  EXPECT_EQ(store.actions.size(), 4u);
  EXPECT_FALSE(store.rebootMessage || store.command);
  EXPECT_EQ(store.shutdownPrivilegeHeld, (std::vector<bool>{privileges, false}));
  // A count below zero has no meaning: an argument error, with the lock given back all the same.
  vm.SetIntProperty(none, "ActionCount", -1);
  store.calls.clear();
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), none);
  ExpectServiceException(vm, -1200013, ErrorMessage(ERROR_BAD_ARGUMENTS));
  EXPECT_EQ(store.calls, (std::vector<std::string>{"lock", "open", "unlock"}));
}

TEST_F(ServiceTest, ShortPathsAndVersionInformation) {
  const std::wstring longPath = folder / L"a long folder name\\a long file name.text";
  MakeFolder(folder / L"a long folder name");
  WriteBytes(longPath, "no version here");
  const auto shortPath = vm.StringValue(vm.Call(FW_SERVICE(getShortPath), self, Str(longPath)));
  ASSERT_TRUE(shortPath);
  const std::wstring text(shortPath->begin(), shortPath->end());
  wchar_t back[MAX_PATH] = {};
  GetLongPathNameW(text.c_str(), back, MAX_PATH);
  EXPECT_EQ(std::wstring(back), longPath);
  // Wine's short names are hashed: the last two levels are checked for the 8.3 shape only.
  const std::wstring lastTwo = text.substr(text.rfind(L'\\', text.rfind(L'\\') - 1) + 1);
  EXPECT_TRUE(lastTwo.find(L' ') == std::wstring::npos && lastTwo.size() <= 8 + 1 + 8 + 4)
      << "short form " << std::string(text.begin(), text.end());

  const jobject info = vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(ProgramFolder() + L"\\fwtestsvc.exe"));
  ASSERT_FALSE(vm.IsNull(info));
  EXPECT_EQ(static_cast<DWORD>(vm.IntProperty(info, "Signature")), 0xFEEF04BDu);
  EXPECT_EQ(vm.IntProperty(info, "FileVersionMS"), 0x00010002);
  EXPECT_EQ(vm.IntProperty(info, "FileVersionLS"), 0x00030004);
  EXPECT_EQ(vm.IntProperty(info, "ProductVersionMS"), 0x00050006);
  EXPECT_EQ(vm.IntProperty(info, "ProductVersionLS"), 0x00070008);
  EXPECT_EQ(vm.IntProperty(info, "FileType"), VFT_APP);
  // Never an exception: a file without version information, and a missing one, give null.
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(longPath))));
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(folder / L"missing.dll"))));
  ExpectNoException(vm);
}

}  // namespace
}  // namespace fwtest
