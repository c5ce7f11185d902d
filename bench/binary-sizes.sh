#!/usr/bin/env bash
# Prints the size of what ships (fwnative.dll, fwcleanup.exe) and of the load benchmark's minimal
# JNI library, for each build tree given (e.g. build/x86_64 build/i686). A file not built is said so.
#   binary-sizes.sh BUILD_DIR...
set -euo pipefail
for build in "$@"; do
  for file in src/fwnative.dll tools/fwcleanup/fwcleanup.exe bench/minimal_jni.dll; do
    [ -f "$build/$file" ] || { printf '%-50s not built\n' "$build/$file"; continue; }
    awk -v f="$build/$file" -v b="$(stat -c %s "$build/$file")" \
      'BEGIN { printf "%-50s %9d bytes %7.1f KiB\n", f, b, b / 1024 }'
  done
done
