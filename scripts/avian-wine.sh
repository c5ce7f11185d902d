# shellcheck shell=bash
# Sourced (not run) by the scripts that run one Java program on Avian under Wine (demo.sh,
# first-program.sh): compiling for Avian, a fresh prefix for the run, and looking into the prefix
# from the Linux side once the program has ended. NAME in the arguments starts each message.

fw_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# need_avian NAME DIR [ARCH]: exits 2, saying how to build it, unless DIR holds Avian as
# scripts/avian.sh leaves it (avian.exe and classpath/).
need_avian() {
  if [ ! -f "$2/avian.exe" ] || [ ! -d "$2/classpath" ]; then
    echo "$1: no Avian in $2 (avian.exe and classpath/): the Java program cannot run without it." >&2
    [ ! -f "$2/unavailable.txt" ] || cat "$2/unavailable.txt" >&2
    echo "$1: build it with  scripts/avian.sh --arch ${3:-x86_64|i686} --out $2  (about two minutes)" >&2
    exit 2
  fi
}

# avian_javac NAME AVIAN OUT JAVAC_ARGUMENTS...: compiles into a new OUT for Avian's class library
# (Java 8), warnings as errors; javac then also refuses library classes Avian lacks.
avian_javac() {
  local javac=${JAVA_HOME:+$JAVA_HOME/bin/}javac
  command -v "$javac" >/dev/null || { echo "$1: no javac (set JAVA_HOME); run scripts/setup.sh" >&2; exit 2; }
  rm -rf "$3"
  "$javac" -source 8 -target 8 -encoding UTF-8 -Xlint:all,-options -Werror \
    -bootclasspath "$2/classpath" -d "$3" "${@:4}"
}

# windows_path PATH: the path as a program under Wine names it (drive Z: is the Linux root).
windows_path() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

# start_prefix ROOT PREFIX REG_FILE [PROGRAM.exe=VERSION]...: a fresh prefix copied from the shared
# template ROOT/build/wine-template (made once, a few minutes), with the null display driver, no
# crash dialog waiting for a click, and each PROGRAM told it runs on that Windows version. The
# settings are written to REG_FILE and imported before the session starts, since a running session
# keeps what it read at its start. The prefix is stopped when the calling script exits.
start_prefix() {
  local root=$1 prefix=$2 reg=$3 pair
  {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n"Graphics"="null"\n'
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n'
    for pair in "${@:4}"; do
      printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s]\n"Version"="%s"\n' "${pair%%=*}" "${pair#*=}"
    done
  } >"$reg"
  "$fw_scripts/wine-prefix.sh" setup --template "$root/build/wine-template" --prefix "$prefix" --reg "$reg"
  # shellcheck disable=SC2064  # the prefix is fixed now
  trap "$(printf '%q ' "$fw_scripts/wine-prefix.sh" stop --prefix "$prefix") >/dev/null" EXIT
}

# prefix_path PREFIX WINDOWS_PATH: the Linux path of a Windows path of the prefix (drive letters are
# the links in dosdevices), each name matched regardless of case as Windows does; fails when
# something on the way is missing.
prefix_path() {
  local rest=${2//\\//} drive dir name names
  drive=${rest%%:*}
  dir="$1/dosdevices/${drive,,}:"
  [ -d "$dir" ] || return 1
  IFS=/ read -ra names <<<"${rest#*:}"
  for name in "${names[@]}"; do
    [ -n "$name" ] || continue
    dir=$(find "$dir/" -mindepth 1 -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)
    [ -n "$dir" ] || return 1
  done
  echo "$dir"
}

prefix_has() { prefix_path "$1" "$2" >/dev/null; }

# ms_since TIME: milliseconds since TIME, a value of $EPOCHREALTIME. seconds MS: MS as seconds to a tenth.
ms_since() {
  local now=$EPOCHREALTIME
  echo $(( (10#${now//[.,]/} - 10#${1//[.,]/}) / 1000 ))
}
seconds() {
  echo "$(($1 / 1000)).$(($1 % 1000 / 100))"
}

# wait_gone PREFIX WINDOWS_PATH SINCE LIMIT_S: looks for the path every 0.2 s until it is gone or
# LIMIT_S seconds have passed since SINCE (a value of $EPOCHREALTIME); succeeds when it is gone.
wait_gone() {
  while prefix_has "$1" "$2" && [ "$(ms_since "$3")" -lt $(($4 * 1000)) ]; do
    sleep 0.2
  done
  ! prefix_has "$1" "$2"
}
