#!/bin/sh
# Sets up the machine, builds and runs every test, tries the Debian
# package, builds for Windows and runs the tests under Wine; then runs the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and fuzzes the pipeline for a minute. Any sanitizer report or fuzzer
# finding fails.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
./scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

# The Debian package of that build, installed with apt, tried and removed
# again (some ten seconds); installing needs root, as CI has.
if [ "$(id -u)" -eq 0 ]; then
  ./scripts/package-deb.sh
else
  echo "test: not root: the package test (scripts/package-deb.sh) is skipped"
fi

# The Windows build: classtable.exe and the suite cross-built with
# MinGW-w64 and run under Wine, the .exe held to this build byte for byte
# (a few minutes on a fresh machine, most of it the build); it installs
# packages and mounts a full disk, so it needs root too.
if [ "$(id -u)" -eq 0 ]; then
  ./scripts/windows-build.sh
else
  echo "test: not root: the Windows build and its run under Wine (scripts/windows-build.sh) are skipped"
fi

# The window stays out of the sanitizer build: Qt's own allocations at exit
# would drown our reports.
BUILD_DIR=build-asan BUILD_TYPE=RelWithDebInfo ./scripts/build.sh -DCLASSTABLE_SANITIZE=ON -DCLASSTABLE_GUI=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

./scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
