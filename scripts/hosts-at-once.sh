#!/bin/bash
# Hosts at once in one profile: each round starts HOSTS stand-in hosts (2 unless given)
# in the build's Wine prefix, the later ones after a random part of a run, and each
# imports a one-track board; their modules read the user's recent filter expressions as
# they start and save them as they go, so the reads and saves of the instances meet.
# Given boards, the hosts import those instead, one after the other, each with the
# built-in layer map. A run fails when it does not end with 0, shows an error box or gets
# no module; one its watchdog ended (exit code 4) is counted apart too. Prints the count
# of runs, of failed runs and of runs the watchdog ended, the longest run, and the
# output of the first few failed runs.
#
#   scripts/hosts-at-once.sh [rounds] [hosts] [board.pdf...]   (100 rounds of 2 hosts unless given)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
rounds=${1:-100}
hosts=${2:-2}
shift $(($# < 2 ? $# : 2))
boards=()
for board in "$@"; do
  [ -f "$board" ] || { echo "hosts-at-once: no such board: $board" >&2; exit 2; }
  boards+=("$(readlink -f "$board")")
done
kivo_wine_session
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null || true' EXIT
wine_path() { echo "Z:${1//\//\\}"; }
printf '{COMPONENT "one"\n{ENVIRONMENT {KIVOVREV "3.0"} {DBUNIT "MIL"} {DBGRID 1} {LYRSTR "TOP" 1}}\n{DETAIL {ANNOTATE [LY "TOP"] [WD 8] {L 0 0 300 0}}}}\n' \
  >"$work/board.pdf"
printf '[Layer]\r\nTOP=Top Layer\r\n' >"$work/top.cfg"
cd "$KIVO_BUILD/bin"
# One run, in a folder of its own so that reports and dumps do not meet; its output
# and exit code go to out.txt and code.txt.
run() {
  local dir=$work/run-$1
  mkdir -p "$dir"
  local options=(--config "$(wine_path "$work/top.cfg")")
  if [ ${#boards[@]} -gt 0 ]; then
    cp "${boards[$2 % ${#boards[@]}]}" "$dir/board.pdf"
    options=()
  else
    cp "$work/board.pdf" "$dir/"
  fi
  local code=0 start=$SECONDS
  wine KivoHost.exe "$(wine_path "$dir/board.pdf")" "${options[@]}" >"$dir/out.txt" 2>&1 || code=$?
  echo "$code $((SECONDS - start))" >"$dir/code.txt"
}
runs=0
failed=0
ended=0
longest=0
shown=0
for ((round = 1; round <= rounds; ++round)); do
  pids=()
  for ((host = 1; host <= hosts; ++host)); do
    [ "$host" = 1 ] || sleep "0.$((RANDOM % 10))"
    run "$round-$host" "$runs" &
    runs=$((runs + 1))
    pids+=($!)
  done
  wait "${pids[@]}"
  for ((host = 1; host <= hosts; ++host)); do
    dir=$work/run-$round-$host
    read -r code seconds <"$dir/code.txt"
    [ "$seconds" -le "$longest" ] || longest=$seconds
    [ "$code" != 4 ] || ended=$((ended + 1))
    tr -d '\r' <"$dir/out.txt" >"$dir/clean.txt"
    if [ "$code" != 0 ] || grep -qE 'Error box|gave no module' "$dir/clean.txt"; then
      failed=$((failed + 1))
      if [ "$shown" -lt 3 ]; then
        shown=$((shown + 1))
        echo "--- run $round-$host failed (exit $code):"
        grep -E 'Error box|gave no module|Module|Objects|did not end' "$dir/clean.txt" || true
      fi
    fi
    rm -rf "$dir"
  done
done
echo "[ figures  ] $runs runs of $hosts hosts at once in $rounds rounds, $failed failed," \
  "$ended ended by their watchdog, the longest in $longest s"
[ "$failed" = 0 ]
