// Service benchmark: enumNTServiceKeys over the prefix's services, then queryNTServiceConfig and
// queryNTServiceStatus for each service listed, against the bare OpenSCManagerW /
// EnumServicesStatusW / OpenServiceW / QueryServiceConfigW / QueryServiceStatus sequence the
// library makes for them (bench_rounds.h says how the rounds run). Run under Wine with
//   cmake --build <build> --target run_service_bench
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench_rounds.h"
#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"

namespace {

// A round is one listing followed by the two queries of every service listed: short rounds, many of
// them, give the best round a chance on a machine that others share.
constexpr int kRounds = 30;
constexpr jint kAllServices = SERVICE_WIN32 | SERVICE_DRIVER;
constexpr jint kAllStates = SERVICE_STATE_ALL;
constexpr char kServiceClass[] = "com/fernwick/wizard/platform/win32/Win32ServiceImpl";

// Each operation opens the manager with all access, and the service with the access it needs.
struct Opened {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = nullptr;
  Opened() = default;
  Opened(const wchar_t* name, DWORD access) : service(OpenServiceW(manager, name, access)) {}
  ~Opened() {
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
};

std::vector<std::wstring> PlainServiceKeys() {
  const Opened scm;
  DWORD needed = 0, count = 0, resume = 0;
  std::vector<std::wstring> keys;
  if (EnumServicesStatusW(scm.manager, kAllServices, kAllStates, nullptr, 0, &needed, &count, &resume) ||
      GetLastError() != ERROR_MORE_DATA) {
    return keys;
  }
  std::vector<BYTE> buffer(needed);
  const auto entries = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
  if (!EnumServicesStatusW(scm.manager, kAllServices, kAllStates, entries, needed, &needed, &count, &resume)) {
    return keys;
  }
  for (DWORD i = 0; i < count; ++i) keys.emplace_back(entries[i].lpServiceName);
  return keys;
}

bool PlainConfig(const std::wstring& key) {
  const Opened opened(key.c_str(), READ_CONTROL | SERVICE_QUERY_CONFIG);
  DWORD needed = 0;
  if (QueryServiceConfigW(opened.service, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return false;
  }
  std::vector<BYTE> buffer(needed);
  return QueryServiceConfigW(opened.service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()), needed,
                             &needed) != FALSE;
}

bool PlainStatus(const std::wstring& key) {
  const Opened opened(key.c_str(), READ_CONTROL | SERVICE_QUERY_STATUS);
  SERVICE_STATUS status = {};
  return QueryServiceStatus(opened.service, &status) != FALSE;
}

}  // namespace

int main() {
  const HMODULE library = fwbench::LoadFwnative();
  const auto enumKeys = FW_BENCH_EXPORT(library, Win32ServiceImpl, enumNTServiceKeys);
  const auto queryConfig = FW_BENCH_EXPORT(library, Win32ServiceImpl, queryNTServiceConfig);
  const auto queryStatus = FW_BENCH_EXPORT(library, Win32ServiceImpl, queryNTServiceStatus);
  const std::size_t services = PlainServiceKeys().size();
  bool failed = services == 0;
  std::printf("Service benchmark (x86_64): %zu services; best of %d rounds\n", services, kRounds);
  fwbench::CompareInFreshVm(
      "enumNTServiceKeys etc.", "list, then config + status of each", kServiceClass, failed,
      [&](fwtest::TestVm& vm, jobject self) {
        JNIEnv* env = vm.env();
        const jobjectArray keys = vm.Call(enumKeys, self, kAllServices, kAllStates);
        const jsize count = keys == nullptr ? 0 : env->GetArrayLength(keys);
        if (static_cast<std::size_t>(count) != services) failed = true;
        for (jsize i = 0; i < count; ++i) {
          const auto key = static_cast<jstring>(env->GetObjectArrayElement(keys, i));
          const jobject config = vm.Call(queryConfig, self, key);
          const jobject status = vm.Call(queryStatus, self, key);
          if (config == nullptr || status == nullptr) failed = true;
          env->DeleteLocalRef(config);
          env->DeleteLocalRef(status);
          env->DeleteLocalRef(key);
        }
      },
      [&] {
        const std::vector<std::wstring> keys = PlainServiceKeys();
        if (keys.size() != services) failed = true;
        for (const std::wstring& key : keys) {
          if (!PlainConfig(key) || !PlainStatus(key)) failed = true;
        }
      },
      kRounds);
  FreeLibrary(library);
  return fwbench::Finish(failed);
}
