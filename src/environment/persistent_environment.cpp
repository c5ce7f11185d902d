#include "environment/persistent_environment.h"

#include <windows.h>

#include "bridge/platform.h"
#include "registry/registry_access.h"

namespace fw {
namespace {

constexpr UINT kChangeNoticeTimeoutMs = 3000;

void SetVariable(const EnvironmentKey& key, const wchar_t* name, const wchar_t* value) {
  RegistryAccess registry;
  if (value == nullptr) {
    registry.DeleteValue(key.root, key.path, name, false);
  } else {
    registry.WriteString(key.root, key.path, name, key.expand, value);
  }
}

std::optional<WideString> ReadVariable(const EnvironmentKey& key, const wchar_t* name) {
  RegistryAccess registry;
  if (!registry.ValueExists(key.root, key.path, name)) return std::nullopt;
  return registry.ReadString(key.root, key.path, name, false);
}

const EnvironmentKey& NtKey(bool system) { return system ? kSystemEnvironment : kUserEnvironment; }

}  // namespace

void SetNtEnvironmentVariable(const wchar_t* name, const wchar_t* value, bool system) {
  if (!IsWindowsNT()) return;
  SetVariable(NtKey(system), name, value);
  AnnounceEnvironmentChange();
}

void SetMeEnvironmentVariable(const wchar_t* name, const wchar_t* value) {
  if (!IsWindowsME()) return;
  SetVariable(kMeEnvironment, name, value);
  AnnounceEnvironmentChange();
}

std::optional<WideString> ReadNtEnvironmentVariable(const wchar_t* name, bool system) {
  if (!IsWindowsNT()) return std::nullopt;
  return ReadVariable(NtKey(system), name);
}

std::optional<WideString> ReadMeEnvironmentVariable(const wchar_t* name) {
  if (!IsWindowsME()) return std::nullopt;
  std::optional<WideString> value = ReadVariable(kMeEnvironment, name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

void AnnounceEnvironmentChange() {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"),
                      SMTO_ABORTIFHUNG, kChangeNoticeTimeoutMs, &result);
}

}  // namespace fw
