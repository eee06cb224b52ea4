#!/bin/sh
# Installs, from Debian's packages, whatever the build, the tests, the
# window, its screenshot and the fuzzer need and the machine lacks (lua5.4,
# the interpreter, is for scripts/win32-headers.sh). Run as root on Debian 12.
set -eu

packages="build-essential cmake ninja-build pkg-config git
  libgtest-dev
  liblua5.4-dev lua5.4
  qt6-base-dev libgl-dev fonts-wqy-zenhei qt6-translations-l10n xvfb xauth
  clang libclang-rt-dev"

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
