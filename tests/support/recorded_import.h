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

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace fwtest {

// What the record keeps of one argument.
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
  using Function = R(WINAPI*)(A...);
  using Call = std::tuple<decltype(Recorded(std::declval<A>()))...>;

  RecordedImport(HMODULE module, ImportOf<Function> import)
      : fake_(module, import, [log = log_.get()](Function original, A... args) -> R {
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
  std::unique_ptr<Log> log_ = std::make_unique<Log>();  // before fake_, whose behaviour writes to it
  FakeImport<Function> fake_;
};

template <typename Fn>
RecordedImport<Fn> RecordImport(HMODULE module, ImportOf<Fn> import) {
  return RecordedImport<Fn>(module, import);
}

}  // namespace fwtest
