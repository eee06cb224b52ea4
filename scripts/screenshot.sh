#!/bin/sh
# Pictures the window for the documentation: builds the snapshot tool, runs
# the window under a virtual X server of 1366x768 (a small laptop screen) on
# the bundled example, performs one complete run and saves the window, with
# the structure view on TStdItem, as docs/window.png (or the file given).
# Fails when the Start button is not fully on the screen.
#
#   scripts/screenshot.sh [OUT.png]      BUILD_DIR selects the build folder.
#
# Input: the prelude with the bundled example's declarations appended, as a
# user prepares ClassTable.txt. The window starts without remembered settings.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
out=${1:-docs/window.png}
case $out in /*) ;; *) out="$root/$out" ;; esac

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja >/dev/null
ninja -C "$build" -j2 classtable classtable-gui-snapshot >/dev/null

work=$(mktemp -d /tmp/classtable-window.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/classtable" init "$work" >/dev/null
cat examples/GameHost.pas >> "$work/ClassTable.txt"

mkdir -p "$(dirname "$out")"
XDG_CONFIG_HOME="$work/settings" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1366x768x24" \
  "$build/app/gui/classtable-gui-snapshot" "$work" "$out" TStdItem
echo "saved $out"
