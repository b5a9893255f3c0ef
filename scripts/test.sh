#!/bin/bash
# Builds everything and runs every test under Wine inside Xvfb.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
kivo_wine_session
cd "$KIVO_BUILD"
ctest --output-on-failure -j "$(nproc)" "$@"
