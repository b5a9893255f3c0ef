#!/bin/bash
# Screenshots of the importer's dialogs as a person sees them: the stand-in host imports
# examples/demo.pdf on the build's display three times, and instead of answering the
# dialogs by script it drives each one through its states and saves each window,
# captured through its own handle, as a PNG file:
#
#   options.png                   the options dialog as opened
#   options-layer-list-top.png    its layer list dropped for the top row (COMP)
#   options-layer-list-lower.png  ... for a lower row (SLKSCR)
#   options-detail-list.png       its detail-level list dropped
#   status-complete.png           the status dialog after a complete import
#   status-failed.png             ... after a failed one (Cancel in the options)
#   error-box.png                 the error box (the host cannot make the new document)
#
#   scripts/screenshots.sh [FOLDER] [SHOTS]   # FOLDER defaults to docs/screenshots
#
# SHOTS (comma-separated names from the list above) takes only those. Fails when a shot
# is missing, or a dialog window or dropped list captures as one flat colour (never
# painted). The test suite runs it into the build tree with KIVO_SCREENSHOTS_IN_TEST=1,
# where the build, the prefix and the display are already up. With KIVO_LOG_PIXELS=N
# the dialogs are shot on a screen of N pixels per inch (the prefix of scripts/dpirun);
# the test suite takes them at 120 and 144 too, into build/screenshots-dpi120 and
# build/screenshots-dpi144. The lower row's list is clicked where the grid's lines put
# the row at that density, and the run fails when the list dropped is not SLKSCR's.
#
# Windows are captured inside Wine, not with xwd: on this Xvfb (24- and 32-bit visuals)
# xwd shows a popup that lies wholly over two lower windows (a dropped layer list over
# the options dialog and the host's main window) as black, while a plain read of the
# screen (XGetImage of the root window) shows it painted.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/docs/screenshots}
only=${2:-}
. "$root/scripts/env.sh"
if [ -z "${KIVO_SCREENSHOTS_IN_TEST:-}" ]; then
  kivo_wine_session >/dev/null
elif [ "${KIVO_LOG_PIXELS:-96}" != 96 ]; then
  # The suite's prefix is the main one: this one is made here.
  "$root/scripts/wineprefix.sh"
fi
# A prefix of another density has its desktop closed afterwards (see scripts/dpirun).
[ "${KIVO_LOG_PIXELS:-96}" = 96 ] || stop_wine=1

wine_path() { local full; full=$(readlink -f "$1"); echo "Z:${full//\//\\}"; }
mkdir -p "$out"
# Absolute: the host runs from the build's bin folder.
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -z "${stop_wine:-}" ] || wineserver -k 2>/dev/null || true' EXIT
cp "$root/examples/demo.pdf" "$work/demo.pdf"

failed=0
# run EXPECTED-EXIT SHOTS [host arguments...]
run() {
  local expected=$1 shots=$2 keep="" shot
  shift 2
  for shot in ${shots//,/ }; do
    if [ -z "$only" ] || [[ ",$only," == *",$shot,"* ]]; then
      keep+="${keep:+,}$shot"
    fi
  done
  [ -n "$keep" ] || return 0
  for shot in ${keep//,/ }; do rm -f "$out/$shot.png"; done
  local status=0 log="$work/run.log"
  (cd "$KIVO_BUILD/bin" && wine KivoHost.exe "$(wine_path "$work/demo.pdf")" \
      --screenshots "$(wine_path "$out")" --shots "$keep" "$@") >"$log" 2>&1 || status=$?
  if [ "$status" != "$expected" ] || grep -q "Dialog not answered as asked" "$log"; then
    echo "screenshots: the run for $keep ended with $status (expected $expected):" >&2
    sed 's/^/  /' "$log" >&2
    failed=1
  fi
  for shot in ${keep//,/ }; do
    if [ -s "$out/$shot.png" ]; then
      echo "$out/$shot.png"
    else
      echo "screenshots: $shot.png was not written" >&2
      failed=1
    fi
  done
}

run 0 options,options-layer-list-top,options-layer-list-lower,options-detail-list,status-complete
run 2 status-failed --options-cancel
run 2 error-box --create-fails
exit $failed
