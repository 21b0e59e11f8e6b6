#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Pagewick
# need. Idempotent: installs only what is missing, and refreshes the package
# lists only when there is something to install.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-webengine-dev qt6-svg-dev libgl-dev
    clang libclang-rt-14-dev
    libbenchmark-dev
    libzip-dev epubcheck
    fonts-noto-cjk xvfb xauth locales
    desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
