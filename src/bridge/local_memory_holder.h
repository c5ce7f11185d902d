// LocalMemoryHolder: owns memory that a Win32 call allocated with LocalAlloc (FormatMessage with
// FORMAT_MESSAGE_ALLOCATE_BUFFER, security descriptors) and frees it with LocalFree.
//
//   LocalMemoryHolder text;
//   FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | ..., reinterpret_cast<LPWSTR>(text.put()), ...);
//   const wchar_t* chars = text.as<wchar_t>();
#pragma once

#include "bridge/unique_resource.h"

namespace fw {

struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type memory) noexcept { LocalFree(memory); }
};

class LocalMemoryHolder : public UniqueResource<LocalMemoryTraits> {
 public:
  using UniqueResource::UniqueResource;

  template <typename T>
  T* as() const noexcept {
    return static_cast<T*>(get());
  }
};

}  // namespace fw
