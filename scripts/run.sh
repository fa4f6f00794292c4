#!/usr/bin/env bash
# Installs what is missing, builds Sigillo and sigillo-cli, and starts Sigillo on an archive folder.
#   scripts/run.sh [CARTELLA]     the archive in CARTELLA (default: ./archivio beside the sources)
#   scripts/run.sh --demo [...]   a new demo archive in ./demo-AAAA-MM-GG_hhmmss; further options go to
#                                 sigillo-cli demo (--interventi N, --anno AAAA)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target sigillo sigillo-cli
if [[ "${1:-}" == "--demo" ]]; then
    archive="$(realpath -m "demo-$(date +%Y-%m-%d_%H%M%S)")"
    build/apps/sigillo-cli demo --cartella "$archive" "${@:2}"
else
    archive="$(realpath -m "${1:-archivio}")"
    mkdir -p "$archive"
fi
exec build/apps/sigillo --config "$archive/sigillo.INI"
