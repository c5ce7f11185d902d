// Owners for the shell's and COM's resources used by the desktop service.
//
//   ComInterface<IShellLinkA> link;
//   HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
//                                 reinterpret_cast<void**>(link.put()));
//   if (FAILED(hr)) return hr;                  // whatever was handed out is released
//
//   ItemIdList list;
//   SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, list.put());   // freed with the shell allocator
#pragma once

#include <shlobj.h>
#include <windows.h>

#include "bridge/unique_resource.h"

namespace fw {

template <typename Interface>
struct ComInterfaceTraits {
  using Type = Interface*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type pointer) noexcept { pointer->Release(); }
};
template <typename Interface>
using ComInterface = UniqueResource<ComInterfaceTraits<Interface>>;

// An item identifier list is freed through the shell's allocator; when that allocator cannot be
// had the list is left as it is (a small leak, not a failure).
struct ItemIdListTraits {
  using Type = LPITEMIDLIST;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type list) noexcept {
    ComInterface<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(allocator.put()))) allocator.get()->Free(list);
  }
};
using ItemIdList = UniqueResource<ItemIdListTraits>;

}  // namespace fw
