#!/usr/bin/env bash
# The demo: a sample product installed and uninstalled through the library, by fwcall running
# tools/fwcall/demo.fwcall in a fresh Wine prefix (x86_64 build). Writes, beside each other:
#   build/demo/demo.log    the readable account: what was asked, what the library answered
#   build/demo/demo.json   the raw answers, one JSON line per call
#
#   scripts/demo.sh [--build DIR] [--out DIR]     (defaults: build/x86_64, build/demo)
#
# The build must hold fwcall (cmake --build --preset x86_64 --target fwcall). The prefix is copied
# from the shared template build/wine-template (made once, a few minutes) and stopped at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/x86_64
out=$root/build/demo
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(realpath -m "${2:?}"); shift 2 ;;
    --out) out=$(realpath -m "${2:?}"); shift 2 ;;
    *) echo "usage: demo.sh [--build DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done
fwcall=$build/tools/fwcall/fwcall.exe
[ -f "$fwcall" ] || { echo "demo: $fwcall is missing; build the fwcall target first" >&2; exit 2; }

prefix=$out/wine-prefix
mkdir -p "$out"
rm -f "$out/demo.log" "$out/demo.json"
# The null display driver, and no crash dialog waiting for a click.
cat >"$out/wine.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="null"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
"$root/scripts/wine-prefix.sh" setup --template "$root/build/wine-template" --prefix "$prefix" --reg "$out/wine.reg"
trap '"$root/scripts/wine-prefix.sh" stop --prefix "$prefix" >/dev/null' EXIT

# fwcall reads and writes the files in the current folder, which Wine maps to a Windows path.
cp "$root/tools/fwcall/demo.fwcall" "$out/demo.fwcall"
status=0
(cd "$out" && "$root/scripts/wine-run.sh" --prefix "$prefix" --loader /usr/lib/wine/wine64 "$fwcall" \
  --script demo.fwcall --log demo.log --json demo.json) || status=$?

echo
echo "---------------- demo.log ----------------"
cat "$out/demo.log" 2>/dev/null || true
echo "------------------------------------------"
echo "demo: fwcall exit $status; log $out/demo.log, JSON lines $out/demo.json"
exit "$status"
