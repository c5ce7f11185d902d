#!/usr/bin/env bash
# The release archive as an installer author gets it: unpacked in a fresh folder, its digests
# checked, and the first program run from it (scripts/first-program.sh) with each architecture's
# jar, DLL and clean-up program, as Windows XP and as Windows 98.
#
#   scripts/release-test.sh ARCHIVE X64_AVIAN_DIR X86_AVIAN_DIR OUT_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
archive=$(realpath "${1:?}") x64_avian=${2:?} x86_avian=${3:?} out=${4:?}
rm -rf "$out"
mkdir -p "$out/unpacked"
(cd "$out/unpacked" && cmake -E tar xf "$archive")
dir=$(echo "$out"/unpacked/fwnative-*)
(cd "$dir" && sha256sum --quiet --strict -c SHA256SUMS)
status=0
for arch in x64 x86; do
  avian=$([ "$arch" = x64 ] && echo "$x64_avian" || echo "$x86_avian")
  for version in winxp win98; do
    log=$out/$arch-$version.log
    if "$root/scripts/first-program.sh" --jar "$dir/fwnative.jar" --dll "$dir/$arch/fwnative.dll" \
         --cleanup "$dir/$arch/fwcleanup.exe" --avian "$avian" --version "$version" --out "$out/$arch-$version" >"$log" 2>&1; then
      echo "release-test: $arch as $version: every step worked"
    else
      echo "release-test: $arch as $version FAILED ($log):"
      tail -n 15 "$log"
      status=1
    fi
  done
done
exit $status
