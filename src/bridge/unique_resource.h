// UniqueResource: the one move-only owner of a native resource.
//
//   UniqueKey key;
//   LONG rc = RegOpenKeyExW(root, path, 0, KEY_READ, key.put());  // put() closes what was held first
//   if (rc != ERROR_SUCCESS) return rc;                            // nothing to close by hand
//
// Each kind of resource is one Traits struct naming its type, the value that means "nothing held"
// (null for most handles, INVALID_HANDLE_VALUE for files) and its close function. Closing never
// changes the thread's last error, so an owner ending on an error path keeps the error readable.
#pragma once

#include <windows.h>

#include <utility>

namespace fw {

template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() noexcept : value_(Traits::Invalid()) {}
  explicit UniqueResource(Type value) noexcept : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  Type get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  void reset(Type value = Traits::Invalid()) noexcept {
    if (valid()) {
      const DWORD saved = GetLastError();
      Traits::Close(value_);
      SetLastError(saved);
    }
    value_ = value;
  }
  [[nodiscard]] Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }

  // Address for an out-parameter; whatever was held is closed first so it cannot leak.
  Type* put() noexcept {
    reset();
    return &value_;
  }

 private:
  Type value_;
};

struct ModuleTraits {
  using Type = HMODULE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type module) noexcept { FreeLibrary(module); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

struct KeyTraits {
  using Type = HKEY;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type key) noexcept { RegCloseKey(key); }
};
using UniqueKey = UniqueResource<KeyTraits>;

struct HandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type handle) noexcept { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<HandleTraits>;

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) noexcept { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueResource<FileHandleTraits>;

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) noexcept { FindClose(handle); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

}  // namespace fw
