#!/bin/sh
# Fuzzes the whole pipeline for SECONDS (default 60) with libFuzzer, starting
# from the seeds in fuzz/seeds and the bundled example and the words of
# fuzz/pascal.dict; each run's findings land in a folder of its own under
# fuzz-findings/. Exits 1 when the fuzzer found a crash, a hang, a
# sanitizer report or runaway memory. FUZZ_FLAGS adds libFuzzer flags (for a
# long run that goes on past findings: "-fork=1 -ignore_crashes=1
# -ignore_timeouts=1 -ignore_ooms=1"); CORPUS_DIR keeps the corpus elsewhere.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
./scripts/setup-debian.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCLASSTABLE_FUZZ=ON -DCLASSTABLE_TESTS=OFF -DCLASSTABLE_GUI=OFF >/dev/null
cmake --build build-fuzz --target classtable_fuzzer -j 2
corpus=${CORPUS_DIR:-build-fuzz/corpus}
findings=fuzz-findings/$(date +%Y%m%d-%H%M%S)-$$
mkdir -p "$corpus" "$findings"
# Every input is converted twice (fast and plain stages), about a second
# under the sanitizers when it follows the prelude; larger inputs reach no
# new code. A run that needs 20 seconds counts as a hang.
status=0
# shellcheck disable=SC2086
./build-fuzz/fuzz/classtable_fuzzer "$corpus" fuzz/seeds examples -dict=fuzz/pascal.dict \
  -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
  -artifact_prefix="$findings/" -print_final_stats=1 ${FUZZ_FLAGS:-} || status=$?
if [ "$status" -ne 0 ] || [ -n "$(ls "$findings")" ]; then
  echo "fuzz: findings in $findings/ (libFuzzer status $status)" >&2
  exit 1
fi
rmdir "$findings"
