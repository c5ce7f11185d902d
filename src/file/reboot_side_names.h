// Names beside a busy target, appended to its full path (they are how the next start finds them).
#pragma once

namespace fw {

// The old, busy target renamed aside; deleted at the next start (NT family).
inline constexpr wchar_t kDeleteOnRebootSuffix[] = L".delete_on_reboot";
// The new file placed beside the busy target; moved over it at the next start.
inline constexpr wchar_t kUseOnRebootSuffix[] = L".use_on_reboot";
// The moved source placed beside the busy target; moved over it at the next start (NT family).
inline constexpr wchar_t kMoveOnRebootSuffix[] = L".move_on_reboot";

}  // namespace fw
