#!/usr/bin/env bash
# Makes and ends the Wine prefix of one test run.
#
#   wine-prefix.sh setup --template DIR --prefix DIR [--reg FILE.reg]... [--reg-dir DIR] [--drive d:cdrom]...
#   wine-prefix.sh stop --prefix DIR
#
# setup: creates the pristine template prefix once (shared by every build tree; creating a prefix
# costs minutes once qemu's i386 binfmt is registered, because wineboot also sets up the 32-bit side),
# copies it to a fresh run prefix, starts a persistent wineserver for it, imports the given registry
# files (and every *.reg file of --reg-dir) and checks that every value in them took. The import is also the first program of the new
# server, which starts Wine's services: a server that has not run a program yet makes the first
# test wait, or hang.
# stop: ends the prefix's helper processes, then its server. Killing only the server would leave
# the helpers running.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

die() { echo "wine-prefix: $*" >&2; exit 1; }
note() { echo "wine-prefix: $*"; }

# Wine environment for the commands run here (the programs themselves go through wine-run.sh).
wine_env() {
  env -u LC_ALL -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$1" WINEDEBUG=-all \
    WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' LANG=C.UTF-8 "${@:2}"
}

# Processes whose environment names this prefix: the helpers, then the server (printed last).
prefix_pids() {
  local want="WINEPREFIX=$1" helpers=() servers=() dir pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    [ "$pid" != "$$" ] || continue
    if grep -qzxF -- "$want" "$dir/environ" 2>/dev/null; then
      case "$(cat "$dir/comm" 2>/dev/null)" in
        wineserver*) servers+=("$pid") ;;
        *) helpers+=("$pid") ;;
      esac
    fi
  done
  echo "${helpers[*]:-}"
  echo "${servers[*]:-}"
}

wait_gone() {
  local deadline=$((SECONDS + $1)) pid alive
  shift
  while :; do
    alive=0
    for pid in "$@"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ "$alive" -eq 1 ] && [ "$SECONDS" -lt "$deadline" ] || break
    sleep 0.2
  done
  [ "$alive" -eq 0 ]
}

stop_prefix() {
  local prefix=$1 lines helpers servers
  mapfile -t lines < <(prefix_pids "$prefix")
  read -r -a helpers <<<"${lines[0]:-}"
  read -r -a servers <<<"${lines[1]:-}"
  if [ "${#helpers[@]}" -gt 0 ]; then
    kill -TERM "${helpers[@]}" 2>/dev/null || true
    wait_gone 5 "${helpers[@]}" || kill -KILL "${helpers[@]}" 2>/dev/null || true
    wait_gone 5 "${helpers[@]}" || true
  fi
  if [ "${#servers[@]}" -gt 0 ]; then
    kill -TERM "${servers[@]}" 2>/dev/null || true
    wait_gone 10 "${servers[@]}" || kill -KILL "${servers[@]}" 2>/dev/null || true
    wait_gone 5 "${servers[@]}" || die "wineserver ${servers[*]} of $prefix did not end"
  fi
  note "stopped $prefix (helpers: ${helpers[*]:-none}; server: ${servers[*]:-none})"
}

# The template is ready when its stamp names the installed Wine; otherwise it is made again.
ensure_template() {
  local template=$1 stamp="$1/.fw-template" version start
  version=$("$wine64" --version)
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    return 0
  fi
  note "creating the template prefix $template ($version); this takes a few minutes"
  start=$SECONDS
  stop_prefix "$template"
  rm -rf "$template"
  mkdir -p "$template"
  wine_env "$template" "$wine64" wineboot --init >"$template.log" 2>&1 ||
    { cat "$template.log" >&2; die "wineboot --init failed in $template"; }
  # Everything is written to disk once the server has ended.
  wine_env "$template" "$wineserver" -w
  [ -f "$template/system.reg" ] || die "wineboot left no system.reg in $template"
  echo "$version" >"$stamp"
  note "template ready after $((SECONDS - start)) s"
}

