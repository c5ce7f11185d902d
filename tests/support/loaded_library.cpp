#include "support/loaded_library.h"

#include "support/program_folder.h"

#include <stdexcept>
#include <string>

namespace fwtest {

namespace {

fw::UniqueModule Load(const wchar_t* fileName) {
  const std::wstring path = ProgramFolder() + L"\\" + fileName;
  fw::UniqueModule module(LoadLibraryW(path.c_str()));
  if (!module) {
    const DWORD error = GetLastError();
    throw std::runtime_error("LoadLibraryW(" + std::string(path.begin(), path.end()) + ") failed, error " +
                             std::to_string(error));
  }
  return module;
}

}  // namespace

LoadedLibrary::LoadedLibrary(const wchar_t* fileName)
    : module_(Load(fileName)), windows98_(module_.get(), ImageOf(module_.get())) {}

void* LoadedLibrary::address(const char* name) const noexcept {
  return reinterpret_cast<void*>(GetProcAddress(module_.get(), name));
}

}  // namespace fwtest
