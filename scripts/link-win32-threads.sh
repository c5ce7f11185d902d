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
# The runtime's own locks: the win32 model's runtime makes the semaphore of each lock with
# CreateSemaphoreW, a stub that fails on Windows 9x. Some are made when the DLL loads (the
# exception allocator's lock; on i686 also the lock around the unwinder's frame tables) and are
# taken by C++ exceptions from whichever JVM thread calls in. The script therefore links in a
# replacement for that import, which makes the same unnamed semaphore with CreateSemaphoreA, so the
# DLL does not import CreateSemaphoreW at all (checked after the link).
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
# The import symbol the runtime calls through (decorated on i686).
runtime=("$("$driver" -print-libgcc-file-name)" "$("$driver" -print-file-name=libgcc_eh.a)")
runtime_symbols=$("$nm" "${runtime[@]}" 2>/dev/null)
semaphore_import=$(awk '$1 == "U" && $2 ~ /^__imp__?CreateSemaphoreW(@16)?$/ { print $2; exit }' <<<"$runtime_symbols")
if [ -z "$semaphore_import" ]; then
  exec "$driver" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/runtime_semaphore.c" <<EOF
#include <windows.h>
/* The runtime creates only unnamed semaphores. */
static HANDLE WINAPI CreateUnnamedSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum,
                                            LPCWSTR name) {
  if (name != NULL) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return NULL;
  }
  return CreateSemaphoreA(attributes, initial, maximum, NULL);
}
HANDLE(WINAPI* const fwRuntimeSemaphore)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR)
    __asm__("$semaphore_import") = CreateUnnamedSemaphore;
EOF
"$driver" -x c -c -O2 -Wall -Werror "$work/runtime_semaphore.c" -o "$work/runtime_semaphore.o"
output=
previous=
for arg in "$@"; do
  [ "$previous" = "-o" ] && output=$arg
  previous=$arg
done
"$driver" "$work/runtime_semaphore.o" "$@"
if [ -n "$output" ] && grep -qw CreateSemaphoreW <<<"$("${driver%-g++-win32}-objdump" -p "$output")"; then
  echo "link-win32-threads: $output still imports CreateSemaphoreW" >&2
  rm -f "$output"
  exit 1
fi
