// NotifyShellOfPath: tells the shell that something changed at a path (SHCNE_MKDIR, SHCNE_RMDIR,
// SHCNE_CREATE, SHCNE_DELETE). The path always goes to the shell as ANSI text (SHCNF_PATHA), on
// both families, with no second item.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

void NotifyShellOfPath(LONG event, const WideString& path);

}  // namespace fw
