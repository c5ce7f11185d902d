// DeletionRequest: what the library asks fwcleanup.exe to delete, parsed from the WM_COPYDATA text
//
//   <flag><installer pid><blank><entry>;<entry>;...        for example "02a a;b;*c"
//
// in the ANSI code page, ending at its first zero byte (the library sends one) or with the data.
// The flag is '1' (what stays in use is deleted at the next restart) or '0' (it stays); the pid is
// 1 to 8 hexadecimal digits; an entry that starts with '*' is a directory tree, any other a file
// or an empty directory. The list may be empty and empty entries are skipped. Any other text is no
// request: ParseDeletionRequest returns false and nothing is to be deleted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fwcleanup {

struct DeletionEntry {
  std::string path;
  bool tree;
};

struct DeletionRequest {
  bool deleteAtRestart = false;
  DWORD installerPid = 0;
  std::vector<DeletionEntry> entries;
};

bool ParseDeletionRequest(const std::string& bytes, DeletionRequest& out);

}  // namespace fwcleanup
