// Volume benchmark: getPartitionNames, then getPartitionType, getPartitionFormat,
// getPartitionFreeSpace and supportsLongFileNames for every drive listed, against the bare calls the
// library makes for them (bench_rounds.h says how the rounds run). Run under Wine with
//   cmake --build <build> --target run_volume_bench
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_rounds.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"

namespace {

// A round: kPasses times the list, then the four questions for each drive; short rounds, many of
// them, give the best round a chance on a machine that others share.
constexpr int kPasses = 50;
constexpr int kRounds = 30;
// Wine maps Z: to the Linux root and writes a warning to the console at every volume query there,
// which would be most of what is timed.
constexpr wchar_t kWineRoot[] = L"Z:\\";
constexpr char kServiceClass[] = "com/fernwick/wizard/platform/win32/Win32FileServiceImpl";

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

}  // namespace

int main() {
  const HMODULE library = fwbench::LoadFwnative();
  const auto names = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionNames);
  const auto type = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionType);
  const auto format = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionFormat);
  const auto freeSpace = FW_BENCH_EXPORT(library, Win32FileServiceImpl, getPartitionFreeSpace);
  const auto longNames = FW_BENCH_EXPORT(library, Win32FileServiceImpl, supportsLongFileNames);
  bool failed = false;
  const std::vector<std::wstring> roots = PlainRoots();
  std::printf("Volume benchmark (x86_64): drives");
  for (const std::wstring& root : roots) {
    if (root == kWineRoot) continue;
    std::printf(" %ls", root.c_str());
    if (!PlainQuestions(root)) failed = true;  // every drive asked must answer
  }
  std::printf("; best of %d rounds\n", kRounds);
  const std::string what = std::to_string(kPasses) + " x (list + 4 questions per drive)";
  fwbench::CompareInFreshVm(
      "getPartition* etc.", what.c_str(), kServiceClass, failed,
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
      [&] {
        for (int pass = 0; pass < kPasses; ++pass) {
          for (const std::wstring& root : PlainRoots()) {
            if (root != kWineRoot && !PlainQuestions(root)) failed = true;
          }
        }
      },
      kRounds);
  FreeLibrary(library);
  return fwbench::Finish(failed);
}
