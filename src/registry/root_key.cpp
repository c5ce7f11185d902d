#include "registry/root_key.h"

namespace fw {

RootKey JavaRootToRootKey(std::int32_t selector) noexcept {
  return (selector >= 1 && selector <= 5) ? static_cast<RootKey>(selector) : RootKey::Invalid;
}

HKEY RootKeyHandle(RootKey root) noexcept {
  switch (root) {
    case RootKey::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RootKey::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case RootKey::CurrentUser:
      return HKEY_CURRENT_USER;
    case RootKey::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RootKey::Users:
      return HKEY_USERS;
    default:
      return nullptr;
  }
}

}  // namespace fw
