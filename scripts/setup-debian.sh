#!/bin/sh
# Installs, from Debian's packages, whatever the build, the tests, the
# window, its screenshot and the fuzzer need and the machine lacks (lua5.4,
# the interpreter, is for scripts/win32-headers.sh). Run as root on Debian 12.
#
#   scripts/setup-debian.sh           the Linux build and everything above
#   scripts/setup-debian.sh windows   also the Windows cross build and Wine
#                                     (scripts/windows-build.sh)
set -eu

packages="build-essential cmake ninja-build pkg-config git
  libgtest-dev
  liblua5.4-dev lua5.4
  qt6-base-dev libgl-dev fonts-wqy-zenhei qt6-translations-l10n xvfb xauth
  clang libclang-rt-dev"
# MinGW-w64 with POSIX threads (std::thread), GoogleTest's sources to build
# for Windows, Wine to run the result, dpkg-source to unpack Lua's sources.
if [ "${1:-}" = windows ]; then
  packages="$packages g++-mingw-w64-x86-64-posix googletest wine64 dpkg-dev"
fi

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages:$missing (run as root to install them)" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
