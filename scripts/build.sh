#!/bin/bash
# Configures and builds everything with the cross toolchain.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/setup.sh"
cmake -S "$KIVO_ROOT" -B "$KIVO_BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$KIVO_ROOT/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$KIVO_BUILD" -j "$(nproc)"
