// The library's calls against the bare Win32 calls it makes for them (bench_rounds.h says how the
// rounds run), one part per subsystem:
//   registry  getKeyValueNames, getSubkeyNames (10,000 values, subkeys) and getStringValue
//   file      win32DeleteDirectory on 10,000 files in 100 directories, win32CopyFile of 256 MiB
//   service   enumNTServiceKeys, then queryNTServiceConfig and queryNTServiceStatus of each service
//   volume    getPartitionNames, then type, format, free space and long names of each drive
// Run under Wine with
//   cmake --build <build> --target run_registry_bench      (or api_bench.exe [registry|file|service|volume])
#include <cwchar>
#include <memory>
#include <type_traits>

#include "bench_rounds.h"
#include "bridge/unique_resource.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "com_fernwick_wizard_platform_win32_Win32ServiceImpl.h"
#include "file/remove_tree.h"
#include "registry/registry_access.h"

inline std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

namespace registry {

constexpr int kEntries = 10000;
constexpr int kStringReads = 2000;  // per round
constexpr int kBatch = 200;  // calls per fresh VM
constexpr jint kRootCurrentUser = 3;

// The bare sequences: one open, the calls the library makes for the method, one close. A key that
// does not open stays null: the calls on it fail, and so does the comparison. The listing collects
// the value names or the subkey names.
std::size_t PlainNames(const std::wstring& path, bool values) {
  fw::UniqueKey key;
  RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, values ? KEY_QUERY_VALUE : KEY_READ, key.put());
  std::vector<std::wstring> names;
  wchar_t name[1024];
  DWORD length = 1024, type = 0;
  for (DWORD index = 0; (values ? RegEnumValueW(key.get(), index, name, &length, nullptr, &type, nullptr, nullptr)
                                : RegEnumKeyW(key.get(), index, name, 1024)) == ERROR_SUCCESS;
       ++index, length = 1024) {
    names.emplace_back(name, values ? length : std::wcslen(name));
  }
  return names.size();
}

// What any native getStringValue must do, written bare: copy the key and the name with their zero
// (the characters GetStringChars hands out need not end in one), open, query, close, and make the
// result string. Null when the value cannot be read, which fails the comparison.
std::wstring CopyOf(JNIEnv* env, jstring text) {
  const jchar* chars = env->GetStringChars(text, nullptr);
  std::wstring copy(reinterpret_cast<const wchar_t*>(chars), static_cast<std::size_t>(env->GetStringLength(text)));
  env->ReleaseStringChars(text, chars);
  return copy;
}

jstring JNICALL PlainGetStringValue(JNIEnv* env, jobject, jint, jstring jkey, jstring jname, jboolean) {
  const std::wstring key = CopyOf(env, jkey), name = CopyOf(env, jname);
  fw::UniqueKey opened;
  RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, opened.put());
  wchar_t data[256] = {};
  DWORD type = 0, size = sizeof(data);
  if (RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != 0) {
    return nullptr;
  }
  opened.reset();
  return env->NewString(reinterpret_cast<const jchar*>(data), static_cast<jsize>(std::wcslen(data)));
}

