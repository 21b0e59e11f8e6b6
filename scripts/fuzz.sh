#!/usr/bin/env bash
# Runs every fuzzer for longer than the test suite does.
#   bash scripts/fuzz.sh [seconds-per-fuzzer]   (default 300)
# Crashing inputs are left in build-sanitize/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DPAGEWICK_SANITIZE=ON -DPAGEWICK_FUZZ=ON -DPAGEWICK_BUILD_ENGINE_PARTS=OFF >/dev/null
cmake --build build-sanitize --parallel "$(nproc)" --target fuzz_findstr fuzz_lineops fuzz_dlcp fuzz_title fuzz_detection
mkdir -p build-sanitize/fuzz-artifacts
for f in fuzz_findstr fuzz_lineops fuzz_dlcp fuzz_title fuzz_detection; do
    mkdir -p "build-sanitize/fuzz-corpus/$f"
    echo "== $f (${seconds}s)"
    "build-sanitize/tests/fuzz/$f" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
        -artifact_prefix=build-sanitize/fuzz-artifacts/ "build-sanitize/fuzz-corpus/$f"
done
