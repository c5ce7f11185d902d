#!/usr/bin/env bash
# Every test: set up the machine, build both architectures with their test programs, and run the
# suite under Wine once per emulated Windows version (see the README). The two trees' runs go at
# once, each in its own Wine prefix: the i686 one spends its time in qemu on one core, which leaves
# the other to the x86_64 one. The i686 run's output follows the x86_64 one's.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
for preset in x86_64 i686; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
status=0
i686_log=build/i686/ctest-output.log
ctest --preset i686 >"$i686_log" 2>&1 &
i686_run=$!
trap 'kill "$i686_run" 2>/dev/null || true' INT TERM
ctest --preset x86_64 || status=1
wait "$i686_run" || status=1
cat "$i686_log"
echo "test.sh: set-up, builds and every run took $((SECONDS / 60)) min $((SECONDS % 60)) s"
exit $status