void Run(HMODULE library, bool& failed) {
  const std::wstring base = L"Software\\fwnative-bench-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring valuesPath = base + L"\\values", subkeysPath = base + L"\\subkeys";
  fw::RegistryAccess registry;  // the set-up, untimed
  constexpr fw::RootKey kUser = fw::RootKey::CurrentUser;
  registry.CreateKey(kUser, nullptr, valuesPath.c_str());
  for (int i = 0; i < kEntries; ++i) {
    wchar_t value[16], subkey[24];
    std::swprintf(value, 16, L"value%05d", i);
    std::swprintf(subkey, 24, L"subkeys\\key%05d", i);
    registry.WriteDword(kUser, valuesPath.c_str(), value, 1);
    registry.CreateKey(kUser, base.c_str(), subkey);
  }
  registry.WriteString(kUser, valuesPath.c_str(), L"s", false, L"C:\\Program Files\\Fernwick\\Wizard\\bin");
  std::printf("Registry benchmark (%s): %d values, %d subkeys, %d string reads; median of %d rounds\n", fwbench::kBuild,
              kEntries, kEntries, kStringReads, fwbench::kShortRounds);
  // One call of a listing method, whose array must hold every name, against the bare listing.
  const auto compareListing = [&](const char* method, const char* what, auto export_, bool values) {
    const std::wstring& path = values ? valuesPath : subkeysPath;
    const jsize expected = values ? kEntries + 1 : kEntries;  // the values have "s" besides
    fwbench::CompareInFreshVm(
        method, what, "Win32RegistryServiceImpl", failed,
        [&](fwtest::TestVm& vm, jobject self) {
          const jobjectArray names = vm.Call(export_, self, kRootCurrentUser, vm.String(U16(path)));
          if (names == nullptr || vm.env()->GetArrayLength(names) != expected) failed = true;
        },
        [&](fwtest::TestVm&, jobject) { failed |= PlainNames(path, values) != static_cast<std::size_t>(expected); });
  };
  compareListing("getKeyValueNames", "10,000 values, one call",
                 FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getKeyValueNames), true);
  compareListing("getSubkeyNames", "10,000 subkeys, one call",
                 FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getSubkeyNames), false);
  // Both sides are native methods called the same way, so the test VM's share of a call is on both.
  const auto batchOf = [&](auto method) {
    return [&, method](fwtest::TestVm& vm, jobject self) {
      const jstring key = vm.String(U16(valuesPath)), name = vm.String(u"s");
      for (int i = 0; i < kBatch; ++i) {
        const jstring value = vm.Call(method, self, kRootCurrentUser, key, name, jboolean{JNI_FALSE});
        failed |= value == nullptr;
        vm.env()->DeleteLocalRef(value);
      }
    };
  };
  fwbench::CompareInFreshVm("getStringValue", "2000 calls", "Win32RegistryServiceImpl", failed,
                            batchOf(FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getStringValue)),
                            batchOf(&PlainGetStringValue), fwbench::kShortRounds, kStringReads / kBatch);
  fw::DeleteKeyTree(HKEY_CURRENT_USER, base.c_str());
}

}  // namespace registry

namespace file {

constexpr DWORD kCopyBytes = 256u * 1024u * 1024u;

void WriteFileOf(const std::wstring& path, const char* bytes, DWORD size, DWORD times = 1) {
  const fw::UniqueFileHandle handle(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  for (DWORD i = 0; i < times; ++i) WriteFile(handle.get(), bytes, size, &written, nullptr);
}

// 100 directories of 100 files.
void MakeTree(const std::wstring& root) {
  CreateDirectoryW(root.c_str(), nullptr);
  for (int d = 0; d < 100; ++d) {
    const std::wstring dir = root + L"\\dir" + std::to_wstring(d);
    CreateDirectoryW(dir.c_str(), nullptr);
    for (int f = 0; f < 100; ++f) WriteFileOf(dir + L"\\file" + std::to_wstring(f) + L".dat", "fwnative benchmark file", 24);
  }
}

// What every deletion of the library must do: a read-only entry loses that attribute first.
BOOL RemoveEntry(const std::wstring& path, bool isFile) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  return isFile ? DeleteFileW(path.c_str()) : RemoveDirectoryW(path.c_str());
}

// The bare walk: subdirectories while the enumeration is open, files after it is closed, then the
// directory itself.
bool PlainRemove(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  std::vector<std::wstring> files;
  {
    const fw::UniqueFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (!find) return false;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        files.push_back(path + L"\\" + name);
      } else if (!PlainRemove(path + L"\\" + name)) {
        return false;
      }
    } while (FindNextFileW(find.get(), &entry));
  }
  for (const std::wstring& file : files) {
    if (!RemoveEntry(file, true)) return false;
  }
  return RemoveEntry(path, false) != FALSE;
}

