#include "desktop/shell_notification.h"

#include <shlobj.h>

#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/win32_exception.h"

namespace fw {

void NotifyShellOfPath(LONG event, const WideString& path) {
  // No shell window shows a path of MAX_PATH characters or more: such a notice would reach nobody,
  // and the shell keeps what it is given.
  if (path.size() >= MAX_PATH) return;
  ScratchBuffer ansi;
  try {
    WideToAnsi(path.c_str(), ansi);
  } catch (const Win32Exception&) {
    return;  // the change is made; the shell shows it at its next refresh
  }
  SHChangeNotify(event, SHCNF_PATHA, ansi.Data(), nullptr);
}

}  // namespace fw
