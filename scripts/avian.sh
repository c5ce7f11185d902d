#!/usr/bin/env bash
# Builds Avian, a small Java VM with its own class library, for Windows: the real JVM that loads
# fwnative under Wine in the Java suite and the Java demo. A test client only; nothing of it ships.
#
#   scripts/avian.sh --arch x86_64|i686 --out DIR
#
# Builds once into DIR and reuses that build while the source is the same. DIR then holds:
#   DIR/avian.exe     the VM, stripped (its class library is linked in; imports only system DLLs)
#   DIR/classpath/    its class library as classes: javac -source 8 -target 8 -bootclasspath DIR/classpath
#   DIR/build.log     the log of the last build
#   DIR/src/          the unpacked source and Avian's own build tree (src/build/windows-<arch>/
#                     avian.exe keeps the debug information, for Wine backtraces)
#   DIR/avian.stamp   written last: the source's sha256, so a complete build is recognised
#
# Source, first found: $AVIAN_SOURCE (an unpacked Avian tree or a .tar.gz of one), then
# ../shared/avian/avian-0871979b.tar.gz beside the repository (sha256-checked), then a download of
# the same commit from GitHub.
# Exit codes: 0 built or reused; 3 no source to be had (callers report the Java tests as not run);
# 2 usage; 1 anything else.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commit=0871979b298add320ca63f65060acb7532c8a0dd
pinned_sha256=db04e53644579f39b4d36eda9beaa9b3195e2de6d8b8a6f0783bd9b775147044
shared_archive=$(realpath -m "$root/../shared/avian/avian-0871979b.tar.gz")
url=https://github.com/ReadyTalk/avian/archive/$commit.tar.gz
# Bump when the way the build is made changes, so older builds are not reused.
recipe=1

die() { echo "avian: $*" >&2; exit 1; }
note() { echo "avian: $*"; }
usage() { echo "usage: avian.sh --arch x86_64|i686 --out DIR" >&2; exit 2; }

arch='' out=''
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) [ $# -ge 2 ] || usage; arch=$2; shift 2 ;;
    --out) [ $# -ge 2 ] || usage; out=$(realpath -m "$2"); shift 2 ;;
    *) usage ;;
  esac
done
[ -n "$out" ] || usage
case "$arch" in
  x86_64) make_arch=x86_64 triple=x86_64-w64-mingw32 winvar=win64 ;;
  i686) make_arch=i386 triple=i686-w64-mingw32 winvar=win32 ;;
  *) usage ;;
esac

no_source() {
  echo "avian: no Avian source: $*" >&2
  echo "avian: the Java suite and the Java demo cannot run without it (give a tree or .tar.gz of" \
    "Avian $commit in AVIAN_SOURCE, or put the archive at $shared_archive)" >&2
  exit 3
}

sha256_of() { sha256sum "$1" | cut -d' ' -f1; }

# A directory is identified by its content, its own build output and VCS data left out.
tree_sha256() {
  (cd "$1" && find . \( -path ./build -o -path ./.git \) -prune -o -type f -print0 |
    LC_ALL=C sort -z | xargs -0 sha256sum) | sha256sum | cut -d' ' -f1
}

# The single top folder of an archive (empty if there is not exactly one).
top_folder() {
  local tops
  tops=$(tar tzf "$1" | cut -d/ -f1 | sort -u) || return 0
  [ "$(printf '%s\n' "$tops" | wc -l)" -eq 1 ] && printf '%s' "$tops"
}

mkdir -p "$out"
exec 9>"$out/.lock"
if ! flock -n 9; then
  note "another build into $out is running; waiting for it"
  flock 9
fi

# Where the source comes from, and the sha256 a finished build is recorded under. The pinned commit
# is recorded under the reference archive's sha256 whichever way it was obtained, so a build from
# a download is reused once the archive is there, and the check below needs no download.
source_kind='' source_path='' source_sha256=''
if [ -n "${AVIAN_SOURCE:-}" ]; then
  source_path=$(realpath -m "$AVIAN_SOURCE")
  if [ -d "$source_path" ]; then
    if [ ! -f "$source_path/makefile" ] || [ ! -d "$source_path/classpath" ]; then
      die "AVIAN_SOURCE=$AVIAN_SOURCE is not an Avian source tree (no makefile and classpath/)"
    fi
    source_kind=tree
    source_sha256=$(tree_sha256 "$source_path")
  elif [ -f "$source_path" ]; then
    source_kind=archive
    source_sha256=$(sha256_of "$source_path")
  else
    die "AVIAN_SOURCE=$AVIAN_SOURCE does not exist"
  fi
elif [ -f "$shared_archive" ]; then
  source_kind=archive source_path=$(realpath "$shared_archive")
  source_sha256=$(sha256_of "$source_path")
  [ "$source_sha256" = "$pinned_sha256" ] ||
    die "$source_path has sha256 $source_sha256, expected $pinned_sha256: not the Avian source this project pins"
else
  source_kind=download source_path=$out/avian-$commit.tar.gz
  source_sha256=$pinned_sha256
fi

stamp_key="arch=$arch recipe=$recipe source-sha256=$source_sha256"
if [ -f "$out/avian.stamp" ] && [ "$(head -n1 "$out/avian.stamp")" = "$stamp_key" ] &&
   [ -f "$out/avian.exe" ] && [ -d "$out/classpath" ]; then
  note "reusing the build in $out (source sha256 $source_sha256): $out/avian.exe, $out/classpath"
  exit 0
