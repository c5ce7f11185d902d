// FakeImport: replaces one Win32 function for a module with a behaviour of the test's choosing,
// typed from the function's own declaration (WINAPI included: on 32-bit x86 the callee pops the
// arguments). It takes the module's import slots, or (SubstitutedProcAddress) what the module's
// GetProcAddress hands out for the name; HiddenProcAddresses makes that look-up fail for chosen names;
// RecordedImport passes each call on and keeps its arguments.
//
//   HMODULE self = GetModuleHandleW(nullptr);  // unit tests: the library's code is linked in here
//   auto fail = fwtest::FailImport(self, FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
//   auto only156 = fwtest::ReplaceImport(self, FWTEST_IMPORT(GetVersionExA),
//       [](auto original, LPOSVERSIONINFOA info) -> BOOL { return original(info); });
//   EXPECT_EQ(only156.calls(), 1);
//
// The patch ends with the object. Call the patched function from a function other than the one that
// made the patch (code under test always is): GCC may reuse an import slot's address read before the
// patch, so test helpers that call Win32 directly are marked [[gnu::noipa]]. Each live fake of a
// function type takes one of kFakeImportEntries entry points; the behaviour belongs to the object.
// While a behaviour runs, CallerOfCurrentFake() is the return address of the call that reached the
// fake (through a stacked fake's `original`, still the first caller). Calls made inside a SupportCall
// scope (the test support asking the system for itself) are not counted or recorded.
#pragma once

#include "support/import_table.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fwtest {

template <typename Fn>
struct ImportOf {
  const char* name;
};

#define FWTEST_IMPORT(function) (::fwtest::ImportOf<decltype(&::function)>{#function})

// The Windows 9x stubs (windows9x_stubs.h) hold one entry of their type for the whole run.
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

// TlsGetValue clears the last error (TlsSetValue leaves it alone); the fakes leave it as the caller
// left it.
inline void* ThreadValue(DWORD slot) noexcept {
  const DWORD error = GetLastError();
  void* value = TlsGetValue(slot);
  SetLastError(error);
  return value;
}

// Sets one per-thread value while it lives.
class ThreadValueScope {
 public:
  ThreadValueScope(DWORD slot, const void* value) noexcept : slot_(slot), saved_(ThreadValue(slot)) {
    TlsSetValue(slot, const_cast<void*>(value));
  }
  ThreadValueScope(const ThreadValueScope&) = delete;
  ThreadValueScope& operator=(const ThreadValueScope&) = delete;
  ~ThreadValueScope() { TlsSetValue(slot_, saved_); }

 private:
  DWORD slot_;
  void* saved_;
};
}  // namespace detail

inline const void* CallerOfCurrentFake() noexcept { return detail::ThreadValue(detail::fakeThreadSlots.caller); }

// Calls made while one lives are the test support's own: fakes do not count or record them.
class SupportCall : detail::ThreadValueScope {
 public:
  SupportCall() noexcept : ThreadValueScope(detail::fakeThreadSlots.supportCalls, this) {}
  static bool active() noexcept { return detail::ThreadValue(detail::fakeThreadSlots.supportCalls) != nullptr; }
};

template <typename Fn>
class FakeImport;

template <typename R, typename... A>
class FakeImport<R(WINAPI*)(A...)> {
 public:
  using Function = R(WINAPI*)(A...);
  using Behaviour = std::function<R(Function original, A... args)>;

  FakeImport(HMODULE module, ImportOf<Function> import, Behaviour behaviour) : FakeImport(std::move(behaviour)) {
    state_->patch.emplace(module, import.name, reinterpret_cast<void*>(kTable[entry_]));
  }
  FakeImport(FakeImport&&) noexcept = default;
  FakeImport& operator=(FakeImport&&) = delete;
  ~FakeImport() {
    if (state_ == nullptr) return;
    state_->lookup.reset();  // the name no longer leads here
    state_->patch.reset();   // no call can reach this entry once the slots are back
    owners[entry_].store(nullptr);
  }

  int calls() const noexcept { return state_->calls.load(); }

