#!/bin/bash
# The main job's output, read through a pipe to its end, ends when the host ends. The
# host is the first program of a prefix where nothing runs: it starts Wine's desktop,
# which then lives on while another program runs there.
# Fault: run.sh ran the host on the caller's pipe, which Wine handed on to the desktop
# with the host's stderr; a caller that read to the end waited for the desktop to close.
#
#   RunEndsWithHost.sh     (KIVO_BUILD names the build tree)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# A prefix of its own: in the build's prefix other programs may keep a desktop up.
export KIVO_WINEPREFIX=${KIVO_BUILD:-$root/build}/wineprefix-run-ends
. "$root/scripts/env.sh"
fail() { echo "RunEndsWithHost: $*" >&2; exit 1; }
work=$(mktemp -d)
keeper=""
cleanup() {
  [ -z "$keeper" ] || kill "$keeper" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$root/scripts/wineprefix.sh"
wineserver -k 2>/dev/null || true

# The desktop of this prefix, if it runs.
desktop() {
  local pid
  for pid in $(pgrep -f 'explorer.exe /desktop' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}
# Waits until `condition` holds, at most a minute.
wait_for() {
  local condition=$1 what=$2 tries=0
  until eval "$condition"; do
    tries=$((tries + 1))
    [ "$tries" -lt 600 ] || fail "$what"
    sleep 0.1
  done
}

printf '{COMPONENT "one"\n{ENVIRONMENT {KIVOVREV "3.0"} {DBUNIT "MIL"} {DBGRID 1} {LYRSTR "TOP" 1}}\n}\n' \
  >"$work/first.pdf"
cp "$work/first.pdf" "$work/second.pdf"
[ -z "$(desktop)" ] || fail "a desktop runs in the prefix before the host"

# The first run stops before its import until its watchdog ends it, 20 s on; its output
# is read through a pipe to its end.
{ "$root/scripts/run.sh" "$work/first.pdf" --hang --deadline 10 2>&1 || echo "exit code $?"; } |
  cat >"$work/first.txt" &
reader=$!
wait_for '[ -n "$(desktop)" ]' "the first run started no desktop"
# A second program on the desktop, its output elsewhere, keeps the desktop up.
(cd "$KIVO_BUILD/bin" && exec wine KivoHost.exe "Z:${work//\//\\}\\second.pdf" --hang --deadline 60) \
  </dev/null >/dev/null 2>&1 &
keeper=$!

wait "$reader"
kill -0 "$keeper" 2>/dev/null ||
  fail "the first run's output ended only once the second program and the desktop had ended"
grep -q "KivoHost: the import did not end within 20000 ms; the run ends" "$work/first.txt" ||
  fail "the first run's output lacks its watchdog's message: $(cat "$work/first.txt")"
grep -q "^exit code 4$" "$work/first.txt" || fail "the first run did not end with exit code 4"
echo "RunEndsWithHost: the output ended with the host, while the desktop lived on"
