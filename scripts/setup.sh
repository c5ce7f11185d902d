#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine. Idempotent and
# non-interactive; runs as root (or through sudo when available). Safe to run before every build.
set -euo pipefail

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

export DEBIAN_FRONTEND=noninteractive
apt_updated=0
apt_update_once() {
  if [ "$apt_updated" -eq 0 ]; then
    # A mirror in mid-sync can fail one index; retry, then go on with what was fetched (the
    # install below fails clearly if a package is really unavailable).
    local try
    for try in 1 2 3; do
      as_root apt-get update -qq && break
      echo "setup: apt-get update failed (attempt $try)" >&2
      sleep 5
    done
    apt_updated=1
  fi
}

missing=()
need() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' || missing+=("$1"); }

# Cross compilers (posix thread model: GoogleTest needs std::mutex; the win32 model links what ships),
# CMake, a JDK, GoogleTest sources.
for p in g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-win32 \
         g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686 \
         binutils-mingw-w64-x86-64 cmake make openjdk-17-jdk-headless googletest; do
  need "$p"
done

# Avian, the Java VM the Java tests run under Wine (scripts/avian.sh): static zlib for Windows, and
# the host compiler and zlib its build tools are made with.
for p in libz-mingw-w64-dev g++ zlib1g-dev; do
  need "$p"
done

# 32-bit Wine needs the i386 architecture; its package lists lag the security archive, so prefer
# the main archive's versions to keep multiarch versions in step.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  apt_updated=0
fi
if [ ! -f /etc/apt/preferences.d/i386-match ]; then
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' |
    as_root tee /etc/apt/preferences.d/i386-match >/dev/null
fi
for p in wine wine64 wine32:i386; do
  need "$p"
done

if [ "${#missing[@]}" -gt 0 ]; then
  apt_update_once
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# qemu-user from bookworm-backports (10.x), not bookworm's 7.2: 7.2 looks for free guest memory one
# page at a time over the whole reserved space at every mmap, so one 32-bit Wine process took a
# minute to start (10.x: under two seconds). It replaces bookworm's qemu-user-static.
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
if ! dpkg --compare-versions "$qemu_version" ge 1:9.1; then
  if [ ! -f /etc/apt/sources.list.d/bookworm-backports.list ]; then
    echo 'deb http://deb.debian.org/debian bookworm-backports main' |
      as_root tee /etc/apt/sources.list.d/bookworm-backports.list >/dev/null
    apt_updated=0
  fi
  apt_update_once
  as_root apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user
fi

# The kernel here cannot run 32-bit programs itself: 32-bit Wine runs through qemu-user, which
# needs a binfmt registration that Debian's package does not make on amd64.
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  as_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
qemu_i386=/usr/bin/qemu-i386
if ! grep -qx "interpreter $qemu_i386" /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
  if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo -1 | as_root tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
  fi
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu_i386"':F' |
    as_root tee /proc/sys/fs/binfmt_misc/register >/dev/null
fi