 protected:
  struct ByName {};
  // The module's GetProcAddress hands out this fake for the function's name; `original` is what
  // the real GetProcAddress gave (null when the system lacks the function).
  FakeImport(ByName, HMODULE module, ImportOf<Function> function, Behaviour behaviour)
      : FakeImport(std::move(behaviour)) {
    State* state = state_.get();
    state->name = function.name;
    const Function entry = kTable[entry_];
    state->lookup = std::make_shared<FakeImport<decltype(&::GetProcAddress)>>(
        module, FWTEST_IMPORT(GetProcAddress), [state, entry](auto original, HMODULE target, LPCSTR name) -> FARPROC {
          if (reinterpret_cast<ULONG_PTR>(name) < 0x10000 || state->name != name) return original(target, name);
          state->found = reinterpret_cast<void*>(original(target, name));
          SetLastError(ERROR_SUCCESS);
          return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(entry));
        });
  }

 private:
  struct State {
    Behaviour behaviour;
    std::atomic<int> calls{0};
    std::optional<ImportPatch> patch;   // the import slots' form
    std::string name;                   // GetProcAddress's form:
    std::shared_ptr<void> lookup;       // the GetProcAddress fake that hands out the entry,
    std::atomic<void*> found{nullptr};  // and what the real look-up gave

    Function Original() const noexcept { return reinterpret_cast<Function>(patch ? patch->original() : found.load()); }
  };

  // Claims an entry point; a constructor that delegates here releases it in the destructor if it throws.
  explicit FakeImport(Behaviour behaviour) : state_(std::make_unique<State>()) {
    state_->behaviour = std::move(behaviour);
    for (entry_ = 0; entry_ < kFakeImportEntries; ++entry_) {
      State* expected = nullptr;
      if (owners[entry_].compare_exchange_strong(expected, state_.get())) return;
    }
    throw std::runtime_error("too many live fakes of one function type");
  }

  static R Forward(State* state, const void* entry, const void* returnAddress, A... args) {
    const Function original = state->Original();
    using detail::fakeThreadSlots;
    const bool forwarded = detail::ThreadValue(fakeThreadSlots.forwardedTo) == entry;
    const detail::ThreadValueScope caller(fakeThreadSlots.caller,
                                          forwarded ? CallerOfCurrentFake() : returnAddress);
    const detail::ThreadValueScope forwarding(fakeThreadSlots.forwardedTo, reinterpret_cast<void*>(original));
    if (!SupportCall::active()) ++state->calls;
    return state->behaviour(original, args...);
  }

  // kFakeImportEntries entry points with the function type's exact signature: entry I forwards to
  // the state that claimed it, with the entry itself and the return address.
  static inline std::atomic<State*> owners[kFakeImportEntries] = {};
  template <std::size_t I>
  static R WINAPI Entry(A... args) {
    return Forward(owners[I].load(), reinterpret_cast<const void*>(&Entry<I>), __builtin_return_address(0), args...);
  }
  template <std::size_t... I>
  static constexpr auto MakeTable(std::index_sequence<I...>) {
    return std::array<Function, sizeof...(I)>{&Entry<I>...};
  }
  static constexpr std::array<Function, kFakeImportEntries> kTable =
      MakeTable(std::make_index_sequence<kFakeImportEntries>());

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

// SubstitutedProcAddress: the module's GetProcAddress hands out the behaviour for one function name,
// for code that binds an optional system function by name at the moment of use. `original` is what
// the real GetProcAddress gave (null when the system lacks the function); other names, and look-ups
// by ordinal, pass through. A pointer the code kept must not be called once the substitute has ended.
//
//   auto groups = fwtest::SubstituteProcAddress(library.get(), FWTEST_IMPORT(GetTokenInformation),
//       [](auto original, HANDLE token, TOKEN_INFORMATION_CLASS type, LPVOID data, DWORD size, PDWORD needed) {
//         return original(token, type, data, size, needed);   // then edit the result
//       });
template <typename Fn>
class SubstitutedProcAddress : public FakeImport<Fn> {
 public:
  SubstitutedProcAddress(HMODULE module, ImportOf<Fn> function, typename FakeImport<Fn>::Behaviour behaviour)
      : FakeImport<Fn>(typename FakeImport<Fn>::ByName{}, module, function, std::move(behaviour)) {}
};

