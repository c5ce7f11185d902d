// The fixture of the service tests: the built DLL, a test VM, and a service name of this run
// (removed afterwards whatever state a test left it in).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"
#include "file/file_test_support.h"
#include "registry/registry_test_key.h"
#include "support/loaded_library.h"
#include "support/substituted_proc_address.h"
#include "test_vm.h"
#include "vm_expectations.h"
#include "vm_json.h"

namespace fwtest {

#define FW_SERVICE(method) FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32ServiceImpl_##method)
inline constexpr char kFailureActionsClass[] =
    "com/fernwick/wizard/platform/win32/win32service/Win2kServiceFailureActions";
inline constexpr char kConfigClass[] = "com/fernwick/wizard/platform/win32/win32service/NTServiceConfig";
inline const std::wstring kMissing = L"FwNoSuchService";

// Polls until the condition holds (a program started by the test has done its part); false after
// four minutes.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(4);
  for (; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
    if (std::chrono::steady_clock::now() > end) return false;
  }
  return true;
}

// Stops and deletes a service the test made, whatever state the test left it in.
[[gnu::noipa]] inline void RemoveService(const std::wstring& name) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return;
  if (SC_HANDLE service = OpenServiceW(manager, name.c_str(), SERVICE_ALL_ACCESS)) {
    SERVICE_STATUS status;
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

class ServiceTest : public ::testing::Test {
 protected:
  ~ServiceTest() override { RemoveService(name); }

  jstring Str(const std::wstring& text) { return vm.String(U16(text)); }
  // A peer of that class as a caller fills it, from JSON ("displayName" for getDisplayName).
  jobject Peer(const char* cls, const std::string& json) {
    std::string error;
    jvalue peer{};
    EXPECT_TRUE(JavaValueFromJson(vm, Json::Parse(json, &error).value_or(Json()), "L" + std::string(cls) + ";", &peer, &error))
        << error;
    return peer.l;
  }
  std::string JsonOf(jobject ref) { return JsonOfReference(vm, ref).Write(); }
  jobject ServiceStatus(jint control) { return vm.Call(FW_SERVICE(controlNTService), self, Str(name), control); }

  const std::wstring name = L"FwTestSvc" + std::to_wstring(GetCurrentProcessId());
  TempFolder folder;
  LoadedLibrary library{L"fwnative.dll"};
  TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32ServiceImpl");
};

}  // namespace fwtest
