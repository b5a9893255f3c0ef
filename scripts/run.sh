#!/bin/bash
# The main job: the stand-in host imports a KIVO file through LoadKIVO.dll, answers the
# importer's dialogs and prints a summary; the report and the board's dump are written
# beside the file. Without a file it imports examples/demo.pdf. Arguments go on to the host (standin/host/KivoHost.cpp lists them);
# those that name existing files are handed over as Wine paths.
#
# With --interactive the dialogs are left to a person: on the caller's own display when
# DISPLAY is set (in a Wine prefix of its own), else on the build's Xvfb.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
interactive=0
for arg in "$@"; do
  [ "$arg" = --interactive ] && interactive=1
done
own_display=0
if [ $interactive = 1 ] && [ -n "${DISPLAY:-}" ]; then
  own_display=1
  export KIVO_WINEPREFIX=${KIVO_WINEPREFIX:-${KIVO_BUILD:-$root/build}/wineprefix-interactive}
fi
. "$root/scripts/env.sh"

wine_path() { local full; full=$(readlink -f "$1"); echo "Z:${full//\//\\}"; }
args=()
file_given=0
for arg in "$@"; do
  if [ -f "$arg" ]; then
    args+=("$(wine_path "$arg")")
    file_given=1
  else
    args+=("$arg")
  fi
done
if [ $file_given = 0 ]; then
  args=("$(wine_path "$root/examples/demo.pdf")" "${args[@]}")
fi

"$root/scripts/build.sh" >/dev/null
"$root/scripts/wineprefix.sh"
if [ $own_display = 0 ]; then
  "$root/scripts/display.sh"
  export DISPLAY=$(cat "$KIVO_BUILD/display")
fi
"$root/scripts/wineup.sh"
cd "$KIVO_BUILD/bin"
exec wine KivoHost.exe "${args[@]}"
