#!/usr/bin/env bash
# Installs what is missing, builds and starts Pagewick.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ "$(id -u)" -eq 0 ]; then
    # Chromium's sandbox refuses to run as root.
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
exec ./build/pagewick "$@"
