#!/bin/sh
# Pictures the window for the documentation: builds the snapshot tool, runs
# the window under a virtual X server on the bundled example, performs one
# complete run and saves the window as docs/window.png (or the file given).
#
#   scripts/screenshot.sh [OUT.png]      BUILD_DIR selects the build folder.
#
# Input: examples/ClassTable.txt when present; otherwise the prelude with the
# example declarations (examples/*.pas) appended; with neither, the prelude
# the window writes on its first start.
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
if [ -f examples/ClassTable.txt ]; then
  cp examples/ClassTable.txt "$work/ClassTable.txt"
else
  for declarations in examples/*.pas; do
    [ -f "$declarations" ] || continue
    [ -f "$work/ClassTable.txt" ] || "$build/classtable" init "$work" >/dev/null
    cat "$declarations" >> "$work/ClassTable.txt"
  done
fi

mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" \
  "$build/app/gui/classtable-gui-snapshot" "$work" "$out"
echo "saved $out"
