// RunCleanup: what the program does with the request its installer sent.
//
//   RunCleanup(request, installer, kRetries);
//
// The entries are resolved first (entry_resolution.h), while the current directory is still the
// installer's; then the program moves to the Windows directory, since the folder it was started in
// may be one it is asked to remove. It waits for the installer to end, as long as that takes
// (installer_process.h), and deletes the targets (entry_removal.h). When the installer's end
// cannot be confirmed it deletes nothing and, with the request's flag, names the targets for
// deletion at the next restart. The NT family takes the W functions, Windows 9x the A ones.
#pragma once

#include "deletion_request.h"
#include "installer_process.h"

namespace fwcleanup {

void RunCleanup(const DeletionRequest& request, InstallerProcess& installer, int retries);

}  // namespace fwcleanup
