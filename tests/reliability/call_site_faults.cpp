#include "reliability/call_site_faults.h"

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "support/fake_import.h"
#include "support/import_table.h"
#include "support/substituted_proc_address.h"
#include "support/win32_catalogue.h"

namespace fwtest {
namespace {

struct Entry;
using PatchMaker = std::shared_ptr<void> (*)(HMODULE, const Entry&, std::atomic<int>* calls, int failAt, DWORD error);

struct Entry {
  const char* name;
  bool bound;
  Failure failure;
  PatchMaker patch;
};

template <typename T>
std::shared_ptr<void> Hold(T&& patch) {
  return std::make_shared<std::decay_t<T>>(std::forward<T>(patch));
}

// Counts every call; the `failAt`-th (none when 0) fails as the entry says.
template <typename Fn>
std::shared_ptr<void> Patch(HMODULE module, const Entry& e, std::atomic<int>* calls, int failAt, DWORD error) {
  auto behaviour = [=, failure = e.failure](Fn original, auto... args) {
    using R = decltype(original(args...));
    if (++*calls != failAt) return original(args...);
    if (failure == Failure::Release) original(args...);
    SetLastError(error);
    return FailureResult<R>(failure, error);
  };
  if (e.bound) return Hold(SubstituteProcAddress(module, ImportOf<Fn>{e.name}, std::move(behaviour)));
  return Hold(ReplaceImport(module, ImportOf<Fn>{e.name}, std::move(behaviour)));
}

#define FW_IMPORT_ENTRY(function, failure) {#function, false, Failure::failure, &Patch<decltype(&::function)>},
#define FW_BOUND_ENTRY(function, failure) {#function, true, Failure::failure, &Patch<decltype(&::function)>},
const Entry kEntries[] = {FW_WIN32_IMPORTS(FW_IMPORT_ENTRY) FW_WIN32_BOUND(FW_BOUND_ENTRY)};

// Called but never made to fail. The language runtime's own imports are not the library's calls.
const std::pair<const char*, std::set<std::string>> kNotFailed[] = {
    {"cannot fail", {"GetLastError", "SetLastError", "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread",
                     "GetCurrentThreadId", "GetACP", "SetErrorMode", "ShowWindow", "wsprintfA"}},
    {"a question with no failure result", {"IsDBCSLeadByteEx", "IsWindowVisible", "IsValidSecurityDescriptor", "EqualSid"}},
    {"returns nothing", {"GetSystemInfo", "Sleep", "CoUninitialize", "SHChangeNotify"}},
    {"a release that fails only for a bad pointer", {"LocalFree", "FreeSid"}},
    {"language runtime (locks, thread-local storage, exceptions, relocation at load)",
     {"DisableThreadLibraryCalls", "InitializeCriticalSection", "DeleteCriticalSection", "EnterCriticalSection",
      "LeaveCriticalSection", "CreateSemaphoreW", "CreateSemaphoreA", "ReleaseSemaphore", "TlsAlloc", "TlsFree",
      "TlsGetValue", "TlsSetValue", "VirtualProtect", "VirtualQuery", "RaiseException", "RtlCaptureContext",
      "RtlLookupFunctionEntry", "RtlUnwindEx", "RtlVirtualUnwind"}},
};

const Entry* Find(const std::string& name) {
  for (const Entry& e : kEntries) {
    if (name == e.name) return &e;
  }
  return nullptr;
}

const Entry& Require(const std::string& name) {
  const Entry* e = Find(name);
  if (e == nullptr) throw std::invalid_argument("not in the Win32 catalogue: " + name);
  return *e;
}

}  // namespace

struct CallCounter::State {
  std::vector<std::pair<const char*, std::unique_ptr<std::atomic<int>>>> counts;
  std::vector<std::shared_ptr<void>> patches;
  mutable std::mutex mutex;
  std::set<std::string> resolved;
};

CallCounter::CallCounter(HMODULE module, const std::set<std::string>& bound, const CallSite& fault, DWORD error)
    : state_(std::make_unique<State>()) {
  auto add = [&](const Entry& e, int failAt) {
    auto calls = std::make_unique<std::atomic<int>>(0);
    state_->patches.push_back(e.patch(module, e, calls.get(), failAt, error));
    state_->counts.emplace_back(e.name, std::move(calls));
  };
  // A faulty run patches the one function: a bound function's substitute would hand out its entry
  // even when the look-up under it fails.
  if (!fault.function.empty()) {
    add(Require(fault.function), fault.occurrence);
    return;
  }
  for (const Entry& e : kEntries) {
    if (!e.bound && !FindImportSlots(module, e.name).empty()) add(e, 0);
  }
  for (const std::string& name : bound) {
    const Entry& e = Require(name);
    if (!e.bound) throw std::invalid_argument(name + " is catalogued as an import, but was bound by name");
    add(e, 0);
  }
  State* state = state_.get();
  state_->patches.push_back(Hold(ReplaceImport(module, FWTEST_IMPORT(GetProcAddress),
      [state](auto original, HMODULE target, LPCSTR name) -> FARPROC {
        const FARPROC address = original(target, name);
        const DWORD error = GetLastError();
        if (address != nullptr && reinterpret_cast<ULONG_PTR>(name) >= 0x10000) {
          std::lock_guard<std::mutex> lock(state->mutex);
          state->resolved.insert(name);
        }
        SetLastError(error);
        return address;
      })));
}

CallCounter::~CallCounter() {
  while (!state_->patches.empty()) state_->patches.pop_back();  // in the reverse order of their making
}

std::map<std::string, int> CallCounter::Counts() const {
  std::map<std::string, int> counts;
  for (const auto& [name, calls] : state_->counts) {
    if (*calls > 0) counts[name] = *calls;
  }
  return counts;
}

std::set<std::string> CallCounter::Resolved() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->resolved;
}

bool IsCatalogued(const std::string& function) { return Find(function) != nullptr || NotFailedReason(function); }

bool FailsWithHresult(const std::string& function) {
  const Entry* e = Find(function);
  return e != nullptr && e->failure == Failure::Hresult;
}

const char* NotFailedReason(const std::string& function) {
  for (const auto& [reason, names] : kNotFailed) {
    if (names.count(function) != 0) return reason;
  }
  return nullptr;
}

std::vector<std::string> UncataloguedImports(HMODULE module) {
  std::vector<std::string> missing;
  for (const std::string& name : ImportedFunctionNames(module)) {
    if (FindImportSlots(module, name.c_str(), "msvcrt.dll").empty() && !IsCatalogued(name)) missing.push_back(name);
  }
  return missing;
}

}  // namespace fwtest
