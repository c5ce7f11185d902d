// RootKey: the library's own numbering of the registry roots, as the Java side passes it.
//
//   RegistryAccess().ReadDword(RootKey::LocalMachine, L"Software\\Fernwick", L"Level");
//   RootKey root = JavaRootToRootKey(jroot);   // 1..5 kept, anything else becomes Invalid
//
// 2 is the current configuration, not the current user. An invalid selector maps to the null
// handle, so the first registry call fails with the system's own error (normally 6).
#pragma once

#include <windows.h>

#include <cstdint>

namespace fw {

enum class RootKey : std::int32_t {
  Invalid = -1,
  ClassesRoot = 1,
  CurrentConfig = 2,
  CurrentUser = 3,
  LocalMachine = 4,
  Users = 5,
};

RootKey JavaRootToRootKey(std::int32_t selector) noexcept;

// The predefined handle of the root; null for Invalid (or any value outside 1..5).
HKEY RootKeyHandle(RootKey root) noexcept;

}  // namespace fw
