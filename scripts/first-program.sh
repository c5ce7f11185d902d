#!/usr/bin/env bash
# The first program an installer author copies (java/examples, com.fernwick.examples.FirstInstall),
# run on Avian, a Java VM for Windows, under Wine as the given Windows version, against a built
# fwnative: the jar of its Java classes, the DLL and the clean-up program.
#
#   scripts/first-program.sh --jar JAR --dll DLL --cleanup FWCLEANUP_EXE --avian AVIAN_DIR
#                            --version VERSION --out DIR
#       --jar      fwnative_java.jar, the classes the program calls
#       --dll      fwnative.dll, of the architecture of the Avian given
#       --cleanup  fwcleanup.exe, the clean-up program
#       --avian    Avian built by scripts/avian.sh: avian.exe and classpath/
#       --version  the Windows version Wine reports to the program and the clean-up program:
#                  winxp, win2k or nt40 (NT family), win95, win98 or winme (9x family)
#       --out      where the classes, the prefix and first-program.log (the program's output) go
#
# The program is compiled with the host javac against Avian's class library and the jar, and the
# DLL and fwcleanup.exe are copied beside it. It runs in a fresh prefix copied from the shared
# template build/wine-template, stopped at the end. The program hands its set-up folder, and the
# copy of fwcleanup.exe it starts, to the clean-up program, which deletes them once the program has
# ended; so after the program this script waits (up to 30 s) until every path the program listed
# ("Left to the clean-up program: PATH") is gone, looking through the prefix's drives from the Linux
# side.
# Exit: 0 when the program exited with 0, ended with the line "FirstInstall: every step worked"
# and what it handed over was deleted; 1 otherwise; 2 when something it needs is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/avian-wine.sh"

usage="usage: first-program.sh --jar JAR --dll DLL --cleanup FWCLEANUP_EXE --avian AVIAN_DIR --version winxp|win98|... --out DIR"
jar='' dll='' cleanup='' avian='' version='' out=''
while [ $# -gt 0 ]; do
  case "$1" in
    --jar) jar=$(realpath -m "${2:?}"); shift 2 ;;
    --dll) dll=$(realpath -m "${2:?}"); shift 2 ;;
    --cleanup) cleanup=$(realpath -m "${2:?}"); shift 2 ;;
    --avian) avian=$(realpath -m "${2:?}"); shift 2 ;;
    --version) version=${2:?}; shift 2 ;;
    --out) out=$(realpath -m "${2:?}"); shift 2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
if [ -z "$jar" ] || [ -z "$dll" ] || [ -z "$cleanup" ] || [ -z "$avian" ] || [ -z "$out" ]; then
  echo "$usage" >&2
  exit 2
fi
case "$version" in
  winxp | win2k | nt40 | win95 | win98 | winme) ;;
  *) echo "first-program: unknown Windows version '$version' (winxp, win2k, nt40, win95, win98, winme)" >&2; exit 2 ;;
esac
for file in "$jar" "$dll" "$cleanup"; do
  [ -f "$file" ] || { echo "first-program: $file is missing" >&2; exit 2; }
done
need_avian first-program "$avian"

prefix=$out/wine-prefix
log=$out/first-program.log
mkdir -p "$out"
rm -f "$log" "$out/fwnative.dll" "$out/fwcleanup.exe"
avian_javac first-program "$avian" "$out/classes" -cp "$jar" \
  "$root/java/examples/com/fernwick/examples/FirstInstall.java"
# Avian's System.loadLibrary finds the DLL in the current folder; the program copies the clean-up
# program from there before it starts it.
cp "$dll" "$out/fwnative.dll"
cp "$cleanup" "$out/fwcleanup.exe"

start_prefix "$root" "$prefix" "$out/wine.reg" "avian.exe=$version" "fwcleanup.exe=$version"

echo
status=0
(cd "$out" && "$root/scripts/wine-run.sh" --prefix "$prefix" "$avian/avian.exe" \
  -cp "$(windows_path "$jar");$(windows_path "$out/classes")" com.fernwick.examples.FirstInstall) |
  tee "$log" || status=$?
ended=$EPOCHREALTIME

failures=()
[ "$status" -eq 0 ] || failures+=("the program exits with 0 (it exited with $status)")
last=$(tr -d '\r' <"$log" | sed '/^$/d' | tail -n 1)
[ "$last" = "FirstInstall: every step worked" ] ||
  failures+=("the program's last line is \"FirstInstall: every step worked\" (it is \"$last\")")

# What the clean-up program does after the program has ended.
mapfile -t handed < <(tr -d '\r' <"$log" | sed -n 's/^Left to the clean-up program: //p')
[ "${#handed[@]}" -gt 0 ] || failures+=("the program hands something to the clean-up program")
echo
echo "== After the program ended (each path looked for every 0.2 s, up to 30 s) =="
for path in "${handed[@]}"; do
  # The folder the path is in must be there, or a misspelt path would pass for a deleted one.
  if ! prefix_has "$prefix" "${path%\\*}"; then
    failures+=("the folder of $path is there")
  elif wait_gone "$prefix" "$path" "$ended" 30; then
    echo "  $path is gone $(seconds "$(ms_since "$ended")") s after the end"
  else
    failures+=("$path is gone within 30 s")
  fi
done

echo
if [ "${#failures[@]}" -eq 0 ]; then
  echo "first-program: $version: as expected; the program's output is in $log"
  exit 0
fi
echo "first-program: $version: ${#failures[@]} outcome(s) not as expected; the program's output is in $log:"
for failure in "${failures[@]}"; do echo "  - expected: $failure"; done
exit 1
