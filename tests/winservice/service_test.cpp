// Win32ServiceImpl through the built DLL: the argument checks and codes of every method, a real
// service (tests/service, fwtestsvc.exe) from creation to deletion under Wine's service control
// manager, and substitutes for what Wine does not do.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/hidden_proc_addresses.h"
#include "support/program_folder.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace {

// The process of that program name, as the system lists it (0: none).
DWORD ProcessIdOf(const std::wstring& program) {
  const fw::UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, program.c_str()) == 0) return entry.th32ProcessID;
  }
  return 0;
}

// A missing look-up of each method is the call-site sweep's; here, what it cannot see: a name that
// is empty or null is refused before anything is asked, and so are null peers.
TEST_F(ServiceTest, EveryMethodChecksItsArguments) {
  const struct {
    jint code;
    std::function<void(jstring)> call;
  } cases[] = {
      {-120000, [&](jstring n) { vm.Call(FW_SERVICE(createNTService), self, n, Config(L"x", 0x10, 3, 1, L"x.exe")); }},
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
  const jobject config = Config(display, 0x10, 3, 1, command);
  vm.SetBoolProperty(config, "EnableDesktopInteraction", true);
  vm.SetStringProperty(config, "UserName", u"");
  vm.SetStringProperty(config, "Password", u"ignored without an account");
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
  ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
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
  ServiceStatus(SERVICE_CONTROL_PAUSE);
  EXPECT_TRUE(WaitForState(SERVICE_PAUSED));
  ServiceStatus(SERVICE_CONTROL_CONTINUE);
  EXPECT_TRUE(WaitForState(SERVICE_RUNNING));
  ExpectNoException(vm);

  // Deleted while it runs: marked for deletion until it stops.
  vm.Call(FW_SERVICE(deleteNTService), self, Str(name));
  ExpectNoException(vm);
  vm.Call(FW_SERVICE(deleteNTService), self, Str(name));
  ExpectServiceException(vm, -120001, ErrorMessage(ERROR_SERVICE_MARKED_FOR_DELETE));
  vm.Call(FW_SERVICE(createNTService), self, Str(name), config);
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_MARKED_FOR_DELETE));
  ServiceStatus(SERVICE_CONTROL_STOP);
  ExpectNoException(vm);
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (vm.Call(FW_SERVICE(serviceExists), self, Str(name)) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(name)), JNI_FALSE) << "gone once stopped";
  EXPECT_EQ(ReadBytes(record), "start \"first\" \"second arg\"\ncontrol 4\ncontrol 200\ncontrol 2\ncontrol 3\ncontrol 1\n");
}

