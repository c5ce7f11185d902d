// Win32ServiceImpl through the built DLL: the argument checks of every method, a real service
// (tests/service, fwtestsvc.exe) from creation to deletion under Wine's service control manager,
// substitutes for what Wine does not keep (dependencies, failure actions, the database lock), and
// the two file methods: short paths and version information.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bridge/platform.h"
#include "support/hidden_proc_addresses.h"
#include "support/program_folder.h"
#include "support/substituted_proc_address.h"
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

// A failing call of each method is the call-site sweep's, a bad value of each argument the
// bad-input sweep's (a null peer included); here, what they cannot see: an empty or null name is
// refused with ERROR_BAD_ARGUMENTS before anything is asked.
TEST_F(ServiceTest, EveryMethodChecksItsArguments) {
  const std::pair<const char*, jint> methods[] = {
      {R"(createNTService {N} {"command": "x.exe"})", -120000}, {R"(changeNTServiceConfig {N} {"startType": -1})", -120004},
      {"queryNTServiceConfig {N}", -1200005}, {"queryNTServiceStatus {N}", -1200006},
      {"queryWin2kServiceFailureActions {N}", -1200010}, {"changeWin2kServiceFailureActions {N} {}", -1200013},
      {"queryWin2kServiceDescription {N}", -1200011}, {"changeWin2kServiceDescription {N} text", -1200012},
      {"queryWin2kServiceStatusProcess {N}", -1200014}};
  for (const auto& [line, code] : methods) {
    for (const char* empty : {"\"\"", "null"}) EXPECT_EQ(Answer(Replaced(line, "{N}", empty)), Thrown(code, ERROR_BAD_ARGUMENTS)) << line;
  }
  // A description that cannot be read is null, silently.
  EXPECT_EQ(Answer("queryWin2kServiceDescription FwNoSuchService"), "null");
  // Without the manager's own function nothing can be asked and nothing is reported.
  HiddenProcAddresses noManager(library(), {"OpenSCManagerW"});
  EXPECT_EQ(Answer("serviceExists FwNoSuchService"), "false");
  EXPECT_EQ(Answer("deleteNTService FwNoSuchService"), "null");
}

TEST_F(ServiceTest, ARealServiceFromCreationToDeletion) {
  const std::wstring record = folder / L"record.txt";
  const std::string command = JsonText(L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" \"" + record + L"\"");
  // Own process (0x10) with desktop interaction, demand start (3), normal error control (1); read
  // back in the order of the names.
  const std::string shown = R"("displayName": "Fernwick Test {S}", "enableDesktopInteraction": true, "errorControl": 1, )";
  const std::string given = R"({"command": ")" + command + "\", " + shown + R"("serviceType": 16, "startType": 3})";
  const std::string stored = R"({"command": ")" + command + R"(", "dependencies": [], )" + shown +
                             R"("loadOrderGroup": "", "password": null, "serviceType": 16, "startType": 3, "userName": "LocalSystem"})";
  // Only what is set changes: disabled (4), then demand start again, everything else left as it is.
  const std::string unchanged = R"({"serviceType": -1, "errorControl": -1, "startType": )";
  const auto expect = [this](const std::vector<std::pair<std::string, std::string>>& answers) {
    for (const auto& [line, answer] : answers) EXPECT_EQ(Answer(line), Replaced(answer, "{S}", Narrow(name))) << line;
  };
  expect({{"createNTService {S} " + given, "null"},
          {"createNTService {S} " + given, Thrown(-120000, ERROR_SERVICE_EXISTS)},
          {"serviceExists {S}", "true"},
          {"serviceExists FwNoSuchService", "false"},
          {"queryNTServiceConfig {S}", stored},
          {"getNTServiceDisplayName {S}", R"("Fernwick Test {S}")"},
          {"getNTServiceKeyName \"Fernwick Test {S}\"", R"("{S}")"},
          {"changeWin2kServiceDescription {S} \"Keeps the product running\"", "null"},
          {"queryWin2kServiceDescription {S}", R"("Keeps the product running")"},
          {"changeWin2kServiceDescription {S} null", "null"},  // removes it
          {"queryWin2kServiceDescription {S}", "null"},
          {"changeNTServiceConfig {S} " + unchanged + "4}", "null"},
          {"queryNTServiceConfig {S}", Replaced(stored, "\"startType\": 3", "\"startType\": 4")},
          {"startNTService {S} null", Thrown(-120002, ERROR_SERVICE_DISABLED)},
          {"changeNTServiceConfig {S} " + unchanged + "3}", "null"},
          {"controlNTService {S} 1", Thrown(-120003, ERROR_SERVICE_NOT_ACTIVE)}});
  const std::string keys = Answer("enumNTServiceKeys 48 3"), listed = "\"" + Narrow(name) + "\"";
  EXPECT_NE(keys.find(listed), std::string::npos) << keys;
  EXPECT_EQ(keys.find(listed), keys.rfind(listed)) << "listed once: " << keys;

  // The one start: arguments, controls (a user-defined one included), the start refused twice.
  EXPECT_EQ(Answer(R"(startNTService {S} ["first", "second arg"])"), "null");
  ASSERT_TRUE(Eventually([&] { return Answer("queryNTServiceStatus {S}").find("\"currentState\": 4") != std::string::npos; }));
  // Running (4), accepting stop (1); the status keeps the interaction bit (0x110).
  const std::string running = R"({"checkPoint": 0, "controlsAccepted": 1, "currentState": 4, "serviceSpecificExitCode": 0, "serviceType": 272, "waitHint": 0, "win32ExitCode": 0})";
  expect({{"startNTService {S} null", Thrown(-120002, ERROR_SERVICE_ALREADY_RUNNING)},
          {"controlNTService {S} 4", running},
          {"queryWin2kServiceStatusProcess {S}",
           Replaced(running, "\"serviceSpecific", "\"processId\": " + std::to_string(ProcessIdOf(L"fwtestsvc.exe")) + ", \"serviceFlags\": 0, \"serviceSpecific")},
          {"controlNTService {S} 200", running},
          // Deleted while it runs: marked for deletion until it stops.
          {"deleteNTService {S}", "null"},
          {"deleteNTService {S}", Thrown(-120001, ERROR_SERVICE_MARKED_FOR_DELETE)}});
  EXPECT_EQ(Answer("controlNTService {S} 1").find("exception"), std::string::npos);
  EXPECT_TRUE(Eventually([&] { return Answer("serviceExists {S}") == "false"; })) << "gone once stopped";
  EXPECT_EQ(ReadBytes(record), "start \"first\" \"second arg\"\ncontrol 4\ncontrol 200\ncontrol 1\n");
}

