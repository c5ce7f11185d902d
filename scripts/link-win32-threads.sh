#!/usr/bin/env bash
# Link launcher for what we ship (fwnative.dll, fwcall.exe): runs the link command with the
# win32-thread-model driver given as first argument in place of the posix one.
#
# The posix thread model (which GoogleTest needs) links winpthreads into every program, and with it
# imports that Windows 9x, NT 4, 2000 and XP do not have (GetTickCount64, SetProcessAffinityMask,
# AddVectoredExceptionHandler): the DLL would not even load there. The win32 model's runtime uses
# only functions every supported Windows offers. Our objects do not depend on the thread model
# (nothing of ours uses threads; the link fails on any pthread symbol left unresolved).
# Usage (CMake RULE_LAUNCH_LINK): link-win32-threads.sh <win32-driver> <command> args...
# Only the link itself runs with the other driver; the archive steps of the rule run unchanged.
set -euo pipefail
driver=$1
shift
case "$1" in
  *-g++-posix) shift; exec "$driver" "$@" ;;
  *) exec "$@" ;;
esac