// What Wine does not do, shown through substitutes of the functions the methods bind by name.
TEST_F(ServiceTest, WhatWineCannotShow) {
  // CreateServiceW as the system receives it: dependencies as a multi-string, the account rule.
  struct Sent {
    std::wstring dependencies;  // the units up to the final zero
    std::optional<std::wstring> display, user, password;
    DWORD type;
  } sent{};
  auto create = SubstituteProcAddress(
      library.get(), FWTEST_IMPORT(CreateServiceW),
      [&](auto, SC_HANDLE, LPCWSTR, LPCWSTR display, DWORD, DWORD type, DWORD, DWORD, LPCWSTR, LPCWSTR, LPDWORD,
          LPCWSTR dependencies, LPCWSTR user, LPCWSTR password) -> SC_HANDLE {
        sent = {};
        if (display != nullptr) sent.display = display;
        for (const wchar_t* p = dependencies; p != nullptr && *p != L'\0'; p += std::wcslen(p) + 1) {
          sent.dependencies += std::wstring(p) + L'|';
        }
        if (user != nullptr) sent.user = user;
        if (password != nullptr) sent.password = password;
        sent.type = type;
        SetLastError(ERROR_SERVICE_EXISTS);  // nothing is made
        return nullptr;
      });
  const struct {
    const char16_t* user;
    const char16_t* password;
    std::optional<std::wstring> userSent, passwordSent;
  } accounts[] = {{u"", u"pw", std::nullopt, std::nullopt}, {u".\\installer", u"", L".\\installer", std::nullopt},
                  {u".\\installer", u"pw", L".\\installer", L"pw"}};
  for (const auto& a : accounts) {
    const jobject config = Config(L"x", 0x10, 3, 1, L"x.exe");
    vm.SetStringProperty(config, "UserName", a.user);
    vm.SetStringProperty(config, "Password", a.password);
    vm.SetBoolProperty(config, "EnableDesktopInteraction", true);
    vm.SetObjectProperty(config, "Dependencies", vm.StringArray({u"RpcSs", u"+Network"}));
    vm.Call(FW_SERVICE(createNTService), self, Str(name), config);
    ExpectServiceException(vm, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
    EXPECT_EQ(sent.user, a.userSent);
    EXPECT_EQ(sent.password, a.passwordSent);
    EXPECT_EQ(sent.dependencies, L"RpcSs|+Network|");
    EXPECT_EQ(sent.type, 0x110u);
    EXPECT_EQ(sent.display, L"x");
  }
  // A null dependency or argument has no form the system takes; a missing peer class reads as
  // no configuration at all. Both are argument errors, and nothing is created.
  const jobject withNull = Config(L"x", 0x10, 3, 1, L"x.exe");
  vm.SetObjectProperty(withNull, "Dependencies", vm.StringArray({u"RpcSs", std::nullopt}));
  vm.Call(FW_SERVICE(createNTService), self, Str(name), withNull);
  ExpectServiceException(vm, -120000, ErrorMessage(ERROR_BAD_ARGUMENTS));
  vm.Call(FW_SERVICE(startNTService), self, Str(kMissing), vm.StringArray({std::nullopt}));
  ExpectServiceException(vm, -120002, ErrorMessage(ERROR_BAD_ARGUMENTS));
  {
    TestVm local;
    const jobject config = local.NewPeer(kConfigClass);
    local.SetStringProperty(config, "DisplayName", u"shown");
    const jobject localSelf = local.This("com/fernwick/wizard/platform/win32/Win32ServiceImpl");
    local.HideMethod(kConfigClass, "getDisplayName");  // a getter the class lacks: that setting is absent
    local.Call(FW_SERVICE(createNTService), localSelf, local.String(U16(name)), config);
    ExpectServiceException(local, -120000, ErrorMessage(ERROR_SERVICE_EXISTS));
    EXPECT_FALSE(sent.display);
    local.HideClass(kConfigClass);
    local.Call(FW_SERVICE(createNTService), localSelf, local.String(U16(name)), config);
    ExpectServiceException(local, -120000, ErrorMessage(ERROR_BAD_ARGUMENTS));
  }

  // Dependencies read back (Wine never returns them), through a configuration the system hands over.
  const SC_HANDLE anyService = reinterpret_cast<SC_HANDLE>(0x5e5);
  auto open = SubstituteProcAddress(library.get(), FWTEST_IMPORT(OpenServiceW),
                                    [anyService](auto, auto...) { return anyService; });
  auto close = SubstituteProcAddress(library.get(), FWTEST_IMPORT(CloseServiceHandle),
                                     [anyService](auto original, SC_HANDLE handle) {
                                       return handle == anyService ? TRUE : original(handle);
                                     });
  struct Stored {
    QUERY_SERVICE_CONFIGW config;
    wchar_t dependencies[8];
    wchar_t user[12];
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
        std::memcpy(stored->dependencies, L"A\0BC\0\0", 7 * sizeof(wchar_t));
        std::memcpy(stored->user, L"LocalSystem", 12 * sizeof(wchar_t));
        stored->config = {};
        stored->config.dwServiceType = 0x110;
        stored->config.lpDependencies = stored->dependencies;
        stored->config.lpServiceStartName = stored->user;
        return TRUE;
      });
  const jobject read = vm.Call(FW_SERVICE(queryNTServiceConfig), self, Str(L"AnyService"));
  ExpectNoException(vm);
  EXPECT_EQ(vm.StringArrayValue(vm.ObjectProperty(read, "Dependencies")), (StringList{u"A", u"BC"}));
  EXPECT_EQ(vm.IntProperty(read, "ServiceType"), 0x10);
  EXPECT_TRUE(vm.BoolProperty(read, "EnableDesktopInteraction"));
  EXPECT_FALSE(vm.StringProperty(read, "Password"));

  // A service the caller may not open (access denied) is an error for serviceExists, not a "no".
  auto denied = SubstituteProcAddress(library.get(), FWTEST_IMPORT(OpenServiceW), [](auto, auto...) -> SC_HANDLE {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  });
  EXPECT_EQ(vm.Call(FW_SERVICE(serviceExists), self, Str(L"AnyService")), JNI_FALSE);
  ExpectServiceException(vm, 1073, ErrorMessage(ERROR_ACCESS_DENIED));

  // A list that grows between the two calls: exactly one retry, then the error.
  int calls = 0;
  auto enumerate = SubstituteProcAddress(library.get(), FWTEST_IMPORT(EnumServicesStatusW),
                                         [&calls](auto, auto, auto, auto, auto, auto, LPDWORD needed, auto, auto) -> BOOL {
                                           ++calls;
                                           *needed = 1000 * static_cast<DWORD>(calls);
                                           SetLastError(ERROR_MORE_DATA);
                                           return FALSE;
                                         });
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(enumNTServiceKeys), self, jint{SERVICE_WIN32}, jint{3})));
  ExpectServiceException(vm, -1200009, ErrorMessage(ERROR_MORE_DATA));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace fwtest