fi

# GitHub makes its archives on the fly: their bytes are not promised to stay the same, and they
# differ from the reference archive anyway (whose top folder is "avian", not "avian-<commit>").
# So a download is taken when it is the reference archive, or else a sound gzip whose single top
# folder names the commit, which only GitHub's archive of that commit has.
pinned_download_ok() {
  [ "$(sha256_of "$1")" = "$pinned_sha256" ] && return 0
  gzip -t "$1" 2>/dev/null && [ "$(top_folder "$1")" = "avian-$commit" ]
}

fetch() {
  if command -v curl >/dev/null; then
    note "downloading $url"
    curl -fsSL --connect-timeout 20 --max-time 600 --retry 2 -o "$1" "$url"
  elif command -v wget >/dev/null; then
    note "downloading $url"
    wget -q -T 20 -t 2 -O "$1" "$url"
  else
    rm -f "$1"
    no_source "AVIAN_SOURCE is not set, $shared_archive is missing, and neither curl nor wget is installed to download $url"
  fi
}

if [ "$source_kind" = download ]; then
  if [ -f "$source_path" ] && pinned_download_ok "$source_path"; then
    note "using the earlier download $source_path"
  else
    rm -f "$source_path"
    if ! fetch "$source_path.part"; then
      rm -f "$source_path.part"
      no_source "AVIAN_SOURCE is not set, $shared_archive is missing, and the download of $url failed"
    fi
    pinned_download_ok "$source_path.part" ||
      die "the download of $url is neither the reference archive (sha256 $pinned_sha256) nor" \
        "GitHub's archive of commit $commit (a gzip holding the single folder avian-$commit)"
    note "downloaded, sha256 $(sha256_of "$source_path.part")"
    mv "$source_path.part" "$source_path"
  fi
fi

# What the build calls, checked first so that a missing package is named rather than buried in
# make's output. The win32 thread model: the posix one would link winpthreads in, which the
# fwnative build also avoids.
java_home=${JAVA_HOME:-}
if [ -z "$java_home" ] || [ ! -x "$java_home/bin/javac" ]; then
  java_home=/usr/lib/jvm/java-17-openjdk-amd64
  if [ ! -x "$java_home/bin/javac" ] && command -v javac >/dev/null; then
    java_home=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
  fi
fi
[ -x "$java_home/bin/javac" ] || die "no JDK found (set JAVA_HOME); run scripts/setup.sh"
zlib=/usr/$triple/lib/libz.a
[ -f "$zlib" ] || die "$zlib is missing (package libz-mingw-w64-dev); run scripts/setup.sh"
for tool in make g++ gcc "$triple-g++-win32" "$triple-gcc-win32" "$triple-strip"; do
  command -v "$tool" >/dev/null || die "$tool is missing; run scripts/setup.sh"
done

rm -f "$out/avian.stamp" "$out/avian.exe"
rm -rf "$out/src" "$out/classpath" "$out/win"
mkdir -p "$out/src"
case "$source_kind" in
  tree)
    cp -a "$source_path/." "$out/src/"
    rm -rf "$out/src/build"
    ;;
  archive | download)
    [ -n "$(top_folder "$source_path")" ] || die "$source_path does not hold a single top folder"
    tar xzf "$source_path" -C "$out/src" --strip-components=1
    [ -f "$out/src/makefile" ] || die "$source_path holds no Avian makefile at its top"
    ;;
esac

# The makefile takes Windows headers and libraries from one folder: a Windows jni_md.h (the JDK on
# Linux ships only its own, whose jlong is wrong on Win64) and zlib, static so no zlib DLL is needed.
mkdir -p "$out/win/include" "$out/win/lib"
cp "$root/cmake/jni/jni_md.h" "$out/win/include/"
ln -s "$zlib" "$out/win/lib/libz.a"

# Only the VM and its class library: the default target also builds Avian's own tests, one of
# which asks for -source 1.2, which current JDKs refuse. java-version is given because the
# makefile reads only 1.x and 9 version strings.
avian_build=build/windows-$make_arch
note "building Avian for $arch into $out (log: $out/build.log)"
start=$SECONDS
if ! env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$out/src" -j2 \
    platform=windows arch="$make_arch" java-version=8 JAVA_HOME="$java_home" "$winvar=$out/win" \
    cxx="$triple-g++-win32" cc="$triple-gcc-win32" \
    "$avian_build/avian.exe" "$avian_build/classpath.dep" >"$out/build.log" 2>&1; then
  echo "avian: the build failed; the end of $out/build.log:" >&2
  tail -n 40 "$out/build.log" >&2
  exit 1
fi

"$triple-strip" --strip-all -o "$out/avian.exe" "$out/src/$avian_build/avian.exe"
cp -a "$out/src/$avian_build/classpath" "$out/classpath"
printf '%s\nsource: %s (%s)\n' "$stamp_key" "$source_path" "$source_kind" >"$out/avian.stamp.tmp"
mv "$out/avian.stamp.tmp" "$out/avian.stamp"
note "built in $((SECONDS - start)) s: $out/avian.exe, $out/classpath"
