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

// The text as a JSON string, without its quotes.
std::string JsonText(const std::wstring& text) {
  const std::string quoted = Json::String(U16(text)).Write();
  return quoted.substr(1, quoted.size() - 2);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

// A failing call of each method is the call-site sweep's, a bad value of each argument the
// bad-input sweep's (a null peer included); here, what they cannot see: an empty or null name is
// refused with ERROR_BAD_ARGUMENTS before anything is asked.
TEST_F(ServiceTest, EveryMethodChecksItsArguments) {
  const struct {
    jint code;
    std::function<void(jstring)> call;
  } cases[] = {
      {-120000, [&](jstring n) { vm.Call(FW_SERVICE(createNTService), self, n, Peer(kConfigClass, R"({"command": "x.exe"})")); }},
      {-120004, [&](jstring n) { vm.Call(FW_SERVICE(changeNTServiceConfig), self, n, Peer(kConfigClass, R"({"startType": -1})")); }},
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
  const std::wstring display = L"Fernwick Test Service " + std::to_wstring(GetCurrentProcessId());
  const std::string command = JsonText(L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" \"" + record + L"\"");
  // Own process (0x10) with desktop interaction, demand start (3), normal error control (1); read
  // back in the order of the names.
  const std::string shown = R"("displayName": ")" + JsonText(display) + R"(", "enableDesktopInteraction": true, "errorControl": 1, )";
  const std::string given = R"({"command": ")" + command + "\", " + shown + R"("serviceType": 16, "startType": 3})";
  vm.Call(FW_SERVICE(createNTService), self, Str(name), Peer(kConfigClass, given));
  ExpectNoException(vm);
  vm.Call(FW_SERVICE(createNTService), self, Str(name), Peer(kConfigClass, given));
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(name)), JNI_TRUE);
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(kMissing)), JNI_FALSE);

  const std::string stored = R"({"command": ")" + command + R"(", "dependencies": [], )" + shown +
                             R"("loadOrderGroup": "", "password": null, "serviceType": 16, "startType": 3, "userName": "LocalSystem"})";
  EXPECT_EQ(JsonOf(vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(name))), stored);
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
  const std::string unchanged = R"({"serviceType": -1, "errorControl": -1, "startType": )";
  vm.Call(FW_SERVICE(changeNTServiceConfig), self, Str(name), Peer(kConfigClass, unchanged + "4}"));
  ExpectNoException(vm);
  EXPECT_EQ(JsonOf(vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(name))), Replaced(stored, "\"startType\": 3", "\"startType\": 4"));
  vm.Call(FW_SERVICE(startNTService), self, Str(name), jobjectArray{nullptr});
  ExpectServiceException(vm, -120002, ErrorMessage(ERROR_SERVICE_DISABLED));
  vm.Call(FW_SERVICE(changeNTServiceConfig), self, Str(name), Peer(kConfigClass, unchanged + "3}"));
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
  // Running (4), accepting stop (1); the status keeps the interaction bit (0x110).
  const std::string running = R"({"checkPoint": 0, "controlsAccepted": 1, "currentState": 4, "serviceSpecificExitCode": 0, "serviceType": 272, "waitHint": 0, "win32ExitCode": 0})";
  EXPECT_EQ(JsonOf(ServiceStatus(SERVICE_CONTROL_INTERROGATE)), running);
  EXPECT_EQ(JsonOf(vm.Call(FW_SERVICE(queryWin2kServiceStatusProcess), self, Str(name))),
            Replaced(running, "\"service", "\"processId\": " + std::to_string(ProcessIdOf(L"fwtestsvc.exe")) + ", \"serviceFlags\": 0, \"service"));
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
  // CreateServiceW as the system receives it: display name, type, the dependencies as a
  // multi-string (each unit followed by '|'), and the account rule.
  std::wstring sent;
  const auto text = [](LPCWSTR t) { return t != nullptr ? std::wstring(t) : std::wstring(L"(null)"); };
  auto create = SubstituteProcAddress(
      library.get(), FWTEST_IMPORT(CreateServiceW),
      [&](auto, SC_HANDLE, LPCWSTR, LPCWSTR display, DWORD, DWORD type, DWORD, DWORD, LPCWSTR, LPCWSTR, LPDWORD,
          LPCWSTR dependencies, LPCWSTR user, LPCWSTR password) -> SC_HANDLE {
        sent = text(display) + L" " + std::to_wstring(type) + L" ";
        for (LPCWSTR p = dependencies; p != nullptr && *p != L'\0'; p += std::wcslen(p) + 1) sent += std::wstring(p) + L'|';
        sent += L" " + text(user) + L" " + text(password);
        SetLastError(ERROR_SERVICE_EXISTS);  // nothing is made
        return nullptr;
      });
  const struct {
    const char* account;
    std::wstring sent;
  } accounts[] = {{R"("userName": "", "password": "pw")", L"x 272 RpcSs|+Network| (null) (null)"},
                  {R"("userName": ".\\installer", "password": "")", L"x 272 RpcSs|+Network| .\\installer (null)"},
                  {R"("userName": ".\\installer", "password": "pw")", L"x 272 RpcSs|+Network| .\\installer pw"}};
  for (const auto& a : accounts) {
    vm.Call(FW_SERVICE(createNTService), self, Str(name),
            Peer(kConfigClass, R"({"displayName": "x", "serviceType": 16, "enableDesktopInteraction": true, "dependencies": ["RpcSs", "+Network"], )" +
                                   std::string(a.account) + "}"));
    ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
    EXPECT_EQ(sent, a.sent);
  }
  // A getter the peer's class lacks: that setting is absent.
  const jobject shown = Peer(kConfigClass, R"({"displayName": "shown", "command": "x.exe"})");
  vm.HideMethod(kConfigClass, "getDisplayName");
  vm.Call(FW_SERVICE(createNTService), self, Str(name), shown);
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
  EXPECT_EQ(sent.substr(0, 7), L"(null) ");

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
  EXPECT_EQ(JsonOf(vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(L"AnyService"))),
            R"({"command": null, "dependencies": ["A", "BC"], "displayName": null, "enableDesktopInteraction": true, "errorControl": 0, "loadOrderGroup": null, "password": null, "serviceType": 16, "startType": 0, "userName": "LocalSystem"})");

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
  const std::string command = JsonText(L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" x");
  vm.Call(FW_SERVICE(createNTService), self, Str(name), Peer(kConfigClass, R"({"serviceType": 16, "startType": 3, "errorControl": 1, "command": ")" + command + "\"}"));
  ExpectNoException(vm);
  FailureActionsStore store(library.get());
  // Restart, reboot, run a command, and a type no Windows knows (sent as SC_ACTION_NONE).
  const std::string actions = R"("actions": [{"actionType": 1, "delay": 1000}, {"actionType": 2, "delay": 2000}, {"actionType": 3, "delay": 3000}, {"actionType": )";
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name),
          Peer(kFailureActionsClass, R"({"resetPeriod": 86400, "rebootMsg": "Restarting for Fernwick", "command": "", )" + actions + R"(7, "delay": 4000}]})"));
  ExpectNoException(vm);
  EXPECT_EQ(store.calls, (std::vector<std::string>{"lock", "open", "change", "unlock"}));
  // Windows 9x has no privileges: nothing is enabled there.
  const bool privileges = !fw::IsWindows9x();
  EXPECT_EQ(store.shutdownPrivilegeHeld, std::vector<bool>{privileges});
  EXPECT_EQ(store.command, L"") << "\"\" is sent, which removes the command";
  EXPECT_EQ(JsonOf(vm.Call(FW_SERVICE(queryWin2kServiceFailureActions), self, Str(name))),
            R"({"command": "", "rebootMsg": "Restarting for Fernwick", "resetPeriod": 86400, )" + actions + R"(0, "delay": 4000}]})");
  ExpectNoException(vm);

  // No actions: a null action pointer keeps the service's; the texts absent stay as they are, and
  // without a reboot action the privilege is not touched.
  const jobject none = Peer(kFailureActionsClass, R"({"resetPeriod": 60, "actions": []})");
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

  // Version 1.2.3.4, product 5.6.7.8, an NT program (0x40004) and an application (1), as
  // fwtestsvc.rc gives them; the signature 0xFEEF04BD.
  EXPECT_EQ(JsonOf(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(ProgramFolder() + L"\\fwtestsvc.exe"))),
            R"({"fileDateLS": 0, "fileDateMS": 0, "fileFlags": 0, "fileFlagsMask": 0, "fileOS": 262148, "fileSubtype": 0, "fileType": 1, "fileVersionLS": 196612, "fileVersionMS": 65538, "productVersionLS": 458760, "productVersionMS": 327686, "signature": -17890115, "strucVersion": 65536})");
  // Never an exception: a file without version information, and a missing one, give null.
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(longPath))));
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(folder / L"missing.dll"))));
  ExpectNoException(vm);
}

}  // namespace
}  // namespace fwtest