// What Wine does not do, shown through substitutes of the functions the methods bind by name.
TEST_F(ServiceTest, WhatWineCannotShow) {
  // A service whose configuration is read below.
  EXPECT_EQ(Answer(R"(createNTService {S} {"serviceType": 16, "startType": 3, "errorControl": 1, "command": "x.exe"})"), "null");
  // CreateServiceW as the system receives it: display name, type, the dependencies as a
  // multi-string (each unit followed by '|'), and the account rule.
  std::wstring sent;
  const auto text = [](LPCWSTR t) { return t != nullptr ? std::wstring(t) : std::wstring(L"(null)"); };
  auto create = SubstituteProcAddress(
      library(), FWTEST_IMPORT(CreateServiceW),
      [&](auto, SC_HANDLE, LPCWSTR, LPCWSTR display, DWORD, DWORD type, DWORD, DWORD, LPCWSTR, LPCWSTR, LPDWORD,
          LPCWSTR dependencies, LPCWSTR user, LPCWSTR password) -> SC_HANDLE {
        sent = text(display) + L" " + std::to_wstring(type) + L" ";
        for (LPCWSTR p = dependencies; p != nullptr && *p != L'\0'; p += std::wcslen(p) + 1) sent += std::wstring(p) + L'|';
        sent += L" " + text(user) + L" " + text(password);
        SetLastError(ERROR_SERVICE_EXISTS);  // nothing is made
        return nullptr;
      });
  const std::pair<const char*, std::wstring> accounts[] = {
      {R"("userName": "", "password": "pw")", L"x 272 RpcSs|+Network| (null) (null)"},
      {R"("userName": ".\\installer", "password": "")", L"x 272 RpcSs|+Network| .\\installer (null)"},
      {R"("userName": ".\\installer", "password": "pw")", L"x 272 RpcSs|+Network| .\\installer pw"}};
  for (const auto& [account, expected] : accounts) {
    EXPECT_EQ(Answer(R"(createNTService {S} {"displayName": "x", "serviceType": 16, "enableDesktopInteraction": true, "dependencies": ["RpcSs", "+Network"], )" +
                     std::string(account) + "}"),
              Thrown(-120000, ERROR_SERVICE_EXISTS));
    EXPECT_EQ(sent, expected);
  }
  // A getter the peer's class lacks: that setting is absent.
  const auto noDisplayName = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>&) {
    vm.HideMethod("com/fernwick/wizard/platform/win32/win32service/NTServiceConfig", "getDisplayName");
  };
  EXPECT_EQ(Answer(R"(createNTService {S} {"displayName": "shown", "command": "x.exe"})", noDisplayName), Thrown(-120000, ERROR_SERVICE_EXISTS));
  EXPECT_EQ(sent.substr(0, 7), L"(null) ");

  // Dependencies read back (Wine never returns them), from a configuration the system hands over.
  // The strings may lie outside the buffer: the library reads them through the pointers.
  auto query = SubstituteProcAddress(
      library(), FWTEST_IMPORT(QueryServiceConfigW),
      [](auto, SC_HANDLE, LPQUERY_SERVICE_CONFIGW buffer, DWORD size, LPDWORD needed) -> BOOL {
        static wchar_t dependencies[] = L"A\0BC\0", user[] = L"LocalSystem";
        *needed = sizeof(QUERY_SERVICE_CONFIGW);
        if (size < *needed) {
          SetLastError(ERROR_INSUFFICIENT_BUFFER);
          return FALSE;
        }
        *buffer = {0x110, 0, 0, nullptr, nullptr, 0, dependencies, user, nullptr};
        return TRUE;
      });
  EXPECT_EQ(Answer("queryNTServiceConfig {S}"),
            R"({"command": null, "dependencies": ["A", "BC"], "displayName": null, "enableDesktopInteraction": true, "errorControl": 0, "loadOrderGroup": null, "password": null, "serviceType": 16, "startType": 0, "userName": "LocalSystem"})");

  // A list that grows between the two calls: exactly one retry, then the error.
  int asked = 0;
  auto enumerate = SubstituteProcAddress(library(), FWTEST_IMPORT(EnumServicesStatusW),
                                         [&asked](auto, auto, auto, auto, auto, auto, LPDWORD needed, auto, auto) -> BOOL {
                                           *needed = 1000 * static_cast<DWORD>(++asked);
                                           SetLastError(ERROR_MORE_DATA);
                                           return FALSE;
                                         });
  EXPECT_EQ(Answer("enumNTServiceKeys 48 3"), Thrown(-1200009, ERROR_MORE_DATA));
  EXPECT_EQ(asked, 2);
}

