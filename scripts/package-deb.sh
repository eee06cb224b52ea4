#!/bin/sh
# Builds the Debian package from a build folder (BUILD_DIR, default build/,
# built with scripts/build.sh when missing), installs it with apt, which
# resolves every run-time dependency from the package's own metadata, runs
# the installed programs (classtable --version, classtable-gui --version),
# converts the bundled example with the installed classtable, and removes
# the package again. Run as root on Debian 12.
#
#   scripts/package-deb.sh       leaves the .deb in BUILD_DIR
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
if [ "$(id -u)" -ne 0 ]; then
  echo "package: run as root: the package is installed and removed with apt" >&2
  exit 1
fi
[ -f "$build/CPackConfig.cmake" ] || BUILD_DIR=$build ./scripts/build.sh >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/classtable_*.deb | head -1)
echo "package: built $deb"
dpkg-deb --field "$deb" Package Version Depends Recommends

work=$(mktemp -d /tmp/classtable-package.XXXXXX)
cleanup() {
  rm -rf "$work"
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq classtable >/dev/null 2>&1 || true
}
trap cleanup EXIT

# apt takes a local file by its path; ./ makes it one.
case $deb in /*) ;; *) deb="$root/$deb" ;; esac
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
echo "package: installed $(dpkg-query -W -f='${Package} ${Version}' classtable)"

/usr/bin/classtable --version
[ ! -x /usr/bin/classtable-gui ] || /usr/bin/classtable-gui --version
for f in /usr/share/applications/classtable-gui.desktop /usr/share/icons/hicolor/scalable/apps/classtable.svg; do
  [ ! -x /usr/bin/classtable-gui ] || [ -f "$f" ] || { echo "package: $f is missing" >&2; exit 1; }
done

/usr/bin/classtable init "$work" >/dev/null
cat examples/GameHost.pas >> "$work/ClassTable.txt"
/usr/bin/classtable convert "$work" >/dev/null 2>&1
[ -s "$work/ClassType.lua" ] || { echo "package: the installed classtable wrote no ClassType.lua" >&2; exit 1; }
echo "package: the installed classtable converted the bundled example"

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq classtable >/dev/null
if [ -e /usr/bin/classtable ]; then
  echo "package: /usr/bin/classtable is still there after the removal" >&2
  exit 1
fi
echo "package: removed again"
