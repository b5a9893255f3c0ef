#!/bin/bash
# The main job: the stand-in host loads LoadKIVO.dll and drives it.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/build.sh" >/dev/null
"$KIVO_ROOT/scripts/wineprefix.sh"
"$KIVO_ROOT/scripts/display.sh"
export DISPLAY=$(cat "$KIVO_BUILD/display")
"$KIVO_ROOT/scripts/wineup.sh"
cd "$KIVO_BUILD/bin"
exec wine KivoHost.exe "$@"
