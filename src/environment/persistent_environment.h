// Variables that Windows keeps in the registry for new processes: on the NT family per user
// ("Environment" of the current user) or for the whole system, written as REG_EXPAND_SZ; on
// Windows ME in one machine key, written as REG_SZ. A successful change is announced to every
// top-level window (WM_SETTINGCHANGE "Environment"), so programs started from them see it.
//
//   SetNtEnvironmentVariable(name.Get(), value.Get(), system);   // nothing outside the NT family
//   std::optional<WideString> raw = ReadMeEnvironmentVariable(name.Get());
//
// Each operation belongs to one family and does nothing elsewhere (reads give nullopt). Reads are
// raw: "%PATH%" comes back as stored. Registry failures raise RegistryException, and then no
// change notice is sent.
#pragma once

#include <optional>

#include "bridge/wide_string.h"
#include "registry/root_key.h"

namespace fw {

struct EnvironmentKey {
  RootKey root;
  const wchar_t* path;
  bool expand;  // the type written: REG_EXPAND_SZ or REG_SZ
};

constexpr EnvironmentKey kUserEnvironment{RootKey::CurrentUser, L"Environment", true};
constexpr EnvironmentKey kSystemEnvironment{
    RootKey::LocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", true};
// Windows ME spells the key without the blank.
constexpr EnvironmentKey kMeEnvironment{
    RootKey::LocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\SessionManager\\Environment", false};

// A null value deletes the variable; deleting one that is absent succeeds (and is announced too).
void SetNtEnvironmentVariable(const wchar_t* name, const wchar_t* value, bool system);
void SetMeEnvironmentVariable(const wchar_t* name, const wchar_t* value);

// nullopt when absent; an empty stored value reads as "" on the NT family and nullopt on ME.
std::optional<WideString> ReadNtEnvironmentVariable(const wchar_t* name, bool system);
std::optional<WideString> ReadMeEnvironmentVariable(const wchar_t* name);

// WM_SETTINGCHANGE "Environment" to all top-level windows; hung windows are skipped and the wait
// ends after 3 seconds. Its outcome is not looked at.
void AnnounceEnvironmentChange();

}  // namespace fw