# Every "name"="value" line of the .reg files must read back from the run prefix.
check_registry() {
  local prefix=$1 out key name value line file
  shift
  for file in "$@"; do
    key=
    while IFS= read -r line || [ -n "$line" ]; do
      line=${line%$'\r'}
      case "$line" in
        \[*\])
          key=${line#[}
          key=${key%]}
          ;;
        \"*\"=\"*\" | \"*\"=dword:*)
          name=${line#\"}
          name=${name%%\"=*}
          value=${line#*\"=}
          case "$value" in
            dword:*) value="REG_DWORD +0x$(printf '%x' "$((16#${value#dword:}))")" ;;
            *) value=${value#\"}; value="REG_SZ +${value%\"}" ;;
          esac
          out=$(cd "$prefix" && wine_env "$prefix" "$wine64" reg query "$key" /v "$name" 2>&1 | tr -d '\r') ||
            die "registry value $key\\$name is missing after the import: $out"
          grep -qE "^ +$name +$value\$" <<<"$out" ||
            die "registry value $key\\$name does not read back as $value: $out"
          ;;
      esac
    done <"$file"
  done
}

setup() {
  local template= prefix= regs=() drives=() start=$SECONDS file drive
  while [ $# -gt 0 ]; do
    case "$1" in
      --template) template=$(realpath -m "${2:?}"); shift 2 ;;
      --prefix) prefix=$(realpath -m "${2:?}"); shift 2 ;;
      --reg) regs+=("$(realpath "${2:?}")"); shift 2 ;;
      --reg-dir)
        [ -d "${2:?}" ] || die "no folder $2"
        for file in "$(realpath "$2")"/*.reg; do [ -e "$file" ] && regs+=("$file"); done
        shift 2
        ;;
      --drive) drives+=("${2:?}"); shift 2 ;;
      *) die "unknown argument $1" ;;
    esac
  done
  [ -n "$template" ] && [ -n "$prefix" ] || die "setup needs --template and --prefix"
  [ "$template" != "$prefix" ] || die "the run prefix must not be the template"

  stop_prefix "$prefix"
  rm -rf "$prefix"
  mkdir -p "$(dirname "$template")" "$(dirname "$prefix")"
  # One lock for making and copying: two build trees may start a run at the same time.
  (
    flock -x 9
    ensure_template "$template"
    cp -a "$template" "$prefix"
  ) 9>"$template.lock"
  rm -f "$prefix/.fw-template"

  # More drives than C: and Z:, each a folder of the prefix with the kind Wine is told (cdrom,
  # network, floppy, hd), so that drive lists and kinds are real: --drive d:cdrom. Wine's mount
  # manager reads the kinds when the session starts, so they go into the registry file before the
  # server does.
  if [ "${#drives[@]}" -gt 0 ]; then
    printf '\n[Software\\\\Wine\\\\Drives] 1700000000\n' >>"$prefix/system.reg"
    for drive in "${drives[@]}"; do
      local letter=${drive%%:*} kind=${drive#*:}
      mkdir -p "$prefix/drive_$letter"
      ln -sfn "../drive_$letter" "$prefix/dosdevices/$letter:"
      printf '"%s:"="%s"\n' "$letter" "$kind" >>"$prefix/system.reg"
    done
  fi

  # The server's and the helpers' output must not hold our caller's pipe open.
  wine_env "$prefix" "$wineserver" -p >/dev/null 2>&1 </dev/null
  for file in "${regs[@]}"; do
    (cd "$(dirname "$file")" &&
      "$here/wine-run.sh" --prefix "$prefix" --loader "$wine64" reg import "$(basename "$file")") ||
      die "reg import $file failed"
  done
  if [ "${#regs[@]}" -eq 0 ]; then
    "$here/wine-run.sh" --prefix "$prefix" --loader "$wine64" cmd /c exit 0 || die "first program failed"
  fi
  check_registry "$prefix" "${regs[@]}"
  note "run prefix $prefix ready after $((SECONDS - start)) s"
}

case "${1:-}" in
  setup) shift; setup "$@" ;;
  stop)
    [ "${2:-}" = "--prefix" ] && [ -n "${3:-}" ] || die "usage: wine-prefix.sh stop --prefix DIR"
    stop_prefix "$(realpath -m "$3")"
    ;;
  *) die "usage: wine-prefix.sh setup|stop ..." ;;
esac
