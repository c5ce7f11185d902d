#!/usr/bin/env bash
# Applies one mutation of tests/mutations.md to src/, rebuilds the suite, puts the source back at
# once (before any test runs, so the edit is never left in place), and runs the mutation's tests
# under the x86_64 winxp and win98 runs (or the one run the line names). Prints "caught" when the
# suite fails, "MISSED" otherwise.
# Each set of tests first runs on the unchanged build, as a control: when it fails there (a Wine or
# prefix failure, a test already broken), no mutation is judged by it and the line says so.
#
#   scripts/mutate.sh [--build DIR] NUMBER...
#
# A mutation is a line "N. FILE, FUNCTION: `OLD` → `NEW` (why); caught by FILTER", where OLD occurs
# exactly once in FILE and FILTER is a --gtest_filter; "caught by FILTER under win95" runs that
# version only (a fallback only that system takes). The build tree defaults to build/x86_64 (the
# x86_64 preset's) and must have run its wine_prefix_setup fixture. A FILE with changes of anyone's is refused.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/x86_64
if [ "${1:-}" = --build ]; then build=$2; shift 2; fi
[ $# -ge 1 ] || { echo "usage: scripts/mutate.sh [--build DIR] NUMBER..." >&2; exit 2; }

# Runs the tests of FILTER under each of VERSIONS, appending to LOG; prints the first version where
# they fail ("winxp", "win98", with ", no end within 300 s" for a run that never ended), or nothing.
run_tests() {
  local filter=$1 log=$2 versions=$3 version rc
  for version in $versions; do
    # A run that never ends fails too (CTest's timeout would end it): a crash can leave a thread of the
    # program behind under Wine.
    rc=0
    timeout 300 scripts/wine-run.sh --prefix "$build/wine-prefix" \
      "$build/tests/wine-run/$version/fwnative_tests-$version.exe" --gtest_filter="$filter" >>"$log" 2>&1 || rc=$?
    if [ "$rc" -ne 0 ]; then
      [ "$rc" -ne 124 ] && echo "$version" || echo "$version, no end within 300 s"
      return
    fi
  done
}

# The control's answer for each set of tests: "" when they pass on the unchanged build.
declare -A control

status=0
for number in "$@"; do
  line=$(grep -E "^$number\. " tests/mutations.md || true)
  [ -n "$line" ] || { echo "$number: no such mutation" >&2; status=2; continue; }
  file=$(sed -E 's/^[0-9]+\. ([^,]+),.*/\1/' <<<"$line")
  filter=$(sed -E 's/.*caught by ([^ ]+)( under [a-z0-9]+)?$/\1/' <<<"$line")
  versions="winxp win98"
  [[ "$line" =~ \ under\ ([a-z0-9]+)$ ]] && versions=${BASH_REMATCH[1]}
  key="$filter under $versions"
  if ! git diff --quiet -- "$file"; then
    echo "$number: $file has changes; not touched" >&2
    status=2
    continue
  fi
  # The control, on the unchanged source rebuilt (the last mutation's build is still in the tree).
  if [ -z "${control[$key]+set}" ]; then
    echo "== control for $filter" >>"$build/mutation-control.log"
    if cmake --build "$build" -j2 --target fwnative_tests_wine_run >>"$build/mutation-control.log" 2>&1; then
      control[$key]=$(run_tests "$filter" "$build/mutation-control.log" "$versions")
    else
      control[$key]="does not build"
    fi
  fi
  if [ -n "${control[$key]}" ]; then
    echo "$number: not judged: its tests fail on the unchanged build too (${control[$key]}; see $build/mutation-control.log)"
    status=2
    continue
  fi
  trap 'git checkout -- "$file"' EXIT
  if ! python3 - "$file" "$line" <<'EOF'
import re, sys
path, line = sys.argv[1], sys.argv[2]
m = re.search(r": `(.+?)` → (?:`(.*?)`|nothing)", line)
old, new = (part.replace("\\n", "\n") for part in (m.group(1), m.group(2) or ""))
text = open(path).read()
if text.count(old) != 1:
    sys.exit(f"{path}: `{old}` occurs {text.count(old)} times")
open(path, "w").write(text.replace(old, new))
EOF
  then
    status=2
    git checkout -- "$file"
    trap - EXIT
    continue
  fi
  built=yes
  cmake --build "$build" -j2 --target fwnative_tests_wine_run >"$build/mutation-$number.log" 2>&1 || built=no
  git checkout -- "$file"
  trap - EXIT
  if [ "$built" = no ]; then
    echo "$number: does not build (see $build/mutation-$number.log)"
    status=1
    continue
  fi
  failed=$(run_tests "$filter" "$build/mutation-$number.log" "$versions")
  result=MISSED
  [ -z "$failed" ] || result="caught ($failed)"
  echo "$number: $result"
  [ "$result" != MISSED ] || status=1
done
exit $status
