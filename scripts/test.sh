#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/test-locales.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 300
cd ..
bash scripts/package-test.sh
bash scripts/sanitize-test.sh
