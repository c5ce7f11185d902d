// ResolveEntries: the paths a request names, made full against the folder this program was started
// in, without the ones that must never be deleted.
//
//   std::vector<Target<std::wstring>> targets;
//   ResolveEntries(request.entries, targets);
//
// Call it before the program changes its current directory: it was started in the installer's,
// so a relative entry ("sub\a.txt", "..", the drive-relative "C:") means what the installer meant.
// Refused, and so nothing under them touched, are a drive or share root, a device path ("\\?\",
// "\\.\"), any path that still holds "." or ".." components or wildcards once resolved, and the
// system's own folders themselves: the Windows and system directories, Program Files and Common
// Files, the profile and all-users folders, the shell's standard folders. What lies inside them may
// be named. A folder matches in its long and its short (8.3) form, in any case, with or without a
// trailing separator. Targets of std::wstring are for the NT family (the ANSI entries converted,
// the W functions), of std::string for Windows 9x (the A functions).
#pragma once

#include <string>
#include <vector>

#include "deletion_request.h"

namespace fwcleanup {

template <typename String>
struct Target {
  String path;
  bool tree;
};

void ResolveEntries(const std::vector<DeletionEntry>& entries, std::vector<Target<std::string>>& out);
void ResolveEntries(const std::vector<DeletionEntry>& entries, std::vector<Target<std::wstring>>& out);

}  // namespace fwcleanup
