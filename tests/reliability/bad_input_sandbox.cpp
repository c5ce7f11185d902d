#include "reliability/bad_input_sandbox.h"

#include <aclapi.h>
#include <lm.h>

#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "bridge/unique_resource.h"
#include "file/file_test_support.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/substituted_proc_address.h"

namespace fwtest {
namespace {

constexpr wchar_t kVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
  return text;
}

std::wstring Wide(const char* path) {
  const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
  if (!wide.empty()) wide.pop_back();
  return wide;
}

// The full path in lower case; nullopt when the system cannot make one.
std::optional<std::wstring> FullPath(const wchar_t* path) {
  if (path == nullptr || *path == L'\0') return std::nullopt;
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return std::nullopt;
  full.resize(length);
  return Lower(full);
}
std::optional<std::wstring> FullPath(const char* path) { return path ? FullPath(Wide(path).c_str()) : std::nullopt; }

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> DriveRootEntries(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const fw::UniqueFindHandle find(FindFirstFileW((folder.substr(0, 3) + L"*").c_str(), &entry));
  if (!find) return names;
  do names.push_back(entry.cFileName);
  while (FindNextFileW(find.get(), &entry));
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::wstring, std::wstring> EnvironmentVariables() {
  std::map<std::wstring, std::wstring> variables;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* entry = block; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    const std::size_t equals = text.find(L'=', 1);  // "=C:=C:\..." keeps a drive's directory
    if (equals != std::wstring::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  if (block != nullptr) FreeEnvironmentStringsW(block);
  return variables;
}

// The current directory, the process environment, error mode and affinity, put back at the end.
class ScopedProcessState {
 public:
  explicit ScopedProcessState(const std::wstring& directory)
      : variables_(EnvironmentVariables()), errorMode_(SetErrorMode(0)) {
    SetErrorMode(errorMode_);
    DWORD_PTR system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &affinity_, &system);
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    directory_ = saved;
    if (!SetCurrentDirectoryW(directory.c_str())) throw std::runtime_error("cannot enter the test folder");
  }
  ~ScopedProcessState() {
    SetCurrentDirectoryW(directory_.c_str());
    for (const auto& [name, value] : EnvironmentVariables()) {
      if (variables_.count(name) == 0) SetEnvironmentVariableW(name.c_str(), nullptr);
    }
    for (const auto& [name, value] : variables_) SetEnvironmentVariableW(name.c_str(), value.c_str());
    SetErrorMode(errorMode_);
    SetProcessAffinityMask(GetCurrentProcess(), affinity_);
  }
  ScopedProcessState(const ScopedProcessState&) = delete;
  ScopedProcessState& operator=(const ScopedProcessState&) = delete;

 private:
  std::map<std::wstring, std::wstring> variables_;
  UINT errorMode_;
  DWORD_PTR affinity_ = 0;
  std::wstring directory_;
};

// A predefined root pointed at a key of the current user's hive until the object ends.
class ScopedRootOverride {
 public:
  ScopedRootOverride(HKEY root, const std::wstring& userPath) : root_(root) {
    fw::UniqueKey target;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, userPath.c_str(), 0, KEY_ALL_ACCESS, target.put()) != ERROR_SUCCESS ||
        RegOverridePredefKey(root, target.get()) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot redirect a registry root");
    }
  }
  ~ScopedRootOverride() { RegOverridePredefKey(root_, nullptr); }
  ScopedRootOverride(const ScopedRootOverride&) = delete;
  ScopedRootOverride& operator=(const ScopedRootOverride&) = delete;

 private:
  HKEY root_;
};

struct ServiceTraits {
  using Type = SC_HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type handle) noexcept { CloseServiceHandle(handle); }
};
using UniqueService = fw::UniqueResource<ServiceTraits>;

constexpr DWORD kChangingAccess = GENERIC_WRITE | GENERIC_ALL | DELETE | WRITE_DAC | WRITE_OWNER |
                                  FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA;

bool Changes(DWORD access, DWORD disposition, DWORD flags) {
  return (access & kChangingAccess) != 0 || disposition != OPEN_EXISTING || (flags & FILE_FLAG_DELETE_ON_CLOSE) != 0;
}

// A fake that first asks `check` about the arguments, and fails (FALSE, INVALID_HANDLE_VALUE) when it says no.
template <typename Fn, typename Check>
std::shared_ptr<void> Guard(HMODULE module, ImportOf<Fn> import, Check check) {
  return std::make_shared<FakeImport<Fn>>(module, import, [check](Fn original, auto... args) {
    using Result = decltype(original(args...));
    if (check(args...)) return original(args...);
    if constexpr (std::is_pointer_v<Result>) {
      return Result(INVALID_HANDLE_VALUE);
    } else {
      return Result{FALSE};
    }
  });
}

template <typename Fn, typename Behaviour>
std::shared_ptr<void> Substitute(HMODULE module, ImportOf<Fn> function, Behaviour behaviour) {
  return std::make_shared<SubstitutedProcAddress<Fn>>(module, function, std::move(behaviour));
}

