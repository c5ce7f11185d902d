#!/usr/bin/env bash
# The main job: set up the machine, build fwnative.dll, fwcleanup.exe and fwcall.exe for i686 and
# x86_64 and the release archive (scripts/release.sh), print one line for each DLL (its exports
# counted and checked, its imports; the build itself fails on any export other than a Java_ native
# method), run the first program from the unpacked archive for both architectures
# (scripts/release-test.sh), then the demo: a sample product installed and uninstalled by the Java
# program java/demo on a real Java VM (Avian) in a fresh Wine prefix (scripts/demo.sh; the account
# in build/demo/demo.log).
#
#   scripts/build.sh [--list-exports]     (--list-exports: every export name, not only their count)
set -euo pipefail
cd "$(dirname "$0")/.."
listing=--summary
[ "${1:-}" = --list-exports ] && listing=--list
./scripts/setup.sh
for preset in i686 x86_64; do
  cmake --preset "$preset" >/dev/null
  targets=(fwnative fwcall fwcleanup fw_avian)
  [ "$preset" = x86_64 ] && targets+=(fwtest_service release)
  cmake --build --preset "$preset" --target "${targets[@]}"
done
for arch in i686 x86_64; do
  triple=$([ "$arch" = i686 ] && echo i686-w64-mingw32 || echo x86_64-w64-mingw32)
  ./scripts/check-dll.sh "$triple-objdump" "build/$arch/src/fwnative.dll" "$listing"
done
# The archive as a user gets it: unpacked, and the first program run from it for both architectures.
./scripts/release-test.sh build/x86_64/fwnative-*.zip build/x86_64/avian build/i686/avian build/first-program
./scripts/demo.sh --build build/x86_64 --out build/demo
