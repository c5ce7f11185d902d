#include "desktop/shell_notification.h"

#include <shlobj.h>

#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"

namespace fw {

void NotifyShellOfPath(LONG event, const WideString& path) {
  ScratchBuffer ansi;
  WideToAnsi(path.c_str(), ansi);
  SHChangeNotify(event, SHCNF_PATHA, ansi.Data(), nullptr);
}

}  // namespace fw