void Run(HMODULE library, bool& failed) {
  const auto deleteDirectory = FW_BENCH_EXPORT(library, Win32FileServiceImpl, win32DeleteDirectory);
  const auto copyFile = FW_BENCH_EXPORT(library, Win32FileServiceImpl, win32CopyFile);
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring base = std::wstring(temp) + L"fwfile-bench-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring root = base + L"\\tree", source = base + L"\\source.bin", target = base + L"\\target.bin";
  CreateDirectoryW(base.c_str(), nullptr);
  std::printf("File benchmark (%s): median of %d rounds\n", fwbench::kBuild, fwbench::kRounds);
  // Each side runs after its set-up (a tree to remove, no target).
  fwbench::CompareInFreshVm(
      "win32DeleteDirectory", "10,000 files in 100 directories", "Win32FileServiceImpl", failed,
      [&](fwtest::TestVm& vm, jobject self) {
        failed |= vm.Call(deleteDirectory, self, vm.String(U16(root)), JNI_FALSE, JNI_TRUE) != 0;
      },
      [&](fwtest::TestVm&, jobject) { failed |= !PlainRemove(root); }, fwbench::kRounds, 1, [&] { MakeTree(root); });
  failed |= GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;

  std::vector<char> block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
  WriteFileOf(source, block.data(), static_cast<DWORD>(block.size()), kCopyBytes / static_cast<DWORD>(block.size()));
  // The copy's bare sequence: the read-only check of the target, then the copy.
  fwbench::CompareInFreshVm(
      "win32CopyFile", "256 MiB, file in the page cache", "Win32FileServiceImpl", failed,
      [&](fwtest::TestVm& vm, jobject self) {
        failed |= vm.Call(copyFile, self, vm.String(U16(source)), vm.String(U16(target)), JNI_TRUE) != 0;
      },
      [&](fwtest::TestVm&, jobject) {
        GetFileAttributesW(target.c_str());
        failed |= !CopyFileW(source.c_str(), target.c_str(), FALSE);
      },
      fwbench::kRounds, 1, [&] { DeleteFileW(target.c_str()); });
  fw::RemoveDirectoryOrTree(base.c_str(), false, true);
}

}  // namespace file

