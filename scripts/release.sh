#!/usr/bin/env bash
# The release archive: builds fwnative.dll and fwcleanup.exe with the i686 and x86_64 presets, then
# the x86_64 tree's target `release`, which packs them with the jars, the README and the licence as
# build/x86_64/fwnative-<version>.zip (cmake/release_contents.cmake says what it holds).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset i686 >/dev/null
cmake --build --preset i686 --target fwnative fwcleanup
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 --target release