bool ShutdownPrivilegeHeld() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  PRIVILEGE_SET wanted = {1, PRIVILEGE_SET_ALL_NECESSARY, {}};
  LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &wanted.Privilege[0].Luid);
  BOOL held = FALSE;
  PrivilegeCheck(token, &wanted, &held);
  CloseHandle(token);
  return held != FALSE;
}

TEST_F(ServiceTest, FailureActionsRoundTripUnderTheDatabaseLock) {
  const std::string program = JsonText(L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" x");
  EXPECT_EQ(Answer(R"(createNTService {S} {"serviceType": 16, "startType": 3, "errorControl": 1, "command": ")" + program + "\"}"), "null");
  // Substitutes for what Wine drops: the failure actions a service keeps (level 2), and a real
  // database lock. They record the order of the library's calls, each change with whether
  // SeShutdownPrivilege was on during it.
  std::vector<std::string> order;
  auto lock = SubstituteProcAddress(library(), FWTEST_IMPORT(LockServiceDatabase), [&](auto, SC_HANDLE) {
    order.push_back("lock");
    return reinterpret_cast<SC_LOCK>(0x10c);
  });
  auto unlock = SubstituteProcAddress(library(), FWTEST_IMPORT(UnlockServiceDatabase), [&](auto, SC_LOCK) {
    order.push_back("unlock");
    return TRUE;
  });
  auto open = SubstituteProcAddress(library(), FWTEST_IMPORT(OpenServiceW), [&](auto original, auto... args) {
    order.push_back("open");
    return original(args...);
  });
  SERVICE_FAILURE_ACTIONSW stored = {};
  std::optional<std::wstring> rebootMessage, command;  // as last sent: nullopt when not sent
  std::vector<SC_ACTION> actions;
  auto change = SubstituteProcAddress(library(), FWTEST_IMPORT(ChangeServiceConfig2W), [&](auto, SC_HANDLE, DWORD, LPVOID info) {
    const auto* sent = static_cast<SERVICE_FAILURE_ACTIONSW*>(info);
    order.push_back(ShutdownPrivilegeHeld() ? "change, privileged" : "change");
    stored.dwResetPeriod = sent->dwResetPeriod;
    rebootMessage = sent->lpRebootMsg != nullptr ? std::optional<std::wstring>(sent->lpRebootMsg) : std::nullopt;
    command = sent->lpCommand != nullptr ? std::optional<std::wstring>(sent->lpCommand) : std::nullopt;
    if (sent->lpsaActions != nullptr) actions.assign(sent->lpsaActions, sent->lpsaActions + sent->cActions);
    return TRUE;
  });
  // The texts and actions stay the test's: the library reads them through the pointers.
  std::wstring texts[2];
  auto query = SubstituteProcAddress(library(), FWTEST_IMPORT(QueryServiceConfig2W),
                                     [&](auto, SC_HANDLE, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed) -> BOOL {
                                       *needed = sizeof(SERVICE_FAILURE_ACTIONSW);
                                       if (size < *needed) {
                                         SetLastError(ERROR_INSUFFICIENT_BUFFER);
                                         return FALSE;
                                       }
                                       texts[0] = rebootMessage.value_or(L"");
                                       texts[1] = command.value_or(L"");
                                       stored = {stored.dwResetPeriod, texts[0].data(), texts[1].data(), static_cast<DWORD>(actions.size()),
                                                 actions.empty() ? nullptr : actions.data()};
                                       *reinterpret_cast<SERVICE_FAILURE_ACTIONSW*>(buffer) = stored;
                                       return TRUE;
                                     });
  // Restart, reboot, run a command, and a type no Windows knows (sent as SC_ACTION_NONE).
  const std::string sent = R"("actions": [{"actionType": 1, "delay": 1000}, {"actionType": 2, "delay": 2000}, {"actionType": 3, "delay": 3000}, {"actionType": )";
  EXPECT_EQ(Answer(R"(changeWin2kServiceFailureActions {S} {"resetPeriod": 86400, "rebootMsg": "Restarting for Fernwick", "command": "", )" +
                   sent + R"(7, "delay": 4000}]})"),
            "null");
  // Windows 9x has no privileges: nothing is enabled there.
  EXPECT_EQ(order, (std::vector<std::string>{"lock", "open", fw::IsWindows9x() ? "change" : "change, privileged", "unlock"}));
  EXPECT_EQ(command, L"") << "\"\" is sent, which removes the command";
  EXPECT_EQ(Answer("queryWin2kServiceFailureActions {S}"),
            R"({"command": "", "rebootMsg": "Restarting for Fernwick", "resetPeriod": 86400, )" + sent + R"(0, "delay": 4000}]})");

  // No actions: a null action pointer keeps the service's; the texts absent stay as they are, and
  // without a reboot action the privilege is not touched.
  const std::string none = R"(changeWin2kServiceFailureActions {S} {"resetPeriod": 60, "actions": []})";
  order.clear();
  EXPECT_EQ(Answer(none), "null");
  EXPECT_EQ(actions.size(), 4u);
  EXPECT_FALSE(rebootMessage || command);
  EXPECT_EQ(order, (std::vector<std::string>{"lock", "open", "change", "unlock"}));
  // A count below zero has no meaning: an argument error, with the lock given back all the same.
  order.clear();
  const auto negative = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>& args) { vm.SetIntProperty(args[1].l, "ActionCount", -1); };
  EXPECT_EQ(Answer(none, negative), Thrown(-1200013, ERROR_BAD_ARGUMENTS));
  EXPECT_EQ(order, (std::vector<std::string>{"lock", "open", "unlock"}));
}

