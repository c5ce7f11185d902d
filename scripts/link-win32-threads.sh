#!/usr/bin/env bash
# Link launcher for fwnative.dll: runs the link command with the win32-thread-model driver given as
# first argument in place of the posix one.
#
# The posix thread model (which GoogleTest needs, so the whole build compiles with it) links
# winpthreads into every program, and with it imports that Windows 9x, NT 4, 2000 and XP do not
# have (GetTickCount64, SetProcessAffinityMask, AddVectoredExceptionHandler): the DLL would not even
# load there. The win32 model's runtime uses only functions every supported Windows offers.
# Objects compiled for one model may only be linked with the other's runtime when they use no part
# of the runtime that depends on the model: no threads, once-flags, mutexes, locales or streams.
# The library uses none (it starts no threads and takes no locks); this script refuses the link if
# an object starts to.
# Usage (CMake RULE_LAUNCH_LINK): link-win32-threads.sh <win32-driver> <command> args...
# Only the link itself runs with the other driver; the archive steps of the rule run unchanged.
set -euo pipefail
driver=$1
shift
case "$1" in
  *-g++-posix) shift ;;
  *) exec "$@" ;;
esac

nm=${driver%-g++-win32}-nm
inputs=()
for arg in "$@"; do
  case "$arg" in
    @*) while read -r -a words; do inputs+=("${words[@]}"); done <"${arg#@}" ;;
    *) inputs+=("$arg") ;;
  esac
done
model_dependent='pthread_|__gthr|_ZSt9call_once|_ZNSt6locale|_ZNSt8ios_base|_ZSt4cout|_ZSt4cerr|_ZNSt6thread|_ZNSt5mutex'
for input in "${inputs[@]}"; do
  case "$input" in
    *.a|*.obj|*.o)
      [ -f "$input" ] || continue
      if found=$("$nm" -u "$input" 2>/dev/null | grep -E " U ($model_dependent)" | sort -u); [ -n "$found" ]; then
        echo "link-win32-threads: $input uses a part of the runtime that depends on the thread model:" >&2
        echo "$found" >&2
        exit 1
      fi ;;
  esac
done
exec "$driver" "$@"
