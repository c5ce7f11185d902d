#!/usr/bin/env bash
# Checks that every call the library's code makes to a Unicode ("W") Win32 function comes from a
# section the build renamed to ".text$fwp1..." (src/CMakeLists.txt), where the test program's Windows
# 9x stubs recognise it as a call from the library (tests/support/windows9x_stubs.cpp). Code of inline
# functions stays in sections shared with the tests (".text$<symbol>"), outside that range: such
# code must not call a W function itself.
# Usage: check-library-code.sh <objdump> <library archive> <stamp file to write when it passes>
set -euo pipefail
objdump=$1 archive=$2 stamp=$3

outside=$("$objdump" -r "$archive" | awk '
  /^In archive|file format/ { object = $1 }
  /^RELOCATION RECORDS FOR \[/ { section = $4; sub(/^\[/, "", section); sub(/\]:$/, "", section); next }
  $3 ~ /^__imp__?[A-Za-z0-9_]*W(@[0-9]+)?$/ && section !~ /^\.text\$fwp1/ && section ~ /^\.text/ {
    print "  " object " " section ": " $3
  }' | sort -u)
if [ -n "$outside" ]; then
  echo "check-library-code: library code outside the renamed sections calls a W function:" >&2
  echo "$outside" >&2
  exit 1
fi
# A here-string, not a pipe: grep -q stops at the first match, which pipefail would read as a failure.
if ! grep -q '\.text\$fwp1' <<<"$("$objdump" -h "$archive")"; then
  echo "check-library-code: $archive has no .text\$fwp1 section: the rename did not run" >&2
  exit 1
fi
touch "$stamp"
