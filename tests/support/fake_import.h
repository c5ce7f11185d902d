// FakeImport: replaces one imported Win32 function of a module with a behaviour of the test's
// choosing, typed from the function's own declaration (WINAPI included, which on 32-bit x86 means
// the callee pops the arguments).
//
//   HMODULE self = GetModuleHandleW(nullptr);  // unit tests: the library's code is linked in here
//   // Fail with a result and a last error:
//   auto fail = fwtest::FailImport(self, FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
//   // Custom behaviour that may call the real function:
//   auto only156 = fwtest::ReplaceImport(self, FWTEST_IMPORT(GetVersionExA),
//       [](auto original, LPOSVERSIONINFOA info) -> BOOL {
//         if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) { SetLastError(87); return FALSE; }
//         return original(info);
//       });
//   EXPECT_EQ(only156.calls(), 1);
//
// FWTEST_IMPORT(name) pairs the name with decltype(&::name), so the two cannot disagree;
// .from("advapi32.dll") limits the patch to one DLL's imports. The patch ends with the object.
// Call the patched function from a function other than the one that made the patch (code under
// test always is): GCC takes an import slot for a constant and may reuse, after the patch, the
// address it read before it. Test helpers that call Win32 directly are marked [[gnu::noipa]].
// Each live fake of a function type takes one of kFakeImportEntries entry points; the behaviour
// belongs to the object, so fakes of the same type (same function twice, or two functions of the
// same shape) stay independent.
// While a behaviour runs, CallerOfCurrentFake() is the return address of the call that reached the
// fake; a fake reached through another fake's `original` keeps the first caller, so a fake stacked
// on another does not hide who made the call. Calls made inside a SupportCall scope (the test
// support asking the system for itself) are not counted or recorded.
#pragma once

#include "support/import_patch.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

namespace fwtest {

template <typename Fn>
struct ImportOf {
  const char* name;
  const char* dll = nullptr;

  ImportOf from(const char* dllName) const { return ImportOf{name, dllName}; }
};

#define FWTEST_IMPORT(function) (::fwtest::ImportOf<decltype(&::function)>{#function})

// The Windows 98 stubs (windows98_stubs.h) hold one entry of their type for the whole run.
inline constexpr std::size_t kFakeImportEntries = 24;

namespace detail {
// Per-thread state of the fakes, kept in Win32 thread-local storage: the runtime's own thread-local
// variables may call imported functions, which may be faked, on a thread's first use.
struct FakeThreadSlots {
  DWORD caller = TlsAlloc();
  DWORD forwardedTo = TlsAlloc();  // what the running behaviour receives as `original`
  DWORD supportCalls = TlsAlloc();
};
inline const FakeThreadSlots fakeThreadSlots;

// Makes the caller of one behaviour current; the last error stays as the caller left it.
class FakeCallScope {
 public:
  FakeCallScope(const void* returnAddress, const void* entry, const void* original) noexcept
      : error_(GetLastError()),
        savedCaller_(TlsGetValue(fakeThreadSlots.caller)),
        savedForwardedTo_(TlsGetValue(fakeThreadSlots.forwardedTo)),
        counted_(TlsGetValue(fakeThreadSlots.supportCalls) == nullptr) {
    const void* caller = savedForwardedTo_ == entry ? savedCaller_ : returnAddress;
    TlsSetValue(fakeThreadSlots.caller, const_cast<void*>(caller));
    TlsSetValue(fakeThreadSlots.forwardedTo, const_cast<void*>(original));
    SetLastError(error_);
  }
  FakeCallScope(const FakeCallScope&) = delete;
  FakeCallScope& operator=(const FakeCallScope&) = delete;
  ~FakeCallScope() {
    const DWORD error = GetLastError();
    TlsSetValue(fakeThreadSlots.caller, savedCaller_);
    TlsSetValue(fakeThreadSlots.forwardedTo, savedForwardedTo_);
    SetLastError(error);
  }
  // False for the test support's own calls (SupportCall).
  bool counted() const noexcept { return counted_; }

 private:
  DWORD error_;
  void* savedCaller_;
  void* savedForwardedTo_;
  bool counted_;
};

// kFakeImportEntries entry points with one function type's exact signature: entry I forwards to
// Owner::Forward with the state that claimed it, the entry itself and the return address.
template <typename Owner, typename State, typename R, typename... A>
struct EntryPoints {
  static inline std::atomic<State*> owners[kFakeImportEntries] = {};

