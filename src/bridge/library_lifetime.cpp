// Load and unload of the DLL. COM is initialised once on the thread that loads the library, and
// uninitialised when the library is unloaded, whatever the initialisation returned.
#include <windows.h>

#include <objbase.h>

#include "bridge/com_init_result.h"

namespace {

// Runs with the library's static initialisation and termination (DLL attach and detach).
struct ComLifetime {
  ComLifetime() noexcept { fw::SetComInitResult(CoInitialize(nullptr)); }
  ~ComLifetime() { CoUninitialize(); }
  ComLifetime(const ComLifetime&) = delete;
  ComLifetime& operator=(const ComLifetime&) = delete;
};

const ComLifetime g_comLifetime;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    fw::SetLibraryModule(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
