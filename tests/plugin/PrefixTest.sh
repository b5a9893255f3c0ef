#!/bin/bash
# Where the scripts keep the Wine prefix (scripts/env.sh): the main one, one for each
# other density, and for a person's run on their own display one for each density.
# Fault: a person's interactive run at another density made the interactive prefix anew
# at that density, and the next run at 96 anew again, losing what was saved in it.
env=$1
build=/nonexistent/kivo-build
expect() {
  local want=$1 got
  shift
  got=$(env -i PATH="$PATH" KIVO_BUILD="$build" "$@" bash -c ". '$env'; echo \"\$WINEPREFIX\"")
  echo "$* -> $got"
  [ "$got" = "$build/$want" ]
}
expect wineprefix &&
  expect wineprefix-dpi144 KIVO_LOG_PIXELS=144 &&
  expect wineprefix-interactive KIVO_OWN_DISPLAY=1 &&
  expect wineprefix-interactive-dpi120 KIVO_OWN_DISPLAY=1 KIVO_LOG_PIXELS=120
