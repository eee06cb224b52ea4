#!/bin/sh
# The window under a real X server (Xvfb) of the given size: one complete run
# of the bundled example, then the snapshot tool checks that the window and
# its Start button lie wholly on the screen and saves a picture.
#
#   screenshot_test.sh CLASSTABLE SNAPSHOT EXAMPLE WIDTHxHEIGHT SCALE OUT.png
#
# Exits 77 (skipped) where xvfb-run is missing.
set -eu
cli=$1 snapshot=$2 example=$3 size=$4 scale=$5 out=$6
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
work=$(mktemp -d /tmp/classtable-screenshot.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$cli" init "$work" >/dev/null
cat "$example" >> "$work/ClassTable.txt"
XDG_CONFIG_HOME="$work/settings" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" \
  xvfb-run -a -s "-screen 0 ${size}x24" "$snapshot" "$work" "$out" TStdItem
