// RecordedImport: counts and records the calls a module makes to one imported function and passes
// each call on to the function it replaced.
//
//   auto opens = fwtest::RecordImport(GetModuleHandleW(nullptr), FWTEST_IMPORT(RegOpenKeyExW));
//   ... code under test ...
//   ASSERT_EQ(opens.count(), 1u);
//   auto [root, path, options, access, result] = opens.calls()[0];
//   EXPECT_EQ(path, L"Software\\Fernwick");   // text arguments are copied while the call runs
//
// Arguments are kept as values; const char and wchar_t strings are copied into
// std::optional<std::string / std::wstring> (nullopt for a null pointer, "#N" for a pointer below
// 0x10000, which Win32 uses for ordinals and resource numbers). Other pointers are kept as they are
// and may dangle once the call has returned.
#pragma once

#include "support/fake_import.h"

#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace fwtest {

template <typename T>
struct RecordedArgument {
  using Type = T;
  static Type Copy(T value) { return value; }
};

template <typename Char>
struct RecordedText {
  using Type = std::optional<std::basic_string<Char>>;
  static Type Copy(const Char* text) {
    if (text == nullptr) return std::nullopt;
    const auto value = reinterpret_cast<ULONG_PTR>(text);
    if (value < 0x10000) {
      const std::string number = "#" + std::to_string(value);
      return std::basic_string<Char>(number.begin(), number.end());
    }
    return std::basic_string<Char>(text);
  }
};
template <>
struct RecordedArgument<const char*> : RecordedText<char> {};
template <>
struct RecordedArgument<const wchar_t*> : RecordedText<wchar_t> {};

template <typename Fn>
class RecordedImport;

template <typename R, typename... A>
class RecordedImport<R(WINAPI*)(A...)> {
 public:
  using Function = R(WINAPI*)(A...);
  using Call = std::tuple<typename RecordedArgument<A>::Type...>;

  RecordedImport(HMODULE module, ImportOf<Function> import)
      : log_(std::make_unique<Log>()),
        fake_(module, import, [log = log_.get()](Function original, A... args) -> R {
          const DWORD callerError = GetLastError();  // some functions leave it alone on success
          if (!SupportCall::active()) {
            std::lock_guard<std::mutex> lock(log->mutex);
            log->calls.emplace_back(RecordedArgument<A>::Copy(args)...);
          }
          SetLastError(callerError);
          return original(args...);
        }) {}

  std::size_t count() const {
    std::lock_guard<std::mutex> lock(log_->mutex);
    return log_->calls.size();
  }
  std::vector<Call> calls() const {
    std::lock_guard<std::mutex> lock(log_->mutex);
    return log_->calls;
  }

 private:
  struct Log {
    mutable std::mutex mutex;
    std::vector<Call> calls;
  };
  std::unique_ptr<Log> log_;
  FakeImport<Function> fake_;
};

template <typename Fn>
RecordedImport<Fn> RecordImport(HMODULE module, ImportOf<Fn> import) {
  return RecordedImport<Fn>(module, import);
}

}  // namespace fwtest
