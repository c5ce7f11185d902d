#!/usr/bin/env bash
# The demo: a sample product installed and uninstalled through the library by a Java program
# (java/demo, com.fernwick.demo.Demo) running on Avian, a Java VM for Windows, in a fresh Wine
# prefix. The program prints its account (what was asked, what the library answered, what is left)
# and writes it to build/demo/demo.log.
#
#   scripts/demo.sh [--build DIR] [--out DIR] [--avian DIR]
#       --build   the fwnative build tree (default build/x86_64); its src/fwnative.dll,
#                 tools/fwcleanup/fwcleanup.exe (the clean-up program) and tests/service/fwtestsvc.exe
#                 (the product's service program in the demo) are used
#       --out     where the classes, the prefix and demo.log go (default build/demo)
#       --avian   Avian built by scripts/avian.sh: avian.exe and classpath/ (default BUILD/avian)
#
# The Java classes of java/src and the demo are compiled with the host javac against Avian's class
# library, and fwnative.dll, fwcleanup.exe and fwtestsvc.exe are copied beside them. The prefix is
# copied from the shared template build/wine-template (made once, a few minutes) and stopped at the
# end.
# The uninstall hands the helper library the program has loaded, and the install folder, to the
# clean-up program, which deletes them once the program has ended. So after the program this script
# waits (up to 30 s) until every path the program listed in handed-over.txt, the clean-up program's
# own file last, is gone, looking through the prefix's drives from the Linux side, and adds what it
# found to the account.
# Exit: 0 every outcome as expected (the program's and those after it), 1 not, or 2 when something
# it needs is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/avian-wine.sh"
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
cleanup=$build/tools/fwcleanup/fwcleanup.exe
[ -f "$cleanup" ] || { echo "demo: $cleanup is missing; build the fwcleanup target first" >&2; exit 2; }
service=$build/tests/service/fwtestsvc.exe
[ -f "$service" ] || { echo "demo: $service is missing; build the fwtest_service target first" >&2; exit 2; }
need_avian demo "$avian" x86_64

prefix=$out/wine-prefix
mkdir -p "$out"
rm -f "$out/demo.log" "$out/handed-over.txt" "$out/fwnative.dll" "$out/fwcleanup.exe" "$out/fwtestsvc.exe"

# The classes the library binds to and the demo, for Java 8 as Avian's class library has it (the
# demo uses nothing else).
mapfile -t sources < <(find "$root/java/src" "$root/java/demo" -name '*.java' | LC_ALL=C sort)
avian_javac demo "$avian" "$out/classes" "${sources[@]}"
# Avian's System.loadLibrary finds the DLL in the current folder.
cp "$dll" "$out/fwnative.dll"
# The clean-up program the uninstall hands its last files to (the program copies it before use).
cp "$cleanup" "$out/fwcleanup.exe"
# The demo's service program: the tests' own service, which records its start and its controls.
cp "$service" "$out/fwtestsvc.exe"

start_prefix "$root" "$prefix" "$out/wine.reg"

# Avian takes its class path as a Windows path.
echo
status=0
(cd "$out" && "$root/scripts/wine-run.sh" --prefix "$prefix" "$avian/avian.exe" -cp "$(windows_path "$out/classes")" \
  com.fernwick.demo.Demo demo.log handed-over.txt) || status=$?
ended=$EPOCHREALTIME

# What the clean-up program does after the program has ended, added to the account.
say() {
  echo "$1"
  echo "$1" >>"$out/demo.log"
}
wait_s=30
after_checks=0
after_failures=()
if [ "$status" -ne 2 ]; then
  say ""
  say "== After the demo's process ended =="
  if [ ! -f "$out/handed-over.txt" ]; then
    after_checks=1
    after_failures+=("the program listed what it handed to the clean-up program")
    say "    !! expected: the program listed what it handed to the clean-up program (handed-over.txt)"
  else
    mapfile -t handed < <(tr -d '\r' <"$out/handed-over.txt")
    say "The clean-up program waits until the demo's process has ended, then deletes what it was handed; its"
    say "own file goes once it has ended too. Each path the program listed, looked for from the Linux side of"
    say "the prefix (C: is drive_c) every 0.2 s for up to $wait_s s after the end:"
    for path in "${handed[@]}"; do
      [ -n "$path" ] || continue
      after_checks=$((after_checks + 1))
      # The folder a path is in must be there, or a misspelt path would pass for a deleted one; a path
      # inside another one listed (the library in the install folder) goes with that one.
      folder=${path%\\*}
      inside=
      for other in "${handed[@]}"; do
        [ -n "$other" ] && [[ "${folder,,}\\" == "${other,,}\\"* ]] && inside=$other
      done
      if [ -z "$inside" ] && ! prefix_has "$prefix" "$folder"; then
        say "  [$path: the folder it is in is not found]"
        after_failures+=("the folder of $path is there")
        say "    !! expected: the folder of $path is there"
        continue
      fi
      if ! wait_gone "$prefix" "$path" "$ended" "$wait_s"; then
        say "  [$path is still there $(seconds "$(ms_since "$ended")") s after the end]"
        after_failures+=("$path is gone within $wait_s s")
        say "    !! expected: $path is gone within $wait_s s"
      else
        say "  [$path is gone $(seconds "$(ms_since "$ended")") s after the end]"
      fi
    done
  fi
  say ""
  if [ "${#after_failures[@]}" -eq 0 ]; then
    say "Every one of the $after_checks outcomes checked after the demo's process ended came out as expected."
  else
    say "${#after_failures[@]} of the $after_checks outcomes checked after the demo's process ended did not come out as expected:"
    for failure in "${after_failures[@]}"; do say "  - $failure"; done
    [ "$status" -ne 0 ] || status=1
  fi
fi
echo
echo "demo: exit $status; the account is in $out/demo.log"
exit "$status"
