#!/usr/bin/env bash
# Reads a built fwnative.dll and checks what the JVM and Windows will see:
# - the export table holds Java_ native methods and nothing else (on i686 without any "@N" stdcall
#   decoration, the form a 32-bit JVM finds);
# - it imports only Windows system DLLs (the language runtime is linked statically), and from
#   kernel32 only functions every supported Windows has (scripts/kernel32-imports.txt).
# Usage: check-dll.sh <objdump> <dll> [--summary|--list]
#   --summary prints one line: the exports counted and checked, the DLLs imported; --list also the exports
set -euo pipefail
objdump=$1 dll=$2 list=${3:-}

dump=$("$objdump" -p "$dll")
exports=$(printf '%s\n' "$dump" | awk '
  /^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
  on && /^\t\[ *[0-9]+\] / { sub(/^\t\[ *[0-9]+\] /, ""); print; next }
  on { on = 0 }')
imports=$(printf '%s\n' "$dump" | awk '/^\tDLL Name: / { print $3 }')

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

allowed='^(kernel32|user32|advapi32|shell32|ole32|oleaut32|version|imm32|msvcrt|ntdll)\.dll$'
while IFS= read -r name; do
  [ -n "$name" ] || continue
  if ! grep -Eq "$allowed" <<<"$(tr 'A-Z' 'a-z' <<<"$name")"; then
    echo "$dll: imports $name, which is not a Windows system DLL" >&2
    status=1
  fi
done <<<"$imports"

# Functions imported from kernel32: the import table lists them under their DLL's name.
kernel32_imports=$(printf '%s\n' "$dump" | awk '
  /^\tDLL Name: / { in_kernel32 = (tolower($3) == "kernel32.dll"); next }
  in_kernel32 && /^\t[0-9a-f]+[ \t]+[0-9]+ +[A-Za-z_]/ { print $3 }')
known=$(grep -v '^#' "$(dirname "$0")/kernel32-imports.txt")
while IFS= read -r name; do
  [ -n "$name" ] || continue
  # A here-string, not a pipe: grep -q stops reading at the first match, and with pipefail the
  # writer's broken pipe would read as "not found".
  if ! grep -qx "$name" <<<"$known"; then
    echo "$dll: imports kernel32 $name, which is not known to exist on every supported Windows" \
         "(bind it by name, or check it and add it to scripts/kernel32-imports.txt)" >&2
    status=1
  fi
done <<<"$kernel32_imports"

if [ -n "$list" ]; then
  echo "$dll: $count exports, $([ $status -eq 0 ] && echo checked || echo "NOT as they must be"); imports: $(echo $imports)"
fi
[ "$list" = "--list" ] && printf '%s\n' "$exports" | sed 's/^/  /'

exit $status
