#!/usr/bin/env bash
# Builds the parts that do not start the browser engine with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer, then runs their tests and
# each fuzzer for a few seconds. Expects the packages of install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-sanitize -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DPAGEWICK_SANITIZE=ON -DPAGEWICK_FUZZ=ON -DPAGEWICK_BUILD_ENGINE_PARTS=OFF >/dev/null
cmake --build build-sanitize --parallel "$(nproc)"
cd build-sanitize
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/../tests/fuzz/lsan.supp"
ctest --output-on-failure --timeout 300