// A function bound by name that answers `status` whatever it is asked.
template <typename Fn>
std::shared_ptr<void> Answer(HMODULE module, ImportOf<Fn> function, NET_API_STATUS status) {
  return Substitute(module, function, [status](auto, auto...) { return status; });
}

}  // namespace

struct BadInputSandbox::State {
  explicit State(HMODULE module);
  ~State();
  bool Inside(const std::wstring& path) const;
  // True when the change may go ahead; otherwise recorded, with access denied as the last error.
  template <typename Char>
  bool Allow(const char* function, const Char* path);
  void EnsureOwnService();
  void DeleteService(const std::wstring& name);

  TempFolder folder;
  std::wstring inside;  // the folder's full path in lower case, with a trailing backslash
  ScopedProcessState process{folder.path()};
  ScopedWinInit winInit;
  ScopedPendingRenames pendingRenames;
  TestRegistryKey key;
  std::optional<ScopedRootOverride> user, machine;
  std::wstring serviceName = L"fwbadinput" + std::to_wstring(GetCurrentProcessId());
  std::vector<std::wstring> rootBefore;
  std::vector<std::string> escapes;
  std::vector<std::shared_ptr<void>> fakes;  // the patches, ended before anything else
};

BadInputSandbox::State::State(HMODULE library) {
  inside = *FullPath(folder.path().c_str()) + L"\\";
  WriteBytes(folder / L"keep", "a folder that is never empty");

  const std::wstring users = key.Below(L"user"), machines = key.Below(L"machine");
  CreateRawKey(HKEY_CURRENT_USER, users + L"\\" + RegistryKey());
  SetRawValue(HKEY_CURRENT_USER, users + L"\\" + RegistryKey(), L"value", REG_SZ, L"text", 10);
  for (const std::wstring& below :
       {users + L"\\Environment", users + L"\\" + kVersionKey + L"\\Uninstall",
        machines + L"\\" + kVersionKey + L"\\Uninstall", machines + L"\\" + kVersionKey + L"\\RunOnce",
        machines + L"\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment"}) {
    CreateRawKey(HKEY_CURRENT_USER, below);
  }
  machine.emplace(HKEY_LOCAL_MACHINE, machines);  // before the current user's hive moves
  user.emplace(HKEY_CURRENT_USER, users);
  EnsureOwnService();
  rootBefore = DriveRootEntries(inside);

  // The library's file changes, by the path they change (the first, or a copy's target).
#define FW_GUARD(function, check) fakes.push_back(Guard(library, FWTEST_IMPORT(function), check))
#define FW_GUARD_FIRST(function) \
  FW_GUARD(function, [this](auto path, auto...) { return Allow(#function, path); })
  FW_GUARD_FIRST(RemoveDirectoryW);
  FW_GUARD_FIRST(RemoveDirectoryA);
  FW_GUARD_FIRST(DeleteFileW);
  FW_GUARD_FIRST(DeleteFileA);
  FW_GUARD_FIRST(SetFileAttributesW);
  FW_GUARD_FIRST(SetFileAttributesA);
  // Making a directory that exists changes nothing: the walk through a path's levels does that.
  FW_GUARD(CreateDirectoryW, [this](auto path, auto) { return Exists(path) || Allow("CreateDirectoryW", path); });
  FW_GUARD(CreateDirectoryA, [this](auto path, auto) { return Exists(path) || Allow("CreateDirectoryA", path); });
  FW_GUARD(CopyFileW, [this](auto, auto target, BOOL) { return Allow("CopyFileW", target); });
  FW_GUARD(CopyFileA, [this](auto, auto target, BOOL) { return Allow("CopyFileA", target); });
  FW_GUARD(MoveFileA, [this](auto source, auto target) { return Allow("MoveFileA", source) && Allow("MoveFileA", target); });
  FW_GUARD(CreateFileW, [this](auto path, DWORD access, DWORD, auto, DWORD disposition, DWORD flags, HANDLE) {
    return !Changes(access, disposition, flags) || Allow("CreateFileW", path);
  });
  FW_GUARD(CreateFileA, [this](auto path, DWORD access, DWORD, auto, DWORD disposition, DWORD flags, HANDLE) {
    return !Changes(access, disposition, flags) || Allow("CreateFileA", path);
  });
#undef FW_GUARD_FIRST
#undef FW_GUARD
  // Bound by name at each call.
  fakes.push_back(Substitute(
      library, FWTEST_IMPORT(MoveFileExW), [this](auto original, LPCWSTR source, LPCWSTR target, DWORD flags) {
        if (!Allow("MoveFileExW", source) || (target != nullptr && !Allow("MoveFileExW", target))) return FALSE;
        return original(source, target, flags);
      }));
  fakes.push_back(Substitute(
      library, FWTEST_IMPORT(SetNamedSecurityInfoW),
      [this](auto original, LPWSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION what, PSID owner, PSID group,
             PACL dacl, PACL sacl) {
        if (type == SE_FILE_OBJECT && !Allow("SetNamedSecurityInfoW", name)) return DWORD{ERROR_ACCESS_DENIED};
        return original(name, type, what, owner, group, dacl, sacl);
      }));
  fakes.push_back(Substitute(
      library, FWTEST_IMPORT(SetFileSecurityW),
      [this](auto original, LPCWSTR name, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR descriptor) {
        return Allow("SetFileSecurityW", name) && original(name, what, descriptor);
      }));

  // The hand-over to the clean-up program waits half a second before it looks for windows.
  fakes.push_back(std::make_shared<FakeImport<decltype(&::Sleep)>>(library, FWTEST_IMPORT(Sleep), [](auto, DWORD) {}));

  // Local accounts that keep nothing: every call succeeds, a deletion finds nothing to delete.
  static USER_INFO_3 described = {};
  fakes.push_back(Substitute(library, FWTEST_IMPORT(NetUserGetInfo), [](auto, LPCWSTR, LPCWSTR, DWORD, LPBYTE* out) {
    described = {};
    *out = reinterpret_cast<LPBYTE>(&described);
    return NET_API_STATUS{0};
  }));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetUserAdd), 0));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetUserSetInfo), 0));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetApiBufferFree), 0));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetLocalGroupAdd), 0));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetLocalGroupAddMembers), 0));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetUserDel), NERR_UserNotFound));
  fakes.push_back(Answer(library, FWTEST_IMPORT(NetLocalGroupDel), NERR_GroupNotFound));
}

