// Win32ServiceImpl through the built DLL: a real service (tests/service) under Wine's service control
// manager, the two file methods, and substitutes for what Wine does not keep.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bridge/platform.h"
#include "support/fake_import.h"
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

TEST_F(ServiceTest, ARealServiceFromCreationToDeletion) {
  const std::wstring record = folder / L"record.txt";
  const std::string quoted = Json::String(U16(L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" \"" + record + L"\"")).Write();
  const std::string command = quoted.substr(1, quoted.size() - 2);  // the command line as JSON text
  // Own process (0x10) with desktop interaction, demand start (3), normal error control (1).
  const std::string shown = R"("displayName": "Fernwick Test {S}", "enableDesktopInteraction": true, "errorControl": 1, )";
  const std::string given = R"({"command": ")" + command + "\", " + shown + R"("serviceType": 16, "startType": 3})";
  const std::string stored = R"({"command": ")" + command + R"(", "dependencies": [], )" + shown +
                             R"("loadOrderGroup": "", "password": null, "serviceType": 16, "startType": 3, "userName": "LocalSystem"})";
  // Only what is set changes: disabled (4), then demand start again.
  const std::string unchanged = R"({"serviceType": -1, "errorControl": -1, "startType": )";
  // A long name's short form, and the version fwtestsvc.rc gives; a file without one gives null.
  const std::wstring longPath = folder / L"a long file name.text";
  WriteBytes(longPath, "no version here");
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameW(longPath.c_str(), shortPath, MAX_PATH), 0u);
  const auto expect = [this](const std::vector<std::pair<std::string, std::string>>& answers) {
    for (const auto& [line, answer] : answers) EXPECT_EQ(Answer(line), Replaced(answer, "{S}", Narrow(name))) << line;
  };
  expect({{"getShortPath \"" + Narrow(longPath) + "\"", Json::String(U16(shortPath)).Write()},
          {"getFixedFileInfo \"" + Narrow(ProgramFolder()) + "\\fwtestsvc.exe\"",
           R"({"fileDateLS": 0, "fileDateMS": 0, "fileFlags": 0, "fileFlagsMask": 0, "fileOS": 262148, "fileSubtype": 0, "fileType": 1, "fileVersionLS": 196612, "fileVersionMS": 65538, "productVersionLS": 458760, "productVersionMS": 327686, "signature": -17890115, "strucVersion": 65536})"},
          {"getFixedFileInfo \"" + Narrow(longPath) + "\"", "null"},
          {"createNTService {S} " + given, "null"},
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

  // The one start: arguments, controls (a user-defined one included).
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

// A variable-length query's answer of `value` alone, by the two-call pattern; or, `atOnce`, a first
// call that already works with nothing to give, leaving a stale "insufficient buffer" behind.
template <typename T>
BOOL AnswerQuery(void* buffer, DWORD size, LPDWORD needed, const T& value, bool atOnce = false) {
  *needed = sizeof(T);
  if (size < sizeof(T)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return atOnce;
  }
  *static_cast<T*>(buffer) = value;
  return TRUE;
}

// Failing calls and bad values are the sweeps'. What they cannot see: an empty or null name is refused
// before anything is asked, and without the manager's own function nothing is asked or reported.
// What Wine does not do is shown through substitutes, on a service every Wine prefix has.
TEST_F(ServiceTest, WhatNeitherTheSweepsNorWineShow) {
  const std::pair<const char*, jint> methods[] = {
      {R"(createNTService {N} {"command": "x.exe"})", -120000}, {R"(changeNTServiceConfig {N} {"startType": -1})", -120004},
      {"queryNTServiceConfig {N}", -1200005}, {"queryNTServiceStatus {N}", -1200006},
      {"queryWin2kServiceFailureActions {N}", -1200010}, {"changeWin2kServiceFailureActions {N} {}", -1200013},
      {"queryWin2kServiceDescription {N}", -1200011}, {"changeWin2kServiceDescription {N} text", -1200012},
      {"queryWin2kServiceStatusProcess {N}", -1200014}};
  for (const auto& [line, code] : methods) {
    for (const char* empty : {"\"\"", "null"}) EXPECT_EQ(Answer(Replaced(line, "{N}", empty)), Thrown(code, ERROR_BAD_ARGUMENTS)) << line;
  }
  // CreateServiceW as the system receives it (dependencies each followed by '|'), with the account
  // rule; ChangeServiceConfigW gets the account as given ("" is not absent), no dependencies as null.
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
  auto changeConfig = SubstituteProcAddress(
      library(), FWTEST_IMPORT(ChangeServiceConfigW),
      [&](auto, SC_HANDLE, DWORD, DWORD, DWORD, LPCWSTR, LPCWSTR, LPDWORD, LPCWSTR dependencies, LPCWSTR user,
          LPCWSTR password, LPCWSTR) -> BOOL {
        sent = text(user) + L"|" + text(password) + L"|" + text(dependencies);
        return TRUE;  // nothing is changed
      });
  const std::string creation = R"(createNTService {S} {"displayName": "x", "serviceType": 16, "enableDesktopInteraction": true, "dependencies": ["RpcSs", "+Network"], )";
  const std::string reconfiguration = R"(changeNTServiceConfig RpcSs {"startType": -1, )";
  const struct {
    std::string line, answer;
    std::wstring sent;
  } sends[] = {
      {creation + R"("userName": "", "password": "pw"})", Thrown(-120000, ERROR_SERVICE_EXISTS), L"x 272 RpcSs|+Network| (null) (null)"},
      {creation + R"("userName": ".\\installer", "password": ""})", Thrown(-120000, ERROR_SERVICE_EXISTS), L"x 272 RpcSs|+Network| .\\installer (null)"},
      {creation + R"("userName": ".\\installer", "password": "pw"})", Thrown(-120000, ERROR_SERVICE_EXISTS), L"x 272 RpcSs|+Network| .\\installer pw"},
      {reconfiguration + R"("userName": ".\\installer", "password": ""})", "null", L".\\installer||(null)"},
      {reconfiguration + R"("userName": "", "dependencies": []})", "null", L"|(null)|(null)"}};
  for (const auto& c : sends) {
    EXPECT_EQ(Answer(c.line), c.answer) << c.line;
    EXPECT_EQ(sent, c.sent) << c.line;
  }

  // A query whose first call already works has nothing to give: null. Then dependencies (Wine never
  // returns them) and failure actions without actions or texts, read through pointers.
  bool atOnce = true;
  wchar_t dependencies[] = L"A\0BC\0", user[] = L"LocalSystem";
  auto query = SubstituteProcAddress(library(), FWTEST_IMPORT(QueryServiceConfigW), [&](auto, SC_HANDLE, LPQUERY_SERVICE_CONFIGW buffer, DWORD size, LPDWORD needed) {
    return AnswerQuery(buffer, size, needed, QUERY_SERVICE_CONFIGW{0x110, 0, 0, nullptr, nullptr, 0, dependencies, user, nullptr}, atOnce);
  });
  auto query2 = SubstituteProcAddress(library(), FWTEST_IMPORT(QueryServiceConfig2W), [&](auto, SC_HANDLE, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (level == SERVICE_CONFIG_DESCRIPTION) return AnswerQuery(buffer, size, needed, SERVICE_DESCRIPTIONW{user}, atOnce);
    return AnswerQuery(buffer, size, needed, SERVICE_FAILURE_ACTIONSW{3600, nullptr, nullptr, 0, nullptr}, atOnce);
  });
  auto statusEx = SubstituteProcAddress(library(), FWTEST_IMPORT(QueryServiceStatusEx), [&](auto, SC_HANDLE, SC_STATUS_TYPE, LPBYTE buffer, DWORD size, LPDWORD needed) {
    return AnswerQuery(buffer, size, needed, SERVICE_STATUS_PROCESS{}, atOnce);
  });
  auto enumerate = SubstituteProcAddress(library(), FWTEST_IMPORT(EnumServicesStatusW), [&](auto, SC_HANDLE, DWORD, DWORD, LPENUM_SERVICE_STATUSW buffer, DWORD size, LPDWORD needed, LPDWORD returned, LPDWORD) {
    *returned = 0;
    return AnswerQuery(buffer, size, needed, ENUM_SERVICE_STATUSW{}, atOnce);
  });
  for (const char* line : {"queryNTServiceConfig RpcSs", "queryWin2kServiceFailureActions RpcSs", "queryWin2kServiceDescription RpcSs",
                           "queryWin2kServiceStatusProcess RpcSs", "enumNTServiceKeys 48 3"}) {
    EXPECT_EQ(Answer(line), "null") << line;
  }
  atOnce = false;
  EXPECT_EQ(Answer("queryWin2kServiceFailureActions RpcSs"), R"({"resetPeriod": 3600})");
  EXPECT_EQ(Answer("queryNTServiceConfig RpcSs"),
            R"({"command": null, "dependencies": ["A", "BC"], "displayName": null, "enableDesktopInteraction": true, "errorControl": 0, "loadOrderGroup": null, "password": null, "serviceType": 16, "startType": 0, "userName": "LocalSystem"})");
  {
    // A manager that refuses is reported, even by the description; without CloseServiceHandle
    // nothing is opened.
    auto refused = SubstituteProcAddress(library(), FWTEST_IMPORT(OpenSCManagerW), [](auto, LPCWSTR, LPCWSTR, DWORD) -> SC_HANDLE {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    });
    EXPECT_EQ(Answer("queryWin2kServiceDescription RpcSs"), Thrown(-1200011, ERROR_ACCESS_DENIED));
    HiddenProcAddresses noClose(library(), {"CloseServiceHandle"});
    EXPECT_EQ(Answer("deleteNTService FwNoSuchService"), Thrown(-120001, ERROR_PROC_NOT_FOUND));
  }
  HiddenProcAddresses noManager(library(), {"OpenSCManagerW"});
  EXPECT_EQ(Answer("serviceExists FwNoSuchService"), "false");
  EXPECT_EQ(Answer("deleteNTService FwNoSuchService"), "null");
}

bool ShutdownPrivilegeHeld() {
  fw::UniqueHandle token;
  PRIVILEGE_SET wanted = {1, PRIVILEGE_SET_ALL_NECESSARY, {}};
  BOOL held = FALSE;
  return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) &&
         LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &wanted.Privilege[0].Luid) && PrivilegeCheck(token.get(), &wanted, &held) && held;
}

