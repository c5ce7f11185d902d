// Drives and volumes (getPartitionNames, getPartitionType, getPartitionFormat,
// getPartitionFreeSpace, supportsLongFileNames), by the character-set rule. The calls that may
// touch a drive without a medium run with critical-error dialogs suppressed.
//
//   std::uint64_t bytes = 0;
//   if (DWORD error = FreeSpaceFor(path, bytes)) report(error);   // bytes the calling user may use
#pragma once

#include <windows.h>

#include <cstdint>

#include "bridge/wide_string.h"

namespace fw {

// The drive roots ("C:\") in the system's order; empty when the system gives none.
StringList DriveRoots();
// The drive kind for Java: 1 fixed, 2 removable, 3 remote, 4 CD-ROM, 5 RAM disk, -1 anything else.
int DriveKind(const wchar_t* root);
// The file system's name ("NTFS", "FAT"); 0 or the error of GetVolumeInformation.
DWORD FileSystemName(const wchar_t* root, WideString& name);
// GetDiskFreeSpaceEx (bound by name) for the bytes available to the calling user; without it,
// GetDiskFreeSpace in 64-bit arithmetic. 0 or the error of the failing call; `bytes` is set only
// on success (a failure that leaves no error behind reads as 0 bytes).
DWORD FreeSpaceFor(const wchar_t* path, std::uint64_t& bytes);
// True when the volume takes names of 255 characters.
DWORD LongFileNamesOn(const wchar_t* root, bool& supported);

}  // namespace fw
