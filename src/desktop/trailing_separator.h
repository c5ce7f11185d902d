// EnsureTrailingSeparator: makes a folder path ready for a name to be appended. Both the backslash
// and the slash count as separators; only a backslash is ever added.
//
//   ""      -> "\"
//   "C:\"   -> "C:\"   (unchanged)
//   "C:/"   -> "C:/"   (unchanged)
//   "C:\A"  -> "C:\A\"
#pragma once

#include "bridge/wide_string.h"

namespace fw {

void EnsureTrailingSeparator(WideString& path);

}  // namespace fw
