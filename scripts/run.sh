#!/usr/bin/env bash
# Installs what is missing, builds Sigillo and starts it on an archive folder of its own
# (default: ./archivio beside the sources; give another folder as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target sigillo
archive="$(realpath -m "${1:-archivio}")"
mkdir -p "$archive"
exec build/apps/sigillo --config "$archive/sigillo.INI"
