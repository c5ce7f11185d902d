// The fixture of the service tests: fwcall lines of Win32ServiceImpl on the built DLL, with "{S}"
// standing for a service name of this run (removed afterwards whatever state a test left it in).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "file/file_test_support.h"
#include "registry/fwcall_lines.h"
#include "support/fake_import.h"
#include "vm_expectations.h"

namespace fwtest {

// Polls until the condition holds (a program started by the test has done its part), for four minutes.
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

  // The answer of a Win32ServiceImpl line ("queryNTServiceStatus {S}").
  std::string Answer(const std::string& line, const ArgumentEdit& edit = nullptr) {
    return calls.Answer(Replaced("Win32ServiceImpl." + line, "{S}", Narrow(name)), edit);
  }
  HMODULE library() const { return calls.library.get(); }

  const std::wstring name = L"FwTestSvc" + std::to_wstring(GetCurrentProcessId());
  TempFolder folder;
  FwcallLines calls;
};

}  // namespace fwtest
