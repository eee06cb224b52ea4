#!/bin/sh
# Fuzzes the whole pipeline for SECONDS (default 60) with libFuzzer, starting
# from the seeds in fuzz/seeds; findings land in fuzz-findings/. Exits 1 when
# the fuzzer found a crash, a hang, a sanitizer report or runaway memory.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
./scripts/setup-debian.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCLASSTABLE_FUZZ=ON -DCLASSTABLE_TESTS=OFF -DCLASSTABLE_GUI=OFF >/dev/null
cmake --build build-fuzz --target classtable_fuzzer -j "$(nproc)"
corpus=${CORPUS_DIR:-build-fuzz/corpus}
mkdir -p "$corpus" fuzz-findings
./build-fuzz/fuzz/classtable_fuzzer "$corpus" fuzz/seeds \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=16384 \
  -artifact_prefix=fuzz-findings/ -print_final_stats=1 ${FUZZ_FLAGS:-}
