#!/bin/bash
# The main job: the stand-in host imports a KIVO file through LoadKIVO.dll, answers the
# importer's dialogs and prints a summary; the report and the board's dump are written
# beside the file. Without a file it imports examples/demo.pdf. Arguments go on to the
# host (standin/host/KivoHost.cpp lists them); files are handed over as Wine paths, and
# a path that does not exist ends the script with exit code 2.
#
# Output read through a pipe ends when the host ends (see the end of this script).
#
# With --interactive the dialogs are left to a person: on the caller's own display when
# DISPLAY is set (in a Wine prefix of its own), else on the build's Xvfb. With
# KIVO_LOG_PIXELS=N the screen has N pixels per inch (the prefix of scripts/dpirun; on
# the caller's display build/wineprefix-interactive-dpiN, see env.sh).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
interactive=0
for arg in "$@"; do
  [ "$arg" = --interactive ] && interactive=1
done
own_display=0
if [ $interactive = 1 ] && [ -n "${DISPLAY:-}" ]; then
  own_display=1
  export KIVO_OWN_DISPLAY=1
fi
. "$root/scripts/env.sh"

wine_path() { local full; full=$(readlink -f "$1"); echo "Z:${full//\//\\}"; }
# The KIVO file and the files of --config, --answers and --save-config go over as Wine
# paths; a path that does not exist (for --save-config, its folder) is told here rather
# than passed on as an unknown argument. A folder goes over too: the importer tells the
# user it is none.
args=()
file_given=0
expect_file=""
expect_new=""
expect_value=0
for arg in "$@"; do
  if [ -n "$expect_new" ]; then
    if [ ! -d "$(dirname "$arg")" ]; then
      echo "run.sh: the folder of $expect_new does not exist: $arg" >&2
      exit 2
    fi
    args+=("$(wine_path "$arg")")
    expect_new=""
    continue
  fi
  if [ -n "$expect_file" ]; then
    if [ ! -e "$arg" ]; then
      echo "run.sh: the file of $expect_file does not exist: $arg" >&2
      exit 2
    fi
    args+=("$(wine_path "$arg")")
    expect_file=""
    continue
  fi
  if [ $expect_value = 1 ]; then
    args+=("$arg")
    expect_value=0
    continue
  fi
  case "$arg" in
    --config|--answers) expect_file=$arg; args+=("$arg") ;;
    --save-config) expect_new=$arg; args+=("$arg") ;;
    --tick|--untick|--detail|--deadline|--text-view|--launch|--params|--idle|--disk-full|--memory-left)
      expect_value=1; args+=("$arg") ;;
    -*) args+=("$arg") ;;
    *)
      if [ ! -e "$arg" ]; then
        echo "run.sh: no such file or folder: $arg" >&2
        exit 2
      fi
      args+=("$(wine_path "$arg")")
      file_given=1 ;;
  esac
done
if [ -n "$expect_file$expect_new" ]; then
  echo "run.sh: $expect_file$expect_new needs a file" >&2
  exit 2
fi
if [ $file_given = 0 ]; then
  args=("$(wine_path "$root/examples/demo.pdf")" "${args[@]}")
fi

# The build's progress is shown on a terminal (a first build takes many minutes), on
# stderr when that is one so that stdout keeps the host's output alone. Elsewhere (a log,
# a program reading the output) the build is quiet, and its output is shown only when
# it fails.
if [ -t 2 ]; then
  "$root/scripts/build.sh" >&2
elif [ -t 1 ]; then
  "$root/scripts/build.sh"
else
  build_log=$(mktemp)
  if ! "$root/scripts/build.sh" >"$build_log"; then
    cat "$build_log" >&2
    rm -f "$build_log"
    echo "run.sh: the build failed" >&2
    exit 1
  fi
  rm -f "$build_log"
fi
"$root/scripts/wineprefix.sh"
if [ $own_display = 0 ]; then
  "$root/scripts/display.sh"
  export DISPLAY=$(cat "$KIVO_BUILD/display") XENVIRONMENT=${XENVIRONMENT:-$KIVO_BUILD/xresources}
fi
"$root/scripts/wineup.sh"
cd "$KIVO_BUILD/bin"
# Output read through a pipe (or socket) is relayed from files, and the script ends when
# the host ends. Wine hands a program's stderr on to every program it starts, among them
# Wine's desktop, which the first program that needs it starts and which closes only a
# second after the last program on it: with the caller's pipe in the host's hands, a
# caller that reads to the end of the output would wait for the desktop, as long as other
# programs run in the prefix, long after the host has ended.
if [ ! -p /dev/stdout ] && [ ! -p /dev/stderr ] && [ ! -S /dev/stdout ] && [ ! -S /dev/stderr ]; then
  exec wine KivoHost.exe "${args[@]}"
fi
output=$(mktemp -d)
trap 'rm -rf "$output"' EXIT
wine KivoHost.exe "${args[@]}" >"$output/out" 2>"$output/err" &
host=$!
trap 'kill "$host" 2>/dev/null || true' INT TERM HUP
# Each relay ends once the host has ended and all it wrote is passed on.
tail -n +1 -s 0.1 -f --pid="$host" "$output/out" &
tail -n +1 -s 0.1 -f --pid="$host" "$output/err" >&2 &
status=0
wait "$host" || status=$?
# A signal ends the wait early; the host, told to end, is waited for again.
if kill -0 "$host" 2>/dev/null; then
  status=0
  wait "$host" || status=$?
fi
wait
exit "$status"
