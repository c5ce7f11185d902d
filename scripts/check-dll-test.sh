#!/usr/bin/env bash
# Proves that scripts/check-dll.sh fails a build that imports what the oldest Windows lacks.
# Links small DLLs, with the cross toolchain of TRIPLE, that import exactly the chosen functions
# (an import library made with dlltool from a one-line .def, no runtime), and expects check-dll.sh
# to fail each one that must fail, naming the function and the system that lacks it, and to pass
# its control. Then runs the check on the built fwnative.dll with a copy of the lists that lacks one
# of its imports.
#   scripts/check-dll-test.sh TRIPLE FWNATIVE_DLL
set -euo pipefail
triple=$1 fwnative=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A DLL that imports FUNCTION from DLL_NAME and nothing else.
make_dll() {
  local out=$1 dll_name=$2 function=$3
  printf 'LIBRARY %s\nEXPORTS\n%s\n' "$dll_name" "$function" >"$work/import.def"
  "$triple-dlltool" -d "$work/import.def" -l "$work/libimport.a"
  printf 'extern int %s(void);\nint __stdcall DllMainCRTStartup(void* m, unsigned r, void* p) { return %s(); }\n' \
    "$function" "$function" >"$work/probe.c"
  "$triple-gcc" -shared -nostdlib -Wl,--exclude-all-symbols -o "$out" "$work/probe.c" "$work/libimport.a"
}

# expect NAME STATUS TEXT ARGS... -- runs check-dll.sh ARGS. "fails": exit status 1 and TEXT among
# the messages; "passes": exit status 0 and no message at all.
expect() {
  local name=$1 want=$2 text=$3 status=0
  shift 3
  "$here/check-dll.sh" "$triple-objdump" "$@" 2>"$work/stderr" || status=$?
  if [ "$want" = passes ]; then
    if [ $status -ne 0 ] || [ -s "$work/stderr" ]; then
      echo "FAIL $name: the check gave $status:"; cat "$work/stderr"; failures=$((failures + 1)); return
    fi
    echo "ok   $name"; return
  fi
  if [ "$want" = fails ] && [ $status -ne 1 ]; then
    echo "FAIL $name: the check gave $status, not 1"; cat "$work/stderr"; failures=$((failures + 1)); return
  fi
  if ! grep -qF -- "$text" "$work/stderr"; then
    echo "FAIL $name: no \"$text\" in:"; cat "$work/stderr"; failures=$((failures + 1)); return
  fi
  echo "ok   $name"
}

case "$triple" in
  i686-*)
    make_dll "$work/xp-only.dll" msvcrt.dll ___lc_codepage_func
    expect "an msvcrt function of Windows XP" fails \
      "imports msvcrt ___lc_codepage_func, not exported by Windows 95 and Windows NT 4.0 (first in the msvcrt.dll of Windows XP)" \
      "$work/xp-only.dll"
    make_dll "$work/x64-only.dll" kernel32.dll RtlUnwindEx
    expect "a kernel32 function of 64-bit Windows only" fails \
      "imports kernel32 RtlUnwindEx, not exported by Windows 95 and Windows NT 4.0" "$work/x64-only.dll"
    make_dll "$work/control.dll" msvcrt.dll __p__acmdln
    expect "the control: an msvcrt function of Visual C++ 4.2" passes "" "$work/control.dll"
    ;;
  x86_64-*)
    make_dll "$work/i386-only.dll" msvcrt.dll __p__acmdln
    expect "an msvcrt function of 32-bit Windows only" fails \
      "imports msvcrt __p__acmdln, not exported by Windows XP x64 / Server 2003 SP1 (i386 only)" \
      "$work/i386-only.dll"
    make_dll "$work/control.dll" msvcrt.dll ___lc_codepage_func
    expect "the control: an msvcrt function of every 64-bit Windows" passes "" "$work/control.dll"
    ;;
  *) echo "unknown triple $triple" >&2; exit 2 ;;
esac

make_dll "$work/unlisted.dll" kernel32.dll GetTickCount64
expect "a function no list has" fails \
  "imports kernel32 GetTickCount64, which $here/imports/kernel32.txt does not list" "$work/unlisted.dll"
make_dll "$work/other-dll.dll" oleaut32.dll SysAllocString
expect "a DLL without a list" fails \
  "imports oleaut32.dll, which is not a Windows system DLL with a list" "$work/other-dll.dll"

# The shipped DLL, with one of its real imports taken out of a copy of the lists.
cp -r "$here/imports" "$work/imports"
sed -i '/^GetVersionExA /d' "$work/imports/kernel32.txt"
expect "fwnative.dll against lists without GetVersionExA" fails \
  "imports kernel32 GetVersionExA, which $work/imports/kernel32.txt does not list" \
  "$fwnative" --imports "$work/imports"
expect "fwnative.dll against the lists" passes "" "$fwnative"

[ $failures -eq 0 ] || { echo "$failures of the checks above failed"; exit 1; }
