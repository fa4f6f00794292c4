#!/usr/bin/env bash
# Installs the Debian packages Sigillo needs to build, run and test.
# Idempotent: does nothing (and prints nothing) when everything is present.
set -euo pipefail

packages=(
    cmake ninja-build g++
    qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n libgl-dev
    libsqlite3-dev libsodium-dev libxlsxwriter-dev zlib1g-dev
    poppler-utils
    python3-openpyxl  # the tests read exported workbooks back
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
