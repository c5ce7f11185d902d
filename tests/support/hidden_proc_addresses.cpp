#include "support/hidden_proc_addresses.h"

#include <mutex>

namespace fwtest {

struct HiddenProcAddresses::State {
  std::set<std::string> hidden;
  mutable std::mutex mutex;
  std::vector<std::string> refused;
};

std::shared_ptr<HiddenProcAddresses::State> HiddenProcAddresses::MakeState(
    std::initializer_list<const char*> names) {
  auto state = std::make_shared<State>();
  for (const char* name : names) state->hidden.insert(name);
  return state;
}

HiddenProcAddresses::HiddenProcAddresses(HMODULE module, std::initializer_list<const char*> names)
    : state_(MakeState(names)),
      fake_(module, FWTEST_IMPORT(GetProcAddress),
            [state = state_](decltype(&::GetProcAddress) original, HMODULE target, LPCSTR name) -> FARPROC {
              const bool byName = reinterpret_cast<ULONG_PTR>(name) >= 0x10000;
              if (byName && state->hidden.count(name) != 0) {
                {
                  std::lock_guard<std::mutex> lock(state->mutex);
                  state->refused.emplace_back(name);
                }
                SetLastError(ERROR_PROC_NOT_FOUND);
                return nullptr;
              }
              return original(target, name);
            }) {}

std::vector<std::string> HiddenProcAddresses::refused() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->refused;
}

}  // namespace fwtest
