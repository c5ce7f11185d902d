// fwcall.exe: calls native methods of fwnative.dll from the command line or a script (see
// fwcall_runner.h). The command line is split by the Windows rules, as in every console program;
// each argument then becomes one word (command_line.h).
#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "fwcall/command_line.h"
#include "fwcall/fwcall_runner.h"

namespace {

// A machine exception in the library ends fwcall with a message instead of a debugger prompt.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  std::fflush(stdout);
  std::fprintf(stderr, "fwcall: the library crashed: exception 0x%08lx at %p\n",
               static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
               info->ExceptionRecord->ExceptionAddress);
  std::fflush(stderr);
  ExitProcess(fwcall::kExitCrashed);
}

}  // namespace

int main() {
  SetUnhandledExceptionFilter(ReportCrash);
  // JSON lines end in "\n" alone, whatever the console.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) {
    std::cerr << "fwcall: cannot read the command line (error " << GetLastError() << ")\n";
    return fwcall::kExitBadInput;
  }
  std::vector<fwcall::Word> words;
  for (int i = 1; i < count; ++i) {
    words.push_back(fwcall::WordOfArgument(reinterpret_cast<const char16_t*>(arguments[i])));
  }
  LocalFree(arguments);
  const int code = fwcall::RunFwcall(words, std::cout, std::cerr);
  std::cout.flush();
  return code;
}
