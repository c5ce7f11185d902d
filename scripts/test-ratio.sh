#!/usr/bin/env bash
# Lines of test code (the test program, its support, the test VM's own tests, the Java suite) against
# lines of code (the library, the tools, the Java side and its demo, the test VM library), over the
# C++ and Java sources git tracks, without blank lines, comment lines and preprocessor lines.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() {
  git ls-files -- "$@" | grep -E '\.(cpp|h|java)$' | xargs -r cat |
    grep -vcE '^\s*$|^\s*//|^\s*/?\*|^\s*#' || true
}
tests=$(( $(lines tests) + $(lines testvm/tests) + $(lines java/suite) ))
code=$(( $(lines src tools java testvm) - $(lines testvm/tests) - $(lines java/suite) ))
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d lines, code %d lines: %.2f\n", t, c, t / c }'
