// File benchmark: win32DeleteDirectory on a tree of 10,000 files in 100 directories, and
// win32CopyFile of a 256 MiB file, against the bare Win32 calls the library makes for them
// (bench_rounds.h says how the rounds run). Run under Wine with
//   cmake --build <build> --target run_file_bench
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_rounds.h"
#include "bridge/unique_resource.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"

namespace {

constexpr int kDirectories = 100;
constexpr int kFilesPerDirectory = 100;
constexpr DWORD kCopyBytes = 256u * 1024u * 1024u;
constexpr char kServiceClass[] = "com/fernwick/wizard/platform/win32/Win32FileServiceImpl";

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

void MakeTree(const std::wstring& root) {
  CreateDirectoryW(root.c_str(), nullptr);
  const char bytes[] = "fwnative benchmark file";
  for (int d = 0; d < kDirectories; ++d) {
    const std::wstring dir = root + L"\\dir" + std::to_wstring(d);
    CreateDirectoryW(dir.c_str(), nullptr);
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      const std::wstring file = dir + L"\\file" + std::to_wstring(f) + L".dat";
      const fw::UniqueFileHandle handle(
          CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      WriteFile(handle.get(), bytes, sizeof(bytes), &written, nullptr);
    }
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

void MakeBigFile(const std::wstring& path) {
  const fw::UniqueFileHandle handle(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::vector<char> block(1 << 20);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
  DWORD written = 0;
  for (DWORD done = 0; done < kCopyBytes; done += static_cast<DWORD>(block.size())) {
    WriteFile(handle.get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  }
}

}  // namespace

int main() {
  const fw::UniqueModule library(fwbench::LoadFwnative());
  const auto deleteDirectory = FW_BENCH_EXPORT(library.get(), Win32FileServiceImpl, win32DeleteDirectory);
  const auto copyFile = FW_BENCH_EXPORT(library.get(), Win32FileServiceImpl, win32CopyFile);

  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring base = std::wstring(temp) + L"fwfile-bench-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(base.c_str(), nullptr);
  bool failed = false;
  std::printf("File benchmark (x86_64): best of %d rounds\n", fwbench::kRounds);

  const std::wstring root = base + L"\\tree";
  const auto libraryTree = [&] {
    MakeTree(root);
    return fwbench::TimedInFreshVm(kServiceClass, failed, [&](fwtest::TestVm& vm, jobject self) {
      if (vm.Call(deleteDirectory, self, vm.String(U16(root)), JNI_FALSE, JNI_TRUE) != 0) failed = true;
    });
  };
  // The bare side runs in a fresh VM too, so that both start the same time after the tree is made.
  const auto plainTree = [&] {
    MakeTree(root);
    return fwbench::TimedInFreshVm(kServiceClass, failed, [&](fwtest::TestVm&, jobject) {
      if (!PlainRemove(root)) failed = true;
    });
  };
  fwbench::Print("win32DeleteDirectory", "10,000 files in 100 directories", fwbench::CompareRounds(libraryTree, plainTree));
  if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) failed = true;

  const std::wstring source = base + L"\\source.bin";
  const std::wstring target = base + L"\\target.bin";
  MakeBigFile(source);
  const auto libraryCopy = [&] {
    DeleteFileW(target.c_str());
    return fwbench::TimedInFreshVm(kServiceClass, failed, [&](fwtest::TestVm& vm, jobject self) {
      if (vm.Call(copyFile, self, vm.String(U16(source)), vm.String(U16(target)), JNI_TRUE) != 0) failed = true;
    });
  };
  // The copy's bare sequence: the read-only check of the target, then the copy.
  const auto plainCopy = [&] {
    DeleteFileW(target.c_str());
    return fwbench::TimedInFreshVm(kServiceClass, failed, [&](fwtest::TestVm&, jobject) {
      GetFileAttributesW(target.c_str());
      if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) failed = true;
    });
  };
  fwbench::Print("win32CopyFile", "256 MiB, file in the page cache", fwbench::CompareRounds(libraryCopy, plainCopy));

  DeleteFileW(target.c_str());
  DeleteFileW(source.c_str());
  RemoveDirectoryW(base.c_str());
  return fwbench::Finish(failed);
}
