#!/bin/bash
# Configures and builds everything with the cross toolchain.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/setup.sh"
# Asserts active and warnings as errors unless the caller says otherwise
# (KIVO_ASSERTS=OFF for measuring without the checks).
options=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$KIVO_ROOT/cmake/mingw-i686.cmake"
         -DKIVO_ASSERTS="${KIVO_ASSERTS:-ON}" -DKIVO_WERROR="${KIVO_WERROR:-ON}")
# Configuring takes more than half a second when nothing changed, so it runs only for a
# new build tree or other options; the build itself configures again when a
# CMakeLists.txt (or a folder it globs) changes.
stamp="$KIVO_BUILD/.kivo-configured"
if [ ! -f "$KIVO_BUILD/build.ninja" ] || [ ! -f "$KIVO_BUILD/CMakeCache.txt" ] ||
   [ "$(cat "$stamp" 2>/dev/null)" != "${options[*]}" ]; then
  rm -f "$stamp"
  cmake -S "$KIVO_ROOT" -B "$KIVO_BUILD" "${options[@]}" >/dev/null
  echo "${options[*]}" > "$stamp"
fi
cmake --build "$KIVO_BUILD" -j "$(nproc)"