BadInputSandbox::State::~State() {
  fakes.clear();
  DeleteService(serviceName);
  DeleteService(serviceName + L"new");  // made by a creation that then failed a later step
}

bool BadInputSandbox::State::Inside(const std::wstring& full) const {
  return full.compare(0, inside.size(), inside) == 0 || full + L"\\" == inside || full == Lower(winInit.path());
}

template <typename Char>
bool BadInputSandbox::State::Allow(const char* function, const Char* path) {
  const std::optional<std::wstring> full = FullPath(path);
  if (!full || Inside(*full)) return true;  // what has no full path fails in the system itself
  escapes.push_back(std::string(function) + " " + Narrow(*full));
  SetLastError(ERROR_ACCESS_DENIED);
  return false;
}

void BadInputSandbox::State::EnsureOwnService() {
  const UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager || UniqueService(OpenServiceW(manager.get(), serviceName.c_str(), SERVICE_QUERY_STATUS))) return;
  const std::wstring program = folder / L"fwbadinput-none.exe";
  UniqueService(CreateServiceW(manager.get(), serviceName.c_str(), serviceName.c_str(), SERVICE_ALL_ACCESS,
                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, program.c_str(),
                               nullptr, nullptr, nullptr, nullptr, nullptr));
}

void BadInputSandbox::State::DeleteService(const std::wstring& name) {
  const UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  const UniqueService service(manager ? OpenServiceW(manager.get(), name.c_str(), DELETE) : nullptr);
  if (service) ::DeleteService(service.get());
}

BadInputSandbox::BadInputSandbox(HMODULE library) : state_(std::make_unique<State>(library)) {}

BadInputSandbox::~BadInputSandbox() = default;

std::wstring BadInputSandbox::Folder() const { return state_->folder.path() + L"\\"; }

std::wstring BadInputSandbox::ServiceName() const { return state_->serviceName; }

void BadInputSandbox::BeforeCall() {
  const TempFolder& folder = state_->folder;
  if (!fwtest::Exists(folder / L"file.txt")) WriteBytes(folder / L"file.txt", "contents");
  SetFileAttributesW((folder / L"file.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveAll(folder / L"target.txt");
  if (!fwtest::Exists(folder / L"tree")) MakeFolder(folder / L"tree");
}

void BadInputSandbox::AfterCall(const std::vector<std::wstring>& serviceNames) {
  for (const std::wstring& name : serviceNames) {
    // Up to a zero, as the system read it.
    const std::wstring asRead = name.c_str();
    if (asRead != state_->serviceName && asRead.rfind(state_->serviceName, 0) == 0) state_->DeleteService(asRead);
  }
  state_->EnsureOwnService();
}

std::vector<std::string> BadInputSandbox::Finish() {
  state_->fakes.clear();
  state_->machine.reset();
  state_->user.reset();
  std::vector<std::string> escapes = state_->escapes;
  for (const auto& [source, target] : state_->pendingRenames.Added()) {
    for (const std::wstring& path : {source, target}) {
      const std::wstring plain = path.empty() || path[0] != L'!' ? path : path.substr(1);
      if (!plain.empty() && !state_->Inside(Lower(plain))) escapes.push_back("pending rename " + Narrow(plain));
    }
  }
  if (DriveRootEntries(state_->inside) != state_->rootBefore) escapes.push_back("the drive's root changed");
  return escapes;
}

}  // namespace fwtest
