#!/usr/bin/env bash
# Makes docs/window.png: the window with the sample book's first chapter
# extracted and the options panel open, on a virtual X screen.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target window_screenshot
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/window/window_screenshot" "$PWD" docs/window.png
