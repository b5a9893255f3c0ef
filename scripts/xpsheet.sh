#!/bin/bash
# Draws the XP theme's contact sheet through Wine's own visual-style library (in the
# build's themed prefix) and writes it to docs/xp-contact-sheet.png.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$KIVO_ROOT/scripts/build.sh"
"$KIVO_ROOT/scripts/display.sh"
export DISPLAY=$(cat "$KIVO_BUILD/display") XENVIRONMENT=${XENVIRONMENT:-$KIVO_BUILD/xresources}
"$KIVO_ROOT/scripts/themedrun" "$KIVO_BUILD/bin/XPSheet.exe" "$KIVO_BUILD/generated/xp-contact-sheet.bmp"
"$KIVO_BUILD/generated/xpsheet_png" "$KIVO_BUILD/generated/xp-contact-sheet.bmp" \
  "$KIVO_ROOT/docs/xp-contact-sheet.png"
echo "docs/xp-contact-sheet.png written"
