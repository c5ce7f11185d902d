// Drives, free space, standard directories, writability and the critical-error mode. The run's
// prefix has drives A: (floppy), D: (CD-ROM) and N: (network) besides C: and Z: (WineTests.cmake);
// what Wine cannot show (an empty drive, FAT limits, quotas, an old kernel32) is substituted.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "file/file_service_fixture.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/program_folder.h"

namespace fwtest {
namespace {

class VolumesTest : public FileServiceTest {
 protected:
  std::u16string Text(jstring value) { return vm.StringValue(value).value_or(u"<null>"); }
  // The error mode the process has, read the way the library reads it.
  [[gnu::noipa]] static UINT ErrorMode() {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
  }
};

TEST_F(VolumesTest, DrivesAndStandardDirectoriesAreTheSystemsOwn) {
  EXPECT_EQ(vm.StringArrayValue(vm.Call(FW_FILE(getPartitionNames), self)),
            (StringList{u"A:\\", u"C:\\", u"D:\\", u"N:\\", u"Z:\\"}));
  // Each root (none: the current drive) and its kind.
  const std::pair<const char16_t*, jint> kinds[] = {{u"A:\\", 2}, {u"C:\\", 1}, {u"D:\\", 4},
                                                    {u"N:\\", 3}, {u"Q:\\", -1}, {nullptr, 1}};
  for (const auto& [root, kind] : kinds) {
    EXPECT_EQ(vm.Call(FW_FILE(getPartitionType), self, root ? vm.String(root) : jstring{nullptr}), kind);
  }
  EXPECT_EQ(Text(vm.Call(FW_FILE(getPartitionFormat), self, vm.String(u"C:\\"))), u"NTFS");
  EXPECT_EQ(vm.Call(FW_FILE(supportsLongFileNames), self, vm.String(u"C:\\")), JNI_TRUE);
  {
    // Free space through GetDiskFreeSpaceEx where the system has it; the first Windows 95 has only
    // the cluster counts.
    const auto run = RunVersionOfProgram(ProgramPath());
    ASSERT_TRUE(run) << "run through ctest: the program's name gives the emulated version";
    auto clusters = RecordImport(Library(), FWTEST_IMPORT(GetDiskFreeSpaceA));
    EXPECT_GT(vm.Call(FW_FILE(getPartitionFreeSpace), self, Path(folder.path())), 0);
    EXPECT_EQ(clusters.count(), std::string(run->name) == "win95" ? 1u : 0u);
  }
  wchar_t windows[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  GetSystemDirectoryW(system, MAX_PATH);
  const std::u16string temp = Text(vm.Call(FW_FILE(getTempDirectory), self));
  EXPECT_EQ(temp.back(), u'\\');
  EXPECT_EQ(Text(vm.Call(FW_FILE(win32GetWindowsDirectory), self)), U16(windows));
  EXPECT_EQ(Text(vm.Call(FW_FILE(getLibraryDirectory), self)), U16(system));
  // As the registry holds them for this process (a 32-bit one sees "Program Files (x86)").
  const auto registered = [](const wchar_t* name) {
    const auto value = GetRawValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", name);
    return value ? std::u16string(reinterpret_cast<const char16_t*>(value->bytes.data())) : u"";
  };
  EXPECT_EQ(Text(vm.Call(FW_FILE(getStandardInstallDirectory), self)), registered(L"ProgramFilesDir"));
  EXPECT_EQ(Text(vm.Call(FW_FILE(win32GetCommonDirectory), self)), registered(L"CommonFilesDir"));
  ExpectNoException(vm);
  // Never null, even when the answer cannot be made: only the VM's own error is pending.
  vm.FailAllocations(1, 1);
  EXPECT_EQ(vm.StringArrayValue(vm.Call(FW_FILE(getPartitionNames), self)), StringList{});
  EXPECT_EQ(vm.TakePending().value_or(ThrownException{}).className, "java/lang/OutOfMemoryError");
  vm.FailAllocations(1, 1);
  EXPECT_EQ(Text(vm.Call(FW_FILE(getLibraryDirectory), self)), u"");
  EXPECT_EQ(vm.TakePending().value_or(ThrownException{}).className, "java/lang/OutOfMemoryError");
}

TEST_F(VolumesTest, WhatWineCannotShow) {
  // An empty CD drive: the failure comes without a dialog (critical errors suppressed during the
  // call), and the process's mode is the one it had before.
  std::vector<UINT> modes;
  const auto notReady = [&modes](auto, auto...) -> BOOL {
    modes.push_back(ErrorMode());
    SetLastError(ERROR_NOT_READY);
    return FALSE;
  };
  SetErrorMode(SEM_NOOPENFILEERRORBOX);
  {
    auto volumeW = ReplaceImport(Library(), FWTEST_IMPORT(GetVolumeInformationW), notReady);
    auto volumeA = ReplaceImport(Library(), FWTEST_IMPORT(GetVolumeInformationA), notReady);
    EXPECT_EQ(Text(vm.Call(FW_FILE(getPartitionFormat), self, vm.String(u"D:\\"))), u"");
    ExpectFailure(vm, -30010, ERROR_NOT_READY);
  }
  EXPECT_EQ(modes, std::vector<UINT>{SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS});
  EXPECT_EQ(ErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
  // win32EnableAbort: false suppresses the dialogs, true shows them again and says they were off.
  EXPECT_EQ(vm.Call(FW_FILE(win32EnableAbort), self, jboolean{JNI_FALSE}), JNI_FALSE);
  EXPECT_EQ(vm.Call(FW_FILE(win32EnableAbort), self, jboolean{JNI_TRUE}), JNI_TRUE);
  EXPECT_EQ(ErrorMode(), 0u);

  // A FAT volume: names of at most 12 characters.
  auto fat = ReplaceImport(Library(), FWTEST_IMPORT(GetVolumeInformationA),
                           [](auto, auto, auto, auto, auto, LPDWORD maximumComponent, LPDWORD, auto, auto) -> BOOL {
                             *maximumComponent = 12;
                             return TRUE;
                           });
  EXPECT_EQ(vm.Call(FW_FILE(supportsLongFileNames), self, vm.String(u"A:\\")), JNI_FALSE);

  // A quota below the free space: the caller's bytes, above 4 GB.
  const auto quota = [](auto, auto, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER free) -> BOOL {
    available->QuadPart = 5ULL << 30;
    total->QuadPart = 100ULL << 30;
    free->QuadPart = 50ULL << 30;
    return TRUE;
  };
  {
    auto exW = SubstituteProcAddress(Library(), FWTEST_IMPORT(GetDiskFreeSpaceExW), quota);
    auto exA = SubstituteProcAddress(Library(), FWTEST_IMPORT(GetDiskFreeSpaceExA), quota);
    EXPECT_EQ(vm.Call(FW_FILE(getPartitionFreeSpace), self, vm.String(u"C:\\")), jlong{5} << 30);
  }
  // A kernel32 without GetDiskFreeSpaceEx: clusters x sector size x sectors, counted in 64 bits.
  HiddenProcAddresses noEx(Library(), {"GetDiskFreeSpaceExW", "GetDiskFreeSpaceExA"});
  const auto clusters = [](auto, auto, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD all) -> BOOL {
    *sectors = 64;
    *bytes = 4096;
    *freeClusters = 0x100000;
    *all = 0x200000;
    return TRUE;
  };
  auto oldW = ReplaceImport(Library(), FWTEST_IMPORT(GetDiskFreeSpaceW), clusters);
  auto oldA = ReplaceImport(Library(), FWTEST_IMPORT(GetDiskFreeSpaceA), clusters);
  EXPECT_EQ(vm.Call(FW_FILE(getPartitionFreeSpace), self, vm.String(u"C:\\")), jlong{64} * 4096 * 0x100000);
  ExpectNoException(vm);
}

TEST_F(VolumesTest, WritabilityProbesNamesAndLeavesNothing) {
  const std::wstring dir = folder / L"target";
  MakeFolder(dir);
  std::vector<std::string> probes;  // each CreateFile call: "A " or "W " and the path
  const auto record = [&probes](auto original, auto path, auto... rest) {
    probes.push_back((sizeof(*path) == 1 ? "A " : "W ") + AnsiOf(path));
    return original(path, rest...);
  };
  auto createW = ReplaceImport(Library(), FWTEST_IMPORT(CreateFileW), record);
  auto createA = ReplaceImport(Library(), FWTEST_IMPORT(CreateFileA), record);
  WriteBytes(dir + L"\\fw_test0.txt", "taken");
  for (const std::wstring& given : {dir, dir + L"\\"}) {
    EXPECT_EQ(vm.Call(FW_FILE(isDirectoryWritable), self, Path(given)), JNI_TRUE);
  }
  EXPECT_FALSE(Exists(dir + L"\\fw_test1.txt")) << "the probe goes with its handle";
  // With or without the trailing backslash, the same names, through the family's function.
  const std::string family = fw::IsWindows9x() ? "A " : "W ";
  const std::string first = family + Ansi(dir + L"\\fw_test0.txt"), second = family + Ansi(dir + L"\\fw_test1.txt");
  EXPECT_EQ(probes, (std::vector<std::string>{first, second, first, second}));
  // Every name taken: nothing more to try, and that counts as writable.
  for (int i = 1; i < 100; ++i) WriteBytes(dir + L"\\fw_test" + std::to_wstring(i) + L".txt", "taken");
  EXPECT_EQ(vm.Call(FW_FILE(isDirectoryWritable), self, Path(dir)), JNI_TRUE);
  // A missing directory is not writable; an empty name is no directory at all.
  EXPECT_EQ(vm.Call(FW_FILE(isDirectoryWritable), self, Path(dir + L"\\missing")), JNI_FALSE);
  ExpectNoException(vm);
  EXPECT_EQ(vm.Call(FW_FILE(isDirectoryWritable), self, Path(L"")), JNI_FALSE);
  ExpectServiceExceptionCode(vm, static_cast<jint>(0x80070057));
  // A directory Windows refuses (read-only medium, no rights): false, and no exception.
  auto deniedW = FailImport(Library(), FWTEST_IMPORT(CreateFileW), INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED);
  auto deniedA = FailImport(Library(), FWTEST_IMPORT(CreateFileA), INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED);
  EXPECT_EQ(vm.Call(FW_FILE(isDirectoryWritable), self, Path(folder.path())), JNI_FALSE);
  ExpectNoException(vm);
}

}  // namespace
}  // namespace fwtest