template <typename Fn, typename Behaviour>
SubstitutedProcAddress<Fn> SubstituteProcAddress(HMODULE module, ImportOf<Fn> function, Behaviour behaviour) {
  return SubstitutedProcAddress<Fn>(module, function, std::move(behaviour));
}

// HiddenProcAddresses: the module's GetProcAddress reports the named functions missing (null, last
// error 127), as an older Windows would. Names compare exactly (export names are case-sensitive);
// other names, and look-ups by ordinal, pass through.
//
//   fwtest::HiddenProcAddresses hidden(GetModuleHandleW(nullptr), {"SetProcessAffinityMask"});
class HiddenProcAddresses : public FakeImport<decltype(&::GetProcAddress)> {
 public:
  HiddenProcAddresses(HMODULE module, std::initializer_list<const char*> names)
      : FakeImport(module, FWTEST_IMPORT(GetProcAddress),
                   [hidden = std::set<std::string>(names.begin(), names.end())](
                       auto original, HMODULE target, LPCSTR name) -> FARPROC {
                     if (reinterpret_cast<ULONG_PTR>(name) < 0x10000 || hidden.count(name) == 0) {
                       return original(target, name);
                     }
                     SetLastError(ERROR_PROC_NOT_FOUND);
                     return nullptr;
                   }) {}
};

// RecordedImport: a fake that passes every call on and keeps its arguments as values. Const char
// and wchar_t strings are copied while the call runs, into std::optional<std::string / std::wstring>
// (nullopt for a null pointer, "#N" below 0x10000, as Win32 passes ordinals and resource numbers);
// other pointers may dangle once the call has returned.
//
//   auto opens = fwtest::RecordImport(GetModuleHandleW(nullptr), FWTEST_IMPORT(RegOpenKeyExW));
//   ASSERT_EQ(opens.count(), 1u);
//   auto [root, path, options, access, result] = opens.calls()[0];   // path: L"Software\\Fernwick"
template <typename T>
T Recorded(T value) {
  return value;
}
template <typename Char>
std::optional<std::basic_string<Char>> RecordedText(const Char* text) {
  if (text == nullptr) return std::nullopt;
  const auto value = reinterpret_cast<ULONG_PTR>(text);
  if (value >= 0x10000) return std::basic_string<Char>(text);
  const std::string number = "#" + std::to_string(value);
  return std::basic_string<Char>(number.begin(), number.end());
}
inline std::optional<std::string> Recorded(const char* text) { return RecordedText(text); }
inline std::optional<std::wstring> Recorded(const wchar_t* text) { return RecordedText(text); }

template <typename Fn>
class RecordedImport;

template <typename R, typename... A>
class RecordedImport<R(WINAPI*)(A...)> {
 public:
  using Call = std::tuple<decltype(Recorded(std::declval<A>()))...>;

  RecordedImport(HMODULE module, ImportOf<R(WINAPI*)(A...)> import)
      : fake_(module, import, [log = log_](auto original, A... args) -> R {
          if (!SupportCall::active()) {
            const DWORD callerError = GetLastError();  // some functions leave it alone on success
            {
              std::lock_guard<std::mutex> lock(log->mutex);
              log->calls.emplace_back(Recorded(args)...);
            }
            SetLastError(callerError);
          }
          return original(args...);
        }) {}

  std::size_t count() const { return calls().size(); }
  std::vector<Call> calls() const {
    std::lock_guard<std::mutex> lock(log_->mutex);
    return log_->calls;
  }

 private:
  struct Log {
    std::mutex mutex;
    std::vector<Call> calls;
  };
  std::shared_ptr<Log> log_ = std::make_shared<Log>();  // before fake_, whose behaviour writes to it
  FakeImport<R(WINAPI*)(A...)> fake_;
};

template <typename Fn>
RecordedImport<Fn> RecordImport(HMODULE module, ImportOf<Fn> import) {
  return RecordedImport<Fn>(module, import);
}

}  // namespace fwtest
