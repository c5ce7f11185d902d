// SubstitutedProcAddress: makes a module's GetProcAddress hand out a behaviour of the test's
// choosing for one function name, for code that binds an optional system function by name at the
// moment of use. The behaviour is typed from the function's declaration and may call the real one.
//
//   auto groups = fwtest::SubstituteProcAddress(library.get(), FWTEST_IMPORT(GetTokenInformation),
//       [](auto original, HANDLE token, TOKEN_INFORMATION_CLASS type, LPVOID data, DWORD size, PDWORD needed) {
//         return original(token, type, data, size, needed);   // then edit the result
//       });
//   EXPECT_EQ(groups.lookups(), 1);   // the module asked for the name once
//   EXPECT_EQ(groups.calls(), 2);     // and called what it got twice
//
// `original` is what the real GetProcAddress gave for the name (null when the system lacks it).
// Other names, and look-ups by ordinal, pass through. The substitute ends with the object; a
// pointer the code kept beyond that must not be called any more. Each live substitute of a function
// type takes one of kFakeImportEntries entry points, and one GetProcAddress fake (fake_import.h).
#pragma once

#include "support/fake_import.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace fwtest {

template <typename Fn>
class SubstitutedProcAddress;

template <typename R, typename... A>
class SubstitutedProcAddress<R(WINAPI*)(A...)> {
 public:
  using Function = R(WINAPI*)(A...);
  using Behaviour = std::function<R(Function original, A... args)>;

  SubstitutedProcAddress(HMODULE module, ImportOf<Function> function, Behaviour behaviour)
      : state_(MakeState(function.name, std::move(behaviour))),
        entry_(Entries::Claim(state_.get())),
        lookup_(MakeLookup(module, state_, entry_)) {}
  SubstitutedProcAddress(SubstitutedProcAddress&&) noexcept = default;
  SubstitutedProcAddress& operator=(SubstitutedProcAddress&&) = delete;
  ~SubstitutedProcAddress() {
    if (state_ != nullptr) Entries::Release(entry_);
  }

  int lookups() const noexcept { return state_->lookups.load(); }
  int calls() const noexcept { return state_->calls.load(); }

 private:
  struct State {
    std::string name;
    Behaviour behaviour;
    std::atomic<Function> original{nullptr};
    std::atomic<int> lookups{0};
    std::atomic<int> calls{0};
  };
  using GetProcAddressFunction = decltype(&::GetProcAddress);

  static std::shared_ptr<State> MakeState(const char* name, Behaviour behaviour) {
    auto state = std::make_shared<State>();
    state->name = name;
    state->behaviour = std::move(behaviour);
    return state;
  }

  // Hands out the claimed entry for the name; releases the entry when the patch cannot be made,
  // since no destructor will run then.
  static FakeImport<GetProcAddressFunction> MakeLookup(HMODULE module, std::shared_ptr<State> state,
                                                       std::size_t claimed) {
    const Function entry = Entries::kTable[claimed];
    try {
      return FakeImport<GetProcAddressFunction>(
          module, FWTEST_IMPORT(GetProcAddress),
          [state, entry](GetProcAddressFunction original, HMODULE target, LPCSTR name) -> FARPROC {
            const bool byName = reinterpret_cast<ULONG_PTR>(name) >= 0x10000;
            if (!byName || state->name != name) return original(target, name);
            ++state->lookups;
            state->original = reinterpret_cast<Function>(reinterpret_cast<void*>(original(target, name)));
            SetLastError(ERROR_SUCCESS);
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(entry));
          });
    } catch (...) {
      Entries::Release(claimed);
      throw;
    }
  }

  using Entries = detail::EntryPoints<SubstitutedProcAddress, State, R, A...>;
  friend Entries;
  static R Forward(State* state, const void*, const void*, A... args) {
    ++state->calls;
    return state->behaviour(state->original.load(), args...);
  }

  std::shared_ptr<State> state_;
  std::size_t entry_;
  FakeImport<GetProcAddressFunction> lookup_;
};

template <typename Fn, typename Behaviour>
SubstitutedProcAddress<Fn> SubstituteProcAddress(HMODULE module, ImportOf<Fn> function, Behaviour behaviour) {
  return SubstitutedProcAddress<Fn>(module, function, std::move(behaviour));
}

}  // namespace fwtest
