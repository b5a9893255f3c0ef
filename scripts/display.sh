#!/bin/bash
# Starts Xvfb at 24-bit depth for the build's tests (once) and records its display.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
mkdir -p "$KIVO_BUILD"
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
