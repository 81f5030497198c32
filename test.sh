#!/usr/bin/env bash
# Builds nuvo_sql and runs every test.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$top/scripts/deps.sh"
nuvo_install_deps
nuvo_build "$top"
export QT_QPA_PLATFORM=offscreen
cd "$top/build"
ctest --output-on-failure -j "$(nproc)" "$@"
