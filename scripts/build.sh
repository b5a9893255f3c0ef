#!/bin/bash
# Configures and builds everything with the cross toolchain.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/setup.sh"
# Asserts active and warnings as errors unless the caller says otherwise
# (KIVO_ASSERTS=OFF for measuring without the checks).
cmake -S "$KIVO_ROOT" -B "$KIVO_BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$KIVO_ROOT/cmake/mingw-i686.cmake" \
  -DKIVO_ASSERTS="${KIVO_ASSERTS:-ON}" -DKIVO_WERROR="${KIVO_WERROR:-ON}" >/dev/null
cmake --build "$KIVO_BUILD" -j "$(nproc)"
