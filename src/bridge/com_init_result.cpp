#include "bridge/com_init_result.h"

namespace fw {
namespace {

// Written once while the library loads, read-only afterwards: no lock needed.
HRESULT g_comInitResult = E_FAIL;
HMODULE g_libraryModule = nullptr;

}  // namespace

HRESULT ComInitResult() noexcept { return g_comInitResult; }
void SetComInitResult(HRESULT result) noexcept { g_comInitResult = result; }

HMODULE LibraryModule() noexcept { return g_libraryModule; }
void SetLibraryModule(HMODULE module) noexcept { g_libraryModule = module; }

}  // namespace fw
