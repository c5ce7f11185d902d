// Registry benchmark: the library's native methods, called the way the VM calls them, against a
// plain Win32 loop making the same registry calls directly. Run under Wine with
//   cmake --build <build> --target run_registry_bench
// It prints one line per method with both times and their ratio.
#include <windows.h>

#include <jni.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "test_vm.h"

namespace {

constexpr int kEntries = 10000;
int kStringReads = 100000;
constexpr int kRounds = 5;  // the best round of each side counts
constexpr jint kRootCurrentUser = 3;

double Seconds(const std::function<void()>& work) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Alternates the two sides so that neither profits from a warmer cache; keeps each side's best.
// Each side returns the seconds its work took.
void Compare(const char* method, const char* what, const std::function<double()>& library,
             const std::function<double()>& plain) {
  double bestLibrary = 1e30, bestPlain = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    bestLibrary = std::min(bestLibrary, library());
    bestPlain = std::min(bestPlain, plain());
  }
  std::printf("%-18s %-34s library %8.1f ms  plain Win32 %8.1f ms  ratio %.2f\n", method, what, bestLibrary * 1e3,
              bestPlain * 1e3, bestLibrary / bestPlain);
}

// Both sides timed as a whole.
void CompareWhole(const char* method, const char* what, const std::function<void()>& library,
                  const std::function<void()>& plain) {
  Compare(method, what, [&] { return Seconds(library); }, [&] { return Seconds(plain); });
}

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
  auto address = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (address == nullptr) {
    std::fprintf(stderr, "fwnative.dll does not export %s\n", name);
    std::exit(2);
  }
  return address;
}

#define FW_EXPORT(module, method)                                                           \
  Export<decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_##method)>( \
      module, "Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_" #method)

void Check(LONG result, const char* what) {
  if (result != ERROR_SUCCESS) {
    std::fprintf(stderr, "%s failed with %ld\n", what, static_cast<long>(result));
    std::exit(2);
  }
}

HKEY CreateKey(const std::wstring& path) {
  HKEY key = nullptr;
  Check(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        "creating a key");
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

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) kStringReads = std::atoi(argv[1]);  // a shorter run while measuring by hand
  const std::wstring base = L"Software\\fwnative-bench-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring valuesPath = base + L"\\values";
  const std::wstring subkeysPath = base + L"\\subkeys";
  {
    HKEY values = CreateKey(valuesPath);
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
    HKEY subkeys = CreateKey(subkeysPath);
    for (int i = 0; i < kEntries; ++i) RegCloseKey(CreateKey(subkeysPath + L"\\" + Numbered(L"key", i)));
    RegCloseKey(subkeys);
  }

  HMODULE library = LoadLibraryW(L"fwnative.dll");
  if (library == nullptr) {
    std::fprintf(stderr, "fwnative.dll did not load (%lu)\n", GetLastError());
    return 2;
  }
  auto getKeyValueNames = FW_EXPORT(library, getKeyValueNames);
  auto getSubkeyNames = FW_EXPORT(library, getSubkeyNames);
  auto getStringValue = FW_EXPORT(library, getStringValue);

  fwtest::TestVm vm;
  JNIEnv* env = vm.env();
  const jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl");
  const jstring valuesKey = vm.String(std::u16string(valuesPath.begin(), valuesPath.end()));
  const jstring subkeysKey = vm.String(std::u16string(subkeysPath.begin(), subkeysPath.end()));
  bool failed = false;
  auto expectNoException = [&] {
    if (vm.TakePending() || !vm.TakeViolations().empty()) failed = true;
  };

  std::printf("Registry benchmark: %d values, %d subkeys, %d string reads (best of %d rounds)\n", kEntries, kEntries,
              kStringReads, kRounds);
  CompareWhole(
      "getKeyValueNames", "10,000 values, one call",
      [&] {
        const jobjectArray names = vm.Call(getKeyValueNames, self, kRootCurrentUser, valuesKey);
        if (env->GetArrayLength(names) != kEntries + 1) failed = true;
        expectNoException();
        env->DeleteLocalRef(names);
      },
      [&] {
        HKEY key = nullptr;
        Check(RegOpenKeyExW(HKEY_CURRENT_USER, valuesPath.c_str(), 0, KEY_QUERY_VALUE, &key), "open");
        std::vector<std::wstring> names;
        wchar_t name[1024];
        for (DWORD index = 0;; ++index) {
          DWORD length = 1024;
          DWORD type = 0;
          if (RegEnumValueW(key, index, name, &length, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
          names.emplace_back(name, length);
        }
        RegCloseKey(key);
        if (names.size() != kEntries + 1) failed = true;
      });
  CompareWhole(
      "getSubkeyNames", "10,000 subkeys, one call",
      [&] {
        const jobjectArray names = vm.Call(getSubkeyNames, self, kRootCurrentUser, subkeysKey);
        if (env->GetArrayLength(names) != kEntries) failed = true;
        expectNoException();
        env->DeleteLocalRef(names);
      },
      [&] {
        HKEY key = nullptr;
        Check(RegOpenKeyExW(HKEY_CURRENT_USER, subkeysPath.c_str(), 0, KEY_READ, &key), "open");
        std::vector<std::wstring> names;
        wchar_t name[1024];
        for (DWORD index = 0; RegEnumKeyW(key, index, name, 1024) == ERROR_SUCCESS; ++index) names.emplace_back(name);
        RegCloseKey(key);
        if (names.size() != kEntries) failed = true;
      });
  // The test VM keeps a record of every string copy it ever handed out and checks them all after
  // each call, so it is renewed every kBatch calls (untimed) to keep its own cost flat.
  constexpr int kBatch = 200;
  const std::string reads = std::to_string(kStringReads) + " calls";
  Compare(
      "getStringValue", reads.c_str(),
      [&] {
        double seconds = 0;
        for (int done = 0; done < kStringReads; done += kBatch) {
          fwtest::TestVm batchVm;
          const jobject batchSelf = batchVm.This("com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl");
          const jstring key = batchVm.String(std::u16string(valuesPath.begin(), valuesPath.end()));
          const jstring name = batchVm.String(u"s");
          seconds += Seconds([&] {
            for (int i = 0; i < kBatch; ++i) {
              const jstring value =
                  batchVm.Call(getStringValue, batchSelf, kRootCurrentUser, key, name, jboolean{JNI_FALSE});
              if (value == nullptr) failed = true;
              batchVm.env()->DeleteLocalRef(value);
            }
          });
          if (batchVm.TakePending() || !batchVm.TakeViolations().empty()) failed = true;
        }
        return seconds;
      },
      [&] {
        return Seconds([&] {
          for (int i = 0; i < kStringReads; ++i) {
            HKEY key = nullptr;
            Check(RegOpenKeyExW(HKEY_CURRENT_USER, valuesPath.c_str(), 0, KEY_QUERY_VALUE, &key), "open");
            wchar_t data[256] = {};
            DWORD type = 0;
            DWORD size = sizeof(data);
            Check(RegQueryValueExW(key, L"s", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), "query");
            RegCloseKey(key);
          }
        });
      });
  FreeLibrary(library);
  DeleteTree(HKEY_CURRENT_USER, base);
  if (failed) {
    std::fprintf(stderr, "a library call failed or broke a JNI rule\n");
    return 1;
  }
  return 0;
}
