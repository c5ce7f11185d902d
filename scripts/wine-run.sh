#!/usr/bin/env bash
# Runs one Windows program under Wine in a given prefix, with the environment every test run uses.
#
#   wine-run.sh [--prefix DIR] [--loader PATH] PROGRAM [ARGS...]
#
# The prefix comes from --prefix or WINEPREFIX and must be given: a test never runs in the
# developer's own ~/.wine. The loader comes from --loader, FW_WINE_LOADER, or the program's PE
# machine type (32-bit programs need the 32-bit loader, which runs through qemu-user here).
# The program's exit code is returned. Its output goes through a log file rather than straight to
# our stdout: Wine helper processes started on the way (services, explorer) inherit the program's
# output descriptors and outlive it, and a caller waiting for the end of a pipe would wait for them.
set -euo pipefail

die() { echo "wine-run: $*" >&2; exit 125; }

prefix=${WINEPREFIX:-}
loader=${FW_WINE_LOADER:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=${2:?}; shift 2 ;;
    --loader) loader=${2:?}; shift 2 ;;
    --) shift; break ;;
    -*) die "unknown option $1" ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || die "usage: wine-run.sh [--prefix DIR] [--loader PATH] PROGRAM [ARGS...]"
[ -n "$prefix" ] || die "no Wine prefix: pass --prefix or set WINEPREFIX"
program=$1
shift

# Machine type at PE header offset 4 (the PE header's offset is at 0x3C): 0x14c i386, 0x8664 x86-64.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 0
  od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
if [ -z "$loader" ]; then
  case "$(pe_machine "$program")" in
    014c) loader=/usr/lib/wine/wine ;;
    *) loader=/usr/lib/wine/wine64 ;;
  esac
fi
[ -x "$loader" ] || die "Wine loader $loader not found (scripts/setup.sh installs it)"

export WINEPREFIX
WINEPREFIX=$(realpath -m "$prefix")
export WINELOADER=$loader
export WINEDEBUG=${FW_WINEDEBUG:--all}
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
# ANSI code page 1252 and UTF-8 Linux file names.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
# The null display driver is set in the prefix; keep Wine away from any X or Wayland session.
unset DISPLAY WAYLAND_DISPLAY

log=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$log"' EXIT
"$loader" "$program" "$@" >"$log" 2>&1 </dev/null &
pid=$!
# A caller that gives up (a CTest timeout) ends the program too.
trap 'kill -KILL "$pid" 2>/dev/null; exit 124' TERM INT
# Forward the output while the program runs; tail ends once the program has exited.
tail -n +1 -f --pid="$pid" "$log" &
tailer=$!
rc=0
wait "$pid" || rc=$?
wait "$tailer" || true
# Wine's debugger does not always end a crashed program with a failing code: its report decides.
if [ "$rc" -eq 0 ] && grep -qE '^(wine: Unhandled |Unhandled exception: )' "$log"; then
  echo "wine-run: $program crashed (Wine's report above); failing the run" >&2
  rc=5
fi
exit "$rc"
