// ConfineToLowestActiveProcessor: binds the whole installer process to the lowest-numbered
// processor that the system reports as active (bits 0 to 31 of the active-processor mask).
//
// SetProcessAffinityMask is bound by name from kernel32 at every call; where the system lacks it
// nothing at all is done. The affinity call's result is ignored: this never fails.
#pragma once

namespace fw {

void ConfineToLowestActiveProcessor() noexcept;

}  // namespace fw
