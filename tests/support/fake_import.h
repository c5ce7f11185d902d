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

inline constexpr std::size_t kFakeImportEntries = 16;

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

  // Entry points with the function's exact type; entry I forwards to the fake that claimed it.
  struct Entries {
    static inline std::atomic<State*> owners[kFakeImportEntries] = {};

    template <std::size_t I>
    static R WINAPI Entry(A... args) {
      State* state = owners[I].load();
      ++state->calls;
      return state->behaviour(reinterpret_cast<Function>(state->patch.original()), args...);
    }

    template <std::size_t... I>
    static constexpr auto MakeTable(std::index_sequence<I...>) {
      return std::array<Function, sizeof...(I)>{&Entry<I>...};
    }
    static constexpr std::array<Function, kFakeImportEntries> kTable =
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
