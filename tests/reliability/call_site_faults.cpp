#include "reliability/call_site_faults.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "reliability/win32_catalogue.h"
#include "support/fake_import.h"
#include "support/import_table.h"
#include "support/substituted_proc_address.h"

namespace fwtest {
namespace {

enum class Failure { Zero, AllOnes, Status, Hresult, Release };

template <typename T>
struct Held : HeldPatch {
  explicit Held(T&& v) : value(std::move(v)) {}
  T value;
};
template <typename T>
std::unique_ptr<HeldPatch> Hold(T&& value) {
  return std::make_unique<Held<T>>(std::forward<T>(value));
}

template <typename Fn>
struct ResultOf;
template <typename R, typename... A>
struct ResultOf<R(WINAPI*)(A...)> {
  using Type = R;
};

template <typename R>
R FailureResult(Failure failure, DWORD error) {
  const auto value = [&]() -> LONG_PTR {
    switch (failure) {
      case Failure::AllOnes: return -1;
      case Failure::Status: return static_cast<LONG_PTR>(error);
      case Failure::Hresult: return static_cast<LONG_PTR>(HRESULT_FROM_WIN32(error));
      default: return 0;
    }
  }();
  if constexpr (std::is_pointer_v<R>) {
    return reinterpret_cast<R>(value);
  } else {
    return static_cast<R>(value);
  }
}

// A status function reports a failed release with the error, the others with FALSE.
Failure ReleaseResult(Failure failure, bool statusFunction) {
  if (failure != Failure::Release) return failure;
  return statusFunction ? Failure::Status : Failure::Zero;
}

template <typename Fn, typename Behaviour>
std::unique_ptr<HeldPatch> Patch(HMODULE module, const char* name, bool bound, Behaviour behaviour) {
  if (bound) return Hold(SubstituteProcAddress(module, ImportOf<Fn>{name}, std::move(behaviour)));
  return Hold(ReplaceImport(module, ImportOf<Fn>{name}, std::move(behaviour)));
}

template <typename Fn>
std::unique_ptr<HeldPatch> Count(HMODULE module, const char* name, bool bound, std::atomic<int>* calls) {
  return Patch<Fn>(module, name, bound, [calls](Fn original, auto... args) {
    ++*calls;
    return original(args...);
  });
}

template <typename Fn>
std::unique_ptr<HeldPatch> Fail(HMODULE module, const char* name, bool bound, Failure failure, bool statusFunction,
                                DWORD error, int occurrence, std::atomic<int>* calls) {
  using R = typename ResultOf<Fn>::Type;
  return Patch<Fn>(module, name, bound, [=](Fn original, auto... args) -> R {
    if (++*calls != occurrence) return original(args...);
    if (failure == Failure::Release) original(args...);
    SetLastError(error);
    return FailureResult<R>(ReleaseResult(failure, statusFunction), error);
  });
}

struct Entry {
  const char* name;
  bool bound;
  Failure failure;
  bool statusFunction;  // returns its error (LONG/DWORD status) rather than FALSE
  std::unique_ptr<HeldPatch> (*count)(HMODULE, const char*, bool, std::atomic<int>*);
  std::unique_ptr<HeldPatch> (*fail)(HMODULE, const char*, bool, Failure, bool, DWORD, int, std::atomic<int>*);
};

template <typename Fn>
constexpr bool ReturnsStatus() {
  using R = typename ResultOf<Fn>::Type;
  return std::is_same_v<R, LONG> || std::is_same_v<R, DWORD>;
}

#define FW_IMPORT_ENTRY(function, failure) \
  Entry{#function, false, Failure::failure, ReturnsStatus<decltype(&::function)>(), \
        &Count<decltype(&::function)>, &Fail<decltype(&::function)>},
#define FW_BOUND_ENTRY(function, failure) \
  Entry{#function, true, Failure::failure, ReturnsStatus<decltype(&::function)>(), \
        &Count<decltype(&::function)>, &Fail<decltype(&::function)>},
#define FW_NOT_FAILED_ENTRY(function, reason) {#function, reason},

const Entry kEntries[] = {FW_WIN32_IMPORTS(FW_IMPORT_ENTRY) FW_WIN32_BOUND(FW_BOUND_ENTRY)};
const std::pair<const char*, const char*> kNotFailed[] = {FW_WIN32_NOT_FAILED(FW_NOT_FAILED_ENTRY)};

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

bool Imports(HMODULE module, const char* name) { return !FindImportSlots(module, name).empty(); }

// Every by-name import of the module with its DLL's name, lower case.
std::vector<std::pair<std::string, std::string>> ImportNames(HMODULE module) {
  std::vector<std::pair<std::string, std::string>> names;
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return names;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
    std::string dll(reinterpret_cast<const char*>(base + d->Name));
    for (char& c : dll) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (d->OriginalFirstThunk == 0) continue;
    for (auto* t = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk); t->u1.AddressOfData != 0;
         ++t) {
      if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + t->u1.AddressOfData);
      names.emplace_back(dll, reinterpret_cast<const char*>(byName->Name));
    }
  }
  return names;
}

}  // namespace

struct CallCounter::State {
  std::vector<std::pair<const char*, std::unique_ptr<std::atomic<int>>>> counts;
  std::vector<std::unique_ptr<HeldPatch>> patches;
  mutable std::mutex mutex;
  std::set<std::string> resolved;
};

CallCounter::CallCounter(HMODULE module) : CallCounter(module, {}) {}

CallCounter::CallCounter(HMODULE module, const std::set<std::string>& bound) : state_(std::make_unique<State>()) {
  auto add = [&](const Entry& e) {
    auto calls = std::make_unique<std::atomic<int>>(0);
    state_->patches.push_back(e.count(module, e.name, e.bound, calls.get()));
    state_->counts.emplace_back(e.name, std::move(calls));
  };
  for (const Entry& e : kEntries) {
    if (!e.bound && Imports(module, e.name)) add(e);
  }
  for (const std::string& name : bound) {
    const Entry& e = Require(name);
    if (!e.bound) throw std::invalid_argument(name + " is catalogued as an import, but was bound by name");
    add(e);
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
  // The patches end in the reverse order of their making.
  while (!state_->patches.empty()) state_->patches.pop_back();
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

struct InjectedFault::State {
  std::atomic<int> calls{0};
  std::unique_ptr<HeldPatch> patch;
};

InjectedFault::InjectedFault(HMODULE module, const CallSite& site, DWORD error) : state_(std::make_unique<State>()) {
  const Entry& e = Require(site.function);
  state_->patch = e.fail(module, e.name, e.bound, e.failure, e.statusFunction, error, site.occurrence, &state_->calls);
}

InjectedFault::~InjectedFault() = default;

int InjectedFault::Calls() const { return state_->calls; }

bool IsCatalogued(const std::string& function) { return Find(function) != nullptr || NotFailedReason(function); }

bool FailsWithHresult(const std::string& function) {
  const Entry* e = Find(function);
  return e != nullptr && e->failure == Failure::Hresult;
}

const char* NotFailedReason(const std::string& function) {
  for (const auto& [name, reason] : kNotFailed) {
    if (function == name) return reason;
  }
  return nullptr;
}

std::vector<std::string> UncataloguedImports(HMODULE module) {
  std::vector<std::string> missing;
  for (const auto& [dll, name] : ImportNames(module)) {
    if (dll != "msvcrt.dll" && !IsCatalogued(name)) missing.push_back(dll + "!" + name);
  }
  return missing;
}

}  // namespace fwtest
