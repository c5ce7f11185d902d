#include "wizardinit/process_affinity.h"

#include <windows.h>

#include "bridge/function_binding.h"

namespace fw {

void ConfineToLowestActiveProcessor() noexcept {
  FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  const auto setProcessAffinityMask = FW_BIND(kernel32, SetProcessAffinityMask);
  if (setProcessAffinityMask == nullptr) return;

  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  const DWORD active = static_cast<DWORD>(info.dwActiveProcessorMask);
  const DWORD lowest = active & (0u - active);  // only the lowest set bit survives
  if (lowest == 0) return;
  setProcessAffinityMask(GetCurrentProcess(), lowest);
}

}  // namespace fw
