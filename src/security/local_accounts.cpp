#include "security/local_accounts.h"

#include <lm.h>

#include <cstdlib>

#include "bridge/function_binding.h"

namespace fw {
namespace {

// Loaded once and never freed: the one piece of state the account methods keep. Two threads that
// race here both load it, which only counts the module twice.
HMODULE gNetapi32 = nullptr;

FunctionBinder Netapi32() noexcept {
  if (gNetapi32 == nullptr) gNetapi32 = LoadLibraryA("Netapi32.dll");
  return FunctionBinder(GetModuleHandleA("Netapi32.dll"));
}

bool True(const char* text) noexcept { return text[0] != '0'; }

}  // namespace

DWORD ParseAccountExpiry(const char* text) {
  char* end = nullptr;
  const long long seconds = std::strtoll(text, &end, 10);
  if (end == text || seconds < 0) return TIMEQ_FOREVER;
  return static_cast<DWORD>(static_cast<unsigned long long>(seconds) & 0xFFFFFFFFULL);
}

AccountOutcome CreateUser(const UserDescription& user, const std::vector<const wchar_t*>& groups) {
  FunctionBinder netapi32 = Netapi32();
  const auto userAdd = FW_BIND(netapi32, NetUserAdd);
  const auto userGetInfo = FW_BIND(netapi32, NetUserGetInfo);
  const auto userSetInfo = FW_BIND(netapi32, NetUserSetInfo);
  const auto addMembers = FW_BIND(netapi32, NetLocalGroupAddMembers);
  const auto bufferFree = FW_BIND(netapi32, NetApiBufferFree);
  if (!netapi32.Complete()) return {netapi32.Error(), false};

  USER_INFO_1 added = {};
  added.usri1_name = const_cast<wchar_t*>(user.name);
  added.usri1_password = const_cast<wchar_t*>(user.password);
  added.usri1_priv = USER_PRIV_USER;
  added.usri1_home_dir = const_cast<wchar_t*>(user.homeDirectory);
  added.usri1_comment = const_cast<wchar_t*>(user.comment);
  added.usri1_flags = UF_SCRIPT | UF_NORMAL_ACCOUNT | (True(user.disabled) ? UF_ACCOUNTDISABLE : 0);
  added.usri1_script_path = const_cast<wchar_t*>(user.scriptPath);
  if (const NET_API_STATUS status = userAdd(nullptr, 1, reinterpret_cast<LPBYTE>(&added), nullptr)) return {status, false};

  LPBYTE buffer = nullptr;
  if (const NET_API_STATUS status = userGetInfo(nullptr, user.name, 3, &buffer)) return {status, false};
  auto* info = reinterpret_cast<USER_INFO_3*>(buffer);
  info->usri3_acct_expires = ParseAccountExpiry(user.expiry);
  wchar_t* const returnedFullName = info->usri3_full_name;
  info->usri3_full_name = const_cast<wchar_t*>(user.fullName);
  if (True(user.passwordExpired)) info->usri3_password_expired = 1;
  const NET_API_STATUS changed = userSetInfo(nullptr, user.name, 3, buffer, nullptr);
  info->usri3_full_name = returnedFullName;  // the buffer is the system's: it gets its own pointer back
  bufferFree(buffer);
  if (changed != 0) return {changed, false};

  for (const wchar_t* group : groups) {
    LOCALGROUP_MEMBERS_INFO_3 member = {const_cast<wchar_t*>(user.name)};
    if (const NET_API_STATUS status = addMembers(nullptr, group, 3, reinterpret_cast<LPBYTE>(&member), 1)) {
      return {status, true};
    }
  }
  return {};
}

DWORD DeleteUser(const wchar_t* name) {
  FunctionBinder netapi32 = Netapi32();
  const auto userDel = FW_BIND(netapi32, NetUserDel);
  if (!netapi32.Complete()) return netapi32.Error();
  if (name == nullptr) return ERROR_INVALID_PARAMETER;  // some NetUserDel read through a null name
  return userDel(nullptr, name);
}

DWORD CreateGroup(const wchar_t* name, const std::vector<const wchar_t*>& members) {
  FunctionBinder netapi32 = Netapi32();
  const auto groupAdd = FW_BIND(netapi32, NetLocalGroupAdd);
  const auto addMembers = FW_BIND(netapi32, NetLocalGroupAddMembers);
  if (!netapi32.Complete()) return netapi32.Error();
  LOCALGROUP_INFO_0 group = {const_cast<wchar_t*>(name)};
  if (const NET_API_STATUS status = groupAdd(nullptr, 0, reinterpret_cast<LPBYTE>(&group), nullptr)) return status;
  if (members.empty()) return 0;
  std::vector<LOCALGROUP_MEMBERS_INFO_3> entries;
  for (const wchar_t* member : members) entries.push_back({const_cast<wchar_t*>(member)});
  return addMembers(nullptr, name, 3, reinterpret_cast<LPBYTE>(entries.data()), static_cast<DWORD>(entries.size()));
}

DWORD DeleteGroup(const wchar_t* name) {
  FunctionBinder netapi32 = Netapi32();
  const auto groupDel = FW_BIND(netapi32, NetLocalGroupDel);
  if (!netapi32.Complete()) return netapi32.Error();
  return groupDel(nullptr, name);
}

}  // namespace fw
