#!/bin/bash
# Starts Xvfb at 24-bit depth for the build's tests (once) and records its display.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
mkdir -p "$KIVO_BUILD"
# An explicit resource file for Xlib (env.sh names it in XENVIRONMENT). While Xlib has
# found no resource database it reads ~/.Xdefaults and ~/.Xdefaults-<host> again at every
# look-up, which Wine makes at every font selection (a third of a tree list's paint
# time); a file it can read, even one that sets nothing, is read once per process.
[ -f "$KIVO_BUILD/xresources" ] ||
  echo "! The build display's X resources: none (read once, instead of ~/.Xdefaults at every look-up)." \
    > "$KIVO_BUILD/xresources"
if [ -f "$KIVO_BUILD/display.pid" ] && kill -0 "$(cat "$KIVO_BUILD/display.pid")" 2>/dev/null; then
  exit 0
fi
rm -f "$KIVO_BUILD/display"
numfile=$(mktemp)
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
echo $! > "$KIVO_BUILD/display.pid"
for _ in $(seq 100); do
  [ -s "$numfile" ] && break
  sleep 0.1
done
[ -s "$numfile" ] || { echo "display: Xvfb did not start" >&2; exit 1; }
echo ":$(head -n1 "$numfile")" > "$KIVO_BUILD/display"
rm -f "$numfile"
