// IsDirectoryWritable (isDirectoryWritable): whether a file can be made directly in the directory.
// It tries to create "fw_test0.txt" to "fw_test99.txt" there (delete-on-close, so nothing stays),
// passing over names already taken; the first one created answers yes, any other failure (access
// denied, path not found, disk full, a write-protected medium) no. When all hundred names are taken
// the answer is yes too. Critical-error dialogs are suppressed meanwhile. The directory must not be
// empty (the caller refuses that).
#pragma once

namespace fw {

bool IsDirectoryWritable(const wchar_t* directory);

}  // namespace fw
