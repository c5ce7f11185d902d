#include "support/loaded_library.h"

#include "support/program_folder.h"

#include <stdexcept>
#include <string>

namespace fwtest {

LoadedLibrary::LoadedLibrary(const wchar_t* fileName) {
  const std::wstring path = ProgramFolder() + L"\\" + fileName;
  module_.reset(LoadLibraryW(path.c_str()));
  if (!module_) {
    const DWORD error = GetLastError();
    throw std::runtime_error("LoadLibraryW(" + std::string(path.begin(), path.end()) + ") failed, error " +
                             std::to_string(error));
  }
}

void* LoadedLibrary::address(const char* name) const noexcept {
  return reinterpret_cast<void*>(GetProcAddress(module_.get(), name));
}

}  // namespace fwtest
