#!/usr/bin/env bash
# Every test: set up the machine, build both architectures with their test programs, and run the
# suite under Wine once per emulated Windows version (see the README).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
status=0
for preset in x86_64 i686; do
  ctest --preset "$preset" || status=1
done
echo "test.sh: set-up, builds and every run took $((SECONDS / 60)) min $((SECONDS % 60)) s"
exit $status