TEST_F(ServiceTest, FailureActionsRoundTripUnderTheDatabaseLock) {
  // The order of the calls, each change with whether SeShutdownPrivilege was on during it.
  std::vector<std::string> order;
  const auto logged = [&order](const char* call) {
    return [&order, call](auto original, auto... args) {
      order.push_back(call);
      return original(args...);
    };
  };
  auto lock = SubstituteProcAddress(library(), FWTEST_IMPORT(LockServiceDatabase), logged("lock"));
  auto unlock = SubstituteProcAddress(library(), FWTEST_IMPORT(UnlockServiceDatabase), logged("unlock"));
  auto open = SubstituteProcAddress(library(), FWTEST_IMPORT(OpenServiceW), logged("open"));
  // Wine drops failure actions: a substitute keeps them as Windows does (null keeps what was there).
  DWORD resetPeriod = 0;
  std::wstring rebootMessage = L"old message", command = L"old command";
  std::vector<SC_ACTION> actions;
  auto change = SubstituteProcAddress(library(), FWTEST_IMPORT(ChangeServiceConfig2W), [&](auto, SC_HANDLE, DWORD, LPVOID info) {
    const auto* sent = static_cast<SERVICE_FAILURE_ACTIONSW*>(info);
    order.push_back(ShutdownPrivilegeHeld() ? "change, privileged" : "change");
    resetPeriod = sent->dwResetPeriod;
    if (sent->lpRebootMsg != nullptr) rebootMessage = sent->lpRebootMsg;
    if (sent->lpCommand != nullptr) command = sent->lpCommand;
    if (sent->lpsaActions != nullptr) actions.assign(sent->lpsaActions, sent->lpsaActions + sent->cActions);
    return TRUE;
  });
  auto query = SubstituteProcAddress(library(), FWTEST_IMPORT(QueryServiceConfig2W), [&](auto, SC_HANDLE, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed) {
    return AnswerQuery(buffer, size, needed, SERVICE_FAILURE_ACTIONSW{resetPeriod, rebootMessage.data(), command.data(), static_cast<DWORD>(actions.size()), actions.data()});
  });
  // Restart, reboot, run a command, and a type no Windows knows (sent as SC_ACTION_NONE); "" removes
  // the command. Then no actions and no texts, which keep what there is: without a reboot action the
  // privilege is not touched, and Windows 9x has none.
  const std::string sent = R"("actions": [{"actionType": 1, "delay": 1000}, {"actionType": 2, "delay": 2000}, {"actionType": 3, "delay": 3000}, {"actionType": )";
  const std::string kept = R"({"command": "", "rebootMsg": "Restarting for Fernwick", "resetPeriod": )", last = R"(0, "delay": 4000}]})";
  const std::string none = R"(changeWin2kServiceFailureActions RpcSs {"resetPeriod": 60, "actions": []})";
  // A count below zero has no meaning: an argument error, with the lock given back all the same.
  const ArgumentEdit negative = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>& args) { vm.SetIntProperty(args[1].l, "ActionCount", -1); };
  const struct {
    std::string line;
    ArgumentEdit edit;
    std::string answer;
    std::vector<std::string> calls;
    std::string kept;  // the failure actions read back afterwards
  } changes[] = {{R"(changeWin2kServiceFailureActions RpcSs {"resetPeriod": 86400, "rebootMsg": "Restarting for Fernwick", "command": "", )" + sent + R"(7, "delay": 4000}]})",
                  nullptr, "null", {"lock", "open", fw::IsWindows9x() ? "change" : "change, privileged", "unlock"}, kept + "86400, " + sent + last},
                 {none, nullptr, "null", {"lock", "open", "change", "unlock"}, kept + "60, " + sent + last},
                 {none, negative, Thrown(-1200013, ERROR_BAD_ARGUMENTS), {"lock", "open", "unlock"}, kept + "60, " + sent + last}};
  for (const auto& c : changes) {
    order.clear();
    EXPECT_EQ(Answer(c.line, c.edit), c.answer) << c.line;
    EXPECT_EQ(order, c.calls) << c.line;
    EXPECT_EQ(Answer("queryWin2kServiceFailureActions RpcSs"), c.kept) << c.line;
  }
}

}  // namespace
}  // namespace fwtest