  template <std::size_t I>
  static R WINAPI Entry(A... args) {
    return Owner::Forward(owners[I].load(), reinterpret_cast<const void*>(&Entry<I>), __builtin_return_address(0),
                          args...);
  }
  template <std::size_t... I>
  static constexpr auto MakeTable(std::index_sequence<I...>) {
    return std::array<R(WINAPI*)(A...), sizeof...(I)>{&Entry<I>...};
  }
  static constexpr std::array<R(WINAPI*)(A...), kFakeImportEntries> kTable =
      MakeTable(std::make_index_sequence<kFakeImportEntries>());

  static std::size_t Claim(State* state) {
    for (std::size_t i = 0; i < kFakeImportEntries; ++i) {
      State* expected = nullptr;
      if (owners[i].compare_exchange_strong(expected, state)) return i;
    }
    throw std::runtime_error("too many live fakes of one function type");
  }
  static void Release(std::size_t i) noexcept { owners[i].store(nullptr); }
};
}  // namespace detail

inline const void* CallerOfCurrentFake() noexcept {
  const DWORD error = GetLastError();
  const void* caller = TlsGetValue(detail::fakeThreadSlots.caller);
  SetLastError(error);
  return caller;
}

// Calls made while one lives are the test support's own: fakes do not count or record them.
class SupportCall {
 public:
  SupportCall() noexcept : error_(GetLastError()), saved_(TlsGetValue(detail::fakeThreadSlots.supportCalls)) {
    TlsSetValue(detail::fakeThreadSlots.supportCalls, reinterpret_cast<void*>(1));
    SetLastError(error_);
  }
  SupportCall(const SupportCall&) = delete;
  SupportCall& operator=(const SupportCall&) = delete;
  ~SupportCall() {
    const DWORD error = GetLastError();
    TlsSetValue(detail::fakeThreadSlots.supportCalls, saved_);
    SetLastError(error);
  }
  static bool active() noexcept {
    const DWORD error = GetLastError();
    const bool active = TlsGetValue(detail::fakeThreadSlots.supportCalls) != nullptr;
    SetLastError(error);
    return active;
  }

 private:
  DWORD error_;
  void* saved_;
};

template <typename Fn>
class FakeImport;

template <typename R, typename... A>
class FakeImport<R(WINAPI*)(A...)> {
 public:
  using Function = R(WINAPI*)(A...);
  using Behaviour = std::function<R(Function original, A... args)>;

  FakeImport(HMODULE module, ImportOf<Function> import, Behaviour behaviour)
      : state_(std::make_unique<State>()) {
    state_->behaviour = std::move(behaviour);
    entry_ = Entries::Claim(state_.get());
    try {
      state_->patch = ImportPatch(module, import.name, reinterpret_cast<void*>(Entries::kTable[entry_]), import.dll);
    } catch (...) {
      Entries::Release(entry_);
      throw;
    }
  }
  FakeImport(FakeImport&&) noexcept = default;
  FakeImport& operator=(FakeImport&&) = delete;
  ~FakeImport() {
    if (state_ == nullptr) return;
    state_->patch.restore();  // no call can reach this entry once the slots are back
    Entries::Release(entry_);
  }

  int calls() const noexcept { return state_->calls.load(); }
  Function original() const noexcept { return reinterpret_cast<Function>(state_->patch.original()); }

 private:
  struct State {
    Behaviour behaviour;
    ImportPatch patch;
    std::atomic<int> calls{0};
  };

  using Entries = detail::EntryPoints<FakeImport, State, R, A...>;
  friend Entries;
  static R Forward(State* state, const void* entry, const void* returnAddress, A... args) {
    void* original = state->patch.original();
    const detail::FakeCallScope scope(returnAddress, entry, original);
    if (scope.counted()) ++state->calls;
    return state->behaviour(reinterpret_cast<Function>(original), args...);
  }

  std::unique_ptr<State> state_;
  std::size_t entry_ = 0;
};

// A fake that sets the last error and returns the result, without calling the real function.
template <typename Fn, typename Result>
FakeImport<Fn> FailImport(HMODULE module, ImportOf<Fn> import, Result result, DWORD error) {
  return FakeImport<Fn>(module, import, [result, error](Fn, auto...) {
    SetLastError(error);
    return result;
  });
}

// A fake running `behaviour(original, args...)`; `original` is what the slot held before.
template <typename Fn, typename Behaviour>
FakeImport<Fn> ReplaceImport(HMODULE module, ImportOf<Fn> import, Behaviour behaviour) {
  return FakeImport<Fn>(module, import, std::move(behaviour));
}

}  // namespace fwtest
