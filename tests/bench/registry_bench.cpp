// Registry benchmark: getKeyValueNames, getSubkeyNames and getStringValue, called the way the VM
// calls them, against a loop making the same registry calls directly (bench_rounds.h says how the
// rounds run). Run under Wine with
//   cmake --build <build> --target run_registry_bench
#include <windows.h>

#include <jni.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_rounds.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"

namespace {

constexpr int kEntries = 10000;
int kStringReads = 2000;  // per round
// Short rounds, many of them, give the best round a chance on a machine that others share.
constexpr int kRounds = 30;
constexpr int kBatch = 200;
constexpr jint kRootCurrentUser = 3;
constexpr char kServiceClass[] = "com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl";

void Check(LONG result, const char* what) {
  if (result != ERROR_SUCCESS) {
    std::fprintf(stderr, "%s failed with %ld\n", what, static_cast<long>(result));
    std::exit(2);
  }
}

HKEY OpenKey(HKEY root, const std::wstring& path, REGSAM access, bool create = false) {
  HKEY key = nullptr;
  Check(create ? RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
               : RegOpenKeyExW(root, path.c_str(), 0, access, &key),
        "opening a key");
  return key;
}

void DeleteTree(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  wchar_t child[256];
  DWORD length = 256;
  while (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    DeleteTree(key, child);
    length = 256;
  }
  RegCloseKey(key);
  RegDeleteKeyW(root, path.c_str());
}

std::wstring Numbered(const wchar_t* prefix, int i) {
  wchar_t name[32];
  std::swprintf(name, 32, L"%ls%05d", prefix, i);
  return name;
}

// The bare sequences: one open, the calls the library makes for the method, one close.
std::size_t PlainValueNames(const std::wstring& path) {
  const HKEY key = OpenKey(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE);
  std::vector<std::wstring> names;
  wchar_t name[1024];
  DWORD length = 1024, type = 0;
  for (DWORD index = 0; RegEnumValueW(key, index, name, &length, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
       ++index, length = 1024) {
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names.size();
}

std::size_t PlainSubkeyNames(const std::wstring& path) {
  const HKEY key = OpenKey(HKEY_CURRENT_USER, path, KEY_READ);
  std::vector<std::wstring> names;
  wchar_t name[1024];
  for (DWORD index = 0; RegEnumKeyW(key, index, name, 1024) == ERROR_SUCCESS; ++index) names.emplace_back(name);
  RegCloseKey(key);
  return names.size();
}

void PlainStringRead(const std::wstring& path) {
  const HKEY key = OpenKey(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE);
  wchar_t data[256] = {};
  DWORD type = 0, size = sizeof(data);
  Check(RegQueryValueExW(key, L"s", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), "query");
  RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) kStringReads = std::atoi(argv[1]);  // a shorter run while measuring by hand
  const std::wstring base = L"Software\\fwnative-bench-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring valuesPath = base + L"\\values";
  const std::wstring subkeysPath = base + L"\\subkeys";
  {
    const HKEY values = OpenKey(HKEY_CURRENT_USER, valuesPath, KEY_ALL_ACCESS, true);
    const DWORD one = 1;
    for (int i = 0; i < kEntries; ++i) {
      Check(RegSetValueExW(values, Numbered(L"value", i).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
            "setting a value");
    }
    const std::wstring text = L"C:\\Program Files\\Fernwick\\Wizard\\bin";
    Check(RegSetValueExW(values, L"s", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() * 2)),
          "setting the string");
    RegCloseKey(values);
    for (int i = 0; i < kEntries; ++i) {
      RegCloseKey(OpenKey(HKEY_CURRENT_USER, subkeysPath + L"\\" + Numbered(L"key", i), KEY_ALL_ACCESS, true));
    }
  }

  const HMODULE library = fwbench::LoadFwnative();
  const auto getKeyValueNames = FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getKeyValueNames);
  const auto getSubkeyNames = FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getSubkeyNames);
  const auto getStringValue = FW_BENCH_EXPORT(library, Win32RegistryServiceImpl, getStringValue);
  const std::u16string valuesKey(valuesPath.begin(), valuesPath.end());
  const std::u16string subkeysKey(subkeysPath.begin(), subkeysPath.end());
  bool failed = false;
  std::printf("Registry benchmark (x86_64): %d values, %d subkeys, %d string reads; best of %d rounds\n", kEntries,
              kEntries, kStringReads, kRounds);
  // One call of a listing method, whose array must hold every name, against the bare listing.
  const auto compareListing = [&](const char* method, const char* what, auto export_, const std::u16string& key,
                                  auto plain, const std::wstring& path, jsize expected) {
    fwbench::CompareInFreshVm(
        method, what, kServiceClass, failed,
        [&](fwtest::TestVm& vm, jobject self) {
          const jobjectArray names = vm.Call(export_, self, kRootCurrentUser, vm.String(key));
          if (names == nullptr || vm.env()->GetArrayLength(names) != expected) failed = true;
        },
        [&] {
          if (plain(path) != static_cast<std::size_t>(expected)) failed = true;
        },
        kRounds);
  };
  compareListing("getKeyValueNames", "10,000 values, one call", getKeyValueNames, valuesKey, PlainValueNames, valuesPath,
                 kEntries + 1);
  compareListing("getSubkeyNames", "10,000 subkeys, one call", getSubkeyNames, subkeysKey, PlainSubkeyNames, subkeysPath,
                 kEntries);
  const auto libraryReads = [&] {
    double seconds = 0;
    for (int done = 0; done < kStringReads; done += kBatch) {
      seconds += fwbench::TimedInFreshVm(kServiceClass, failed, [&](fwtest::TestVm& vm, jobject self) {
        const jstring key = vm.String(valuesKey);
        const jstring name = vm.String(u"s");
        for (int i = 0; i < kBatch; ++i) {
          const jstring value = vm.Call(getStringValue, self, kRootCurrentUser, key, name, jboolean{JNI_FALSE});
          if (value == nullptr) failed = true;
          vm.env()->DeleteLocalRef(value);
        }
      });
    }
    return seconds;
  };
  const auto plainReads = [&] {
    return fwbench::Seconds([&] {
      for (int i = 0; i < kStringReads; ++i) PlainStringRead(valuesPath);
    });
  };
  const std::string reads = std::to_string(kStringReads) + " calls";
  fwbench::Print("getStringValue", reads.c_str(), fwbench::CompareRounds(libraryReads, plainReads, kRounds));

  FreeLibrary(library);
  DeleteTree(HKEY_CURRENT_USER, base);
  return fwbench::Finish(failed);
}
