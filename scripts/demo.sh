#!/usr/bin/env bash
# The demo: a sample product installed and uninstalled through the library by a Java program
# (java/demo, com.fernwick.demo.Demo) running on Avian, a Java VM for Windows, in a fresh Wine
# prefix. The program prints its account (what was asked, what the library answered, what is left)
# and writes it to build/demo/demo.log.
#
#   scripts/demo.sh [--build DIR] [--out DIR] [--avian DIR]
#       --build   the fwnative build tree (default build/x86_64); its src/fwnative.dll and
#                 tests/service/fwtestsvc.exe (the product's service program in the demo) are used
#       --out     where the classes, the prefix and demo.log go (default build/demo)
#       --avian   Avian built by scripts/avian.sh: avian.exe and classpath/ (default BUILD/avian)
#
# The Java classes of java/src and the demo are compiled with the host javac against Avian's class
# library, and fwnative.dll and fwtestsvc.exe are copied beside them. The prefix is copied from the
# shared template build/wine-template (made once, a few minutes) and stopped at the end.
# Exit: the demo's own (0 every outcome as expected, 1 not), or 2 when something it needs is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/x86_64
out=$root/build/demo
avian=
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(realpath -m "${2:?}"); shift 2 ;;
    --out) out=$(realpath -m "${2:?}"); shift 2 ;;
    --avian) avian=$(realpath -m "${2:?}"); shift 2 ;;
    *) echo "usage: demo.sh [--build DIR] [--out DIR] [--avian DIR]" >&2; exit 2 ;;
  esac
done
[ -n "$avian" ] || avian=$build/avian

dll=$build/src/fwnative.dll
[ -f "$dll" ] || { echo "demo: $dll is missing; build the fwnative target first" >&2; exit 2; }
service=$build/tests/service/fwtestsvc.exe
[ -f "$service" ] || { echo "demo: $service is missing; build the fwtest_service target first" >&2; exit 2; }
if [ ! -f "$avian/avian.exe" ] || [ ! -d "$avian/classpath" ]; then
  echo "demo: no Avian in $avian (avian.exe and classpath/): the Java demo cannot run without it." >&2
  [ ! -f "$avian/unavailable.txt" ] || cat "$avian/unavailable.txt" >&2
  echo "demo: build it with  scripts/avian.sh --arch x86_64 --out $avian  (about two minutes)" >&2
  exit 2
fi
javac=${JAVA_HOME:+$JAVA_HOME/bin/}javac
command -v "$javac" >/dev/null || { echo "demo: no javac (set JAVA_HOME); run scripts/setup.sh" >&2; exit 2; }

prefix=$out/wine-prefix
mkdir -p "$out"
rm -rf "$out/classes"
rm -f "$out/demo.log" "$out/fwnative.dll" "$out/fwtestsvc.exe"

# The classes the library binds to and the demo, for Java 8 as Avian's class library has it (the
# demo uses nothing else).
mapfile -t sources < <(find "$root/java/src" "$root/java/demo" -name '*.java' | LC_ALL=C sort)
"$javac" -source 8 -target 8 -encoding UTF-8 -Xlint:all,-options -Werror \
  -bootclasspath "$avian/classpath" -d "$out/classes" "${sources[@]}"
# Avian's System.loadLibrary finds the DLL in the current folder.
cp "$dll" "$out/fwnative.dll"
# The demo's service program: the tests' own service, which records its start and its controls.
cp "$service" "$out/fwtestsvc.exe"

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

# Avian takes its class path as a Windows path; Wine's drive Z: is the Linux root.
classes=$out/classes
classes="Z:${classes//\//\\}"
echo
status=0
(cd "$out" && "$root/scripts/wine-run.sh" --prefix "$prefix" "$avian/avian.exe" -cp "$classes" \
  com.fernwick.demo.Demo demo.log) || status=$?
echo
echo "demo: exit $status; the account is in $out/demo.log"
exit "$status"