TEST_F(ServiceTest, ShortPathsAndVersionInformation) {
  const std::wstring longPath = folder / L"a long folder name\\a long file name.text";
  MakeFolder(folder / L"a long folder name");
  WriteBytes(longPath, "no version here");
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameW(longPath.c_str(), shortPath, MAX_PATH), 0u);
  EXPECT_EQ(Answer("getShortPath \"" + Narrow(longPath) + "\""), Json::String(U16(shortPath)).Write());

  // Version 1.2.3.4, product 5.6.7.8, an NT program (0x40004) and an application (1), as
  // fwtestsvc.rc gives them; the signature 0xFEEF04BD. Never an exception: a file without version
  // information, and a missing one, give null.
  EXPECT_EQ(Answer("getFixedFileInfo \"" + Narrow(ProgramFolder()) + "\\fwtestsvc.exe\""),
            R"({"fileDateLS": 0, "fileDateMS": 0, "fileFlags": 0, "fileFlagsMask": 0, "fileOS": 262148, "fileSubtype": 0, "fileType": 1, "fileVersionLS": 196612, "fileVersionMS": 65538, "productVersionLS": 458760, "productVersionMS": 327686, "signature": -17890115, "strucVersion": 65536})");
  EXPECT_EQ(Answer("getFixedFileInfo \"" + Narrow(longPath) + "\""), "null");
  EXPECT_EQ(Answer("getFixedFileInfo \"" + Narrow(folder / L"missing.dll") + "\""), "null");
}

}  // namespace
}  // namespace fwtest
