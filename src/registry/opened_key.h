// OpenedKey: the key an operation works on, either a key it opened (closed when the OpenedKey
// ends, on every path) or a root handle used as it is (never closed).
//
//   OpenedKey key = access.OpenKey(root, path, KEY_QUERY_VALUE);   // raises RegistryException
//   RegQueryValueExW(key.get(), ...);
//   key.Close();                                                   // early, where it matters
#pragma once

#include <windows.h>

#include <utility>

#include "bridge/unique_resource.h"

namespace fw {

class OpenedKey {
 public:
  // A root handle (or null), borrowed.
  static OpenedKey Borrowed(HKEY root) noexcept { return OpenedKey(root, UniqueKey()); }
  // A key this operation opened; it is closed at the end.
  static OpenedKey Owned(UniqueKey key) noexcept {
    const HKEY handle = key.get();
    return OpenedKey(handle, std::move(key));
  }

  HKEY get() const noexcept { return handle_; }
  void Close() noexcept {
    owned_.reset();
    handle_ = nullptr;
  }

 private:
  OpenedKey(HKEY handle, UniqueKey owned) noexcept : handle_(handle), owned_(std::move(owned)) {}

  HKEY handle_;
  UniqueKey owned_;
};

}  // namespace fw
