#include "file/file_security.h"

#include <aclapi.h>

#include "bridge/function_binding.h"
#include "bridge/local_memory_holder.h"
#include "bridge/privilege_enabler.h"
#include "bridge/scratch_buffer.h"

namespace fw {
namespace {

// advapi32 is always in the process (the registry functions come from it): only looked up.
FunctionBinder SecurityFunctions() noexcept { return FunctionBinder(GetModuleHandleA("advapi32.dll")); }

SECURITY_INFORMATION Selector(bool owner) noexcept {
  return owner ? OWNER_SECURITY_INFORMATION : GROUP_SECURITY_INFORMATION;
}

}  // namespace

DWORD FileSecurity::GetOwner(WideString& name) const {
  WideString domain;
  return LookupSecurityName(name, domain, true);
}

DWORD FileSecurity::GetOwnerGroup(WideString& name) const {
  WideString domain;
  return LookupSecurityName(name, domain, false);
}

DWORD FileSecurity::LookupSecurityName(WideString& name, WideString& domain, bool owner) const {
  FunctionBinder advapi32 = SecurityFunctions();
  const auto getNamedSecurityInfo = FW_BIND(advapi32, GetNamedSecurityInfoW);
  const auto lookupAccountSid = FW_BIND(advapi32, LookupAccountSidW);
  if (!advapi32.Complete()) return advapi32.Error();

  PSID sid = nullptr;
  LocalMemoryHolder descriptor;  // freed whatever happens below
  const DWORD result =
      getNamedSecurityInfo(const_cast<wchar_t*>(path_.c_str()), SE_FILE_OBJECT, Selector(owner), owner ? &sid : nullptr,
                           owner ? nullptr : &sid, nullptr, nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()));
  if (result != ERROR_SUCCESS) return result;

  DWORD nameLength = 0, domainLength = 0;
  SID_NAME_USE use = SidTypeUnknown;
  // The sizes only: "insufficient buffer" is the answer; any other failure is the look-up's own.
  if (!lookupAccountSid(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use)) {
    const DWORD sizeError = GetLastError();
    if (sizeError != ERROR_INSUFFICIENT_BUFFER) return sizeError;
  }
  ScratchBuffer nameBuffer, domainBuffer;
  nameBuffer.Allocate(nameLength, sizeof(wchar_t));
  domainBuffer.Allocate(domainLength, sizeof(wchar_t));
  if (!lookupAccountSid(nullptr, sid, nameBuffer.As<wchar_t>(), &nameLength, domainBuffer.As<wchar_t>(), &domainLength,
                        &use)) {
    return GetLastError();
  }
  name = nameBuffer.Empty() ? WideString() : WideString(nameBuffer.As<const wchar_t>());
  domain = domainBuffer.Empty() ? WideString() : WideString(domainBuffer.As<const wchar_t>());
  return 0;
}

DWORD FileSecurity::ApplySecurityName(const wchar_t* name, bool owner) const {
  FunctionBinder advapi32 = SecurityFunctions();
  const auto lookupAccountName = FW_BIND(advapi32, LookupAccountNameW);
  FW_BIND(advapi32, SetNamedSecurityInfoW);  // required to be there, never called
  const auto setFileSecurity = FW_BIND(advapi32, SetFileSecurityW);
  const auto initialize = FW_BIND(advapi32, InitializeSecurityDescriptor);
  const auto setOwner = FW_BIND(advapi32, SetSecurityDescriptorOwner);
  const auto setGroup = FW_BIND(advapi32, SetSecurityDescriptorGroup);
  const auto isValid = FW_BIND(advapi32, IsValidSecurityDescriptor);
  if (!advapi32.Complete()) return advapi32.Error();

  DWORD sidLength = 0, domainLength = 0;
  SID_NAME_USE use = SidTypeUnknown;
  // The sizes only, as for the SID's name above.
  if (!lookupAccountName(nullptr, name, nullptr, &sidLength, nullptr, &domainLength, &use)) {
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return error;  // no privilege has been touched
  }
  ScratchBuffer sid, domain;
  sid.Allocate(sidLength, 1);
  domain.Allocate(domainLength, sizeof(wchar_t));
  if (!lookupAccountName(nullptr, name, sid.As<void>(), &sidLength, domain.As<wchar_t>(), &domainLength, &use)) {
    return GetLastError();  // no privilege has been touched
  }

  // Released in the reverse order: backup, restore, take-ownership.
  const PrivilegeEnabler takeOwnership("SeTakeOwnershipPrivilege");
  const PrivilegeEnabler restore("SeRestorePrivilege");
  const PrivilegeEnabler backup("SeBackupPrivilege");

  SECURITY_DESCRIPTOR descriptor = {};
  if (!initialize(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return GetLastError();
  if (!(owner ? setOwner(&descriptor, sid.As<void>(), FALSE) : setGroup(&descriptor, sid.As<void>(), FALSE))) {
    if (const DWORD error = GetLastError()) return error;
  }
  if (!isValid(&descriptor)) return GetLastError();
  if (!setFileSecurity(path_.c_str(), Selector(owner), &descriptor)) return GetLastError();
  return 0;
}

}  // namespace fw
