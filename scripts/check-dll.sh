#!/usr/bin/env bash
# Reads a built fwnative.dll (or fwcleanup.exe) and checks what the JVM and Windows will see:
# - the export table holds Java_ native methods and nothing else (on i686 without any "@N" stdcall
#   decoration, the form a 32-bit JVM finds);
# - every import is a function, by name, from a Windows system DLL that has a list in
#   scripts/imports/ (the language runtime is linked statically), and the oldest Windows the binary
#   must load on exports it: a 32-bit binary serves both families, so each function must be in
#   Windows 95 and in NT 4.0; a 64-bit one must be in Windows XP x64 / Server 2003 SP1. Windows
#   refuses to load a binary when one import is missing, whether or not it is ever called.
# Usage: check-dll.sh <objdump> <binary> [--summary|--list] [--imports DIR]
#   --summary prints one line: the exports counted and checked, the DLLs imported; --list also the
#   exports. --imports reads the lists from DIR instead of scripts/imports.
set -euo pipefail
objdump=$1 dll=$2
shift 2
list='' lists="$(dirname "$0")/imports"
while [ $# -gt 0 ]; do
  case "$1" in
    --summary|--list) list=$1; shift ;;
    --imports) lists=$2; shift 2 ;;
    *) echo "check-dll.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

dump=$("$objdump" -p "$dll")
exports=$(printf '%s\n' "$dump" | awk '
  /^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
  on && /^\t\[ *[0-9]+\] / { sub(/^\t\[ *[0-9]+\] /, ""); print; next }
  on { on = 0 }')
imports=$(printf '%s\n' "$dump" | awk '/^\tDLL Name: / { print $3 }')

# The systems a binary must load on, by its machine: the tokens a list line names them by.
case "$dump" in
  *"file format pei-i386"*) required=(95 nt4) ;;
  *"file format pei-x86-64"*) required=(x64) ;;
  *) echo "$dll: neither an i686 nor an x86_64 PE file" >&2; exit 2 ;;
esac
declare -A system_name=([95]="Windows 95" [nt4]="Windows NT 4.0" [x64]="Windows XP x64 / Server 2003 SP1")

status=0
count=0
while IFS= read -r name; do
  [ -n "$name" ] || continue
  count=$((count + 1))
  case "$name" in
    *@*) echo "$dll: decorated export $name (a 32-bit JVM looks up the plain Java_ name)" >&2; status=1 ;;
    Java_*) ;;
    *) echo "$dll: unexpected export $name" >&2; status=1 ;;
  esac
done <<<"$exports"

# Every imported function as "dll function", the DLL in lower case without ".dll"; an import by
# ordinal (objdump's "<none>") as "dll <none>".
functions=$(printf '%s\n' "$dump" | awk '
  /^\tDLL Name: / { dll = tolower($3); sub(/\.dll$/, "", dll); next }
  dll && /^\t[0-9a-f]+[ \t]+[0-9]+ +[A-Za-z_]/ { print dll, $3; next }
  dll && /<none>/ { print dll, "<none>"; next }
  /^$/ { dll = "" }')

# What each list says: "dll function" -> the systems that export it, and the note after "#".
declare -A systems note
for file in "$lists"/*.txt; do
  listed_dll=$(basename "$file" .txt)
  while IFS= read -r line; do
    case "$line" in '#'*|'') continue ;; esac
    read -r function tokens <<<"${line%%#*}"
    [ -n "${function:-}" ] || continue
    systems["$listed_dll $function"]=" $tokens "
    if [[ $line == *'#'* ]]; then
      comment=${line#*#}
      note["$listed_dll $function"]=${comment# }
    fi
  done <"$file"
done

while IFS= read -r name; do
  [ -n "$name" ] || continue
  if [ ! -f "$lists/$(tr 'A-Z' 'a-z' <<<"${name%.[dD][lL][lL]}").txt" ]; then
    echo "$dll: imports $name, which is not a Windows system DLL with a list in $lists" >&2
    status=1
  fi
done <<<"$imports"

while read -r from function; do
  [ -n "${from:-}" ] || continue
  [ -f "$lists/$from.txt" ] || continue  # reported above
  if [ "$function" = "<none>" ]; then
    echo "$dll: imports a function of $from.dll by ordinal; import by name, so that it can be checked" >&2
    status=1
    continue
  fi
  if [ -z "${systems["$from $function"]+set}" ]; then
    echo "$dll: imports $from $function, which $lists/$from.txt does not list" \
         "(check which Windows exports it and add it, or bind it by name when it is used)" >&2
    status=1
    continue
  fi
  lacking=()
  for system in "${required[@]}"; do
    [[ ${systems["$from $function"]} == *" $system "* ]] || lacking+=("${system_name[$system]}")
  done
  if [ ${#lacking[@]} -gt 0 ]; then
    missing=$(printf '%s and ' "${lacking[@]}")
    first=${note["$from $function"]:-}
    echo "$dll: imports $from $function, not exported by ${missing% and }${first:+ ($first)}:" \
         "the binary would not load there; bind it by name when it is used" >&2
    status=1
  fi
done <<<"$functions"

if [ -n "$list" ]; then
  echo "$dll: $count exports, $([ $status -eq 0 ] && echo checked || echo "NOT as they must be"); imports: $(echo $imports)"
fi
[ "$list" = "--list" ] && printf '%s\n' "$exports" | sed 's/^/  /'

exit $status
