#!/bin/sh
# Sets up the machine, builds and runs every test.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
./scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
