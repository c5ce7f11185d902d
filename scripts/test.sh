#!/usr/bin/env bash
# Every test: set up the machine, build both architectures with their test programs, and run the
# suite under Wine once per emulated Windows version (see the README). The two trees' runs go at
# once: the i686 versions, which spend their time in qemu on one core each, two at a time in the
# tree's two Wine prefixes; the x86_64 ones, about a third as long, one at a time. The i686 run's
# output follows the x86_64 one's.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
status=0
i686_log=build/i686/ctest-output.log
ctest --preset i686 -j2 >"$i686_log" 2>&1 &
i686_run=$!
trap 'kill "$i686_run" 2>/dev/null || true' INT TERM
ctest --preset x86_64 || status=1
wait "$i686_run" || status=1
cat "$i686_log"
echo "test.sh: set-up, builds and every run took $((SECONDS / 60)) min $((SECONDS % 60)) s"
exit $status
