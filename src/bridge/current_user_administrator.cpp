#include "bridge/current_user_administrator.h"

#include "bridge/function_binding.h"
#include "bridge/scratch_buffer.h"
#include "bridge/unique_resource.h"

namespace fw {
namespace {

// The Administrators SID made by the bound AllocateAndInitializeSid, freed by the bound FreeSid.
class BoundSid {
 public:
  explicit BoundSid(decltype(&::FreeSid) freeSid) noexcept : freeSid_(freeSid) {}
  BoundSid(const BoundSid&) = delete;
  BoundSid& operator=(const BoundSid&) = delete;
  ~BoundSid() {
    if (sid_ != nullptr) freeSid_(sid_);
  }

  PSID get() const noexcept { return sid_; }
  PSID* put() noexcept { return &sid_; }

 private:
  decltype(&::FreeSid) freeSid_;
  PSID sid_ = nullptr;
};

// The token of an impersonating thread, else the process token.
DWORD OpenCallerToken(decltype(&::OpenThreadToken) openThreadToken, decltype(&::OpenProcessToken) openProcessToken,
                      UniqueHandle& token) noexcept {
  HANDLE opened = nullptr;
  if (openThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &opened)) {
    token.reset(opened);
    return 0;
  }
  const DWORD error = GetLastError();
  if (error != ERROR_NO_TOKEN) return error;
  opened = nullptr;
  if (!openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return GetLastError();
  token.reset(opened);
  return 0;
}

}  // namespace

bool IsCurrentUserAdministrator(DWORD& error) {
  error = 0;
  FunctionBinder advapi32(GetOrLoadModule(L"advapi32.dll"));
  const auto openProcessToken = FW_BIND(advapi32, OpenProcessToken);
  const auto openThreadToken = FW_BIND(advapi32, OpenThreadToken);
  const auto getTokenInformation = FW_BIND(advapi32, GetTokenInformation);
  const auto allocateAndInitializeSid = FW_BIND(advapi32, AllocateAndInitializeSid);
  const auto equalSid = FW_BIND(advapi32, EqualSid);
  const auto freeSid = FW_BIND(advapi32, FreeSid);
  if (!advapi32.Complete()) {
    error = advapi32.Error();
    return false;
  }

  UniqueHandle token;
  error = OpenCallerToken(openThreadToken, openProcessToken, token);

  ScratchBuffer groups;
  if (error == 0) {
    // Asks for the size only: "insufficient buffer" is the answer, any other failure the test's.
    DWORD size = 0;
    if (!getTokenInformation(token.get(), TokenGroups, nullptr, 0, &size)) {
      error = GetLastError();
      if (error == ERROR_INSUFFICIENT_BUFFER) error = 0;
    }
    if (error == 0) {
      groups.Allocate(size, 1);
      if (!getTokenInformation(token.get(), TokenGroups, groups.Data(), size, &size)) error = GetLastError();
    }
  }

  BoundSid administrators(freeSid);
  if (error == 0) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    if (!allocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, administrators.put())) {
      error = GetLastError();
    }
  }

  bool result = false;
  if (error == 0) {
    const auto* tokenGroups = groups.As<const TOKEN_GROUPS>();
    for (DWORD i = 0; i < tokenGroups->GroupCount && !result; ++i) {
      result = equalSid(tokenGroups->Groups[i].Sid, administrators.get()) != FALSE;
    }
  }
  return result;
}

}  // namespace fw
