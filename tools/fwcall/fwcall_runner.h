// RunFwcall: the whole of fwcall after the command line is split into words; main() and the tests
// call it.
//
//   fwcall [--dll PATH] [--log FILE] [--json FILE] Class.method arg...
//   fwcall [--dll PATH] [--log FILE] [--json FILE] --script FILE
//   fwcall [--dll PATH] --help
//
// Every call runs in one test VM, as in one JVM. Each call prints one JSON line on `out`: the
// result, or {"exception": {...}} when the method threw. A script is checked whole before its first
// call (classes, methods, exports, argument counts and values), so a mistake on its last line does
// not leave a scenario half done. Script lines: one call each; "#" starts a comment; "## text" is
// written to the log as it is (what the next calls ask); "!hold PATH" opens a file the way a
// running program holds it (read access, sharing only reading) until "!release PATH" or the end;
// "!mkdir PATH" and "!write PATH TEXT" make a folder (with its parents) and a UTF-8 file, as the
// Java side does itself.
// --log writes a readable account (UTF-8): each note, each call as written and its answer;
// --json sends the JSON lines to a file instead of `out`.
#pragma once

#include <ostream>
#include <vector>

#include "fwcall/command_line.h"

namespace fwcall {

enum ExitCode : int {
  kExitDone = 0,       // every call ran; a thrown ServiceException is an answer, not a failure
  kExitBadInput = 2,   // bad usage, unknown class or method, missing export, bad argument: nothing ran
  kExitViolation = 3,  // a call misused JNI (the test VM's checks); the calls still ran
  kExitStopped = 4,    // a script directive failed while running; later lines did not run
  kExitCrashed = 5,    // the library raised a machine exception (reported by main's handler)
};

int RunFwcall(const std::vector<Word>& args, std::ostream& out, std::ostream& err);

}  // namespace fwcall
