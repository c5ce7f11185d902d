// File benchmark: win32DeleteDirectory against a plain FindFirstFileW/DeleteFileW/RemoveDirectoryW
// walk on a tree of 10,000 files in 100 directories, and win32CopyFile against CopyFileW on a
// 256 MiB file. Each side runs several rounds, alternating; the best round of each is compared.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bridge/unique_resource.h"
#include "com_fernwick_wizard_platform_win32_Win32FileServiceImpl.h"
#include "test_vm.h"

namespace {

constexpr int kDirectories = 100;
constexpr int kFilesPerDirectory = 100;
constexpr DWORD kCopyBytes = 256u * 1024u * 1024u;
constexpr int kRounds = 5;

using DeleteDirectoryFn = decltype(&::Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32DeleteDirectory);
using CopyFileFn = decltype(&::Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32CopyFile);

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

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

// The baseline: what a program that just deletes a tree does.
bool PlainRemove(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  std::vector<std::wstring> files;
  {
    const fw::UniqueFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (!find) return false;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!PlainRemove(path + L"\\" + name)) return false;
      } else {
        files.push_back(path + L"\\" + name);
      }
    } while (FindNextFileW(find.get(), &entry));
  }
  for (const std::wstring& file : files) {
    if (!DeleteFileW(file.c_str())) return false;
  }
  return RemoveDirectoryW(path.c_str()) != FALSE;
}

// What the read-only check of every deletion adds: one attribute read per entry.
void ReadAllAttributes(const std::wstring& root) {
  for (int d = 0; d < kDirectories; ++d) {
    const std::wstring dir = root + L"\\dir" + std::to_wstring(d);
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      GetFileAttributesW((dir + L"\\file" + std::to_wstring(f) + L".dat").c_str());
    }
  }
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

void Report(const char* what, const std::vector<double>& library, const std::vector<double>& plain) {
  const double best = *std::min_element(library.begin(), library.end());
  const double bestPlain = *std::min_element(plain.begin(), plain.end());
  std::printf("%-22s library %8.3f s   plain %8.3f s   ratio %.3f   (best of %d)\n", what, best, bestPlain,
              best / bestPlain, static_cast<int>(library.size()));
}

}  // namespace

int main() {
  const fw::UniqueModule library(LoadLibraryW(L"fwnative.dll"));
  if (!library) {
    std::fprintf(stderr, "fwnative.dll does not load (%lu)\n", GetLastError());
    return 1;
  }
  const auto deleteDirectory = reinterpret_cast<DeleteDirectoryFn>(reinterpret_cast<void*>(GetProcAddress(
      library.get(), "Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32DeleteDirectory")));
  const auto copyFile = reinterpret_cast<CopyFileFn>(reinterpret_cast<void*>(
      GetProcAddress(library.get(), "Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32CopyFile")));
  if (deleteDirectory == nullptr || copyFile == nullptr) {
    std::fprintf(stderr, "fwnative.dll lacks the file-service exports\n");
    return 1;
  }

  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring base = std::wstring(temp) + L"fwfile-bench-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(base.c_str(), nullptr);

  fwtest::TestVm vm;
  const jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32FileServiceImpl");
  int failures = 0;

  std::vector<double> treeLibrary, treePlain, attributeReads;
  const std::wstring root = base + L"\\tree";
  for (int round = 0; round < kRounds; ++round) {
    MakeTree(root);
    const jstring path = vm.String(U16(root));
    jint result = -1;
    treeLibrary.push_back(Seconds([&] { result = vm.Call(deleteDirectory, self, path, JNI_FALSE, JNI_TRUE); }));
    if (result != 0 || vm.TakePending() || GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) ++failures;
    MakeTree(root);
    attributeReads.push_back(Seconds([&] { ReadAllAttributes(root); }));
    bool removed = false;
    treePlain.push_back(Seconds([&] { removed = PlainRemove(root); }));
    if (!removed) ++failures;
  }
  Report("tree of 10,000 files", treeLibrary, treePlain);
  std::printf("%-22s %8.3f s (best of %d)\n", "10,000 attribute reads",
              *std::min_element(attributeReads.begin(), attributeReads.end()), static_cast<int>(attributeReads.size()));

  std::vector<double> copyLibrary, copyPlain;
  const std::wstring source = base + L"\\source.bin";
  const std::wstring target = base + L"\\target.bin";
  MakeBigFile(source);
  for (int round = 0; round < kRounds; ++round) {
    DeleteFileW(target.c_str());
    jint result = -1;
    const jstring from = vm.String(U16(source));
    const jstring to = vm.String(U16(target));
    copyLibrary.push_back(Seconds([&] { result = vm.Call(copyFile, self, from, to, JNI_TRUE); }));
    if (result != 0 || vm.TakePending()) ++failures;
    DeleteFileW(target.c_str());
    BOOL copied = FALSE;
    copyPlain.push_back(Seconds([&] { copied = CopyFileW(source.c_str(), target.c_str(), FALSE); }));
    if (!copied) ++failures;
  }
  Report("copy of 256 MiB", copyLibrary, copyPlain);

  DeleteFileW(target.c_str());
  DeleteFileW(source.c_str());
  RemoveDirectoryW(base.c_str());
  if (!vm.TakeViolations().empty()) ++failures;
  if (failures != 0) std::fprintf(stderr, "%d benchmark operations failed\n", failures);
  return failures == 0 ? 0 : 1;
}
