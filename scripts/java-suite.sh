#!/usr/bin/env bash
# The Java suite (java/suite): the shipped DLL loaded by a real Java VM (Avian, built by
# scripts/avian.sh) and called through the Java classes under Wine. Three steps, each called by the
# build or by CTest:
#
#   java-suite.sh avian   --arch x86_64|i686 --out AVIAN_DIR
#       builds Avian once (reused afterwards); when no Avian source can be had, writes why to
#       AVIAN_DIR/unavailable.txt and ends without failing the build
#   java-suite.sh compile --avian AVIAN_DIR --out CLASSES_DIR SOURCE_DIR...
#       compiles the Java classes against Avian's class library (nothing without Avian)
#   java-suite.sh run     --avian AVIAN_DIR --classes CLASSES_DIR --dll DLL --exports FILE
#                         --version VERSION --prefix PREFIX --loader LOADER --dir RUN_DIR [--beside FILE]...
#       runs the suite once in RUN_DIR (with each --beside file copied there: the test service
#       program) as "java-suite-VERSION.exe" (the name selects the Windows
#       version in Wine); without Avian it says what is missing and exits 77, which fails the
#       CTest run
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
skip=77

step=${1:?usage: java-suite.sh avian|compile|run ...}
shift
arch='' avian='' out='' classes='' dll='' exports='' version='' prefix='' loader='' dir=''
sources=()
beside=()
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2; shift 2 ;;
    --avian) avian=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --classes) classes=$2; shift 2 ;;
    --dll) dll=$2; shift 2 ;;
    --exports) exports=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    --loader) loader=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --beside) beside+=("$2"); shift 2 ;;
    -*) echo "java-suite: unknown option $1" >&2; exit 2 ;;
    *) sources+=("$1"); shift ;;
  esac
done

case "$step" in
  avian)
    mkdir -p "$out"
    rc=0
    "$root/scripts/avian.sh" --arch "$arch" --out "$out" >"$out/avian-step.log" 2>&1 || rc=$?
    if [ "$rc" -eq 3 ]; then
      cp "$out/avian-step.log" "$out/unavailable.txt"
      cat "$out/unavailable.txt" >&2
      exit 0
    fi
    cat "$out/avian-step.log"
    [ "$rc" -eq 0 ] || exit "$rc"
    rm -f "$out/unavailable.txt"
    ;;
  compile)
    [ -f "$avian/avian.exe" ] || exit 0
    rm -rf "$out"
    mkdir -p "$out"
    javac -encoding UTF-8 -source 8 -target 8 -Xlint:-options -bootclasspath "$avian/classpath" -d "$out" \
      $(find "${sources[@]}" -name '*.java' | sort)
    ;;
  run)
    if [ ! -f "$avian/avian.exe" ]; then
      echo "java-suite: the Java suite for $version cannot run: no Avian VM in $avian" >&2
      [ -f "$avian/unavailable.txt" ] && cat "$avian/unavailable.txt" >&2
      echo "NOT RUN (neither the Java suite nor the Java demo can run without Avian)" >&2
      exit $skip
    fi
    mkdir -p "$dir"
    cp -f "$avian/avian.exe" "$dir/java-suite-$version.exe"
    cp -f "$dll" "$dir/fwnative.dll"
    cp -f "$exports" "$dir/exports.txt"
    for file in "${beside[@]}"; do cp -f "$file" "$dir/"; done
    # Avian takes a Windows path; Wine's Z: is the Linux root.
    windows_classes="Z:$(realpath "$classes" | tr / '\\')"
    cd "$dir"
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    rc=0
    "$root/scripts/wine-run.sh" --prefix "$prefix" --loader "$loader" "java-suite-$version.exe" \
      -cp "$windows_classes" com.fernwick.suite.Suite exports.txt "$version" | tee "$log" || rc=$?
    # A VM that died early prints no summary: that is a failure too.
    grep -Eq '^[0-9]+ passed, 0 failed' "$log" || [ "$rc" -ne 0 ] || rc=1
    exit "$rc"
    ;;
  *) echo "java-suite: unknown step $step" >&2; exit 2 ;;
esac
