#!/bin/bash
# Builds everything and runs every test under Wine inside Xvfb.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/build.sh"
"$KIVO_ROOT/scripts/wineprefix.sh"
"$KIVO_ROOT/scripts/display.sh"
export DISPLAY=$(cat "$KIVO_BUILD/display")
"$KIVO_ROOT/scripts/wineup.sh"
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$KIVO_BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
