#!/bin/sh
# Configures and builds into build/ (or $BUILD_DIR). Extra arguments go to cmake.
# Of configure's output it shows the project's own lines (what is built and
# what is skipped, such as the window without Qt), or everything when it fails.
set -eu
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
log=$(mktemp /tmp/classtable-configure.XXXXXX)
trap 'rm -f "$log"' EXIT
status=0
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} "$@" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  cat "$log" >&2
  exit "$status"
fi
grep '^-- classtable:' "$log" || true
cmake --build "$build_dir" -j "$(nproc)"
