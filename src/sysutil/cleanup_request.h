// Deleting files after the installer exits (nativeDeleteFilesAfterExit): the list goes to a
// clean-up program that waits for this process to end and then deletes what it was given.
//
//   NarrowString list = "a;b;*c";                            // "*": a directory tree
//   DWORD error = LaunchCleanupProgram(list, true, "C:\\...\\fwcleanup.exe");
//
// The request is ANSI text: the flag ("1" or "0"), this process's id in lower-case hex, a blank,
// the list ("02a a;b;*c" for flag false, id 42). The program's own file is opened delete-on-close
// before it starts, so the system removes it once the program has ended. The program is started
// hidden with its path as the whole command line; after it is input-idle its main thread's window is
// looked for (FindThreadWindow) and sent the request in one WM_COPYDATA, whose wParam is this
// thread's own window (0 when it has none). A program that shows no window gets nothing, and that
// is no error. Returns 0, or the error of CreateProcessA.
#pragma once

#include <windows.h>

#include "bridge/wide_string.h"

namespace fw {

// "1" or "0", the process id in lower-case hex, a blank, the list.
NarrowString CleanupRequest(const NarrowString& list, bool flag, DWORD processId);

DWORD LaunchCleanupProgram(const NarrowString& list, bool flag, const char* programPath);

// A top-level window of the thread, after half a second: up to ten passes over the top-level windows
// after the first in z-order, input-method windows skipped; the last match wins. 0 when none.
HWND FindThreadWindow(DWORD threadId);

}  // namespace fw