namespace service {

constexpr jint kAllServices = SERVICE_WIN32 | SERVICE_DRIVER;
constexpr jint kAllStates = SERVICE_STATE_ALL;

// Each operation opens the manager with all access, and the service with the access it needs.
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, decltype(&::CloseServiceHandle)>;
ServiceHandle Owned(SC_HANDLE handle) { return ServiceHandle(handle, ::CloseServiceHandle); }

std::vector<std::wstring> PlainServiceKeys() {
  const ServiceHandle manager = Owned(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  DWORD needed = 0, count = 0, resume = 0;
  std::vector<std::wstring> keys;
  EnumServicesStatusW(manager.get(), kAllServices, kAllStates, nullptr, 0, &needed, &count, &resume);  // the size
  std::vector<BYTE> buffer(needed);
  const auto entries = reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data());
  if (EnumServicesStatusW(manager.get(), kAllServices, kAllStates, entries, needed, &needed, &count, &resume)) {
    for (DWORD i = 0; i < count; ++i) keys.emplace_back(entries[i].lpServiceName);
  }
  return keys;
}

// The config (sized by a first call), then the status of one service, each with its own handles.
bool PlainQueries(const std::wstring& key) {
  {
    const ServiceHandle manager = Owned(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    const ServiceHandle service = Owned(OpenServiceW(manager.get(), key.c_str(), READ_CONTROL | SERVICE_QUERY_CONFIG));
    DWORD needed = 0;
    if (QueryServiceConfigW(service.get(), nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    std::vector<BYTE> buffer(needed);
    if (!QueryServiceConfigW(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()), needed, &needed)) {
      return false;
    }
  }
  const ServiceHandle manager = Owned(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  const ServiceHandle service = Owned(OpenServiceW(manager.get(), key.c_str(), READ_CONTROL | SERVICE_QUERY_STATUS));
  SERVICE_STATUS status = {};
  return QueryServiceStatus(service.get(), &status) != FALSE;
}

void Run(HMODULE library, bool& failed) {
  const auto enumKeys = FW_BENCH_EXPORT(library, Win32ServiceImpl, enumNTServiceKeys);
  const auto queryConfig = FW_BENCH_EXPORT(library, Win32ServiceImpl, queryNTServiceConfig);
  const auto queryStatus = FW_BENCH_EXPORT(library, Win32ServiceImpl, queryNTServiceStatus);
  const std::size_t services = PlainServiceKeys().size();
  failed |= services == 0;
  std::printf("Service benchmark (%s): %zu services; median of %d rounds\n", fwbench::kBuild, services,
              fwbench::kShortRounds);
  fwbench::CompareInFreshVm(
      "enumNTServiceKeys etc.", "list, then config + status of each", "Win32ServiceImpl", failed,
      [&](fwtest::TestVm& vm, jobject self) {
        JNIEnv* env = vm.env();
        const jobjectArray keys = vm.Call(enumKeys, self, kAllServices, kAllStates);
        const jsize count = keys == nullptr ? 0 : env->GetArrayLength(keys);
        failed |= static_cast<std::size_t>(count) != services;
        for (jsize i = 0; i < count; ++i) {
          const auto key = static_cast<jstring>(env->GetObjectArrayElement(keys, i));
          const jobject config = vm.Call(queryConfig, self, key), status = vm.Call(queryStatus, self, key);
          failed |= config == nullptr || status == nullptr;
          env->DeleteLocalRef(config);
          env->DeleteLocalRef(status);
          env->DeleteLocalRef(key);
        }
      },
      [&](fwtest::TestVm&, jobject) {
        const std::vector<std::wstring> keys = PlainServiceKeys();
        failed |= keys.size() != services;
        for (const std::wstring& key : keys) failed |= !PlainQueries(key);
      });
}

}  // namespace service

namespace volume {

// A round: kPasses times the list, then the four questions for each drive.
constexpr int kPasses = 50;
// Wine maps Z: to the Linux root and writes a warning to the console at every volume query there,
// which would be most of what is timed.
constexpr wchar_t kWineRoot[] = L"Z:\\";

std::vector<std::wstring> PlainRoots() {
  const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
  std::vector<wchar_t> units(needed + 1);
  GetLogicalDriveStringsW(needed + 1, units.data());
  std::vector<std::wstring> roots;
  for (const wchar_t* root = units.data(); *root != L'\0'; root += roots.back().size() + 1) roots.emplace_back(root);
  return roots;
}

// The library's bracket around a volume call: critical-error dialogs off, the former mode back.
template <typename Call>
BOOL Quietly(Call call) {
  const UINT mode = SetErrorMode(0);
  SetErrorMode(mode | SEM_FAILCRITICALERRORS);
  const BOOL done = call();
  SetErrorMode(mode);
  return done;
}

// The four questions about one drive, as the library asks them; false when one fails.
bool PlainQuestions(const std::wstring& root) {
  char ansi[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, root.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr);
  GetDriveTypeA(ansi);
  DWORD maximumComponent = 0, flags = 0;
  wchar_t name[256] = {};
  ULARGE_INTEGER available, total, free;
  return Quietly([&] {
           return GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &maximumComponent, &flags, name, 256);
         }) &&
         Quietly([&] { return GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free); }) &&
         Quietly([&] { return GetVolumeInformationA(ansi, nullptr, 0, nullptr, &maximumComponent, &flags, nullptr, 0); });
}

void Run(HMODULE library, bool& failed) {
  const auto names = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionNames);
  const auto type = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionType);
  const auto format = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionFormat);
  const auto freeSpace = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionFreeSpace);
  const auto longNames = FW_BENCH_EXPORT(library, Win32FileServiceImpl, supportsLongFileNames);
  const std::vector<std::wstring> roots = PlainRoots();
  std::wstring drives;
  for (const std::wstring& root : roots) drives += root == kWineRoot ? L"" : L" " + root;
  std::printf("Volume benchmark (%s): drives%ls; median of %d rounds\n", fwbench::kBuild, drives.c_str(),
              fwbench::kShortRounds);
  fwbench::CompareInFreshVm(
      "getPartition* etc.", "50 x (list + 4 questions per drive)", "Win32FileServiceImpl", failed,
      [&](fwtest::TestVm& vm, jobject self) {
        JNIEnv* env = vm.env();
        for (int pass = 0; pass < kPasses; ++pass) {
          const jobjectArray listed = vm.Call(names, self);
          for (jsize i = 0, count = env->GetArrayLength(listed); i < count; ++i) {
            if (roots[i] == kWineRoot) continue;
            const auto root = static_cast<jstring>(env->GetObjectArrayElement(listed, i));
            vm.Call(type, self, root);
            env->DeleteLocalRef(vm.Call(format, self, root));
            vm.Call(freeSpace, self, root);
            vm.Call(longNames, self, root);
            env->DeleteLocalRef(root);
          }
          env->DeleteLocalRef(listed);
        }
      },
      [&](fwtest::TestVm&, jobject) {
        for (int pass = 0; pass < kPasses; ++pass) {
          for (const std::wstring& root : PlainRoots()) failed |= root != kWineRoot && !PlainQuestions(root);
        }
      });
}

}  // namespace volume

int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";
  const std::pair<const char*, void (*)(HMODULE, bool&)> parts[] = {
      {"registry", registry::Run}, {"file", file::Run}, {"service", service::Run}, {"volume", volume::Run}};
  const HMODULE library = fwbench::LoadFwnative();
  bool failed = false;
  for (const auto& [name, run] : parts) {
    if (only.empty() || only == name) run(library, failed);
  }
  FreeLibrary(library);
  if (failed) std::fprintf(stderr, "a library call or a bare call failed\n");
  return failed ? 1 : 0;
}
